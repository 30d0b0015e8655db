#pragma once

#include "ui/MessageWindow.h"

namespace lanereport::gui {

// The core's message windows in the window front end: warnings and completion messages in
// Msg_Warning, questions in Msg_YesNo, both shown modally. Needs the application object.
class WindowMessages : public MessageWindow {
 public:
  void ShowWarning(const MessageText& message) override;
  bool AskYesNo(const MessageText& message) override;
};

}  // namespace lanereport::gui
