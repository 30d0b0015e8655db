#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/clsResult_List.h"

namespace lanereport {

class Database;

// Every name of a kind once, as stored, under its letter-case-free form: a second stored form
// of the same name makes an in-memory comparison of names differ from the engine's.
class NameForms {
 public:
  // False when the name is a second stored form of a name added before.
  bool Add(std::string_view name);

 private:
  std::map<std::string, std::string> forms_;
  std::string last_;  // the name added last (names come in runs)
};

// The condition (SQL over Result_Data) of the games that count: those of the calculation-target
// levels.
std::string CountedLevelsCondition();

// Games in order 0 (oldest play first, no two sharing date, play number and game number) put in
// order 1: the plays turned round, each play's games kept in playing order.
std::vector<clsResult_Data> TurnPlaysRound(std::vector<clsResult_Data>&& oldest_first);

// The counted games (of the calculation-target levels) of one year for every bowler, selected
// once for a bulk run: the workbook, the monthly and score pages and the year pages take each
// bowler's games from here instead of selecting them again, bowler by bowler.
//
// A bowler's games here must be exactly the games, in exactly the order, that the engine gives
// for "Bowler_Name = name" (letter case of ASCII ignored) over the year, oldest first. That
// holds when the stored values compare in memory as the engine compares them: bowler, centre
// and level names without surrounding blanks and not differing from another one of the year
// only in letter case, play dates of eight digits, play and game numbers stored as integers,
// and no two games of a bowler sharing date, play number and game number (the engine's order
// would be open there). When a stored value breaks this, or the selection fails, Serves is
// false and the callers select as before.
class YearGames {
 public:
  YearGames(Database& db, std::string_view yyyy);
  // Every bowler's games between the stored dates from and to (both included) that meet the
  // condition (SQL over Result_Data, without the bowler; empty for none), the same way.
  YearGames(Database& db, std::string from, std::string to, std::string_view condition);

  // Every bowler's games between the stored dates from and to that meet the condition, handed
  // over bowler by bowler (the name in lower case, the games oldest first) without holding more
  // than one bowler's at a time. Returns false, after handing over any number of bowlers, when
  // the stored values do not let the engine's selections of each bowler be cut from these
  // (see above); the caller then drops what it was given.
  using BowlerVisitor = std::function<void(const std::string&, std::vector<clsResult_Data>&&)>;
  static bool EachBowler(Database& db, const std::string& from, const std::string& to,
                         std::string_view condition, const BowlerVisitor& visit);

  // True when the games of any bowler between the stored dates first and last ("yyyymmdd",
  // both included) can be taken from here.
  bool Serves(std::string_view first, std::string_view last) const;
  // The bowler's games of the year, oldest first (order 0); empty when there are none. The
  // name is compared as the engine compares Bowler_Name.
  std::vector<clsResult_Data> Of(std::string_view bowler) const;
  // The same, only those between the stored dates first and last (both included).
  std::vector<clsResult_Data> Of(std::string_view bowler, std::string_view first,
                                 std::string_view last) const;
  // The bowler's latest count games up to the stored date last, newest first (play and game
  // numbers too, as the engine's "Top count ... Order By Play_Date Desc, PlayNumber Desc,
  // Game_Number Desc" gives them), when they all lie in here: nothing when the year does not
  // serve up to last or the bowler has fewer games in it up to last (older ones would count).
  std::optional<std::vector<clsResult_Data>> Latest(std::string_view bowler, std::string_view last,
                                                    long count) const;
  // True when no bowler has games here (also when it does not serve).
  bool Empty() const { return bowlers_.empty(); }
  // The games of the bowler stored under exactly this name, moved out of here (they are gone
  // afterwards): the year pages group the games by the stored name as it stands.
  std::vector<clsResult_Data> Take(std::string_view stored_name);
  // The same games copied, left here (the year's games unchanged, for use beside other readers).
  std::vector<clsResult_Data> CopyOf(std::string_view stored_name) const;

 private:
  struct Bowler {
    std::string stored_name;           // the name as the games hold it
    std::deque<clsResult_Data> games;  // oldest first
  };
  const Bowler* Find(std::string_view bowler) const;
  // The bowler stored under exactly this name; null when there is none.
  const Bowler* FindStored(std::string_view stored_name) const;

  std::string from_;
  std::string to_;
  std::map<std::string, Bowler, std::less<>> bowlers_;  // by the name in lower case
  bool plain_ = false;
};

}  // namespace lanereport
