#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// The progress window as the long runs see it: two message lines, a bar that counts from a
// minimum to a maximum, and the STOP button. The front ends implement it (a terminal bar on the
// command line, a window later). Once STOP is pressed, StopFlag stays true until the run ends.
class Progress {
 public:
  virtual ~Progress() = default;
  // The two lines shown above the bar.
  virtual void SetMessages(std::string_view message1, std::string_view message2) = 0;
  // Starts the bar at minimum, ending at maximum.
  virtual void StartProgress(long minimum, long maximum) = 0;
  // Advances the bar by step (the window also lets pending input through here).
  virtual void CountProgress(long step = 1) = 0;
  // Back to the start of the bar without a new range.
  virtual void ResetProgress() = 0;
  // True once the user asked to stop.
  virtual bool StopFlag() const = 0;
};

// A progress that shows nothing and is never stopped unless told so (tests, quiet runs).
class SilentProgress : public Progress {
 public:
  void SetMessages(std::string_view, std::string_view) override {}
  void StartProgress(long, long) override {}
  void CountProgress(long step = 1) override { counted_ += step; }
  void ResetProgress() override {}
  bool StopFlag() const override { return stop_; }

  void RequestStop() { stop_ = true; }
  long Counted() const { return counted_; }

 private:
  bool stop_ = false;
  long counted_ = 0;
};

}  // namespace lanereport
