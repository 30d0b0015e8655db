#include "scoring/YearGames.h"

#include <optional>
#include <set>

#include "database/Database.h"
#include "database/basDataBase.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

bool SamePlay(const clsResult_Data& a, const clsResult_Data& b) {
  return a.PlayDateView() == b.PlayDateView() && a.Playnumber() == b.Playnumber() &&
         a.GameNumber() == b.GameNumber();
}

// The checks of the stored values, row by row: true while every row read compares in memory as
// the engine compares it (see YearGames).
class PlainRows {
 public:
  // True while every row read was plain.
  bool Plain() const { return plain_; }
  // The row's bowler name as stored; null, and no longer plain, when the row has no complete
  // set of columns or no text for the name; null too once a row was not plain.
  const std::string* Bowler(const RowView& row) {
    if (!plain_) return nullptr;
    if (!columns_) columns_ = ResultColumns::Of(row);
    plain_ = columns_->Complete() && row.IsText(columns_->bowler_name);
    if (!plain_) return nullptr;
    stored_ = row.Text(columns_->bowler_name);
    return &stored_;
  }
  void NotPlain() { plain_ = false; }
  // Reads the game of the row into game and checks it; previous is the bowler's game before it
  // (null for the first), stored_form the form of the bowler's name seen first.
  void Read(const RowView& row, clsResult_Data& game, const clsResult_Data* previous,
            const std::string& stored_form) {
    const ResultColumns& c = *columns_;
    try {
      game.Read(row, c);
    } catch (const AppError&) {
      plain_ = false;  // the bowler's own selection fails on this row
      return;
    }
    const std::string_view alley = game.AlleyNameView();
    const std::string_view level = game.LevelNameView();
    plain_ = stored_form == stored_ && game.BowlerNameView() == stored_ &&
             row.IsText(c.alley_name) && row.Text(c.alley_name) == alley &&
             row.IsText(c.level_name) && row.Text(c.level_name) == level &&
             row.IsText(c.play_date) && row.Text(c.play_date) == game.PlayDateView() &&
             row.IsInteger(c.play_number) && row.IsInteger(c.game_number) && alleys_.Add(alley) &&
             levels_.Add(level) && (!previous || !SamePlay(*previous, game));
  }

 private:
  std::optional<ResultColumns> columns_;
  std::string stored_;
  bool plain_ = true;
  NameForms alleys_;
  NameForms levels_;
};

std::string PeriodSql(const std::string& from, const std::string& to, std::string_view condition,
                      const char* order) {
  // Only the columns a game is read from: the frame scores are worked out from the rolls.
  std::string sql = "Select " + ResultColumns::List() +
                    " From Result_Data Where Play_Date Between " + SqlQuote(from) + " And " +
                    SqlQuote(to);
  if (!Trim(condition).empty()) sql += " And " + std::string(condition);
  return sql + " Order By " + order;
}

}  // namespace

bool NameForms::Add(std::string_view name) {
  if (name == last_) return true;
  auto [found, added] = forms_.emplace(ToLowerAscii(name), std::string(name));
  if (!added && found->second != name) return false;
  last_ = name;
  return true;
}

std::string CountedLevelsCondition() {
  return "Level_Name In ( Select Name From Level_Data Where CalculationTarget = True)";
}

std::vector<clsResult_Data> TurnPlaysRound(std::vector<clsResult_Data>&& oldest_first) {
  std::vector<clsResult_Data> newest_first;
  newest_first.reserve(oldest_first.size());
  std::size_t end = oldest_first.size();
  while (end > 0) {
    std::size_t begin = end - 1;
    while (begin > 0 &&
           oldest_first[begin - 1].PlayDateView() == oldest_first[end - 1].PlayDateView() &&
           oldest_first[begin - 1].Playnumber() == oldest_first[end - 1].Playnumber())
      --begin;
    for (std::size_t i = begin; i < end; ++i) newest_first.push_back(std::move(oldest_first[i]));
    end = begin;
  }
  return newest_first;
}

YearGames::YearGames(Database& db, std::string_view yyyy)
    : YearGames(db, std::string(yyyy) + "0101", std::string(yyyy) + "1231",
                CountedLevelsCondition()) {}

