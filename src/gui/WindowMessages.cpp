#include "WindowMessages.h"

#include <QWidget>

#include "Msg_Waiting.h"
#include "Msg_Warning.h"
#include "Msg_YesNo.h"

namespace lanereport::gui {

void WindowMessages::ShowWarning(const MessageText& message) {
  Msg_Warning& window = Msg_Warning::Instance();
  window.Message1(message.message1);
  window.Message2(message.message2);
  window.Color(message.color);
  window.TimerSet(message.timer_seconds);
  window.Show();
}

bool WindowMessages::AskYesNo(const MessageText& message) {
  Msg_YesNo& window = Msg_YesNo::Instance();
  window.Message1(message.message1);
  window.Message2(message.message2);
  window.Color(message.color);
  window.TimerSet(message.timer_seconds);
  window.Show();
  return window.YesNo();
}

void RunWithWaitingWindow(const std::function<void(ProgressWindow&)>& work) {
  QWidget owner;
  Msg_Waiting& window = Msg_Waiting::Instance();
  window.PreForm(&owner);
  window.Load();
  struct Unload {
    Msg_Waiting& window;
    ~Unload() {
      window.Unload();
      window.PreForm(nullptr);
    }
  } unload{window};
  work(window);
}

}  // namespace lanereport::gui
