#include "entry/GameCsv.h"

#include "util/Cp932.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The separator the first line holds most often outside quotes; a comma when it holds none.
// The bytes of a comma, tab, semicolon, quote and line break never occur inside a character of
// UTF-8 or code page 932, so the bytes are read before they are decoded.
char FindDelimiter(std::string_view bytes) {
  long commas = 0, tabs = 0, semicolons = 0;
  bool quoted = false;
  for (char c : bytes) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    if (c == ',') ++commas;
    if (c == '\t') ++tabs;
    if (c == ';') ++semicolons;
  }
  if (tabs > commas && tabs >= semicolons) return '\t';
  if (semicolons > commas && semicolons > tabs) return ';';
  return ',';
}

}  // namespace

const std::array<const char*, kGameCsvColumnCount>& GameCsvColumns() {
  static const std::array<const char*, kGameCsvColumnCount> columns = {
      "Bowler_Name",  "Play_Date",    "Alley_Name",    "Level_Name",    "Game_Number",
      "FirstFrame1",  "FirstFrame2",  "SecondFrame1",  "SecondFrame2",  "ThirdFrame1",
      "ThirdFrame2",  "FourthFrame1", "FourthFrame2",  "FifthFrame1",   "FifthFrame2",
      "SixthFrame1",  "SixthFrame2",  "SeventhFrame1", "SeventhFrame2", "EighthFrame1",
      "EighthFrame2", "NinthFrame1",  "NinthFrame2",   "TenthFrame1",   "TenthFrame2",
      "TenthFrame3",  "Result_Memo",  "Handicap"};
  return columns;
}

bool IsWellFormedUtf8(std::string_view text) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (std::size_t at = 0; at < text.size();) {
    unsigned char lead = byte(at);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    std::size_t n = lead >= 0xF0 && lead <= 0xF4   ? 4
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xC2 && lead <= 0xDF ? 2
                                                   : 0;
    if (n == 0 || at + n > text.size()) return false;
    for (std::size_t i = 1; i < n; ++i) {
      if ((byte(at + i) & 0xC0) != 0x80) return false;
    }
    unsigned char second = byte(at + 1);
    if (lead == 0xE0 && second < 0xA0) return false;
    if (lead == 0xED && second >= 0xA0) return false;
    if (lead == 0xF0 && second < 0x90) return false;
    if (lead == 0xF4 && second >= 0x90) return false;
    at += n;
  }
  return true;
}

CsvText ReadCsvText(std::string_view bytes) {
  CsvText csv;
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  const bool utf8 = IsWellFormedUtf8(bytes);
  csv.encoding = utf8 ? "UTF-8" : "CP932";
  csv.delimiter = FindDelimiter(bytes);
  const char d = csv.delimiter;

  long line = 1;
  std::size_t at = 0;
  const std::size_t size = bytes.size();
  // Ends a line break at at (CR LF, LF or CR alone) and counts it; false when there is none.
  auto line_break = [&]() {
    if (at < size && bytes[at] == '\r') {
      ++at;
      if (at < size && bytes[at] == '\n') ++at;
      ++line;
      return true;
    }
    if (at < size && bytes[at] == '\n') {
      ++at;
      ++line;
      return true;
    }
    return false;
  };

  while (at < size) {
    CsvRecord record;
    record.line = line;
    std::string problem;
    bool record_ended = false;
    while (!record_ended) {
      std::string field;
      if (at < size && bytes[at] == '"') {
        ++at;
        bool closed = false;
        while (at < size) {
          char c = bytes[at];
          if (c == '"') {
            if (at + 1 < size && bytes[at + 1] == '"') {
              field += '"';
              at += 2;
              continue;
            }
            ++at;
            closed = true;
            break;
          }
          if (c == '\r' || c == '\n') {
            // A line break inside quotes belongs to the field, as written.
            std::size_t from = at;
            line_break();
            field.append(bytes.substr(from, at - from));
            continue;
          }
          field += c;
          ++at;
        }
        if (!closed) {
          if (problem.empty()) problem = "引用符が閉じられていません";
        } else if (at < size && bytes[at] != d && bytes[at] != '\r' && bytes[at] != '\n') {
          if (problem.empty()) problem = "閉じた引用符の後に文字があります";
          while (at < size && bytes[at] != d && bytes[at] != '\r' && bytes[at] != '\n')
            field += bytes[at++];
        }
      } else {
        while (at < size && bytes[at] != d && bytes[at] != '\r' && bytes[at] != '\n') {
          if (bytes[at] == '"' && problem.empty())
            problem = "引用符で囲まれていない項目に引用符があります";
          field += bytes[at++];
        }
      }
      if (!utf8) {
        std::string decoded = Cp932ToUtf8(field);
        // Code page 932 holds no U+FFFD: one in the result is a byte that did not decode.
        if (decoded.find(kReplacement) != std::string::npos && problem.empty())
          problem = "文字コードが UTF-8 でも CP932 でもありません";
        field = std::move(decoded);
      }
      record.fields.push_back(std::move(field));
      if (at < size && bytes[at] == d) {
        ++at;
        continue;
      }
      line_break();
      record_ended = true;
    }
    if (!problem.empty()) {
      csv.problems.push_back({record.line, problem});
      continue;
    }
    // A line holding nothing (or only blanks) is no record.
    if (record.fields.size() == 1 && Trim(record.fields[0]).empty()) continue;
    csv.records.push_back(std::move(record));
  }
  return csv;
}

std::string CsvField(std::string_view text, char delimiter) {
  bool quote = text.find_first_of(std::string("\"\r\n") + delimiter) != std::string_view::npos ||
               (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields, char delimiter) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += delimiter;
    line += CsvField(fields[i], delimiter);
  }
  return line + "\r\n";
}

const char* DelimiterName(char delimiter) {
  switch (delimiter) {
    case '\t':
      return "タブ";
    case ';':
      return "セミコロン";
    default:
      return "カンマ";
  }
}

}  // namespace lanereport
