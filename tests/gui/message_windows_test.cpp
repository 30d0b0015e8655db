#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CountingProgress.h"
#include "GameBuilder.h"
#include "MessageDialog.h"
#include "Msg_Waiting.h"
#include "Msg_Warning.h"
#include "Msg_YesNo.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "WindowControl.h"
#include "WindowMessages.h"
#include "pages/PageContext.h"
#include "pages/ScorePageOutput.h"
#include "util/AppError.h"

using namespace lanereport;
using namespace lanereport::gui;

namespace {

const QString kStopping = QString::fromUtf8("処理を中断しています．．．");

template <class T>
T* Child(QWidget* window, const char* name) {
  T* child = window->findChild<T*>(name);
  if (!child) qFatal("no control %s", name);
  return child;
}

QLabel* LineOf(QWidget* window, int index) {
  return Child<QLabel>(window, index == 0 ? "lblMessage_0" : "lblMessage_1");
}

// Runs action once the modal window that is about to be shown runs its event loop.
void WhenShown(std::function<void()> action) {
  QTimer::singleShot(0, std::move(action));
}

// Ends a modal window with result 99 after ms milliseconds, so that a window that fails to
// close by itself fails the test instead of hanging it.
void GuardClose(QDialog* window, int ms) {
  QTimer::singleShot(ms, window, [window] {
    if (window->isVisible()) window->done(99);
  });
}

// The pixels of row y of the image that are exactly the bar's yellow.
int YellowInRow(const QImage& image, int y) {
  int n = 0;
  for (int x = 0; x < image.width(); ++x) {
    if (image.pixelColor(x, y) == ProgressPicture::FillColor()) ++n;
  }
  return n;
}

bool HasDarkPixel(const QImage& image, int from_x, int to_x) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = std::max(0, from_x); x < std::min(image.width(), to_x); ++x) {
      if (image.pixelColor(x, y).lightness() < 100) return true;
    }
  }
  return false;
}

