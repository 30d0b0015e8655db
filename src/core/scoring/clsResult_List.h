#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/MarkRates.h"
#include "scoring/clsResult_Data.h"

namespace lanereport {

class Database;

// An ordered list of games read from Result_Data, with the statistics of the pages and
// workbooks: totals, high and low game and series, averages, months, score distribution and
// mark rates. A game's score is its Tenthframescore read as a number (empty reads 0). Positions
// count from 0. The database must outlive the list.
class clsResult_List {
 public:
  explicit clsResult_List(Database& db) : db_(&db) {}
  // A list of games already read, in the order given: the statistics of a part of a selection
  // (one month, one play) without another query.
  clsResult_List(Database& db, std::vector<clsResult_Data> games)
      : db_(&db), games_(std::move(games)) {}

  // Order codes: 0 chronological; 1 newest play first, games in playing order; 2 newest date
  // first by centre and level; 3 newest game first. Any other code leaves the order open.
  // Appends the games matching the condition (SQL over Result_Data; empty for all games).
  // A row that cannot be read as a game (a roll that is not a mark, a bad date, a text too
  // long) is left out and reported to the run's ReadProblemLog; without a log in force it
  // raises "ﾃﾞｰﾀ取得に失敗しました" (kErrInvalidValue), the games read before it staying.
  // Raises "該当するﾃﾞｰﾀは存在しません" (kErrNoData) when no game could be added, and the
  // engine's own error (kErrEngine) when the database cannot be read. Source
  // "[clsResult_List]SelectRecord".
  void SelectRecord(std::string_view condition, long order);
  // SelectRecord, showing every row read, by position, to inspect with the game made of it.
  using RowInspector =
      std::function<void(const RowView&, const ResultColumns&, const clsResult_Data&)>;
  void SelectRecord(std::string_view condition, long order, const RowInspector& inspect);
  // Appends the first n games, in the order given, played on or before date ("YYYYMMDD") by the
  // bowler (every bowler when empty) that meet the extra condition (SQL, may be empty); with a
  // score text only those of them whose TenthFrameScore is that score. Errors as SelectRecord.
  void SelectCount(std::string_view bowler, std::string_view date, long n, long order,
                   std::string_view condition, std::string_view score);

  const std::vector<clsResult_Data>& LIST() const { return games_; }
  Database& Db() const { return *db_; }
  long Count() const { return static_cast<long>(games_.size()); }
  const clsResult_Data& Item(std::size_t index) const { return games_.at(index); }
  clsResult_Data& Item(std::size_t index) { return games_.at(index); }
  void Remove(std::size_t index);
  std::vector<clsResult_Data>::const_iterator begin() const { return games_.begin(); }
  std::vector<clsResult_Data>::const_iterator end() const { return games_.end(); }

  long ScoreTotal() const;
  // 0 for an empty list.
  long MaxScore() const;
  // 300 for an empty list.
  long MinScore() const;
  long MaxGameNumber() const;
  // -1 for an empty list.
  double Avg() const;
  // The average of the games of the month "YYYYMM"; -1 when there is none.
  double MonthAvg(std::string_view yyyymm) const;
  // The first and the last month of the list as "YYYY/MM"; "9999/99" and "0000/00" when empty.
  std::string getStartMonth() const;
  std::string getEndMonth() const;
  // The number of games scoring from lower to lower + 9.
  long Distribution(long lower) const;

  // Series are the games 1-3, 4-6, … of one date, centre and level; only complete series count.
  // MaxSeries returns the highest total (0 when no series is complete) and remembers the series
  // that reached it for MaxSeriesGame; MinSeries the lowest (900 when none) for MinSeriesGame.
  long MaxSeries();
  long MinSeries();
  // The series of the last MaxSeries / MinSeries, one description line each, each line ending
  // in CR LF, in the order in which their last games come in the list.
  std::string MaxSeriesGame() const;
  std::string MinSeriesGame() const;

  // Computes the mark rates of the list (MarkRates.h), calling progress after each of the
  // eleven computations.
  void CalcProbability(const std::function<void()>& progress = {});
  // The rate of frame (1 to 9; 0 is frame 10) and kind (0 to 7) from the last CalcProbability;
  // 0 for any other kind. A frame outside 0 to 9 raises AppError number 9.
  double Probability(long frame, long kind) const;
  // The whole-game rate of kind (0 to 7); 0 for any other kind.
  double AllProbability(long kind) const;
  // All the rates of the last CalcProbability.
  const MarkRates& Rates() const { return rates_; }

 private:
  void Fill(const std::string& sql, const RowInspector& inspect = {});
  long CalcSeries(bool highest, std::vector<std::string>& descriptions) const;

  Database* db_;
  std::vector<clsResult_Data> games_;
  std::vector<std::string> high_series_;
  std::vector<std::string> low_series_;
  MarkRates rates_;
};

}  // namespace lanereport
