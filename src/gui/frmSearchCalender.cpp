#include "frmSearchCalender.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "WindowControl.h"
#include "util/DateText.h"

namespace lanereport::gui {
namespace {

// Day button backgrounds (&HBBGGRR): light yellow for weekdays, light blue for Saturdays, pink
// for Sundays and holidays.
constexpr long kWeekdayColor = 0xD8FFFF;
constexpr long kSaturdayColor = 0xFFFFC0;
constexpr long kHolidayColor = 0xC0C0FF;

constexpr const char* kWeekNames[MonthGrid::kColumns] = {"日", "月", "火", "水", "木", "金", "土"};

constexpr int kDayWidth = 38;
constexpr int kDayHeight = 28;

// Today as the clock shows it, kept within the calendar's years.
CivilDate TodayInCalendar() {
  const CivilDate today = Today();
  if (today.year < kFirstCalendarYear) return {kFirstCalendarYear, 1, 1};
  if (today.year > kLastCalendarYear) return {kLastCalendarYear, 12, 31};
  return today;
}

QString BackgroundName(DayKind kind) {
  switch (kind) {
    case DayKind::kSaturday:
      return BgrColor(kSaturdayColor).name();
    case DayKind::kSunday:
    case DayKind::kHoliday:
      return BgrColor(kHolidayColor).name();
    case DayKind::kWeekday:
      break;
  }
  return BgrColor(kWeekdayColor).name();
}

QString TextColorName(DayKind kind) {
  switch (kind) {
    case DayKind::kSaturday:
      return "#0000a0";
    case DayKind::kSunday:
    case DayKind::kHoliday:
      return "#b00000";
    case DayKind::kWeekday:
      break;
  }
  return "#000000";
}

QString DayStyle(DayKind kind, bool picked) {
  const QString border = picked ? "3px solid #000080" : "1px solid #a0a0a0";
  return QString("QPushButton { background-color: %1; color: %2; border: %3; font-weight: %4; }")
      .arg(BackgroundName(kind), TextColorName(kind), border, picked ? "bold" : "normal");
}

const QString kEmptyDayStyle =
    "QPushButton { background-color: transparent; border: 1px solid #e0e0e0; }";

QComboBox* NumberBox(const QString& name, int max_length, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setCompleter(nullptr);
  box->lineEdit()->setMaxLength(max_length);
  // Sized by the digits it holds, not by its list, so the window has its final size from the
  // start.
  box->setMinimumContentsLength(max_length + 1);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return box;
}

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  // Enter pressed elsewhere in the window must not close it through a default button.
  button->setAutoDefault(false);
  return button;
}

}  // namespace

