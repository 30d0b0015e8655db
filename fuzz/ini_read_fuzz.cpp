// An INI file of arbitrary bytes, read with ReadIni, then written to with WriteIni and read back.
//
// The section and key asked for are the first "[...]" of the input and the first "key=" after
// it, besides a fixed pair. Reading never fails (a missing value reads as ""), gives at most 255
// characters and no line break; a value that WriteIni reports written reads back as written.

#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/IniControl.h"

namespace lanereport {
namespace {

void CheckRead(const std::string& file, std::string_view section, std::string_view key) {
  std::string value = ReadIni(file, section, key);
  FUZZ_CHECK(DecodeUtf8(value).size() <= 255, value);
  FUZZ_CHECK(value.find('\n') == std::string::npos, value);
}

// The first section name and the first key behind it, as the input writes them.
std::pair<std::string_view, std::string_view> FirstSectionAndKey(std::string_view text) {
  auto open = text.find('[');
  if (open == std::string_view::npos) return {};
  auto close = text.find(']', open);
  if (close == std::string_view::npos) return {};
  std::string_view section = text.substr(open + 1, close - open - 1);
  std::string_view rest = text.substr(close + 1);
  auto line = rest.find('\n');
  if (line == std::string_view::npos) return {section, {}};
  rest.remove_prefix(line + 1);
  auto eq = rest.find('=');
  auto end = rest.find('\n');
  if (eq == std::string_view::npos || (end != std::string_view::npos && end < eq))
    return {section, {}};
  return {section, rest.substr(0, eq)};
}

}  // namespace
}  // namespace lanereport

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lanereport;
  std::string_view text = fuzz::AsText(data, size);
  std::string file = fuzz::WriteFuzzFile("fuzz.ini", text);
  try {
    auto [section, key] = FirstSectionAndKey(text);
    CheckRead(file, section, key);
    CheckRead(file, "Setting", "OutFolder");
    CheckRead(file, "", "");

    if (WriteIni(file, "LaneFuzz", "Value", "書いた値 1")) {
      std::string back = ReadIni(file, "LaneFuzz", "Value");
      FUZZ_CHECK(back == "書いた値 1", back);
    }
  } catch (const AppError&) {
    // The project's own refusal is an answer, not a finding.
  }
  return 0;
}
