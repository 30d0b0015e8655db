#include "database/JetSql.h"

#include <cctype>
#include <vector>

#include "util/StringUtil.h"

namespace lanereport {
namespace {

enum class TokenKind { Word, Number, String, Symbol, Space };

struct Token {
  TokenKind kind;
  std::string text;
};

bool IsWordChar(char c) {
  auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || u >= 0x80;
}

// Splits the statement into words, numbers, literals, symbols and runs of white space.
std::vector<Token> Tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    std::size_t start = i;
    if (c == '\'' || c == '"') {
      // A literal; a doubled quote inside stands for one quote.
      std::string value;
      ++i;
      while (i < sql.size()) {
        if (sql[i] == c) {
          if (i + 1 < sql.size() && sql[i + 1] == c) {
            value += c;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += sql[i++];
      }
      tokens.push_back({TokenKind::String, value});
    } else if (c == '[') {
      while (i < sql.size() && sql[i] != ']') ++i;
      if (i < sql.size()) ++i;
      tokens.push_back({TokenKind::Word, std::string(sql.substr(start, i - start))});
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
      tokens.push_back({TokenKind::Space, std::string(sql.substr(start, i - start))});
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i < sql.size() && (IsWordChar(sql[i]) || sql[i] == '.')) ++i;
      tokens.push_back({TokenKind::Number, std::string(sql.substr(start, i - start))});
    } else if (IsWordChar(c)) {
      while (i < sql.size() && IsWordChar(sql[i])) ++i;
      tokens.push_back({TokenKind::Word, std::string(sql.substr(start, i - start))});
    } else {
      ++i;
      tokens.push_back({TokenKind::Symbol, std::string(1, c)});
    }
  }
  return tokens;
}

std::string QuoteLiteral(const std::string& value) {
  std::string out = "'";
  for (char c : value) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

bool IsWord(const Token& t, std::string_view word) {
  return t.kind == TokenKind::Word && EqualsIgnoreCase(t.text, word);
}

// The index of the next token that is not white space, from i on.
std::size_t NextSolid(const std::vector<Token>& tokens, std::size_t i) {
  while (i < tokens.size() && tokens[i].kind == TokenKind::Space) ++i;
  return i;
}

std::string Translate(const std::vector<Token>& tokens, std::vector<std::string>* parameters) {
  std::string out;
  bool past_from = false;
  // Limits waiting for the end of their select, by parenthesis depth.
  std::vector<std::pair<int, std::string>> pending;
  int depth = 0;
  auto close_limits = [&](int at_depth) {
    while (!pending.empty() && pending.back().first == at_depth) {
      out += " LIMIT " + pending.back().second + " ";
      pending.pop_back();
    }
  };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.kind == TokenKind::String) {
      if (parameters && past_from) {
        out += '?';
        parameters->push_back(t.text);
      } else {
        out += QuoteLiteral(t.text);
      }
      continue;
    }
    if (IsWord(t, "From")) past_from = true;
    if (t.kind == TokenKind::Symbol) {
      if (t.text == "(") ++depth;
      if (t.text == ")") {
        close_limits(depth);
        --depth;
      }
      out += t.text == "&" ? "||" : t.text;
      continue;
    }
    if (IsWord(t, "True")) {
      out += "1";
      continue;
    }
    if (IsWord(t, "False")) {
      out += "0";
      continue;
    }
    if (IsWord(t, "Select")) {
      out += t.text;
      std::size_t j = NextSolid(tokens, i + 1);
      if (j < tokens.size() && IsWord(tokens[j], "Distinct")) {
        out += " " + tokens[j].text;
        i = j;
        j = NextSolid(tokens, i + 1);
      }
      if (j < tokens.size() && IsWord(tokens[j], "Top")) {
        std::size_t n = NextSolid(tokens, j + 1);
        if (n < tokens.size() && tokens[n].kind == TokenKind::Number) {
          pending.emplace_back(depth, tokens[n].text);
          i = n;
        }
      }
      continue;
    }
    out += t.text;
  }
  close_limits(depth);
  return out;
}

std::string TableOf(const std::vector<Token>& tokens) {
  std::size_t i = NextSolid(tokens, 0);
  if (i >= tokens.size() || !IsWord(tokens[i], "Select")) return "";
  i = NextSolid(tokens, i + 1);
  if (i >= tokens.size() || tokens[i].text != "*") return "";
  i = NextSolid(tokens, i + 1);
  if (i >= tokens.size() || !IsWord(tokens[i], "From")) return "";
  i = NextSolid(tokens, i + 1);
  if (i >= tokens.size() || tokens[i].kind != TokenKind::Word) return "";
  std::string table = tokens[i].text;
  if (table.size() > 2 && table.front() == '[') table = table.substr(1, table.size() - 2);
  std::size_t k = NextSolid(tokens, i + 1);
  if (k < tokens.size() && !IsWord(tokens[k], "Where") && !IsWord(tokens[k], "Order")) return "";
  return table;
}

}  // namespace

std::string TranslateJetSql(std::string_view jet, std::vector<std::string>* parameters) {
  return Translate(Tokenize(jet), parameters);
}

std::string UpdatableTable(std::string_view jet) {
  return TableOf(Tokenize(jet));
}

JetSelect TranslateJetSelect(std::string_view jet) {
  std::vector<Token> tokens = Tokenize(jet);
  JetSelect select;
  select.sql = Translate(tokens, &select.parameters);
  select.table = TableOf(tokens);
  return select;
}

}  // namespace lanereport