frmSearchCalender::frmSearchCalender(QWidget* parent)
    : QDialog(parent),
      grid_(TodayInCalendar().year, TodayInCalendar().month),
      value_(TodayInCalendar()) {
  setObjectName("frmSearchCalender");
  setWindowTitle(QString::fromUtf8("カレンダー"));
  setModal(true);
  DialogFrame(this);

  auto* move_back = Button("cmdMonthMove_0", QString::fromUtf8("◀"), this);
  auto* move_on = Button("cmdMonthMove_1", QString::fromUtf8("▶"), this);
  cbo_year_ = NumberBox("cboYear", 4, this);
  cbo_month_ = NumberBox("cboMonth", 2, this);
  QStringList years;
  for (int year = kFirstCalendarYear; year <= kLastCalendarYear; ++year) {
    years << QString::asprintf("%04d", year);
  }
  cbo_year_->addItems(years);
  for (int month = 1; month <= 12; ++month) cbo_month_->addItem(QString::asprintf("%02d", month));
  auto* cmd_year = Button("cmdYear", QString::fromUtf8("年"), this);
  auto* cmd_month = Button("cmdMonth", QString::fromUtf8("月"), this);
  for (QPushButton* b : {move_back, move_on, cmd_year, cmd_month}) b->setFixedWidth(kDayWidth);

  auto* heading = new QHBoxLayout;
  heading->addWidget(move_back);
  heading->addStretch();
  heading->addWidget(cbo_year_);
  heading->addWidget(cmd_year);
  heading->addWidget(cbo_month_);
  heading->addWidget(cmd_month);
  heading->addStretch();
  heading->addWidget(move_on);

  auto* days = new QGridLayout;
  days->setSpacing(2);
  for (int column = 0; column < MonthGrid::kColumns; ++column) {
    auto* label = new QLabel(QString::fromUtf8(kWeekNames[column]), this);
    label->setObjectName(QString("lblWeek_%1").arg(column));
    label->setAlignment(Qt::AlignCenter);
    if (column == 0) label->setStyleSheet("color: #b00000;");
    if (column == MonthGrid::kColumns - 1) label->setStyleSheet("color: #0000a0;");
    days->addWidget(label, 0, column);
  }
  for (int index = 0; index < MonthGrid::kCells; ++index) {
    QPushButton* day = Button(QString("cmdDAY_%1").arg(index), QString(), this);
    day->setFixedSize(kDayWidth, kDayHeight);
    day->installEventFilter(this);
    connect(day, &QPushButton::clicked, this, [this, index] { PickDay(index); });
    days->addWidget(day, 1 + index / MonthGrid::kColumns, index % MonthGrid::kColumns);
    cmd_day_[index] = day;
  }

  cmd_today_ = Button("cmdToday", QString(), this);
  auto* cmd_ok = Button("cmdOK", "OK", this);
  auto* cmd_cancel = Button("cmdCancel", QString::fromUtf8("キャンセル"), this);
  auto* answers = new QHBoxLayout;
  answers->addStretch();
  answers->addWidget(cmd_ok);
  answers->addWidget(cmd_cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(heading);
  layout->addLayout(days);
  layout->addWidget(cmd_today_);
  layout->addLayout(answers);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(move_back, &QPushButton::clicked, this, [this] { MoveMonth(-1); });
  connect(move_on, &QPushButton::clicked, this, [this] { MoveMonth(1); });
  connect(cmd_year, &QPushButton::clicked, this, &frmSearchCalender::ApplyYear);
  connect(cmd_month, &QPushButton::clicked, this, &frmSearchCalender::ApplyMonth);
  connect(cbo_year_, &QComboBox::activated, this, &frmSearchCalender::ApplyYear);
  connect(cbo_month_, &QComboBox::activated, this, &frmSearchCalender::ApplyMonth);
  connect(cbo_year_->lineEdit(), &QLineEdit::editingFinished, this, &frmSearchCalender::ApplyYear);
  connect(cbo_month_->lineEdit(), &QLineEdit::editingFinished, this,
          &frmSearchCalender::ApplyMonth);
  connect(cmd_today_, &QPushButton::clicked, this, &frmSearchCalender::OnToday);
  connect(cmd_ok, &QPushButton::clicked, this, &frmSearchCalender::OnOK);
  connect(cmd_cancel, &QPushButton::clicked, this, &QDialog::reject);

  RefreshTodayCaption();
  Redraw();
}

void frmSearchCalender::DefaultDate(const std::string& date) {
  std::optional<CivilDate> parsed;
  if (const std::optional<std::string> ymd = ParseDateToYmd(date)) parsed = YmdToDate(*ymd);
  ShowDate(parsed ? *parsed : TodayInCalendar());
}

int frmSearchCalender::Show() {
  canceled_ = true;
  result_date_.clear();
  RefreshTodayCaption();
  if (!field_ && (pos_top_ != 0 || pos_left_ != 0)) move(pos_left_, pos_top_);
  return exec();
}

void frmSearchCalender::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Placed here, where the window has the size it is shown with.
  if (field_) {
    placed_framed_ = false;
    PlaceBesideField();
    // The window manager may add its frame only after the window is on the screen: the window
    // is placed again then, by the frame it really has.
    QTimer::singleShot(150, this, [this] { PlaceBesideFieldOnceFramed(); });
  } else if (pos_top_ == 0 && pos_left_ == 0) {
    CenterWindow(this);
  }
}

void frmSearchCalender::moveEvent(QMoveEvent* event) {
  QDialog::moveEvent(event);
  PlaceBesideFieldOnceFramed();
}

