#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

// The games file: one game per line, fields separated by a comma, a tab or a semicolon, quoted
// as RFC 4180 quotes them (a field in double quotes may hold the separator, line breaks and
// doubled quotes), the first line naming the columns. Read as UTF-8 when the bytes are UTF-8
// (a byte order mark is skipped), else as code page 932.

// The columns of a game, in the order the file is written: bowler, play date, centre, level,
// game number, the 21 rolls, memo, handicap. Named as the columns of Result_Data.
inline constexpr int kGameCsvColumnCount = 28;
const std::array<const char*, kGameCsvColumnCount>& GameCsvColumns();
// Positions in GameCsvColumns.
inline constexpr int kCsvBowler = 0;
inline constexpr int kCsvDate = 1;
inline constexpr int kCsvAlley = 2;
inline constexpr int kCsvLevel = 3;
inline constexpr int kCsvGameNumber = 4;
inline constexpr int kCsvFirstRoll = 5;  // 21 rolls from here
inline constexpr int kCsvMemo = 26;
inline constexpr int kCsvHandicap = 27;

// One record of the file: the line it starts on (from 1) and its fields, in UTF-8.
struct CsvRecord {
  long line = 0;
  std::vector<std::string> fields;
};

// Something in the file that is not a record or not a well-formed one: the line (from 1) and
// the message.
struct CsvProblem {
  long line = 0;
  std::string message;
};

struct CsvText {
  std::string encoding;  // "UTF-8" or "CP932"
  char delimiter = ',';
  std::vector<CsvRecord> records;  // the header first; empty lines are skipped
  std::vector<CsvProblem> problems;
};

// True when the bytes are well-formed UTF-8 (no stray or cut sequence, no overlong form, no
// surrogate, nothing beyond U+10FFFF).
bool IsWellFormedUtf8(std::string_view bytes);

// Reads the records of a file's bytes. The separator is the one of comma, tab and semicolon
// that the first line holds most often outside quotes (a comma when it holds none). A quote
// inside an unquoted field, text after a closing quote and a quote left open are problems of
// their line; so is a line that does not decode in code page 932.
CsvText ReadCsvText(std::string_view bytes);

// A field as the file writes it: in double quotes (quotes inside doubled) when it holds the
// separator, a quote, a line break or a blank at either end; else as it is.
std::string CsvField(std::string_view text, char delimiter = ',');
// The fields as one line of the file, ended with CR LF.
std::string CsvLine(const std::vector<std::string>& fields, char delimiter = ',');

// The name of a separator for messages: "カンマ", "タブ", "セミコロン".
const char* DelimiterName(char delimiter);

}  // namespace lanereport
