#pragma once

#include <string>
#include <string_view>

#include "ui/ProgressWindow.h"

namespace lanereport::testing {

// A progress window for tests: counts the steps of both bars, keeps the last messages, and
// reports STOP once the count of steps reaches stop_after (never when it is negative).
class CountingProgress : public ProgressWindow {
 public:
  explicit CountingProgress(long stop_after = -1) : stop_after_(stop_after) {}
  void Message1(std::string_view text) override { message1 = text; }
  void Message2(std::string_view text) override { message2 = text; }
  void StartProgress(int, long maximum) override { last_maximum = maximum; }
  void CountProgress(int, long step) override { counted += step; }
  bool StopFlag() const override {
    return stop_requested || (stop_after_ >= 0 && counted >= stop_after_);
  }

  long counted = 0;
  long last_maximum = 0;
  bool stop_requested = false;
  std::string message1;
  std::string message2;

 private:
  long stop_after_;
};

}  // namespace lanereport::testing
