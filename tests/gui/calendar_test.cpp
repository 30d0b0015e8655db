#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "WindowControl.h"
#include "frmSearchCalender.h"
#include "util/Clock.h"

using namespace lanereport;
using namespace lanereport::gui;

namespace {

// The day colours as the screen shows them (red, green, blue).
const QColor kWeekday(0xFF, 0xFF, 0xD8);   // light yellow
const QColor kSaturday(0xC0, 0xFF, 0xFF);  // light blue
const QColor kHoliday(0xFF, 0xC0, 0xC0);   // pink, also Sundays
const QColor kPickedFrame(0x00, 0x00, 0x80);

QPushButton* Button(QWidget& form, const QString& name) {
  auto* button = form.findChild<QPushButton*>(name);
  if (!button) qFatal("no button %s", qPrintable(name));
  return button;
}

QPushButton* Day(QWidget& form, int index) {
  return Button(form, QString("cmdDAY_%1").arg(index));
}

QComboBox* Box(QWidget& form, const QString& name) {
  auto* box = form.findChild<QComboBox*>(name);
  if (!box) qFatal("no box %s", qPrintable(name));
  return box;
}

// The colour drawn at (x, y) of the widget.
QColor PixelAt(QWidget* widget, int x, int y) {
  const QImage image = widget->grab().toImage();
  return image.pixelColor(x, y).toRgb();
}

// Background of a day button, away from its frame and its number.
QColor Background(QWidget* day) {
  return PixelAt(day, 4, 4);
}

// Shows the calendar modally, runs action once it is open, and closes it with cancel should
// action leave it open. Returns what Show returned.
int ShowAnd(frmSearchCalender& form, std::function<void()> action) {
  QTimer::singleShot(0, &form, [action] { action(); });
  QTimer::singleShot(5000, &form, [&form] {
    if (form.isVisible()) form.reject();
  });
  return form.Show();
}

}  // namespace

// The month calendar: the grid of days with holidays and colours, the boxes and moves, the
// today button, OK and cancel, and the window's position. Today is pinned to 2026/02/15.
class CalendarTest : public QObject {
  Q_OBJECT

 private:
  FixedClock clock_{CivilDate{2026, 2, 15}};
  std::unique_ptr<ScopedClock> pinned_;

 private slots:
  void init() { pinned_ = std::make_unique<ScopedClock>(clock_); }
  void cleanup() { pinned_.reset(); }

