#pragma once

#include <QDialog>
#include <QPalette>
#include <QString>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace lanereport::gui {

// What the three message windows share: two centred lines (lblMessage_0 and lblMessage_1),
// room for the window's own controls below them, and a row of centred buttons at the bottom.
// The window is as wide as its default width, or wider when a line needs it: a line at least as
// wide as the window makes the window that line's width plus kLineMargin, with the lines and
// the buttons centred again.
class MessageDialog : public QDialog {
  Q_OBJECT

 public:
  // The room left beside a line that widened the window (200 twips at 15 twips a pixel).
  static constexpr int kLineMargin = 200 / 15;

  // The window's width before any line widened it.
  int DefaultWidth() const { return default_width_; }

 protected:
  // default_width: the width the window starts with; body_height: the height of the window's
  // own controls between the lines and the buttons (0 for none).
  MessageDialog(int default_width, int body_height);

  QLabel* Line(int index) const { return lines_[index]; }
  // Puts text on line index (0 or 1) and widens the window when the line needs it.
  void SetLine(int index, const QString& text);
  // Both lines in the window colour form &HBBGGRR; 0 gives them the default colour again.
  void SetLineColor(long bgr);
  // Adds a button to the bottom row, the dialog becoming its parent.
  void AddButton(QPushButton* button);
  void SetButtonsVisible(bool visible);
  // Back to the default width, as a window that is loaded afresh.
  void RestoreDefaultWidth();

  // Shows the two lines in the colour, starts timer for timer_milliseconds (0: no timer), gives
  // focus the focus, beeps and runs the window modally; afterwards clears both messages and
  // lines. Returns exec()'s result.
  int RunMessage(std::string& message1, std::string& message2, long color, int timer_milliseconds,
                 QTimer* timer, QPushButton* focus);

  // Places the window's own controls in the band that starts at top, for the window width
  // width. Called whenever the width changes.
  virtual void LayoutBody(int width, int top);
  // Places every control for the current width; derived windows call it once they are built.
  void Relayout();

 private:
  int default_width_;
  int body_height_;
  int width_;
  QLabel* lines_[2];
  QPalette line_palette_;
  std::vector<QPushButton*> buttons_;
};

}  // namespace lanereport::gui