// Regular files under folder, relative to it, sorted.
std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> files;
  for (auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) files.push_back(std::filesystem::relative(e.path(), folder).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

// Msg_Warning, Msg_YesNo and Msg_Waiting, the message windows of the core, and the shared
// window routines.
class MessageWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qputenv("LANEREPORT_NO_ANIMATION", "1"); }

  void BgrColorReadsBlueFromTheHighByte() {
    QCOMPARE(BgrColor(0x800000), QColor(0, 0, 128));
    QCOMPARE(BgrColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(BgrColor(0x00FF00), QColor(0, 255, 0));
    QCOMPARE(BgrColor(0xFFFFC0), QColor(192, 255, 255));
    QCOMPARE(BgrColor(0x123456), QColor(0x56, 0x34, 0x12));
    QCOMPARE(BgrColor(0x7F000000 | 0x800000), QColor(0, 0, 128));
  }

  void WarningShowsBothLinesInItsColourAndClearsTheTextsOnClose() {
    Msg_Warning& w = Msg_Warning::Instance();
    QCOMPARE(&w, &Msg_Warning::Instance());
    QVERIFY(!w.parent());
    QCOMPARE(w.objectName(), QString("Msg_Warning"));
    w.Message1("一行目");
    w.Message2("スコア表を作成しました");
    w.Color(0x800000);
    w.TimerSet(0);
    QString line0, line1;
    QColor color0, color1;
    bool visible = false, modal = false;
    WhenShown([&] {
      visible = w.isVisible();
      modal = w.isModal();
      line0 = LineOf(&w, 0)->text();
      line1 = LineOf(&w, 1)->text();
      color0 = LineOf(&w, 0)->palette().color(QPalette::WindowText);
      color1 = LineOf(&w, 1)->palette().color(QPalette::WindowText);
      QTest::mouseClick(Child<QPushButton>(&w, "cmdOK"), Qt::LeftButton);
    });
    GuardClose(&w, 5000);
    QCOMPARE(w.Show(), int(QDialog::Accepted));
    QVERIFY(visible);
    QVERIFY(modal);
    QCOMPARE(line0, QString::fromUtf8("一行目"));
    QCOMPARE(line1, QString::fromUtf8("スコア表を作成しました"));
    QCOMPARE(color0, QColor(0, 0, 128));
    QCOMPARE(color1, QColor(0, 0, 128));
    QVERIFY(!w.isVisible());
    QCOMPARE(LineOf(&w, 0)->text(), QString());
    QCOMPARE(LineOf(&w, 1)->text(), QString());

    // Next time: the texts are gone, colour 0 gives the default colour back.
    const QColor default_color = QLabel().palette().color(QPalette::WindowText);
    QVERIFY(default_color != QColor(0, 0, 128));
    w.Color(0);
    w.Message2("作成するデータが選択されていません！");
    WhenShown([&] {
      line0 = LineOf(&w, 0)->text();
      line1 = LineOf(&w, 1)->text();
      color1 = LineOf(&w, 1)->palette().color(QPalette::WindowText);
      QTest::keyClick(&w, Qt::Key_Escape);  // counts as OK
    });
    GuardClose(&w, 5000);
    QCOMPARE(w.Show(), int(QDialog::Accepted));
    QCOMPARE(line0, QString());
    QCOMPARE(line1, QString::fromUtf8("作成するデータが選択されていません！"));
    QCOMPARE(color1, default_color);
  }

  void WarningClosesItselfAfterItsTimerAsOk() {
    Msg_Warning& w = Msg_Warning::Instance();
    w.Message2("スコア表を作成しました");
    w.TimerSet(1);
    GuardClose(&w, 5000);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(w.Show(), int(QDialog::Accepted));
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(LineOf(&w, 1)->text(), QString());

    // Without a timer the window waits for the user.
    w.TimerSet(0);
    w.Message2("待ちます");
    QTimer::singleShot(1500, &w, [&w] { w.done(42); });
    clock.restart();
    QCOMPARE(w.Show(), 42);
    QVERIFY(clock.elapsed() >= 1400);
  }

  void YesNoOkAnswersYes() {
    Msg_YesNo& q = Msg_YesNo::Instance();
    QCOMPARE(&q, &Msg_YesNo::Instance());
    q.Message1("「/tmp/x」は存在しません");
    q.Message2("「/tmp/x」を作成しますか？");
    q.TimerSet(0);
    QString line0;
    WhenShown([&] {
      line0 = LineOf(&q, 0)->text();
      QTest::mouseClick(Child<QPushButton>(&q, "cmdOK"), Qt::LeftButton);
    });
    GuardClose(&q, 5000);
    QCOMPARE(q.Show(), int(QDialog::Accepted));
    QVERIFY(q.YesNo());
    QCOMPARE(line0, QString::fromUtf8("「/tmp/x」は存在しません"));
    QCOMPARE(LineOf(&q, 0)->text(), QString());
    QCOMPARE(LineOf(&q, 1)->text(), QString());
  }

  void YesNoCancelAnswersNo() {
    Msg_YesNo& q = Msg_YesNo::Instance();
    q.Message2("既存のファイルを書き換えますか？");
    q.TimerSet(0);
    WhenShown([&] { QTest::mouseClick(Child<QPushButton>(&q, "cmdCancel"), Qt::LeftButton); });
    GuardClose(&q, 5000);
    QCOMPARE(q.Show(), int(QDialog::Rejected));
    QVERIFY(!q.YesNo());

    // Escape is cancel too, also right after a yes.
    WhenShown([&] { QTest::mouseClick(Child<QPushButton>(&q, "cmdOK"), Qt::LeftButton); });
    q.Show();
    QVERIFY(q.YesNo());
    WhenShown([&] { QTest::keyClick(&q, Qt::Key_Escape); });
    GuardClose(&q, 5000);
    QCOMPARE(q.Show(), int(QDialog::Rejected));
    QVERIFY(!q.YesNo());
  }

  void YesNoLeftUnansweredUntilItsTimerAnswersNo() {
    Msg_YesNo& q = Msg_YesNo::Instance();
    WhenShown([&] { QTest::mouseClick(Child<QPushButton>(&q, "cmdOK"), Qt::LeftButton); });
    q.Show();
    QVERIFY(q.YesNo());

    q.Message2("「/tmp/x」を作成しますか？");
    q.TimerSet(1);
    GuardClose(&q, 5000);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(q.Show(), int(QDialog::Rejected));
    QVERIFY(!q.YesNo());
    QVERIFY(clock.elapsed() >= 900);
    QVERIFY(clock.elapsed() < 4000);
    q.TimerSet(0);
  }

  void WindowMessagesShowsTheCoreMessagesInTheWindows() {
    WindowMessages messages;
    QString line1;
    QColor color;
    WhenShown([&] {
      Msg_Warning& w = Msg_Warning::Instance();
      line1 = LineOf(&w, 1)->text();
      color = LineOf(&w, 1)->palette().color(QPalette::WindowText);
      QTest::mouseClick(Child<QPushButton>(&w, "cmdOK"), Qt::LeftButton);
    });
    GuardClose(&Msg_Warning::Instance(), 5000);
    messages.ShowWarning({"", "Ｂｏｗｌｅｒ紹介を作成しました", kCompletionColor, 10});
    QCOMPARE(line1, QString::fromUtf8("Ｂｏｗｌｅｒ紹介を作成しました"));
    QCOMPARE(color, QColor(0, 0, 128));

    WhenShown([&] {
      QTest::mouseClick(Child<QPushButton>(&Msg_YesNo::Instance(), "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(messages.AskYesNo({"a", "b", 0, 10}));
    WhenShown([&] {
      QTest::mouseClick(Child<QPushButton>(&Msg_YesNo::Instance(), "cmdCancel"), Qt::LeftButton);
    });
    QVERIFY(!messages.AskYesNo({"a", "b", 0, 10}));
    // Unanswered: the timer of the message says No.
    GuardClose(&Msg_YesNo::Instance(), 5000);
    QVERIFY(!messages.AskYesNo({"a", "b", 0, 1}));
  }

  void LongLineWidensTheWindowAndCentresLinesAndButtons() {
    Msg_Warning& w = Msg_Warning::Instance();
    w.TimerSet(0);
    w.Message1("短い行");
    int short_width = 0;
    WhenShown([&] {
      short_width = w.width();
      w.accept();
    });
    w.Show();
    QCOMPARE(short_width, w.DefaultWidth());

    const QString long_line = QString::fromUtf8("「") +
                              QString::fromUtf8("長いフォルダ名").repeated(12) +
                              QString::fromUtf8("」は存在しません");
    w.Message1("短い行");
    w.Message2(long_line.toStdString());
    int width = 0, line_width = 0;
    QRect line0, line1, ok;
    WhenShown([&] {
      width = w.width();
      line_width = QFontMetrics(LineOf(&w, 1)->font()).horizontalAdvance(long_line);
      line0 = LineOf(&w, 0)->geometry();
      line1 = LineOf(&w, 1)->geometry();
      ok = Child<QPushButton>(&w, "cmdOK")->geometry();
      w.accept();
    });
    w.Show();
    QVERIFY(line_width >= w.DefaultWidth());
    QCOMPARE(width, std::min(line_width + MessageDialog::kLineMargin, w.MaxWidth()));
    QVERIFY(line1.left() >= MessageDialog::kLineMargin / 2);
    QVERIFY(line1.right() < width - MessageDialog::kLineMargin / 2);
    QVERIFY(std::abs(line0.center().x() - width / 2) <= 1);
    QVERIFY(std::abs(line1.center().x() - width / 2) <= 1);
    QVERIFY(std::abs(ok.center().x() - width / 2) <= 1);

    // Loaded afresh with short lines, the window has its default width again.
    w.Message1("短い行");
    WhenShown([&] {
      short_width = w.width();
      w.accept();
    });
    w.Show();
    QCOMPARE(short_width, w.DefaultWidth());
  }

  void YesNoWidensWithALongLineAndCentresBothButtons() {
    Msg_YesNo& q = Msg_YesNo::Instance();
    q.TimerSet(0);
    const QString long_line = QString::fromUtf8("既存のファイルを書き換えますか？").repeated(6);
    q.Message1(long_line.toStdString());
    int width = 0, line_width = 0;
    QRect ok, cancel;
    WhenShown([&] {
      width = q.width();
      line_width = QFontMetrics(LineOf(&q, 0)->font()).horizontalAdvance(long_line);
      ok = Child<QPushButton>(&q, "cmdOK")->geometry();
      cancel = Child<QPushButton>(&q, "cmdCancel")->geometry();
      q.reject();
    });
    q.Show();
    QCOMPARE(width, std::min(line_width + MessageDialog::kLineMargin, q.MaxWidth()));
    QVERIFY(ok.right() < cancel.left());
    QVERIFY(std::abs((ok.left() + cancel.right()) / 2 - width / 2) <= 1);
  }

  void ALineSomewhatWiderThanTheWindowWidensItKeepingItsMargins() {
    Msg_Warning& w = Msg_Warning::Instance();
    w.TimerSet(0);
    QString line;
    const QFontMetrics metrics(LineOf(&w, 0)->font());
    while (metrics.horizontalAdvance(line) < w.DefaultWidth())
      line += QString::fromUtf8("フォルダ");
    w.Message1(line.toStdString());
    int width = 0;
    QRect line0;
    int one_row = 0;
    WhenShown([&] {
      width = w.width();
      line0 = LineOf(&w, 0)->geometry();
      one_row = metrics.height();
      w.accept();
    });
    w.Show();
    const int line_width = metrics.horizontalAdvance(line);
    QVERIFY(line_width + MessageDialog::kLineMargin <= w.MaxWidth());
    QCOMPARE(width, line_width + MessageDialog::kLineMargin);
    QCOMPARE(line0.left(), MessageDialog::kLineMargin / 2);
    QCOMPARE(line0.width(), line_width);
    QVERIFY2(line0.height() < 2 * one_row, "one row");
  }

  void AVeryLongLineIsBrokenIntoRowsInsideTheMargins() {
    Msg_Warning& w = Msg_Warning::Instance();
    w.TimerSet(0);
    // A path has no blank to break at; it is broken anyway.
    const std::string path = "/home/user/" + std::string(30, 'a') + "/" + std::string(40, 'b') +
                             "/" + std::string(40, 'c') + "/score.db";
    w.Message1("データベースを開けません：" + path);
    w.Message2("file is not a database");
    int width = 0, height = 0;
    QRect line0, line1, ok;
    WhenShown([&] {
      width = w.width();
      height = w.height();
      line0 = LineOf(&w, 0)->geometry();
      line1 = LineOf(&w, 1)->geometry();
      ok = Child<QPushButton>(&w, "cmdOK")->geometry();
      w.accept();
    });
    w.Show();
    const int one_row = QFontMetrics(LineOf(&w, 0)->font()).height();
    QCOMPARE(width, w.MaxWidth());
    QVERIFY2(line0.height() >= 2 * one_row, "the long line takes several rows");
    QCOMPARE(line0.left(), MessageDialog::kLineMargin / 2);
    QCOMPARE(line0.right(), width - MessageDialog::kLineMargin / 2 - 1);
    QVERIFY(line1.top() > line0.bottom());
    QVERIFY(ok.top() > line1.bottom());
    QVERIFY(ok.bottom() < height);
  }

  void MessageWindowsAreDialogsWithoutMinimiseAndMaximise() {
    for (QWidget* window :
         std::initializer_list<QWidget*>{&Msg_Warning::Instance(), &Msg_YesNo::Instance()}) {
      const Qt::WindowFlags flags = window->windowFlags();
      QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
      QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
      QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
      QVERIFY(flags & Qt::WindowCloseButtonHint);
      QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    }
  }

  void EnterOnAFocusedButtonPressesIt() {
    // Msg_YesNo: Enter on cancel answers no, Space on OK answers yes.
    Msg_YesNo& q = Msg_YesNo::Instance();
    q.TimerSet(0);
    q.Message1("a");
    GuardClose(&q, 5000);
    WhenShown([&] {
      auto* cancel = Child<QPushButton>(&q, "cmdCancel");
      cancel->setFocus();
      QTest::keyClick(cancel, Qt::Key_Return);
    });
    q.Show();
    QVERIFY(!q.YesNo());
    q.Message1("a");
    GuardClose(&q, 5000);
    WhenShown([&] { QTest::keyClick(Child<QPushButton>(&q, "cmdOK"), Qt::Key_Space); });
    QCOMPARE(q.Show(), int(QDialog::Accepted));
    QVERIFY(q.YesNo());
  }

  void EnterOnAButtonInAFrameOfAWindowThatMovesTheFocusPressesIt() {
    // As in the output window: fields and the make button in frames of a plain window.
    QWidget form;
    auto* fields = new QGroupBox(&form);
    auto* name = new QLineEdit(fields);
    auto* count = new QLineEdit(fields);
    auto* check = new QCheckBox("x", fields);
    auto* fields_layout = new QVBoxLayout(fields);
    fields_layout->addWidget(name);
    fields_layout->addWidget(count);
    fields_layout->addWidget(check);
    auto* buttons = new QGroupBox(&form);
    auto* make = new QPushButton(QString::fromUtf8("作成"), buttons);
    auto* tool = new QToolButton(buttons);
    auto* buttons_layout = new QHBoxLayout(buttons);
    buttons_layout->addWidget(make);
    buttons_layout->addWidget(tool);
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(fields);
    layout->addWidget(buttons);
    int makes = 0, tools = 0;
    connect(make, &QPushButton::clicked, &form, [&makes] { ++makes; });
    connect(tool, &QToolButton::clicked, &form, [&tools] { ++tools; });
    MoveFocusOnEnter(&form);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));

    make->setFocus();
    QTRY_VERIFY(make->hasFocus());
    QTest::keyClick(make, Qt::Key_Return);
    QCOMPARE(makes, 1);
    QVERIFY2(make->hasFocus(), "the focus stays on the button");
    QTest::keyClick(make, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(makes, 2);
    QTest::keyClick(make, Qt::Key_Space);
    QCOMPARE(makes, 3);
    tool->setFocus();
    QTRY_VERIFY(tool->hasFocus());
    QTest::keyClick(tool, Qt::Key_Return);
    QCOMPARE(tools, 1);
    // The fields still move the focus on, a check box with them.
    name->setFocus();
    QTRY_VERIFY(name->hasFocus());
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(count->hasFocus());
    QTest::keyClick(count, Qt::Key_Return);
    QVERIFY(check->hasFocus());
    QTest::keyClick(check, Qt::Key_Return);
    QVERIFY(!check->isChecked());
    QVERIFY(!check->hasFocus());
    QCOMPARE(makes, 3);
  }

  void ButtonsTakeEnterInEveryWindow() {
    // A plain window that does not move the focus on Enter: its buttons ignore Enter by
    // themselves; with the application's filter they are pressed by it.
    ButtonsTakeEnter();
    ButtonsTakeEnter();  // once is enough
    QCOMPARE(qApp->findChildren<QObject*>("lanereport_buttons_take_enter").size(), 1);
    QWidget form;
    auto* frame = new QGroupBox(&form);
    auto* first = new QPushButton("1", frame);
    auto* second = new QPushButton("2", frame);
    auto* frame_layout = new QHBoxLayout(frame);
    frame_layout->addWidget(first);
    frame_layout->addWidget(second);
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(frame);
    int firsts = 0;
    connect(first, &QPushButton::clicked, &form, [&firsts] { ++firsts; });
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Return);
    QCOMPARE(firsts, 1);
    QVERIFY(first->hasFocus());
    // Shift+Enter is no press.
    QTest::keyClick(first, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(firsts, 1);
  }

  void WaitingWithoutPreFormIsRefused() {
    Msg_Waiting& p = Msg_Waiting::Instance();
    QCOMPARE(&p, &Msg_Waiting::Instance());
    p.PreForm(nullptr);
    try {
      p.Load();
      QFAIL("no error");
    } catch (const AppError& e) {
      QCOMPARE(QString::fromStdString(e.Description()),
               QString::fromUtf8("対象formが指定されていません"));
      QCOMPARE(QString::fromStdString(e.Source()), QString("Msg_Waiting"));
      QCOMPARE(e.Number(), kErrInvalidValue);
    }
    QVERIFY(!p.isVisible());
    QVERIFY(!p.Loaded());

    // A PreForm that has gone counts as not set.
    auto* gone = new QWidget;
    p.PreForm(gone);
    delete gone;
    QVERIFY_THROWS_EXCEPTION(AppError, p.Load());
  }

  void WaitingDisablesItsPreFormWhileLoaded() {
    QWidget owner;
    owner.show();
    Msg_Waiting& p = Msg_Waiting::Instance();
    p.PreForm(&owner);
    p.Message1("山田太郎");
    p.Message2("スコア表作成中...");
    p.Load();
    QVERIFY(p.Loaded());
    QVERIFY(p.isVisible());
    QVERIFY(!p.isModal());
    QVERIFY(!owner.isEnabled());
    QVERIFY(p.isEnabled());
    QCOMPARE(LineOf(&p, 0)->text(), QString::fromUtf8("山田太郎"));
    QCOMPARE(LineOf(&p, 1)->text(), QString::fromUtf8("スコア表作成中..."));
    QVERIFY(!Child<ProgressPicture>(&p, "picProgress_0")->isVisible());
    QVERIFY(!Child<ProgressPicture>(&p, "picProgress_1")->isVisible());
    QVERIFY(Child<QPushButton>(&p, "cmdStop")->isEnabled());
    QVERIFY(!p.StopFlag());
    // A text changed during the run shows at once.
    p.Message1("髙橋一郎");
    QCOMPARE(LineOf(&p, 0)->text(), QString::fromUtf8("髙橋一郎"));
    // Escape does not close it.
    QTest::keyClick(&p, Qt::Key_Escape);
    QVERIFY(p.isVisible());

    p.Unload();
    QVERIFY(owner.isEnabled());
    QVERIFY(!p.isVisible());
    QVERIFY(!p.Loaded());
    QCOMPARE(LineOf(&p, 0)->text(), QString());
    QCOMPARE(LineOf(&p, 1)->text(), QString());
    QCOMPARE(p.PreForm(), &owner);
    p.PreForm(nullptr);
  }

  void BarsDrawTheirPercentageAndYellowFill() {
    QWidget owner;
    Msg_Waiting& p = Msg_Waiting::Instance();
    p.PreForm(&owner);
    p.Load();
    ProgressPicture* bar = Child<ProgressPicture>(&p, "picProgress_1");
    p.StartProgress(1, 4);
    QVERIFY(bar->isVisible());
    QVERIFY(!Child<ProgressPicture>(&p, "picProgress_0")->isVisible());
    const int w = bar->width();
    QVERIFY(w > 100);
    QCOMPARE(bar->PercentText(), QString("0%"));
    QCOMPARE(bar->FillWidth(), 0);
    QCOMPARE(YellowInRow(bar->grab().toImage(), 1), 0);

    p.CountProgress(1, 1);
    QCOMPARE(bar->Count(), 1L);
    QCOMPARE(bar->PercentText(), QString("25%"));
    QCOMPARE(bar->FillWidth(), w / 4);
    QImage image = bar->grab().toImage();
    QCOMPARE(image.width(), w);
    QCOMPARE(YellowInRow(image, 1), w / 4);
    QCOMPARE(YellowInRow(image, image.height() - 1), w / 4);
    QCOMPARE(image.pixelColor(0, 1), ProgressPicture::FillColor());
    QCOMPARE(image.pixelColor(w / 4, 1), QColor(Qt::white));
    // The percentage is written from a little left of the middle.
    QVERIFY(bar->TextLeft() < w / 2);
    QVERIFY(bar->TextLeft() > w / 2 - 40);
    QVERIFY(!HasDarkPixel(image, 0, bar->TextLeft() - 1));
    QVERIFY(HasDarkPixel(image, bar->TextLeft(), w / 2 + 20));

    p.CountProgress(1, 1);
    QCOMPARE(bar->PercentText(), QString("50%"));
    QCOMPARE(YellowInRow(bar->grab().toImage(), 1), w / 2);

    // Beyond the maximum: a full bar and more than 100%.
    p.CountProgress(1, 4);
    QCOMPARE(bar->PercentText(), QString("150%"));
    QCOMPARE(bar->FillWidth(), w);
    QCOMPARE(YellowInRow(bar->grab().toImage(), 1), w);

    // The whole part, not the rounded value.
    p.StartProgress(1, 3);
    QCOMPARE(bar->Count(), 0L);
    p.CountProgress(1, 2);
    QCOMPARE(bar->PercentText(), QString("66%"));
    QCOMPARE(bar->FillWidth(), 2 * w / 3);

    // A maximum of 0 draws an empty bar.
    ProgressPicture* bar0 = Child<ProgressPicture>(&p, "picProgress_0");
    p.StartProgress(0, 0);
    QVERIFY(bar0->isVisible());
    p.CountProgress(0, 3);
    QCOMPARE(bar0->PercentText(), QString("0%"));
    QCOMPARE(bar0->FillWidth(), 0);
    QCOMPARE(YellowInRow(bar0->grab().toImage(), 1), 0);

    p.Unload();
    QVERIFY(!bar->isVisible());
    QVERIFY(!bar0->isVisible());
    QVERIFY(owner.isEnabled());
  }

  void BarNumberOtherThanZeroOrOneIsAnError() {
    QWidget owner;
    Msg_Waiting& p = Msg_Waiting::Instance();
    p.PreForm(&owner);
    p.Load();
    QVERIFY_THROWS_EXCEPTION(AppError, p.StartProgress(2, 10));
    QVERIFY_THROWS_EXCEPTION(AppError, p.StartProgress(-1, 10));
    QVERIFY_THROWS_EXCEPTION(AppError, p.CountProgress(2, 1));
    try {
      p.CountProgress(-1, 1);
      QFAIL("no error");
    } catch (const AppError& e) {
      QCOMPARE(QString::fromStdString(e.Source()), QString("Msg_Waiting"));
    }
    p.Unload();
  }

  void StopPressedDuringAScorePageRunEndsItWithWholePages() {
    testing::ScoreDbFixture fx;
    Database& db = fx.Db();
    testing::AddBowler(db, "山田太郎", "yamada", 1);
    testing::AddAlley(db, "中央レーン", 1, true);
    testing::AddLevel(db, "公式戦", 1, true);
    // Eight plays of two games.
    for (int day = 1; day <= 8; ++day) {
      const std::string date = "2024/05/0" + std::to_string(day);
      testing::AddOpenGame(db, "山田太郎", "中央レーン", "公式戦", date, 1, "8", "1");
      testing::AddOpenGame(db, "山田太郎", "中央レーン", "公式戦", date, 2, "7", "2");
    }

    testing::TempDir whole_out;
    testing::CountingProgress counting;
    PageContext whole{db, "score", testing::InitialLook(), whole_out.Path(), counting};
    PageRunResult whole_run =
        OutputScorePages(whole, "山田太郎", "yamada", "2024/05/01", "2024/05/31", true);
    QCOMPARE(whole_run.pages, 8L);
    QVERIFY(!whole_run.stopped);
    const std::vector<std::string> whole_files = FilesUnder(whole_out.Path());
    QCOMPARE(whole_files.size(), std::size_t(8));

    QWidget owner;
    owner.show();
    Msg_Waiting& p = Msg_Waiting::Instance();
    p.PreForm(&owner);
    p.Message1("山田太郎");
    p.Message2("スコア表作成中...");
    p.Load();
    ProgressPicture* bar = Child<ProgressPicture>(&p, "picProgress_1");
    QPushButton* stop = Child<QPushButton>(&p, "cmdStop");
    // The user clicks STOP once the bar has counted seven games: during the first game of the
    // fourth play. The click can only reach the button while the bar lets events through.
    long count_at_click = -1;
    QTimer user;
    user.setInterval(0);
    connect(&user, &QTimer::timeout, this, [&] {
      if (count_at_click < 0 && bar->Count() >= 7) {
        count_at_click = bar->Count();
        QTest::mouseClick(stop, Qt::LeftButton);
      }
    });
    user.start();

    testing::TempDir out;
    PageContext context{db, "score", testing::InitialLook(), out.Path(), p};
    PageRunResult run =
        OutputScorePages(context, "山田太郎", "yamada", "2024/05/01", "2024/05/31", true);
    user.stop();

    QCOMPARE(count_at_click, 7L);
    QVERIFY(p.StopFlag());
    QVERIFY(run.stopped);
    QCOMPARE(run.pages, 3L);
    QCOMPARE(bar->Maximum(), 16L);
    QVERIFY(bar->Count() < 16);
    QCOMPARE(LineOf(&p, 0)->text(), QString());
    QCOMPARE(LineOf(&p, 1)->text(), kStopping);
    QVERIFY(!stop->isEnabled());
    QVERIFY(!owner.isEnabled());

    // The pages written are the first three of the whole run, byte for byte, and nothing else.
    const std::vector<std::string> files = FilesUnder(out.Path());
    QCOMPARE(files, std::vector<std::string>(whole_files.begin(), whole_files.begin() + 3));
    for (const std::string& f : files) {
      QVERIFY2(testing::ReadFileBytes(out.File(f)) == testing::ReadFileBytes(whole_out.File(f)),
               f.c_str());
    }

    p.Unload();
    QVERIFY(!p.StopFlag());
    QVERIFY(owner.isEnabled());
    p.PreForm(nullptr);
  }

  void CenterWindowPlacesTheWindowInTheMiddleOfItsScreen() {
    QWidget form;
    form.setFixedSize(300, 200);
    CenterWindow(&form);
    const QRect area = form.screen()->availableGeometry();
    QVERIFY(std::abs(form.frameGeometry().center().x() - area.center().x()) <= 1);
    QVERIFY(std::abs(form.frameGeometry().center().y() - area.center().y()) <= 1);

    // A window with a layout and no size yet is centred by the size it will be shown with.
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("一行目"));
    layout->addWidget(new QPushButton("OK"));
    CenterWindow(&dialog);
    dialog.show();
    QVERIFY(std::abs(dialog.frameGeometry().center().x() - area.center().x()) <= 12);
    QVERIFY(std::abs(dialog.frameGeometry().center().y() - area.center().y()) <= 40);

    CenterWindow(nullptr);
  }

  void EnableOwnerEnablesAndDisables() {
    QWidget form;
    EnableOwner(&form, false);
    QVERIFY(!form.isEnabled());
    EnableOwner(&form, true);
    QVERIFY(form.isEnabled());
    EnableOwner(nullptr, false);
  }

  void AnimationsAreShortAndDoNotBlock() {
    QVERIFY(!AnimationsEnabled());
    QWidget form;
    form.resize(200, 100);
    form.show();
    AnimateOpen(&form);
    QCOMPARE(form.windowOpacity(), 1.0);

    qunsetenv("LANEREPORT_NO_ANIMATION");
    QVERIFY(AnimationsEnabled());
    QElapsedTimer clock;
    clock.start();
    AnimateOpen(&form);
    AnimateClose(&form);
    QVERIFY(clock.elapsed() < 100);
    QVERIFY(form.windowOpacity() < 1.0);
    QTRY_COMPARE_WITH_TIMEOUT(form.windowOpacity(), 1.0, 2000);
    auto close_images = [] {
      int n = 0;
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "lanereport_close_effect") ++n;
      return n;
    };
    QTRY_COMPARE_WITH_TIMEOUT(close_images(), 0, 2000);
    // A window that goes while it opens stops its effect with it.
    auto* brief = new QWidget;
    brief->show();
    AnimateOpen(brief);
    delete brief;
    QTest::qWait(200);
    qputenv("LANEREPORT_NO_ANIMATION", "1");
  }

  void EnterMovesTheFocusToTheNextControl() {
    QDialog form;
    auto* first = new QLineEdit(&form);
    first->setObjectName("txtFirst");
    auto* second = new QComboBox(&form);
    second->setEditable(true);
    auto* ok = new QPushButton("OK", &form);
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addWidget(ok);
    int clicks = 0;
    connect(ok, &QPushButton::clicked, &form, [&clicks] { ++clicks; });
    MoveFocusOnEnter(&form);
    MoveFocusOnEnter(&form);  // once is enough; a second call adds nothing
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));

    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Return);
    QVERIFY(second->hasFocus());
    QCOMPARE(clicks, 0);  // swallowed: the default button is not pressed
    QVERIFY(form.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(ok->hasFocus());
    QCOMPARE(clicks, 0);
    // A focused button keeps its own Enter.
    QTest::keyClick(ok, Qt::Key_Return);
    QCOMPARE(clicks, 1);

    // Controls added later follow the same rule.
    form.hide();
    form.setResult(0);
    auto* later = new QLineEdit(&form);
    layout->insertWidget(0, later);
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    later->setFocus();
    QTRY_VERIFY(later->hasFocus());
    QTest::keyClick(later, Qt::Key_Return);
    QVERIFY(!later->hasFocus());
    QVERIFY(form.focusWidget() != nullptr);
    QCOMPARE(clicks, 1);
    // Shift+Enter is not a plain Enter and is left alone.
    first->setFocus();
    QTRY_VERIFY(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(first->hasFocus());
  }
};

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  MessageWindowsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "message_windows_test.moc"
