#include "FakeWindows.h"

#include <cstdlib>

namespace lanereport::testing {
namespace {

std::optional<std::string> Saved(const char* name) {
  if (const char* v = std::getenv(name)) return v;
  return std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
  if (value)
    ::setenv(name, value->c_str(), 1);
  else
    ::unsetenv(name);
}

}  // namespace

HomeAt::HomeAt(const std::string& home) : home_(Saved("HOME")), config_(Saved("XDG_CONFIG_HOME")) {
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
}

HomeAt::~HomeAt() {
  Restore("HOME", home_);
  Restore("XDG_CONFIG_HOME", config_);
}

}  // namespace lanereport::testing
