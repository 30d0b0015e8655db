#pragma once

#include <string>

#include "MessageDialog.h"

class QPushButton;
class QTimer;

namespace lanereport::gui {

// The warning and completion window: one or two lines and OK (cmdOK). It can close itself after
// a set time (tmrClose), which counts as OK. The program keeps one instance; the properties keep
// their values from one showing to the next, except the two texts, which are cleared when the
// window closes.
class Msg_Warning : public MessageDialog {
  Q_OBJECT

 public:
  // The one window, made on first use without a parent and deleted when the application object
  // goes. Needs the application object.
  static Msg_Warning& Instance();

  // Texts (UTF-8) of line 1 and line 2.
  void Message1(std::string text) { message1_ = std::move(text); }
  void Message2(std::string text) { message2_ = std::move(text); }
  // Text colour of both lines in the window colour form &HBBGGRR; 0 = the default colour.
  void Color(long bgr) { color_ = bgr; }
  // Seconds after which the window closes itself as if OK was pressed; 0 = never.
  void TimerSet(int seconds) { timer_milliseconds_ = seconds * 1000; }

  // Shows the window modally, centred, with a beep, and returns when it has closed:
  // QDialog::Accepted after OK or the timer.
  int Show();

  // Escape and the window's close button count as OK.
  void reject() override;

 private:
  Msg_Warning();
  void Ok();

  std::string message1_;
  std::string message2_;
  long color_ = 0;
  int timer_milliseconds_ = 0;
  QPushButton* ok_;
  QTimer* timer_;
};

}  // namespace lanereport::gui