YearGames::YearGames(Database& db, std::string from, std::string to, std::string_view condition)
    : from_(std::move(from)), to_(std::move(to)) {
  PlainRows rows;
  // Each row goes straight to its bowler's games, so the year is held once.
  auto each = [&](const RowView& row) {
    const std::string* stored = rows.Bowler(row);
    if (!stored) return;
    // Rows come in date order, so the bowlers take turns: the key is looked up each row, and an
    // entry (with its games' first block) is made only for a bowler not seen before.
    std::string key = ToLowerAscii(*stored);
    auto entry = bowlers_.find(key);
    if (entry == bowlers_.end())
      entry = bowlers_.emplace(std::move(key), Bowler{*stored, {}}).first;
    Bowler& bowler = entry->second;
    const clsResult_Data* previous = bowler.games.empty() ? nullptr : &bowler.games.back();
    clsResult_Data& game = bowler.games.emplace_back(db);
    rows.Read(row, game, previous, bowler.stored_name);
  };
  try {
    db.ReadRows(PeriodSql(from_, to_, condition, "Play_Date, PlayNumber, Game_Number"), each);
  } catch (const AppError&) {
    rows.NotPlain();
  }
  plain_ = rows.Plain();
  if (!plain_) bowlers_.clear();
}

bool YearGames::EachBowler(Database& db, const std::string& from, const std::string& to,
                           std::string_view condition, const BowlerVisitor& visit) {
  PlainRows rows;
  std::set<std::string> done;  // the bowlers handed over, by the name in lower case
  std::string key;
  std::string form;
  std::vector<clsResult_Data> games;
  auto hand_over = [&] {
    if (!games.empty()) visit(key, std::move(games));
    games.clear();
  };
  // The games come bowler by bowler (the engine's comparison of names); each bowler's are
  // handed over when the next bowler's begin.
  auto each = [&](const RowView& row) {
    const std::string* stored = rows.Bowler(row);
    if (!stored) return;
    std::string lower = ToLowerAscii(*stored);
    if (games.empty() || lower != key) {
      hand_over();
      // A bowler seen before means the engine grouped the names otherwise.
      if (!done.insert(lower).second) {
        rows.NotPlain();
        return;
      }
      key = std::move(lower);
      form = *stored;
    }
    games.emplace_back(db);
    rows.Read(row, games.back(), games.size() > 1 ? &games[games.size() - 2] : nullptr, form);
  };
  try {
    db.ReadRows(PeriodSql(from, to, condition, "Bowler_Name, Play_Date, PlayNumber, Game_Number"),
                each);
  } catch (const AppError&) {
    return false;
  }
  if (rows.Plain()) hand_over();
  return rows.Plain();
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
    const std::string_view date = game.PlayDateView();
    if (date >= first && date <= last) games.push_back(game);
  }
  return games;
}

const YearGames::Bowler* YearGames::FindStored(std::string_view stored_name) const {
  auto found = bowlers_.find(ToLowerAscii(stored_name));
  if (found == bowlers_.end() || found->second.stored_name != stored_name) return nullptr;
  return &found->second;
}

std::optional<std::vector<clsResult_Data>> YearGames::Latest(std::string_view bowler,
                                                             std::string_view last,
                                                             long count) const {
  if (!Serves(from_, last) || last < from_ || count <= 0) return std::nullopt;
  const Bowler* found = Find(bowler);
  if (!found) return std::nullopt;
  std::vector<clsResult_Data> latest;
  for (auto game = found->games.rbegin();
       game != found->games.rend() && latest.size() < static_cast<std::size_t>(count); ++game) {
    if (game->PlayDateView() <= last) latest.push_back(*game);
  }
  if (latest.size() < static_cast<std::size_t>(count)) return std::nullopt;
  return latest;
}

std::vector<clsResult_Data> YearGames::Take(std::string_view stored_name) {
  std::vector<clsResult_Data> games = CopyOf(stored_name);
  if (!games.empty()) bowlers_.erase(ToLowerAscii(stored_name));
  return games;
}

std::vector<clsResult_Data> YearGames::CopyOf(std::string_view stored_name) const {
  const Bowler* found = FindStored(stored_name);
  if (!found) return {};
  return std::vector<clsResult_Data>(found->games.begin(), found->games.end());
}

}  // namespace lanereport
