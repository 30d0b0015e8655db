#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "CliSupport.h"
#include "ui/ProgressWindow.h"

namespace lanereport::cli {

// The progress window on a terminal: one line on standard error with the message lines, a bar
// and its percentage, redrawn in place as the run advances, and Ctrl-C (StopSignal) as STOP.
// Nothing is drawn unless err is the process's standard error and that is a terminal, so
// redirected output and tests stay clean. The two bars share the one line: the bar last started
// is drawn.
class TerminalProgress : public ProgressWindow {
 public:
  // stop must outlive the object.
  TerminalProgress(std::ostream& err, const StopSignal& stop);
  // Ends the bar's line when one was drawn.
  ~TerminalProgress() override;
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void Message1(std::string_view text) override;
  void Message2(std::string_view text) override;
  void StartProgress(int bar, long maximum) override;
  void CountProgress(int bar, long step) override;
  bool StopFlag() const override;

  // Tests only: called at every CountProgress, before the stop flag is read; a test raises
  // SIGINT from it to press STOP in the middle of a run. An empty function removes the hook.
  static void SetCountHookForTesting(std::function<void()> hook);

 private:
  void Draw();

  std::ostream& err_;
  const StopSignal& stop_;
  bool terminal_;
  bool drawn_ = false;
  std::string message1_;
  std::string message2_;
  std::string last_line_;
  int bar_ = 0;
  long maximum_[2] = {0, 0};
  long count_[2] = {0, 0};
};

}  // namespace lanereport::cli
