#include "scoring/UnreadableGame.h"

#include "database/Database.h"
#include "scoring/RollNotation.h"
#include "scoring/clsResult_Data.h"
#include "util/Cp932.h"
#include "util/ReadProblems.h"
#include "util/StringUtil.h"
#include "util/Utf8Text.h"
#include "util/VisibleText.h"

namespace lanereport {
namespace {

// Enough of a stored text to know it again; a text of thousands of characters is cut.
std::string Shown(std::string_view text) {
  std::string shown = VisibleText(text);
  if (DisplayColumns(shown) <= 40) return shown;
  return FitColumns(shown, 38) + "…";
}

std::string TextOf(const RowView& row, int column) {
  if (column < 0) return "";
  Value value = row.At(column);
  return value.IsNull() ? "" : value.Text();
}

// Column names compared as the record's property names are written: no case, no "_".
std::string Folded(std::string_view name) {
  std::string folded;
  for (char c : name) {
    if (c != '_') folded += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  }
  return folded;
}

// The column at fault: the one the refusing property reads, else the first that cannot be
// what its record field takes.
int ColumnAtFault(const RowView& row, const ResultColumns& c, const AppError& error) {
  const std::string& source = error.Source();
  std::size_t bracket = source.find(']');
  std::string property = Folded(bracket == std::string::npos ? "" : source.substr(bracket + 1));
  for (int i = 0; i < row.ColumnCount(); ++i) {
    if (!property.empty() && Folded(row.ColumnName(i)) == property) return i;
  }
  for (int i : {c.bowler_name, c.alley_name, c.level_name, c.result_memo}) {
    if (i >= 0 && ByteLength(TextOf(row, i)) >= 256) return i;
  }
  for (int i : c.rolls) {
    if (i < 0) continue;
    try {
      ChangeFigure(Trim(TextOf(row, i)), true);
    } catch (const AppError&) {
      return i;
    }
  }
  return -1;
}

}  // namespace

bool ReportUnreadableGame(const RowView& row, const ResultColumns& c, const AppError& error) {
  std::string date = TextOf(row, c.play_date);
  if (date.size() == 8 && date.find_first_not_of("0123456789") == std::string::npos)
    date = date.substr(0, 4) + "/" + date.substr(4, 2) + "/" + date.substr(6, 2);
  std::string line = "読めないゲームを除きました：ボウラー「" + Shown(TextOf(row, c.bowler_name)) +
                     "」 " + Shown(date) + " 「" + Shown(TextOf(row, c.alley_name)) + "」 「" +
                     Shown(TextOf(row, c.level_name)) + "」 第" +
                     Shown(TextOf(row, c.game_number)) + "ゲーム";
  int at = ColumnAtFault(row, c, error);
  if (at >= 0) {
    line += "：" + std::string(row.ColumnName(at)) + "「" + Shown(TextOf(row, at)) + "」";
  }
  line += "（" + error.Description() + "）";
  // The entry number tells one stored game from another however often it is read.
  std::string key = c.entry_number >= 0 && row.IsInteger(c.entry_number)
                        ? std::to_string(row.Integer(c.entry_number))
                        : line;
  return ReadProblemLog::Report(ReadProblemLog::Kind::kGame, key, std::move(line));
}

}  // namespace lanereport
