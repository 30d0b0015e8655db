#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// The progress window of a long run (Msg_Waiting) as the core sees it: two message lines, two
// bars (0 and 1) each with a maximum and a count, and the STOP request. The window front end and
// the command line implement it; the drivers only call it. Implementations must cope with a
// count beyond the maximum and with a maximum of 0.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;

  virtual void Message1(std::string_view text) = 0;
  virtual void Message2(std::string_view text) = 0;
  // Shows bar 0 or 1 empty, with the given maximum.
  virtual void StartProgress(int bar, long maximum) = 0;
  // Adds step to the bar's count and lets the user press STOP.
  virtual void CountProgress(int bar, long step) = 0;
  // True once STOP was pressed; stays true for the rest of the run. Callers test it after each
  // unit of work and end the run.
  virtual bool StopFlag() const = 0;
  // Where a run of several steps stands: step of steps (counting from 1) named name, and item
  // of items within it (items 0 when the step does not go item by item). The bars keep their
  // own meaning; a front end may show this as well. The default shows nothing.
  virtual void Overall(int /*step*/, int /*steps*/, std::string_view /*name*/, long /*item*/,
                       long /*items*/) {}
};

// What a run shows while another program holds the database and the run waits for it.
inline constexpr const char* kDatabaseBusyMessage =
    "他のプログラムがデータベースを使用中です。終わるのを待っています...";

// A progress window that shows nothing and is never stopped: for runs without a user.
class SilentProgress : public ProgressWindow {
 public:
  void Message1(std::string_view) override {}
  void Message2(std::string_view) override {}
  void StartProgress(int, long) override {}
  void CountProgress(int, long) override {}
  bool StopFlag() const override { return false; }
};

}  // namespace lanereport
