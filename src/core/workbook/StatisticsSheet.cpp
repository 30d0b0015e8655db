#include "workbook/StatisticsSheet.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <tuple>
#include <utility>

#include "database/MasterLists.h"
#include "database/clsS_OUTPUT_Data.h"
#include "scoring/clsResult_List.h"
#include "ui/ProgressWindow.h"
#include "util/DateText.h"
#include "util/NumberFormat.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/StatisticsSummary.h"

namespace lanereport {
namespace {

constexpr std::size_t kSwitchTitle = 1;
constexpr std::size_t kSwitchDistribution = 15;
constexpr std::size_t kSwitchFirstAllRate = 20;
constexpr std::size_t kSwitchFirstFrameRate = 28;
constexpr std::size_t kSwitchTotalAvg = 36;
constexpr std::size_t kSwitchMonthAvg = 37;

const char* const kRateNames[] = {"ストライク", "サイド",   "スペア",     "オープン",
                                  "ガター",     "ファール", "スプリット", "スプリットカバー"};
const char* const kFullWidthFrames[] = {"１", "２", "３", "４", "５",
                                        "６", "７", "８", "９", "１０"};

std::string DateText(int y, int m, int d) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", y, m, d);
  return buffer;
}

// "YYYY/MM/DD" plus one month, the day kept as it is (month texts only compare as text).
std::string NextMonth(const std::string& date) {
  int y = std::stoi(date.substr(0, 4));
  int m = std::stoi(date.substr(5, 2));
  if (++m > 12) {
    m = 1;
    ++y;
  }
  return DateText(y, m, std::stoi(date.substr(8, 2)));
}

int LastDay(int y, int m) {
  int d = 31;
  while (!IsValidDate(y, m, d)) --d;
  return d;
}

// The months "YYYYMM" from the month of first to the month of last (both "YYYY/MM/DD"),
// stepping as the sheet's month heads do.
std::vector<std::string> MonthsBetween(std::string first, const std::string& last) {
  std::vector<std::string> months;
  for (std::string d = first; d <= last; d = NextMonth(d))
    months.push_back(d.substr(0, 4) + d.substr(5, 2));
  return months;
}

// Appends the heads of one switch to the row.
void Heads(std::size_t index, DataRow& row) {
  static const char* const kSingle[] = {"性別",           "称号",       "肩書きA",  "肩書きB",
                                        "座右の銘",       "身長",       "体重",     "利き腕",
                                        "メールアドレス", "ボール",     "リスタイ", "シューズ",
                                        "バッグ",         "スコア合計", "ゲーム数"};
  if (index < 15) {
    row.emplace_back(kSingle[index]);
  } else if (index == kSwitchDistribution) {
    for (int k = 0; k < 30; ++k)
      row.push_back("スコア分布" + std::to_string(k * 10) + "-" + std::to_string(k * 10 + 9));
    row.emplace_back("スコア分布300");
  } else if (index < kSwitchFirstAllRate) {
    static const char* const kSeries[] = {"ハイスコア", "ロースコア", "ハイシリーズ",
                                          "ローシリーズ"};
    row.emplace_back(kSeries[index - 16]);
  } else if (index < kSwitchFirstFrameRate) {
    row.push_back(std::string("全体／") + kRateNames[index - kSwitchFirstAllRate] + "確率");
  } else if (index < kSwitchTotalAvg) {
    for (const char* frame : kFullWidthFrames)
      row.push_back(std::string(frame) + "フレーム／" + kRateNames[index - kSwitchFirstFrameRate] +
                    "確率");
  } else if (index == kSwitchTotalAvg) {
    row.emplace_back("合計AVG");
  }
  // The month heads are written apart.
}

std::string BowlerText(const clsBowler_Data& b, std::size_t index) {
  switch (index) {
    case 2:
      return b.Ranka();
    case 3:
      return b.Rankb();
    case 4:
      return b.Maxim();
    case 5:
      return b.Height();
    case 6:
      return b.Weight();
    case 7:
      return b.Arm();
    case 8:
      return b.Mailaddress();
    case 9:
      return b.Ball();
    case 10:
      return b.Wrist();
    case 11:
      return b.Shoes();
    default:
      return b.Bag();
  }
}

// Appends the values of one switch for one bowler to the row (months are written apart).
void Values(std::size_t index, const clsBowler_Data& b, const StatisticsSummary& games,
            DataRow& row) {
  if (index == 0) {
    row.emplace_back(b.Sex() ? "女" : "男");
    return;
  }
  if (index == kSwitchTitle) {
    row.push_back(BowlerTitle(games.count, games.rates, b.Sex()));
    return;
  }
  if (index < 13) {
    row.push_back(BowlerText(b, index));
    return;
  }
  switch (index) {
    case 13:
      row.push_back(std::to_string(games.total));
      return;
    case 14:
      row.push_back(std::to_string(games.count));
      return;
    case kSwitchDistribution:
      for (long n : games.distribution) row.push_back(std::to_string(n));
      return;
    case 16:
      row.push_back(std::to_string(games.max_score));
      return;
    case 17:
      row.push_back(std::to_string(games.min_score));
      return;
    case 18:
      row.push_back(std::to_string(games.max_series));
      return;
    case 19:
      row.push_back(std::to_string(games.min_series));
      return;
    default:
      break;
  }
  if (index < kSwitchFirstFrameRate) {
    row.push_back(FormatFixed1(games.rates.whole[index - kSwitchFirstAllRate]));
  } else if (index < kSwitchTotalAvg) {
    std::size_t kind = index - kSwitchFirstFrameRate;
    for (std::size_t f = 1; f <= 9; ++f) row.push_back(FormatFixed1(games.rates.frames[f][kind]));
    row.push_back(FormatFixed1(games.rates.frames[0][kind]));
  } else {
    row.push_back(FormatFixed1(games.Avg()));
  }
}

// Appends the monthly averages of one bowler over the given months to the row; records the
// months in the bowler's month list (linked where the bowler has games).
void MonthValues(const std::vector<std::string>& months, const StatisticsSummary& games,
                 clsMonth_List& list, DataRow& row) {
  for (const std::string& m : months) {
    list.Sttdt(m);
    list.Enddt(m);
    double avg = games.MonthAvg(m);
    auto month = std::make_unique<clsMonth_Data>();
    month->Month(m);
    month->Link(avg != -1);
    row.push_back(avg == -1 ? std::string() : FormatFixed1(avg));
    list.Additem(std::move(month), m);
  }
}

}  // namespace

