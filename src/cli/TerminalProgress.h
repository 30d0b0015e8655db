#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "CliSupport.h"
#include "ui/ProgressWindow.h"

namespace lanereport::cli {

// The progress window on a terminal: one line on standard error with the step of a run of
// several steps ("[2/3 月間表 17/99]"), the message lines, a bar and its percentage, redrawn in
// place at most ten times a second and never wider than the terminal (wide characters count
// two columns), and Ctrl-C (StopSignal) as STOP. Nothing is drawn unless err is the process's
// standard error and that is a terminal, so redirected output and tests stay clean. The two bars
// share the one line: the bar last started is drawn; within a step that goes item by item the
// bar shows the whole step, so it does not start again with every item.
class TerminalProgress : public ProgressWindow {
 public:
  // stop must outlive the object.
  TerminalProgress(std::ostream& err, const StopSignal& stop);
  // Clears the bar's line, so what is printed next starts on a clean line.
  ~TerminalProgress() override;
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  void Message1(std::string_view text) override;
  void Message2(std::string_view text) override;
  void StartProgress(int bar, long maximum) override;
  void CountProgress(int bar, long step) override;
  bool StopFlag() const override;
  void Overall(int step, int steps, std::string_view name, long item, long items) override;

  // Clears the line of the progress drawn now, if any: called before a message is printed to
  // either stream, so no message is glued to a bar.
  static void ClearActive();

  // The line as it would be drawn for a terminal of columns columns (tests and Draw).
  std::string Line(int columns) const;

  // Tests only: called at every CountProgress, before the stop flag is read; a test raises
  // SIGINT from it to press STOP in the middle of a run. An empty function removes the hook.
  static void SetCountHookForTesting(std::function<void()> hook);

 private:
  // Draws when the last drawing is at least a tenth of a second old, or when forced.
  void Draw(bool force);
  void Clear();

  std::ostream& err_;
  const StopSignal& stop_;
  bool terminal_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_draw_{};
  std::string message1_;
  std::string message2_;
  std::string last_line_;
  int bar_ = 0;
  long maximum_[2] = {0, 0};
  long count_[2] = {0, 0};
  int step_ = 0;
  int steps_ = 0;
  std::string step_name_;
  long item_ = 0;
  long items_ = 0;
};

}  // namespace lanereport::cli
