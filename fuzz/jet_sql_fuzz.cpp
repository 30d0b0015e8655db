// Statements of arbitrary bytes through the translator of the record classes' SQL.
//
// TranslateJetSelect must agree with TranslateJetSql and UpdatableTable; an updatable statement
// keeps its "*" (the engine reads the row identity there); and the parameterised translation
// differs from the plain one only in its placeholders: putting each value back, quoted, in
// order gives the plain translation. That last check is left out for inputs holding "?" or "[",
// whose own question marks and bracketed names cannot be told from placeholders and literals
// in the output.

#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "database/JetSql.h"

namespace lanereport {
namespace {

std::string Quoted(const std::string& value) {
  std::string out = "'";
  for (char c : value) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

// The parameterised translation with its values put back in place of the placeholders.
std::string PutBack(std::string_view sql, const std::vector<std::string>& parameters) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (c == '\'') {
      // A literal the translation left in place: copied through its closing quote.
      std::size_t end = i + 1;
      while (end < sql.size()) {
        if (sql[end] == '\'' && end + 1 < sql.size() && sql[end + 1] == '\'') {
          end += 2;
        } else if (sql[end] == '\'') {
          break;
        } else {
          ++end;
        }
      }
      out += sql.substr(i, end - i + 1);
      i = end;
    } else if (c == '?') {
      FUZZ_CHECK(next < parameters.size(), std::string(sql));
      out += Quoted(parameters[next++]);
    } else {
      out += c;
    }
  }
  FUZZ_CHECK(next == parameters.size(), std::string(sql));
  return out;
}

}  // namespace
}  // namespace lanereport

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lanereport;
  std::string_view jet = fuzz::AsText(data, size);

  std::string plain = TranslateJetSql(jet);
  std::vector<std::string> parameters;
  std::string parameterised = TranslateJetSql(jet, &parameters);
  std::string table = UpdatableTable(jet);
  JetSelect select = TranslateJetSelect(jet);

  FUZZ_CHECK(select.sql == parameterised, select.sql + "  /  " + parameterised);
  FUZZ_CHECK(select.parameters == parameters, select.sql);
  FUZZ_CHECK(select.table == table, table);
  if (!table.empty()) FUZZ_CHECK(parameterised.find('*') != std::string::npos, parameterised);
  if (jet.find('?') == std::string_view::npos && jet.find('[') == std::string_view::npos) {
    std::string back = PutBack(parameterised, parameters);
    FUZZ_CHECK(back == plain, back + "  /  " + plain);
  }
  return 0;
}
