#pragma once

#include <QWidget>

namespace lanereport::gui {

class WindowStart;

// The start menu "出力処理": cmdButton_0 "Score" opens the score output window, cmdButton_1
// "Bowler" the profile window, cmdButton_2 "Entry" the score entry window and cmdButton_3
// "Master" the masters window; the menu hides while a work window is open. It opens with the
// focus on Score.
class frmDOMenu : public QWidget {
  Q_OBJECT

 public:
  explicit frmDOMenu(WindowStart& start);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 signals:
  // The user closed the menu itself.
  void Closed();
};

}  // namespace lanereport::gui
