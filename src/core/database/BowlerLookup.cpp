#include "database/BowlerLookup.h"

#include <algorithm>
#include <map>

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "util/Cp932.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

// The text as compared for closeness: every kind of space is one ASCII space, runs of them
// collapse, the ends are trimmed, fullwidth ASCII is narrowed and letters are lower case.
std::u32string Normalised(std::string_view text) {
  std::u32string out;
  for (char32_t c : DecodeUtf8(text)) {
    if (c == 0x3000 || c == '\t' || c == 0xA0) c = ' ';
    if (c >= 0xFF01 && c <= 0xFF5E) c = c - 0xFF01 + 0x21;
    if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Levenshtein distance by characters.
std::size_t Distance(const std::u32string& a, const std::u32string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// Every bowler of the bowler table in number order (then name), games not counted.
std::vector<BowlerListing> ReadBowlers(Database& db) {
  std::vector<BowlerListing> bowlers;
  auto rs = db.OpenRecordset("Select Number, Name, AName From Bowler_Data Order By Number, Name");
  for (; !rs->Eof(); rs->MoveNext()) {
    BowlerListing b;
    b.number = rs->Field("Number").ToInt();
    b.name = rs->Field("Name").Text();
    b.aname = rs->Field("AName").Text();
    bowlers.push_back(std::move(b));
  }
  return bowlers;
}

}  // namespace

std::vector<BowlerListing> ListBowlers(Database& db) {
  std::map<std::string, long> games;
  auto counts = db.OpenRecordset(
      "Select Bowler_Name, Count(*) As Games From Result_Data Group By Bowler_Name");
  for (; !counts->Eof(); counts->MoveNext())
    games[counts->Field("Bowler_Name").Text()] = counts->Field("Games").ToInt();

  std::vector<BowlerListing> bowlers = ReadBowlers(db);
  for (BowlerListing& b : bowlers) {
    auto it = games.find(b.name);
    b.games = it == games.end() ? 0 : it->second;
  }
  return bowlers;
}

std::optional<BowlerListing> FindBowler(Database& db, std::string_view text) {
  // Only the bowler found has its games counted: counting everyone's would read the whole
  // score table, which grows with every year recorded.
  std::vector<BowlerListing> bowlers = ReadBowlers(db);
  auto found = std::find_if(bowlers.begin(), bowlers.end(),
                            [&](const BowlerListing& b) { return b.name == text; });
  if (found == bowlers.end())
    found = std::find_if(bowlers.begin(), bowlers.end(), [&](const BowlerListing& b) {
      return !b.aname.empty() && EqualsIgnoreCase(b.aname, text);
    });
  if (found == bowlers.end()) return std::nullopt;
  auto count = db.OpenRecordset("Select Count(*) As Games From Result_Data Where Bowler_Name = " +
                                SqlQuote(found->name));
  if (!count->Eof()) found->games = count->Field("Games").ToInt();
  return *found;
}

std::vector<std::string> ClosestBowlerNames(Database& db, std::string_view text,
                                            std::size_t count) {
  const std::u32string wanted = Normalised(text);
  // A name further than a third of its length (at least 1, at most 3) is no suggestion.
  const std::size_t limit = std::clamp<std::size_t>(wanted.size() / 3, 1, 3);
  std::vector<std::pair<std::size_t, std::string>> near;
  for (const BowlerListing& b : ReadBowlers(db)) {
    std::size_t best = limit + 1;
    for (const std::string* given : {&b.name, &b.aname}) {
      if (given->empty()) continue;
      std::u32string candidate = Normalised(*given);
      best = std::min(best, Distance(wanted, candidate));
      // A part of the name (the family name alone) is close as well.
      if (!wanted.empty() && candidate.find(wanted) != std::u32string::npos)
        best = std::min(best, limit);
    }
    if (best <= limit) near.emplace_back(best, b.name);
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (const auto& [distance, name] : near) {
    if (names.size() == count) break;
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

}  // namespace lanereport