std::string BowlerTitle(long count, const MarkRates& rates, bool female) {
  if (count < 30) return "";
  auto pct = [&](long kind) {
    return static_cast<long>(std::trunc(rates.whole[static_cast<std::size_t>(kind)]));
  };
  long strike = pct(0), side = pct(1), spare = pct(2), open = pct(3), gutter = pct(4),
       foul = pct(5), split = pct(6), cover = pct(7);
  long tenth = static_cast<long>(std::trunc(100 - rates.frames[0][kRateOpen]));
  if (open >= 80) return "へぼウラー";
  if (gutter >= 5) return female ? "ガタークィーン" : "Ｍr．Ｇ";
  if (foul >= 5) return "ダーティーシューズ";
  if (open < 11) return "アレイマスター";
  if (side >= 50) return side < 90 ? "マジシャン" : "ゼパマスター";
  if (strike >= 40) return strike < 60 ? "スイーパー" : "デストロイヤー";
  if (spare >= 50) return spare < 70 ? "ハンター" : "スナイパー";
  if (tenth >= 60) return tenth < 80 ? "ヒーロー" : "スーパーヒーロー";
  if (split < 10) return "";
  if (cover < 20) return "スプリットメーカー";
  return "スプリットシーザー";
}

std::string BowlerTitle(const clsResult_List& games, bool female) {
  return BowlerTitle(games.Count(), games.Rates(), female);
}

namespace {

// The first and last day ("yyyy/mm/dd") of the sheet's games: its dates, or the twelve months
// up to the reference date (the end of the bulk year, or today); for the latest games, from
// 1900 up to the end date or the reference date.
std::pair<std::string, std::string> SheetDates(const clsS_OUTPUT_Data& def,
                                               const std::string& bulk_year) {
  CivilDate today = Today();
  int ry = bulk_year.empty() ? today.year : std::stoi(bulk_year);
  int rm = bulk_year.empty() ? today.month : 12;
  int rd = bulk_year.empty() ? today.day : 31;
  std::string t1, t2;
  if (def.Condition()) {
    if (!def.StartDate().empty()) t1 = YmdToSlashed(def.StartDate());
    if (!def.EndDate().empty()) t2 = YmdToSlashed(def.EndDate());
  } else {
    t1 = "1900/01/01";
    t2 = def.EndDate().empty() ? DateText(ry, rm, rd) : YmdToSlashed(def.EndDate());
  }
  if (t1.empty()) {
    int y = ry, m = rm - 11;
    if (m < 1) {
      m += 12;
      --y;
    }
    t1 = DateText(y, m, 1);
  }
  if (t2.empty()) t2 = DateText(ry, rm, LastDay(ry, rm));
  return {t1, t2};
}

// A sheet by dates with monthly averages takes whole months.
std::pair<std::string, std::string> WholeMonths(const std::string& t1, const std::string& t2) {
  return {t1.substr(0, 7) + "/01", t2.substr(0, 7) + "/31"};
}

}  // namespace