void frmSearchCalender::PlaceBesideFieldOnceFramed() {
  if (!field_ || placed_framed_ || !isVisible() || frameGeometry() == geometry()) return;
  placed_framed_ = true;
  PlaceBesideField();
}

void frmSearchCalender::PlaceBesideField() {
  if (!field_) return;
  QScreen* screen = field_->screen() ? field_->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  // Before the window manager has framed the window its frame is not known yet; room is kept
  // for a title bar, so that the frame does not reach over the field either.
  QSize frame = frameGeometry().size();
  if (frame == size()) frame += QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8);
  const QRect field(field_->mapToGlobal(QPoint(0, 0)), field_->size());
  move(PlaceBeside(field, frame, screen->availableGeometry()));
}

std::string frmSearchCalender::Value() const {
  return DateToYmd(value_);
}

bool frmSearchCalender::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    const auto found = std::find(cmd_day_.begin(), cmd_day_.end(), watched);
    if (found != cmd_day_.end() && (*found)->isEnabled()) {
      PickDay(static_cast<int>(found - cmd_day_.begin()));
      OnOK();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmSearchCalender::keyPressEvent(QKeyEvent* event) {
  // No button is the default one, so Enter in a box only applies the box; on a button it
  // presses that button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget());
        button && button->window() == this) {
      button->click();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void frmSearchCalender::ShowDate(const CivilDate& date) {
  grid_ = MonthGrid(date.year, date.month);
  value_ = date;
  Redraw();
}

void frmSearchCalender::Redraw() {
  for (int index = 0; index < MonthGrid::kCells; ++index) {
    const GridCell& cell = grid_.Cell(index);
    QPushButton* button = cmd_day_[index];
    if (cell.day == 0) {
      button->setText(QString());
      button->setToolTip(QString());
      button->setStyleSheet(kEmptyDayStyle);
      button->setEnabled(false);
      continue;
    }
    button->setText(QString::number(cell.day));
    button->setToolTip(QString::fromStdString(cell.holiday));
    button->setStyleSheet(DayStyle(cell.kind, cell.day == value_.day));
    button->setEnabled(true);
  }
  const QSignalBlocker year_blocker(cbo_year_);
  const QSignalBlocker month_blocker(cbo_month_);
  cbo_year_->setCurrentIndex(grid_.Year() - kFirstCalendarYear);
  cbo_year_->setEditText(QString::asprintf("%04d", grid_.Year()));
  cbo_month_->setCurrentIndex(grid_.Month() - 1);
  cbo_month_->setEditText(QString::asprintf("%02d", grid_.Month()));
}

void frmSearchCalender::MoveMonth(int months) {
  if (const std::optional<CivilDate> moved = AddMonths(value_, months)) ShowDate(*moved);
}

void frmSearchCalender::ApplyYear() {
  const std::optional<int> year = ParseCalendarYear(cbo_year_->currentText().toStdString());
  if (!year) {
    Redraw();
    return;
  }
  const int last = DaysInMonth(*year, value_.month);
  ShowDate({*year, value_.month, std::min(value_.day, last)});
}

void frmSearchCalender::ApplyMonth() {
  const std::optional<int> month = ParseCalendarMonth(cbo_month_->currentText().toStdString());
  if (!month) {
    Redraw();
    return;
  }
  const int last = DaysInMonth(value_.year, *month);
  ShowDate({value_.year, *month, std::min(value_.day, last)});
}

void frmSearchCalender::PickDay(int index) {
  const int day = grid_.Cell(index).day;
  if (day == 0) return;
  value_.day = day;
  Redraw();
}

void frmSearchCalender::OnToday() {
  RefreshTodayCaption();
  ShowDate(TodayInCalendar());
}

void frmSearchCalender::OnOK() {
  result_date_ = YmdToSlashed(Value());
  canceled_ = false;
  accept();
}

void frmSearchCalender::RefreshTodayCaption() {
  cmd_today_->setText(QString::fromUtf8("今日:") +
                      QString::fromStdString(YmdToSlashed(DateToYmd(TodayInCalendar()))));
}

}  // namespace lanereport::gui
