#include "pages/BowlerGames.h"

#include <algorithm>
#include <map>

#include "database/Database.h"
#include "pages/PlayLookup.h"
#include "scoring/YearGames.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {

BowlerGames::BowlerGames(Database& db, std::string_view bowler, std::string from, std::string to,
                         const YearGames* year)
    : bowler_(bowler), from_(std::move(from)), to_(std::move(to)), games_(db) {
  if (year && year->Serves(from_, to_)) {
    games_ = clsResult_List(db, year->Of(bowler, from_, to_));
    selected_ = games_.Count() > 0;
    return;
  }
  NameForms alleys;
  NameForms levels;
  auto inspect = [&](const RowView& row, const ResultColumns& c, const clsResult_Data& game) {
    if (!plain_) return;
    const std::string_view alley = game.AlleyNameView();
    const std::string_view level = game.LevelNameView();
    plain_ = row.IsText(c.alley_name) && row.Text(c.alley_name) == alley &&
             row.IsText(c.level_name) && row.Text(c.level_name) == level &&
             row.IsText(c.play_date) && row.Text(c.play_date) == game.PlayDateView() &&
             row.IsInteger(c.play_number) && row.IsInteger(c.game_number) && alleys.Add(alley) &&
             levels.Add(level);
  };
  try {
    games_.SelectRecord(PeriodCondition(bowler, from_, to_), 0, inspect);
    selected_ = true;
  } catch (const AppError& e) {
    RethrowEngineError(e);
    games_ = clsResult_List(db);
    return;
  }
  const auto& list = games_.LIST();
  for (std::size_t i = 1; plain_ && i < list.size(); ++i) {
    const clsResult_Data& a = list[i - 1];
    const clsResult_Data& b = list[i];
    plain_ = !(a.PlayDate() == b.PlayDate() && a.Playnumber() == b.Playnumber() &&
               a.GameNumber() == b.GameNumber());
  }
}

bool BowlerGames::Serves(std::string_view bowler, std::string_view first,
                         std::string_view last) const {
  return selected_ && plain_ && bowler == bowler_ && first >= from_ && last <= to_;
}

void BowlerGames::IndexPlays() const {
  if (indexed_) return;
  indexed_ = true;
  for (std::size_t i = 0; i < static_cast<std::size_t>(games_.Count()); ++i) {
    const clsResult_Data& game = games_.Item(i);
    plays_[JoinedKey({game.PlayDateView(), game.AlleyNameView(), game.LevelNameView()})].push_back(
        i);
  }
}

clsResult_List BowlerGames::Play(std::string_view yyyymmdd, std::string_view alley,
                                 std::string_view level, long order) const {
  std::vector<clsResult_Data> play;
  IndexPlays();
  auto found = plays_.find(JoinedKey({yyyymmdd, alley, level}));
  if (found != plays_.end()) {
    play.reserve(found->second.size());
    for (std::size_t i : found->second) play.push_back(games_.Item(i));
  }
  if (order == 1) play = TurnPlaysRound(std::move(play));
  return clsResult_List(games_.Db(), std::move(play));
}

clsResult_List BowlerGames::Period(std::string_view first, std::string_view last) const {
  std::vector<clsResult_Data> period;
  for (const clsResult_Data& game : games_) {
    const std::string_view date = game.PlayDateView();
    if (date >= first && date <= last) period.push_back(game);
  }
  period = TurnPlaysRound(std::move(period));
  return clsResult_List(games_.Db(), std::move(period));
}

}  // namespace lanereport
