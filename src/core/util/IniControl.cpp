#include "util/IniControl.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

// True when the bytes are code page 932 text: every byte sequence decodes and no control
// character other than tab, carriage return and line feed occurs.
bool IsCp932Text(std::string_view bytes, const std::string& decoded) {
  // Code page 932 has no character that decodes to U+FFFD, so one in the result marks bytes
  // that did not decode.
  if (decoded.find("\xEF\xBF\xBD") != std::string::npos) return false;
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 && b != '\t' && b != '\r' && b != '\n') return false;
    if (b == 0x7F) return false;
  }
  return true;
}

// The lines of the file in UTF-8. A missing or unreadable file, and one that is not code page
// 932 text (damaged, binary, another encoding), has no lines: every value reads as "".
std::vector<std::string> ReadLines(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  if (!in) return lines;
  std::stringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) return lines;
  std::string bytes = buffer.str();
  std::string text = Cp932ToUtf8(bytes);
  if (!IsCp932Text(bytes, text)) return lines;
  for (std::string& line : Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::string_view SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
    return Trim(line.substr(1, line.size() - 2));
  return {};
}

bool IsSection(std::string_view line) {
  return !Trim(line).empty() && Trim(line).front() == '[';
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> KeyOf(std::string_view line) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

}  // namespace

std::string ReadIni(std::string_view file, std::string_view section, std::string_view key) {
  bool in_section = false;
  for (const std::string& line : ReadLines(std::string(file))) {
    if (IsSection(line)) {
      in_section = EqualsIgnoreCase(SectionName(line), section);
      continue;
    }
    auto k = KeyOf(line);
    if (in_section && k && EqualsIgnoreCase(*k, key)) {
      std::string value(Trim(std::string_view(line).substr(line.find('=') + 1)));
      std::u32string chars = DecodeUtf8(value);
      if (chars.size() > 255) {
        std::string cut;
        for (std::size_t i = 0; i < 255; ++i) cut += EncodeUtf8(chars[i]);
        value = cut;
      }
      return value;
    }
  }
  return "";
}

bool WriteIni(std::string_view file_view, std::string_view section, std::string_view key,
              std::string_view value) {
  std::string file(file_view);
  try {
    std::vector<std::string> lines = ReadLines(file);
    std::string entry = std::string(key) + "=" + std::string(value);
    bool in_section = false;
    bool written = false;
    std::size_t section_end = lines.size();
    bool section_found = false;
    for (std::size_t i = 0; i < lines.size() && !written; ++i) {
      if (IsSection(lines[i])) {
        if (in_section) {
          section_end = i;
          break;
        }
        in_section = EqualsIgnoreCase(SectionName(lines[i]), section);
        section_found = section_found || in_section;
        continue;
      }
      auto k = KeyOf(lines[i]);
      if (in_section && k && EqualsIgnoreCase(*k, key)) {
        lines[i] = entry;
        written = true;
      }
    }
    if (!written) {
      if (section_found) {
        // Insert after the section's last non-empty line.
        std::size_t at = section_end;
        while (at > 0 && Trim(lines[at - 1]).empty()) --at;
        lines.insert(lines.begin() + static_cast<long>(at), entry);
      } else {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
      }
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    MakeFile(file, Utf8ToCp932(text));
    ::chmod(file.c_str(), 0444);  // the suite leaves its INI file read-only
    return true;
  } catch (const AppError&) {
    return false;
  }
}

}  // namespace lanereport
