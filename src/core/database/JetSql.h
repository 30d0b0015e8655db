#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

// The SQL the record classes write, as the suite's database engine takes it, turned into
// SQLite's dialect: "Select Top n" (also inside a parenthesised subquery) becomes a LIMIT at the
// end of that select, True and False become 1 and 0, "&" joins texts, and double-quoted texts
// become single-quoted literals. Everything else (Between, In (Select ...), Max(...), Order by
// ... DESC) is common to both and passes unchanged; literals are never touched.
// With `parameters`, the text literals that follow the statement's first From (its conditions,
// never its column list) become "?" and their values are appended in order, so statements that
// differ only in those values share one text and one prepared statement.
std::string TranslateJetSql(std::string_view jet, std::vector<std::string>* parameters = nullptr);

// When the statement reads whole rows of one table ("Select * From T ..." with no subquery in
// its From part), the table's name; otherwise "". Such result sets can be edited.
std::string UpdatableTable(std::string_view jet);

// A select as the engine runs it: TranslateJetSql with parameters, and UpdatableTable.
struct JetSelect {
  std::string sql;
  std::vector<std::string> parameters;
  std::string table;
};
JetSelect TranslateJetSelect(std::string_view jet);

}  // namespace lanereport
