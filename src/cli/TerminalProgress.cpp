#include "TerminalProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "util/Utf8Text.h"

namespace lanereport::cli {
namespace {

constexpr int kMaxBarWidth = 30;
constexpr int kMinBarWidth = 10;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::function<void()>& CountHook() {
  static std::function<void()> hook;
  return hook;
}

TerminalProgress*& Active() {
  static TerminalProgress* active = nullptr;
  return active;
}

// The terminal's width in columns: the window size of standard error, else $COLUMNS, else 80.
int TerminalColumns() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    int value = std::atoi(columns);
    if (value > 0) return value;
  }
  return 80;
}

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& err, const StopSignal& stop)
    : err_(err), stop_(stop), terminal_(&err == &std::cerr && ::isatty(STDERR_FILENO) == 1) {
  Active() = this;
}

TerminalProgress::~TerminalProgress() {
  Clear();
  if (Active() == this) Active() = nullptr;
}

void TerminalProgress::ClearActive() {
  if (Active()) Active()->Clear();
}

void TerminalProgress::Message1(std::string_view text) {
  message1_ = text;
  Draw(false);
}

void TerminalProgress::Message2(std::string_view text) {
  message2_ = text;
  Draw(false);
}

void TerminalProgress::StartProgress(int bar, long maximum) {
  if (bar < 0 || bar > 1) return;
  bar_ = bar;
  maximum_[bar] = maximum;
  count_[bar] = 0;
  Draw(false);
}

void TerminalProgress::CountProgress(int bar, long step) {
  if (bar < 0 || bar > 1) return;
  count_[bar] += step;
  if (CountHook()) CountHook()();
  Draw(false);
}

bool TerminalProgress::StopFlag() const {
  return stop_.Raised();
}

void TerminalProgress::Overall(int step, int steps, std::string_view name, long item, long items) {
  bool new_step = step != step_;
  step_ = step;
  steps_ = steps;
  step_name_ = name;
  item_ = item;
  items_ = items;
  Draw(new_step);
}

void TerminalProgress::SetCountHookForTesting(std::function<void()> hook) {
  CountHook() = std::move(hook);
}

std::string TerminalProgress::Line(int columns) const {
  // The fraction of the bar: of the step as a whole when it goes item by item.
  long maximum = maximum_[bar_];
  double fraction = maximum > 0 ? std::clamp(double(count_[bar_]) / maximum, 0.0, 1.0) : 0.0;
  if (items_ > 0) fraction = std::clamp((item_ - 1 + fraction) / items_, 0.0, 1.0);
  int percent = static_cast<int>(fraction * 100);

  std::string text;
  if (steps_ > 0) {
    text = "[" + std::to_string(step_) + "/" + std::to_string(steps_) + " " + step_name_;
    if (items_ > 0) text += " " + std::to_string(item_) + "/" + std::to_string(items_);
    text += "] ";
  }
  if (stop_.Raised()) {
    text += "処理を中断しています．．．";
  } else {
    text += message1_;
    if (!message1_.empty() && !message2_.empty()) text += " ";
    text += message2_;
  }
  // The last column stays free: a line that fills the terminal would wrap on some of them.
  const std::string tail = "] " + std::to_string(percent) + "%";
  int room = columns - 1 - DisplayColumns(tail) - 2;  // " [" before the bar
  int bar_width = std::clamp(room - DisplayColumns(text), kMinBarWidth, kMaxBarWidth);
  bar_width = std::min(bar_width, std::max(0, room));
  text = FitColumns(text, std::max(0, room - bar_width));
  int filled = static_cast<int>(fraction * bar_width);
  std::string line = text + " [" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(bar_width - filled), '.') + tail;
  return FitColumns(line, std::max(0, columns - 1));
}

void TerminalProgress::Draw(bool force) {
  if (!terminal_) return;
  auto now = std::chrono::steady_clock::now();
  if (!force && drawn_ && now - last_draw_ < kRedrawInterval) return;
  std::string line = "\r\x1b[K" + Line(TerminalColumns());
  if (line == last_line_) return;
  err_ << line << std::flush;
  last_line_ = std::move(line);
  last_draw_ = now;
  drawn_ = true;
}

void TerminalProgress::Clear() {
  if (!drawn_) return;
  err_ << "\r\x1b[K" << std::flush;
  drawn_ = false;
  last_line_.clear();
}

}  // namespace lanereport::cli
