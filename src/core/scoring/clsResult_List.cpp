#include "scoring/clsResult_List.h"

#include <algorithm>
#include <unordered_map>

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "scoring/UnreadableGame.h"
#include "scoring/clsSeries_Data.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr const char* kSource = "[clsResult_List]SelectRecord";

std::string OrderClause(long order) {
  switch (order) {
    case 0:
      return " Order By Play_Date, PlayNumber, Game_Number";
    case 1:
      return " Order By Play_Date DESC, PlayNumber DESC, Game_Number";
    case 2:
      return " Order By Play_Date DESC, Alley_Name, Level_Name, Game_Number";
    case 3:
      return " Order By Play_Date DESC, PlayNumber DESC, Game_Number DESC";
    default:
      return "";
  }
}

long ScoreOf(const clsResult_Data& game) {
  return game.Score();
}

// The series index of a game number: games 1-3 are 0, 4-6 are 1, game 0 is -1.
long SeriesIndex(long game_number) {
  long g = game_number - 1;
  return g >= 0 ? g / 3 : -((-g + 2) / 3);
}

long MonthNumber(const std::string& play_date) {
  std::optional<double> n = ParseNumber(play_date.substr(0, 6));
  return n ? static_cast<long>(*n) : 0;
}

std::string MonthText(long yyyymm) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%06ld", yyyymm);
  std::string text = buffer;
  return text.substr(0, 4) + "/" + text.substr(4, 2);
}

}  // namespace

void clsResult_List::Fill(const std::string& sql, const RowInspector& inspect) {
  std::optional<ResultColumns> columns;
  const std::size_t before = games_.size();
  db_->ReadRows(sql, [&](const RowView& row) {
    if (!columns) columns = ResultColumns::Of(row);
    clsResult_Data& game = games_.emplace_back(*db_);
    try {
      game.Read(row, *columns);
    } catch (const AppError& e) {
      games_.pop_back();
      if (e.Number() == kErrEngine) throw;
      // A run leaves the game out and says so at its end; elsewhere the selection is refused.
      if (!ReportUnreadableGame(row, *columns, e))
        throw AppError(kErrInvalidValue, kSource, "ﾃﾞｰﾀ取得に失敗しました");
      return;
    }
    if (inspect) inspect(row, *columns, game);
  });
  if (games_.size() == before) throw AppError(kErrNoData, kSource, "該当するﾃﾞｰﾀは存在しません");
}

void clsResult_List::SelectRecord(std::string_view condition, long order) {
  SelectRecord(condition, order, {});
}

void clsResult_List::SelectRecord(std::string_view condition, long order,
                                  const RowInspector& inspect) {
  std::string sql = std::string("Select * From Result_Data ") + kCrLf;
  if (!condition.empty()) sql += " Where " + std::string(condition);
  Fill(sql + OrderClause(order), inspect);
}

void clsResult_List::SelectCount(std::string_view bowler, std::string_view date, long n, long order,
                                 std::string_view condition, std::string_view score) {
  std::string sql;
  if (!score.empty()) sql += std::string("Select * From (") + kCrLf;
  sql += "Select Top " + std::to_string(n) + " * From Result_Data " + kCrLf;
  sql += std::string("Where ") + kCrLf;
  if (!bowler.empty()) {
    sql += "Bowler_Name = " + SqlQuote(bowler) + kCrLf;
    sql += std::string("And ") + kCrLf;
  }
  sql += "Play_Date <= " + SqlQuote(date) + " " + kCrLf;
  if (!condition.empty()) sql += " And " + std::string(condition) + kCrLf;
  sql += OrderClause(order);
  if (!score.empty())
    sql += std::string(kCrLf) + ") Where TenthFrameScore = " + SqlQuote(score) + kCrLf;
  Fill(sql);
}

void clsResult_List::Remove(std::size_t index) {
  if (index >= games_.size())
    throw AppError(9, "[clsResult_List]Remove", "インデックスが有効範囲にありません");
  games_.erase(games_.begin() + static_cast<long>(index));
}

long clsResult_List::ScoreTotal() const {
  long total = 0;
  for (const clsResult_Data& game : games_) total += ScoreOf(game);
  return total;
}

long clsResult_List::MaxScore() const {
  long max = 0;
  for (const clsResult_Data& game : games_) max = std::max(max, ScoreOf(game));
  return max;
}

long clsResult_List::MinScore() const {
  long min = 300;
  for (const clsResult_Data& game : games_) min = std::min(min, ScoreOf(game));
  return min;
}

