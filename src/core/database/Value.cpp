#include "database/Value.h"

#include <cmath>
#include <cstdio>

#include "util/StringUtil.h"

namespace lanereport {

std::optional<double> Value::Number() const {
  if (auto i = IntegerIf()) return static_cast<double>(*i);
  if (auto d = DoubleIf()) return *d;
  if (auto t = TextIf()) return ParseNumber(*t);
  return std::nullopt;
}

std::string Value::Text() const {
  if (auto i = IntegerIf()) return std::to_string(*i);
  if (auto d = DoubleIf()) {
    if (std::floor(*d) == *d && std::fabs(*d) < 1e15)
      return std::to_string(static_cast<long long>(*d));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", *d);
    return buffer;
  }
  if (auto t = TextIf()) return *t;
  return "";
}

std::int64_t Value::ToInt() const {
  if (auto i = IntegerIf()) return *i;
  auto n = Number();
  if (!n || !std::isfinite(*n)) return 0;
  return static_cast<std::int64_t>(std::nearbyint(*n));
}

}  // namespace lanereport
