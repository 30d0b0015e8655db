#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// The colour of completion messages, dark blue in the window colour form (&H800000).
inline constexpr long kCompletionColor = 0x800000;

// What Msg_Warning and Msg_YesNo show: two lines, a text colour in the window colour form
// (0 = the default colour) and the seconds after which the window closes itself (0 = never).
struct MessageText {
  std::string message1;
  std::string message2;
  long color = 0;
  int timer_seconds = 0;
};

// The message windows as the core sees them. The window front end shows them modally; the
// command line prints them.
class MessageWindow {
 public:
  virtual ~MessageWindow() = default;

  // Msg_Warning: a warning, or a completion message when color is kCompletionColor.
  virtual void ShowWarning(const MessageText& message) = 0;
  // Msg_YesNo: true only when the user answered yes; a window that closes itself by its timer
  // answers no.
  virtual bool AskYesNo(const MessageText& message) = 0;
};

}  // namespace lanereport
