#pragma once

#include <functional>

#include "ui/MessageWindow.h"
#include "ui/ProgressWindow.h"

namespace lanereport::gui {

// The core's message windows in the window front end: warnings and completion messages in
// Msg_Warning, questions in Msg_YesNo, both shown modally. Needs the application object.
class WindowMessages : public MessageWindow {
 public:
  void ShowWarning(const MessageText& message) override;
  bool AskYesNo(const MessageText& message) override;
};

// Runs work with Msg_Waiting loaded, owned by a hidden window of its own (at the start no
// other window is open), and unloads it however work ends.
void RunWithWaitingWindow(const std::function<void(ProgressWindow&)>& work);

}  // namespace lanereport::gui
