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

std::string Field(const std::string& text) {
  return text + std::string(kSepChar);
}

std::string Heads(std::size_t index) {
  static const char* const kSingle[] = {"性別",           "称号",       "肩書きA",  "肩書きB",
                                        "座右の銘",       "身長",       "体重",     "利き腕",
                                        "メールアドレス", "ボール",     "リスタイ", "シューズ",
                                        "バッグ",         "スコア合計", "ゲーム数"};
  if (index < 15) return Field(kSingle[index]);
  if (index == kSwitchDistribution) {
    std::string heads;
    for (int k = 0; k < 30; ++k)
      heads += Field("スコア分布" + std::to_string(k * 10) + "-" + std::to_string(k * 10 + 9));
    return heads + Field("スコア分布300");
  }
  static const char* const kSeries[] = {"ハイスコア", "ロースコア", "ハイシリーズ", "ローシリーズ"};
  if (index < kSwitchFirstAllRate) return Field(kSeries[index - 16]);
  if (index < kSwitchFirstFrameRate)
    return Field(std::string("全体／") + kRateNames[index - kSwitchFirstAllRate] + "確率");
  if (index < kSwitchTotalAvg) {
    std::string heads;
    for (const char* frame : kFullWidthFrames)
      heads += Field(std::string(frame) + "フレーム／" + kRateNames[index - kSwitchFirstFrameRate] +
                     "確率");
    return heads;
  }
  if (index == kSwitchTotalAvg) return Field("合計AVG");
  return "";  // the month heads are written apart
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

// The values of one switch for one bowler (months are written apart).
std::string Values(std::size_t index, const clsBowler_Data& b, const StatisticsSummary& games) {
  if (index == 0) return Field(b.Sex() ? "女" : "男");
  if (index == kSwitchTitle) return Field(BowlerTitle(games.count, games.rates, b.Sex()));
  if (index < 13) return Field(BowlerText(b, index));
  switch (index) {
    case 13:
      return Field(std::to_string(games.total));
    case 14:
      return Field(std::to_string(games.count));
    case kSwitchDistribution: {
      std::string values;
      for (std::size_t k = 0; k < games.distribution.size(); ++k)
        values += Field(std::to_string(games.distribution[static_cast<std::size_t>(k)]));
      return values;
    }
    case 16:
      return Field(std::to_string(games.max_score));
    case 17:
      return Field(std::to_string(games.min_score));
    case 18:
      return Field(std::to_string(games.max_series));
    case 19:
      return Field(std::to_string(games.min_series));
    default:
      break;
  }
  if (index < kSwitchFirstFrameRate)
    return Field(FormatFixed1(games.rates.whole[index - kSwitchFirstAllRate]));
  if (index < kSwitchTotalAvg) {
    std::size_t kind = index - kSwitchFirstFrameRate;
    std::string values;
    for (std::size_t f = 1; f <= 9; ++f) values += Field(FormatFixed1(games.rates.frames[f][kind]));
    return values + Field(FormatFixed1(games.rates.frames[0][kind]));
  }
  return Field(FormatFixed1(games.Avg()));
}

// Monthly averages of one bowler over the given months; records the months in the bowler's
// month list (linked where the bowler has games).
std::string MonthValues(const std::vector<std::string>& months, const StatisticsSummary& games,
                        clsMonth_List& list) {
  std::string values;
  for (const std::string& m : months) {
    list.Sttdt(m);
    list.Enddt(m);
    double avg = games.MonthAvg(m);
    auto month = std::make_unique<clsMonth_Data>();
    month->Month(m);
    month->Link(avg != -1);
    values += Field(avg == -1 ? "" : FormatFixed1(avg));
    list.Additem(std::move(month), m);
  }
  return values;
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

std::vector<std::string> BuildStatisticsRows(Database& db, const clsS_OUTPUT_Data& definition,
                                             clsBowler_List& bowlers, WorkbookState& state,
                                             ProgressWindow& progress) {
  StatisticsCache cache(db);
  return BuildStatisticsRows(cache, definition, bowlers, state, progress);
}

std::vector<std::string> BuildStatisticsRows(StatisticsCache& cache, const clsS_OUTPUT_Data& def,
                                             clsBowler_List& bowlers, WorkbookState& state,
                                             ProgressWindow& progress) {
  std::vector<std::string> rows;
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

  std::string row1 =
      Field("出力条件") + Field("ボウリング場") + Field(alley) + Field("レベル") + Field(level);
  if (def.Condition())
    row1 += Field("期間") + Field("'" + t1) + Field("～") + Field("'" + t2);
  else
    row1 += Field("GAME数") + Field("'" + t2) + Field("から過去") + Field(std::to_string(past)) +
            Field("Game");
  rows.push_back(row1);
  progress.CountProgress(1, 1);

  std::string row2 = Field("優先順位") + Field("ボウラー名");
  for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i) {
    if (def.SwitchValue(i)) row2 += Heads(i);
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
      row2 += Field(m.substr(0, 4) + "年" + m.substr(4, 2) + "月");
  }
  rows.push_back(row2);
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
    std::string row = Field(std::to_string(n)) + Field(bowler.Name());
    progress.CountProgress(1, 1);
    for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i) {
      if (def.SwitchValue(i)) {
        if (i == kSwitchMonthAvg) {
          clsMonth_List& list = state.month_lists[n];
          list.Number(n);
          row += MonthValues(months, games, list);
        } else {
          row += Values(i, bowler, games);
        }
      }
      progress.CountProgress(1, 1);
    }
    while (placed != n && n > placed) {
      rows.emplace_back();
      ++placed;
    }
    rows.push_back(row);
    ++placed;
    progress.CountProgress(1, 1);
    if (progress.StopFlag()) break;
  }
  return rows;
}

}  // namespace lanereport