  void WeekHeadingsRunFromSunday() {
    frmSearchCalender form;
    const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int column = 0; column < 7; ++column) {
      auto* label = form.findChild<QLabel*>(QString("lblWeek_%1").arg(column));
      QVERIFY(label);
      QCOMPARE(label->text(), QString::fromUtf8(names[column]));
    }
  }

  void FebruaryTwentyTwentySixStartsInTheFirstCell() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/10");
    QCOMPARE(Box(form, "cboYear")->currentText(), QString("2026"));
    QCOMPARE(Box(form, "cboMonth")->currentText(), QString("02"));
    for (int day = 1; day <= 28; ++day) {
      QCOMPARE(Day(form, day - 1)->text(), QString::number(day));
      QVERIFY(Day(form, day - 1)->isEnabled());
    }
    for (int index = 28; index < 42; ++index) {
      QCOMPARE(Day(form, index)->text(), QString());
      QVERIFY(!Day(form, index)->isEnabled());
    }
  }

  void NovemberTwentyTwentyFiveStartsOnSaturday() {
    frmSearchCalender form;
    form.DefaultDate("2025/11/20");
    for (int index = 0; index < 6; ++index) {
      QCOMPARE(Day(form, index)->text(), QString());
      QVERIFY(!Day(form, index)->isEnabled());
    }
    QCOMPARE(Day(form, 6)->text(), QString("1"));
    QVERIFY(Day(form, 6)->isEnabled());
    QCOMPARE(Day(form, 35)->text(), QString("30"));
    QCOMPARE(Day(form, 36)->text(), QString());
    QVERIFY(!Day(form, 36)->isEnabled());
    // 11/23 is a Sunday holiday, 11/24 its substitute.
    QCOMPARE(Day(form, 28)->toolTip(), QString::fromUtf8("勤労感謝の日"));
    QCOMPARE(Day(form, 29)->toolTip(), QString::fromUtf8("振替休日"));
  }

  void EnthronementHolidaysAcrossAprilAndMay() {
    frmSearchCalender form;
    form.DefaultDate("2019/05/01");  // a Wednesday
    QCOMPARE(Day(form, 3)->text(), QString("1"));
    QCOMPARE(Day(form, 3)->toolTip(), QString::fromUtf8("天皇の即位の日"));
    QCOMPARE(Day(form, 4)->toolTip(), QString::fromUtf8("国民の休日"));
    QCOMPARE(Day(form, 5)->toolTip(), QString::fromUtf8("憲法記念日"));
    QCOMPARE(Day(form, 6)->toolTip(), QString::fromUtf8("みどりの日"));
    QCOMPARE(Day(form, 7)->toolTip(), QString::fromUtf8("こどもの日"));
    QCOMPARE(Day(form, 8)->text(), QString("6"));
    QCOMPARE(Day(form, 8)->toolTip(), QString::fromUtf8("振替休日"));
    QCOMPARE(Day(form, 9)->toolTip(), QString());

    Button(form, "cmdMonthMove_0")->click();
    QCOMPARE(Box(form, "cboMonth")->currentText(), QString("04"));
    QCOMPARE(Day(form, 1)->text(), QString("1"));  // 2019/04/01 is a Monday
    QCOMPARE(Day(form, 29)->text(), QString("29"));
    QCOMPARE(Day(form, 29)->toolTip(), QString::fromUtf8("昭和の日"));
    QCOMPARE(Day(form, 30)->text(), QString("30"));
    QCOMPARE(Day(form, 30)->toolTip(), QString::fromUtf8("国民の休日"));
  }

  void MountainDay() {
    frmSearchCalender form;
    form.DefaultDate("2016/08/11");
    QCOMPARE(Day(form, 11)->text(), QString("11"));  // 2016/08/01 is a Monday
    QCOMPARE(Day(form, 11)->toolTip(), QString::fromUtf8("山の日"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(Background(Day(form, 11)), kHoliday);
    QCOMPARE(Background(Day(form, 10)), kWeekday);
  }

  void DaysAreColouredByKind() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(Background(Day(form, 1)), kWeekday);   // Monday 2nd
    QCOMPARE(Background(Day(form, 5)), kWeekday);   // Friday 6th
    QCOMPARE(Background(Day(form, 6)), kSaturday);  // Saturday 7th
    QCOMPARE(Background(Day(form, 7)), kHoliday);   // Sunday 8th
    QCOMPARE(Background(Day(form, 10)), kHoliday);  // Wednesday 11th, 建国記念の日
    QCOMPARE(Day(form, 10)->toolTip(), QString::fromUtf8("建国記念の日"));
    QCOMPARE(Day(form, 9)->toolTip(), QString());
    QCOMPARE(Background(Day(form, 22)), kHoliday);  // Monday 23rd, 天皇誕生日
    QCOMPARE(Background(Day(form, 14)), kHoliday);  // Sunday 15th, picked
  }

  void PickedDayIsFramed() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/18");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(PixelAt(Day(form, 17), 1, 1), kPickedFrame);
    QCOMPARE(PixelAt(Day(form, 18), 1, 1), kWeekday);

    Day(form, 18)->click();
    QCOMPARE(form.Value(), std::string("20260219"));
    QCOMPARE(PixelAt(Day(form, 18), 1, 1), kPickedFrame);
    QCOMPARE(PixelAt(Day(form, 17), 1, 1), kWeekday);
  }

  void DefaultDateComesBackAsResultDate() {
    frmSearchCalender form;
    form.DefaultDate("2025/11/03");
    QCOMPARE(form.Value(), std::string("20251103"));
    const int shown = ShowAnd(form, [&form] { Button(form, "cmdOK")->click(); });
    QCOMPARE(shown, int(QDialog::Accepted));
    QVERIFY(!form.Canceled());
    QCOMPARE(form.ResultDate(), std::string("2025/11/03"));
    QVERIFY(!form.isVisible());
  }

  void DefaultDateWithoutLeadingZeros() {
    frmSearchCalender form;
    form.DefaultDate("2008/5/4");
    QCOMPARE(form.Value(), std::string("20080504"));
    ShowAnd(form, [&form] { Button(form, "cmdOK")->click(); });
    QCOMPARE(form.ResultDate(), std::string("2008/05/04"));
  }

  void EmptyOrWrongDefaultDateMeansToday() {
    for (const char* text : {"", "2026/02/30", "abc", "1850/01/01", "2019/13/01"}) {
      frmSearchCalender form;
      form.DefaultDate("2019/05/01");
      form.DefaultDate(text);
      QCOMPARE(form.Value(), std::string("20260215"));
      QCOMPARE(Box(form, "cboYear")->currentText(), QString("2026"));
      QCOMPARE(Box(form, "cboMonth")->currentText(), QString("02"));
    }
  }

  void ClickedDayIsTheResult() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    const int shown = ShowAnd(form, [&form] {
      Day(form, 20)->click();  // the 21st
      Button(form, "cmdOK")->click();
    });
    QCOMPARE(shown, int(QDialog::Accepted));
    QCOMPARE(form.ResultDate(), std::string("2026/02/21"));
    QCOMPARE(form.Value(), std::string("20260221"));
  }

  void BlankCellCannotBePicked() {
    frmSearchCalender form;
    form.DefaultDate("2025/11/20");
    Day(form, 0)->click();
    QTest::mouseClick(Day(form, 0), Qt::LeftButton);
    QCOMPARE(form.Value(), std::string("20251120"));
  }

  void DoubleClickOnADayActsAsOK() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    const int shown = ShowAnd(form, [&form] { QTest::mouseDClick(Day(form, 2), Qt::LeftButton); });
    QCOMPARE(shown, int(QDialog::Accepted));
    QVERIFY(!form.Canceled());
    QCOMPARE(form.ResultDate(), std::string("2026/02/03"));
  }

  void CancelLeavesCanceledSet() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    const int shown = ShowAnd(form, [&form] {
      Day(form, 3)->click();
      Button(form, "cmdCancel")->click();
    });
    QCOMPARE(shown, int(QDialog::Rejected));
    QVERIFY(form.Canceled());
    QCOMPARE(form.ResultDate(), std::string());
    QVERIFY(!form.isVisible());
  }

  void CanceledAgainAfterAnEarlierOK() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    ShowAnd(form, [&form] { Button(form, "cmdOK")->click(); });
    QVERIFY(!form.Canceled());
    ShowAnd(form, [&form] { form.reject(); });
    QVERIFY(form.Canceled());
    QCOMPARE(form.ResultDate(), std::string());
  }

  void MonthMovesCrossTheYearEnd() {
    frmSearchCalender form;
    form.DefaultDate("2025/12/31");
    Button(form, "cmdMonthMove_1")->click();
    QCOMPARE(Box(form, "cboYear")->currentText(), QString("2026"));
    QCOMPARE(Box(form, "cboMonth")->currentText(), QString("01"));
    QCOMPARE(form.Value(), std::string("20260131"));
    QCOMPARE(Day(form, 4)->text(), QString("1"));  // 2026/01/01 is a Thursday
    QCOMPARE(Day(form, 4)->toolTip(), QString::fromUtf8("元日"));

    Button(form, "cmdMonthMove_0")->click();
    QCOMPARE(Box(form, "cboYear")->currentText(), QString("2025"));
    QCOMPARE(Box(form, "cboMonth")->currentText(), QString("12"));
    QCOMPARE(form.Value(), std::string("20251231"));
    QCOMPARE(Day(form, 1)->text(), QString("1"));  // 2025/12/01 is a Monday
  }

  void MonthMoveKeepsThePickedDayWithinTheMonth() {
    frmSearchCalender form;
    form.DefaultDate("2026/01/31");
    Button(form, "cmdMonthMove_1")->click();
    QCOMPARE(form.Value(), std::string("20260228"));
    Button(form, "cmdMonthMove_1")->click();
    QCOMPARE(form.Value(), std::string("20260328"));
  }

  void MonthMoveStopsAtTheCalendarsEnds() {
    frmSearchCalender form;
    form.DefaultDate("1873/01/10");
    Button(form, "cmdMonthMove_0")->click();
    QCOMPARE(form.Value(), std::string("18730110"));
    form.DefaultDate("9999/12/10");
    Button(form, "cmdMonthMove_1")->click();
    QCOMPARE(form.Value(), std::string("99991210"));
  }

  void YearAndMonthBoxesChangeTheShownMonth() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    QComboBox* year = Box(form, "cboYear");
    QComboBox* month = Box(form, "cboMonth");
    year->setEditText("2019");
    Button(form, "cmdYear")->click();
    QCOMPARE(form.Value(), std::string("20190215"));
    QCOMPARE(year->currentText(), QString("2019"));

    month->setEditText("5");
    Button(form, "cmdMonth")->click();
    QCOMPARE(form.Value(), std::string("20190515"));
    QCOMPARE(month->currentText(), QString("05"));
    QCOMPARE(Day(form, 3)->toolTip(), QString::fromUtf8("天皇の即位の日"));
  }

  void WrongTypedValuesRestoreTheShownMonth() {
    frmSearchCalender form;
    form.DefaultDate("2019/05/01");
    QComboBox* year = Box(form, "cboYear");
    QComboBox* month = Box(form, "cboMonth");
    for (const char* text : {"1850", "abc", "", "26"}) {
      year->setEditText(text);
      Button(form, "cmdYear")->click();
      QCOMPARE(year->currentText(), QString("2019"));
      QCOMPARE(form.Value(), std::string("20190501"));
    }
    for (const char* text : {"13", "0", "x", ""}) {
      month->setEditText(text);
      Button(form, "cmdMonth")->click();
      QCOMPARE(month->currentText(), QString("05"));
      QCOMPARE(form.Value(), std::string("20190501"));
    }
  }

  void YearChangeKeepsTheDayWithinFebruary() {
    frmSearchCalender form;
    form.DefaultDate("2024/02/29");
    Box(form, "cboYear")->setEditText("2025");
    Button(form, "cmdYear")->click();
    QCOMPARE(form.Value(), std::string("20250228"));
  }

  void EnterInTheYearBoxAppliesItAndKeepsTheWindowOpen() {
    frmSearchCalender form;
    form.DefaultDate("2026/02/15");
    bool open_after_enter = false;
    std::string value_after_enter;
    const int shown = ShowAnd(form, [&] {
      QLineEdit* edit = Box(form, "cboYear")->lineEdit();
      edit->selectAll();
      QTest::keyClicks(edit, "2016");
      QTest::keyClick(edit, Qt::Key_Return);
      open_after_enter = form.isVisible();
      value_after_enter = form.Value();
      form.reject();
    });
    QCOMPARE(shown, int(QDialog::Rejected));
    QVERIFY(open_after_enter);
    QCOMPARE(value_after_enter, std::string("20160215"));
  }

  void TodayButtonShowsAndPicksToday() {
    frmSearchCalender form;
    QCOMPARE(Button(form, "cmdToday")->text(), QString::fromUtf8("今日:2026/02/15"));
    QCOMPARE(form.Value(), std::string("20260215"));
    form.DefaultDate("2019/05/03");
    Button(form, "cmdToday")->click();
    QCOMPARE(form.Value(), std::string("20260215"));
    QCOMPARE(Box(form, "cboYear")->currentText(), QString("2026"));
    QCOMPARE(Box(form, "cboMonth")->currentText(), QString("02"));
    QCOMPARE(Day(form, 14)->text(), QString("15"));
  }

  void TodayCaptionFollowsTheClockWhenShown() {
    frmSearchCalender form;
    const FixedClock later(CivilDate{2027, 12, 1});
    const ScopedClock pinned(later);
    QString caption;
    ShowAnd(form, [&] {
      caption = Button(form, "cmdToday")->text();
      Button(form, "cmdToday")->click();
      Button(form, "cmdOK")->click();
    });
    QCOMPARE(caption, QString::fromUtf8("今日:2027/12/01"));
    QCOMPARE(form.ResultDate(), std::string("2027/12/01"));
  }

  void PositionFromPosTopAndPosLeft() {
    frmSearchCalender form;
    form.PosTop(120);
    form.PosLeft(200);
    QPoint where;
    ShowAnd(form, [&] {
      where = form.pos();
      form.reject();
    });
    QCOMPARE(where, QPoint(200, 120));
  }

  void OpensBelowItsFieldWhereThereIsRoom() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(area.left() + 40, area.top() + 40, 300, 60);
    auto* field = new QLineEdit(&owner);
    field->setGeometry(20, 10, 120, 24);
    owner.show();
    frmSearchCalender form(&owner);
    form.Beside(field);
    QRect frame;
    ShowAnd(form, [&] {
      frame = form.frameGeometry();
      form.reject();
    });
    const QRect place(field->mapToGlobal(QPoint(0, 0)), field->size());
    QVERIFY2(!frame.intersects(place), "the field stays in sight");
    QVERIFY(area.contains(frame));
    QVERIFY(frame.top() > place.bottom());
    QCOMPARE(frame.left(), place.left());
  }

  void OpensAboveOrBesideAFieldNearTheScreensBottom() {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(area.right() - 300, area.bottom() - 70, 300, 60);
    auto* field = new QLineEdit(&owner);
    field->setGeometry(160, 20, 120, 24);
    owner.show();
    frmSearchCalender form(&owner);
    form.Beside(field);
    QRect frame;
    ShowAnd(form, [&] {
      frame = form.frameGeometry();
      form.reject();
    });
    const QRect place(field->mapToGlobal(QPoint(0, 0)), field->size());
    QVERIFY2(!frame.intersects(place), "the field stays in sight");
    QVERIFY2(area.contains(frame), "the calendar stays on the screen");
  }

  void PlaceBesideTriesBelowAboveRightAndLeft() {
    const QRect area(0, 0, 1000, 700);
    const QSize size(300, 400);
    // Room below.
    QCOMPARE(PlaceBeside(QRect(100, 100, 120, 24), size, area), QPoint(100, 124));
    // Near the right edge it moves left to stay on the screen.
    QCOMPARE(PlaceBeside(QRect(900, 100, 80, 24), size, area), QPoint(700, 124));
    // No room below: above.
    QCOMPARE(PlaceBeside(QRect(100, 600, 120, 24), size, area), QPoint(100, 200));
    // Neither below nor above: to the right, moved up inside the screen.
    const QRect tall(0, 0, 1000, 500);
    QCOMPARE(PlaceBeside(QRect(100, 200, 120, 24), size, tall), QPoint(220, 100));
    // Nor to the right: to the left.
    QCOMPARE(PlaceBeside(QRect(650, 200, 120, 24), size, tall), QPoint(350, 100));
  }

  void IsADialogWithoutMinimiseAndMaximise() {
    frmSearchCalender form;
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
  }

  void CentredWhenNoPositionIsGiven() {
    frmSearchCalender form;
    QRect frame;
    ShowAnd(form, [&] {
      frame = form.frameGeometry();
      form.reject();
    });
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(qAbs(frame.center().x() - area.center().x()) <= 1,
             qPrintable(QString("x %1 vs %2").arg(frame.center().x()).arg(area.center().x())));
    QVERIFY2(qAbs(frame.center().y() - area.center().y()) <= 1,
             qPrintable(QString("y %1 vs %2").arg(frame.center().y()).arg(area.center().y())));
  }
};

QTEST_MAIN(CalendarTest)
#include "calendar_test.moc"
