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
// The lines keep kLineMargin / 2 from either edge. The window is as wide as its default width,
// or wider when a line needs it: a line wider than the room the window gives it makes the
// window that line's width plus kLineMargin, up to MaxWidth(); a line wider still is broken
// into rows (at word boundaries where it has them) and the window grows in height. It is a
// dialog: a title and a close button, no minimise or maximise button.
class MessageDialog : public QDialog {
  Q_OBJECT

 public:
  // The room beside a line, both sides together.
  static constexpr int kLineMargin = 48;
  // The widest a long line makes the window, on a screen wide enough.
  static constexpr int kMaxWidth = 640;

  // The window's width before any line widened it.
  int DefaultWidth() const { return default_width_; }
  // The widest a long line makes the window: kMaxWidth, or less where the screen is narrower
  // (never less than the default width).
  int MaxWidth() const;

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