std::optional<SheetPeriod> BowlerPeriodOf(const clsS_OUTPUT_Data& def,
                                          const std::string& bulk_year) {
  if (!def.Condition()) return std::nullopt;
  auto [t1, t2] = SheetDates(def, bulk_year);
  if (def.SwitchValue(kSwitchMonthAvg)) std::tie(t1, t2) = WholeMonths(t1, t2);
  return SheetPeriod{def.AlleyName(), def.LevelName(), t1, t2};
}

std::optional<LatestGames> LatestGamesOf(const clsS_OUTPUT_Data& def,
                                         const std::string& bulk_year) {
  if (def.Condition() || def.SwitchValue(kSwitchMonthAvg)) return std::nullopt;
  auto [t1, t2] = SheetDates(def, bulk_year);
  return LatestGames{def.AlleyName(), def.LevelName(), t1, t2, def.Pastcount()};
}

std::vector<DataRow> BuildStatisticsRows(Database& db, const clsS_OUTPUT_Data& definition,
                                         clsBowler_List& bowlers, WorkbookState& state,
                                         ProgressWindow& progress) {
  StatisticsCache cache(db);
  return BuildStatisticsRows(cache, definition, bowlers, state, progress);
}

std::vector<DataRow> BuildStatisticsRows(StatisticsCache& cache, const clsS_OUTPUT_Data& def,
                                         clsBowler_List& bowlers, WorkbookState& state,
                                         ProgressWindow& progress) {
  std::vector<DataRow> rows;
  if (progress.StopFlag()) return rows;

  state.ClearBowlers();
  long count = static_cast<long>(bowlers.Count());
  progress.Message1("ただいま、ボウラー情報を出力中です");
  progress.Message2("しばらくお待ちください...");
  progress.StartProgress(1, count * 40 + 2);

  // The period: by dates, or the latest games up to an end date.
  const std::string alley = def.AlleyName();
  const std::string level = def.LevelName();
  const long past = def.Condition() ? 0 : def.Pastcount();
  auto [t1, t2] = SheetDates(def, state.bulk_year);

  DataRow row1 = {"出力条件", "ボウリング場", alley, "レベル", level};
  if (def.Condition())
    row1.insert(row1.end(), {"期間", "'" + t1, "～", "'" + t2});
  else
    row1.insert(row1.end(), {"GAME数", "'" + t2, "から過去", std::to_string(past), "Game"});
  rows.push_back(std::move(row1));
  progress.CountProgress(1, 1);

  DataRow row2 = {"優先順位", "ボウラー名"};
  for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i) {
    if (def.SwitchValue(i)) Heads(i, row2);
  }
  // Month heads; every bowler's monthly averages sit under them.
  std::vector<std::string> months;
  bool month_avg = def.SwitchValue(kSwitchMonthAvg);
  if (month_avg) {
    bool heads = true;
    if (def.Condition()) {
      std::tie(t1, t2) = WholeMonths(t1, t2);
    } else {
      const StatisticsSummary& all = cache.Get("", alley, level, t1, t2, past);
      heads = all.count > 0;
      if (heads) {
        t1 = all.start_month + "/01";
        t2 = all.end_month + "/31";
      }
    }
    if (heads) months = MonthsBetween(t1, t2);
    for (const std::string& m : months)
      row2.push_back(m.substr(0, 4) + "年" + m.substr(4, 2) + "月");
  }
  // Every bowler's row has a cell under each head.
  const std::size_t width = row2.size();
  rows.push_back(std::move(row2));
  progress.CountProgress(1, 1);

  long placed = 0;
  for (std::size_t b = 0; b < bowlers.Count(); ++b) {
    clsBowler_Data& bowler = bowlers.Item(b);
    long n = bowler.Number();
    if (n > 99 || n < 0) {
      progress.CountProgress(1, 40);
      continue;
    }
    state.bowlers[static_cast<std::size_t>(n)] = {bowler.Name(), bowler.Aname()};
    const StatisticsSummary& games = cache.Get(bowler.Name(), alley, level, t1, t2, past);
    if (games.count == 0) {
      progress.CountProgress(1, 1);
      continue;
    }
    DataRow row;
    row.reserve(width);
    row.push_back(std::to_string(n));
    row.push_back(bowler.Name());
    progress.CountProgress(1, 1);
    for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i) {
      if (def.SwitchValue(i)) {
        if (i == kSwitchMonthAvg) {
          clsMonth_List& list = state.month_lists[n];
          list.Number(n);
          MonthValues(months, games, list, row);
        } else {
          Values(i, bowler, games, row);
        }
      }
      progress.CountProgress(1, 1);
    }
    while (placed != n && n > placed) {
      rows.emplace_back();
      ++placed;
    }
    rows.push_back(std::move(row));
    ++placed;
    progress.CountProgress(1, 1);
    if (progress.StopFlag()) break;
  }
  return rows;
}

}  // namespace lanereport
