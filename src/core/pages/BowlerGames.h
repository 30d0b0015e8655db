#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/clsResult_List.h"

namespace lanereport {

class Database;
class YearGames;

// A bowler's games of the counted levels over a period, selected once, from which the page
// drivers cut the games of each month and each play instead of selecting them again.
//
// A cut must hold exactly the games, in exactly the order, that the selection it replaces would
// give. That holds when the stored values compare in memory as the engine compares them: centre
// and level names without surrounding blanks and not differing from another one of the period
// only in letter case, play dates of eight digits, play and game numbers stored as integers, and
// no two games sharing date, play number and game number (the engine's order would be open
// there). When a stored value breaks this, or the selection fails, Serves is false and the
// drivers select as before. An object serves one thread (a driver's run).
class BowlerGames {
 public:
  // from and to are stored dates ("yyyymmdd"), both included. The games are taken from the
  // year's games when they are given and serve the period, else selected.
  BowlerGames(Database& db, std::string_view bowler, std::string from, std::string to,
              const YearGames* year = nullptr);

  // The games, oldest first (order 0); empty when the selection failed or found none.
  const clsResult_List& All() const { return games_; }
  // True when the selection found games.
  bool Selected() const { return selected_; }
  // True when the cuts of the bowler (the name as the selection was given it) between the stored
  // dates first and last can be taken from here.
  bool Serves(std::string_view bowler, std::string_view first, std::string_view last) const;

  // The games of one play (stored date, centre and level as the games hold them), in order 0
  // (play number, game number) or 1 (play number newest first, game number).
  clsResult_List Play(std::string_view yyyymmdd, std::string_view alley, std::string_view level,
                      long order) const;
  // The games from first to last (stored dates, both included), newest play first (order 1).
  clsResult_List Period(std::string_view first, std::string_view last) const;

 private:
  std::string bowler_;
  std::string from_;
  std::string to_;
  // Indexes the plays at the first cut of one (a driver that only puts pages made ahead in
  // place cuts none).
  void IndexPlays() const;

  clsResult_List games_;
  // The positions in games_ of the games of each play (date, centre, level), in order 0.
  mutable std::map<std::string, std::vector<std::size_t>, std::less<>> plays_;
  mutable bool indexed_ = false;
  bool selected_ = false;
  bool plain_ = true;
};

}  // namespace lanereport
