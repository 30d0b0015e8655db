#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <string>

#include "calendar/MonthGrid.h"
#include "util/Clock.h"

class QComboBox;
class QPushButton;

namespace lanereport::gui {

// The modal month calendar for picking a date: year and month boxes, month moves, six weeks of
// day buttons (Sunday first) coloured by kind with the holidays named in their tool tips, a
// button for today, OK and cancel. The caller sets the position and the first date, shows the
// window and then reads Canceled and ResultDate. Today comes from the core's clock.
class frmSearchCalender : public QDialog {
  Q_OBJECT

 public:
  explicit frmSearchCalender(QWidget* parent = nullptr);

  // The window's position on the screen when shown (top and left of its frame). When both are
  // 0 the window is centred on the screen.
  void PosTop(int top) { pos_top_ = top; }
  void PosLeft(int left) { pos_left_ = left; }
  // The date field the window serves: when set, the window opens below or beside it, inside
  // the screen, leaving it in sight (PosTop and PosLeft are then not used). The field must
  // outlive the window's Show().
  void Beside(QWidget* field) { field_ = field; }

  // The date shown first and picked, as "YYYY/MM/DD" (also "YYYY/M/D", "YYYY-MM-DD" or
  // "YYYYMMDD"). An empty text, or one that is not a date of the calendar's years, means today.
  // The grid moves to that month at once.
  void DefaultDate(const std::string& date);

  // Shows the window modally and returns when it closes: QDialog::Accepted after OK, else
  // QDialog::Rejected. Canceled and ResultDate are reset when it opens.
  int Show();

  // True unless OK closed the window.
  bool Canceled() const { return canceled_; }
  // The date picked when OK closed the window, as "yyyy/mm/dd"; empty before that.
  const std::string& ResultDate() const { return result_date_; }
  // The date picked on the grid now, as eight digits "yyyymmdd".
  std::string Value() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // Shows the month of date with date picked. date must be a real date of the calendar's years.
  void ShowDate(const CivilDate& date);
  // Writes the day buttons of the shown month and the boxes.
  void Redraw();
  // Moves the shown month by months, keeping the picked day where the month has it.
  void MoveMonth(int months);
  // The year or month typed or chosen in its box: shown when valid, else the box shows the
  // shown year or month again.
  void ApplyYear();
  void ApplyMonth();
  void PickDay(int index);
  void OnToday();
  void OnOK();
  void RefreshTodayCaption();
  // Places the window beside field_ by its frame, or by an estimated one before it is framed.
  void PlaceBesideField();
  // Places it again once, when the window manager has given it its frame.
  void PlaceBesideFieldOnceFramed();

  QComboBox* cbo_year_;
  QComboBox* cbo_month_;
  QPushButton* cmd_today_;
  std::array<QPushButton*, MonthGrid::kCells> cmd_day_{};

  MonthGrid grid_;
  CivilDate value_;
  QPointer<QWidget> field_;
  bool placed_framed_ = false;
  int pos_top_ = 0;
  int pos_left_ = 0;
  bool canceled_ = true;
  std::string result_date_;
};

}  // namespace lanereport::gui
