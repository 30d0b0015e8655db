#include "scoring/YearGames.h"

#include <optional>

#include "database/DataBase.h"
#include "database/Database.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

// Every name of a kind once, as stored, under its letter-case-free form: a second stored form
// of the same name makes the in-memory comparison differ from the engine's.
class NameForms {
 public:
  bool Add(const std::string& name) {
    auto [found, added] = forms_.emplace(ToLowerAscii(name), name);
    return added || found->second == name;
  }

 private:
  std::map<std::string, std::string> forms_;
};

bool SamePlay(const clsResult_Data& a, const clsResult_Data& b) {
  return a.PlayDate() == b.PlayDate() && a.Playnumber() == b.Playnumber() &&
         a.GameNumber() == b.GameNumber();
}

}  // namespace

bool NewestPlayFirst(const clsResult_Data& a, const clsResult_Data& b) {
  if (a.PlayDate() != b.PlayDate()) return a.PlayDate() > b.PlayDate();
  if (a.Playnumber() != b.Playnumber()) return a.Playnumber() > b.Playnumber();
  return a.GameNumber() < b.GameNumber();
}

YearGames::YearGames(Database& db, std::string_view yyyy)
    : from_(std::string(yyyy) + "0101"), to_(std::string(yyyy) + "1231") {
  NameForms alleys;
  NameForms levels;
  bool plain = true;
  std::optional<ResultColumns> columns;
  // Each row goes straight to its bowler's games, so the year is held once.
  auto each = [&](const RowView& row) {
    if (!plain) return;
    if (!columns) columns = ResultColumns::Of(row);
    const ResultColumns& c = *columns;
    if (!c.Complete() || !row.IsText(c.bowler_name)) {
      plain = false;
      return;
    }
    std::string stored(row.Text(c.bowler_name));
    auto [entry, added] = bowlers_.try_emplace(ToLowerAscii(stored), Bowler{stored, {}});
    Bowler& bowler = entry->second;
    clsResult_Data& game = bowler.games.emplace_back(db);
    try {
      game.Read(row, c);
    } catch (const AppError&) {
      plain = false;  // the bowler's own selection fails on this row
      return;
    }
    std::string alley = game.AlleyName();
    std::string level = game.LevelName();
    plain = bowler.stored_name == stored && game.BowlerName() == stored &&
            row.IsText(c.alley_name) && row.Text(c.alley_name) == alley &&
            row.IsText(c.level_name) && row.Text(c.level_name) == level &&
            row.IsText(c.play_date) && row.Text(c.play_date) == game.PlayDate() &&
            row.IsInteger(c.play_number) && row.IsInteger(c.game_number) && alleys.Add(alley) &&
            levels.Add(level) &&
            (bowler.games.size() < 2 || !SamePlay(bowler.games[bowler.games.size() - 2], game));
  };
  try {
    db.ReadRows("Select * From Result_Data Where Play_Date Between " + SqlQuote(from_) + " And " +
                    SqlQuote(to_) +
                    " And Level_Name In ( Select Name From Level_Data Where CalculationTarget "
                    "= True) Order By Play_Date, PlayNumber, Game_Number",
                each);
  } catch (const AppError&) {
    plain = false;
  }
  plain_ = plain;
  if (!plain_) bowlers_.clear();
}

bool YearGames::Serves(std::string_view first, std::string_view last) const {
  return plain_ && first >= from_ && last <= to_;
}

const YearGames::Bowler* YearGames::Find(std::string_view bowler) const {
  auto found = bowlers_.find(ToLowerAscii(bowler));
  return found == bowlers_.end() ? nullptr : &found->second;
}

std::vector<clsResult_Data> YearGames::Of(std::string_view bowler) const {
  return Of(bowler, from_, to_);
}

std::vector<clsResult_Data> YearGames::Of(std::string_view bowler, std::string_view first,
                                          std::string_view last) const {
  std::vector<clsResult_Data> games;
  const Bowler* found = Find(bowler);
  if (!found) return games;
  games.reserve(found->games.size());
  for (const clsResult_Data& game : found->games) {
    const std::string date = game.PlayDate();
    if (date >= first && date <= last) games.push_back(game);
  }
  return games;
}

std::vector<clsResult_Data> YearGames::Take(std::string_view stored_name) {
  std::vector<clsResult_Data> games;
  auto found = bowlers_.find(ToLowerAscii(stored_name));
  if (found == bowlers_.end() || found->second.stored_name != stored_name) return games;
  std::deque<clsResult_Data>& held = found->second.games;
  games.reserve(held.size());
  for (clsResult_Data& game : held) games.push_back(std::move(game));
  bowlers_.erase(found);
  return games;
}

}  // namespace lanereport
