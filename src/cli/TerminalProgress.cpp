#include "TerminalProgress.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace lanereport::cli {
namespace {

constexpr int kBarWidth = 30;

std::function<void()>& CountHook() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& err, const StopSignal& stop)
    : err_(err), stop_(stop), terminal_(&err == &std::cerr && ::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() {
  if (drawn_) err_ << "\n" << std::flush;
}

void TerminalProgress::Message1(std::string_view text) {
  message1_ = text;
  Draw();
}

void TerminalProgress::Message2(std::string_view text) {
  message2_ = text;
  Draw();
}

void TerminalProgress::StartProgress(int bar, long maximum) {
  if (bar < 0 || bar > 1) return;
  bar_ = bar;
  maximum_[bar] = maximum;
  count_[bar] = 0;
  Draw();
}

void TerminalProgress::CountProgress(int bar, long step) {
  if (bar < 0 || bar > 1) return;
  count_[bar] += step;
  if (CountHook()) CountHook()();
  Draw();
}

bool TerminalProgress::StopFlag() const {
  return stop_.Raised();
}

void TerminalProgress::SetCountHookForTesting(std::function<void()> hook) {
  CountHook() = std::move(hook);
}

void TerminalProgress::Draw() {
  if (!terminal_) return;
  long maximum = maximum_[bar_];
  long count = count_[bar_];
  long percent = maximum > 0 ? count * 100 / maximum : 0;
  int filled =
      static_cast<int>(std::min<long>(kBarWidth, maximum > 0 ? count * kBarWidth / maximum : 0));
  std::string line = "\r\x1b[K";
  if (stop_.Raised()) {
    line += "処理を中断しています．．．";
  } else {
    line += message1_;
    if (!message1_.empty() && !message2_.empty()) line += " ";
    line += message2_;
  }
  line += " [" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] " +
          std::to_string(percent) + "%";
  if (line == last_line_) return;
  err_ << line << std::flush;
  last_line_ = std::move(line);
  drawn_ = true;
}

}  // namespace lanereport::cli
