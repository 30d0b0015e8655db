#include "util/Clock.h"

#include <ctime>

namespace lanereport {
namespace {

const Clock* g_clock = nullptr;

}  // namespace

CivilDate SystemClock::Today() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

const Clock& CurrentClock() {
  static const SystemClock system_clock;
  return g_clock ? *g_clock : system_clock;
}

ScopedClock::ScopedClock(const Clock& clock) : previous_(g_clock) {
  g_clock = &clock;
}

ScopedClock::~ScopedClock() {
  g_clock = previous_;
}

}  // namespace lanereport