long clsResult_List::MaxGameNumber() const {
  long max = 0;
  for (const clsResult_Data& game : games_) max = std::max(max, game.GameNumber());
  return max;
}

double clsResult_List::Avg() const {
  if (games_.empty()) return -1;
  return static_cast<double>(ScoreTotal()) / static_cast<double>(games_.size());
}

double clsResult_List::MonthAvg(std::string_view yyyymm) const {
  std::string_view month = yyyymm.substr(0, 6);
  long sum = 0;
  long count = 0;
  for (const clsResult_Data& game : games_) {
    if (!StartsWith(game.PlayDateView(), month)) continue;
    sum += ScoreOf(game);
    ++count;
  }
  return count == 0 ? -1 : static_cast<double>(sum) / static_cast<double>(count);
}

std::string clsResult_List::getStartMonth() const {
  long first = 999999;
  for (const clsResult_Data& game : games_) first = std::min(first, MonthNumber(game.PlayDate()));
  return MonthText(first);
}

std::string clsResult_List::getEndMonth() const {
  long last = 0;
  for (const clsResult_Data& game : games_) last = std::max(last, MonthNumber(game.PlayDate()));
  return MonthText(last);
}

long clsResult_List::Distribution(long lower) const {
  long count = 0;
  for (const clsResult_Data& game : games_) {
    long s = ScoreOf(game);
    if (s >= lower && s <= lower + 9) ++count;
  }
  return count;
}

long clsResult_List::CalcSeries(bool highest, std::vector<std::string>& descriptions) const {
  // Each series: its games so far, their pins and its latest game (by position in the list).
  struct Series {
    long count = 0;
    long total = 0;
    std::size_t latest = 0;
    long index = 0;
  };
  std::unordered_map<std::string, Series> by_key;
  std::string key;
  for (std::size_t i = 0; i < games_.size(); ++i) {
    const clsResult_Data& game = games_[i];
    long index = SeriesIndex(game.GameNumber());
    key.assign(game.PlayDateView());
    key.append(game.AlleyNameView());
    key.append(game.LevelNameView());
    key.append(std::to_string(index));
    Series& series = by_key[key];
    ++series.count;
    series.total += ScoreOf(game);
    series.latest = i;
    series.index = index;
  }
  // The series in the order of their latest game in the list.
  std::vector<const Series*> work;
  work.reserve(by_key.size());
  for (const auto& [key, series] : by_key) work.push_back(&series);
  std::sort(work.begin(), work.end(),
            [](const Series* a, const Series* b) { return a->latest < b->latest; });
  // Told by its latest game.
  auto describe = [this](const Series& s) {
    const clsResult_Data& game = games_[s.latest];
    clsSeries_Data series;
    series.PlayDate(game.PlayDate());
    series.AlleyName(game.AlleyName());
    series.LevelName(game.LevelName());
    series.GameNumber(std::to_string(3 * s.index + 1) + "～" + std::to_string(3 * s.index + 3) +
                      "ゲーム目");
    return series.Description();
  };

  descriptions.clear();
  long best = highest ? 0 : 900;
  for (const Series* series : work) {
    if (series->count != 3) continue;
    long total = series->total;
    if (highest ? total > best : total < best) {
      best = total;
      descriptions.clear();
      descriptions.push_back(describe(*series));
    } else if (total == best) {
      descriptions.push_back(describe(*series));
    }
  }
  return best;
}

long clsResult_List::MaxSeries() {
  return CalcSeries(true, high_series_);
}

long clsResult_List::MinSeries() {
  return CalcSeries(false, low_series_);
}

std::string clsResult_List::MaxSeriesGame() const {
  std::string text;
  for (const std::string& line : high_series_) text += line + kCrLf;
  return text;
}

std::string clsResult_List::MinSeriesGame() const {
  std::string text;
  for (const std::string& line : low_series_) text += line + kCrLf;
  return text;
}

void clsResult_List::CalcProbability(const std::function<void()>& progress) {
  rates_ = CalcMarkRates(games_, progress);
}

double clsResult_List::Probability(long frame, long kind) const {
  if (frame < 0 || frame > 9)
    throw AppError(9, "[clsResult_List]Probability", "インデックスが有効範囲にありません");
  if (kind < 0 || kind > 7) return 0;
  return rates_.frames[frame][kind];
}

double clsResult_List::AllProbability(long kind) const {
  if (kind < 0 || kind > 7) return 0;
  return rates_.whole[kind];
}

}  // namespace lanereport
