#include "scoring/MarkRates.h"

#include <string>
#include <string_view>

#include "scoring/RollNotation.h"
#include "scoring/clsResult_Data.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

struct Counts {
  long strikes1 = 0;  // "×"
  long strikes2 = 0;  // "Ｘ"
  long spares = 0;
  long chances = 0;  // spare chances
  long opens = 0;
  long gutters = 0;
  long fouls = 0;
  long splits = 0;
  long covers = 0;  // splits made
  long racks = 0;
  long balls = 0;
};

double Percent(long count, long denominator) {
  return denominator == 0 ? 0.0 : static_cast<double>(count) / denominator * 100.0;
}

// The second ball of a rack: made (a spare), or an open.
void CountSecondBall(std::string_view m, bool split, Counts& c) {
  if (m == mark::kSpare) {
    ++c.spares;
    if (split) ++c.covers;
  } else if (m == mark::kFoul) {
    ++c.fouls;
    ++c.opens;
  } else {
    ++c.opens;
  }
}

// One of frames 1 to 9: A the first roll (empty for a strike), B the second.
void CountFrame(std::string_view a, std::string_view b, Counts& c) {
  bool split = false;
  if (a == mark::kGutter) {
    ++c.gutters;
    ++c.chances;
  } else if (a == mark::kFoul) {
    ++c.fouls;
    ++c.chances;
  } else if (IsCountMark(a)) {
    ++c.chances;
  } else if (IsSplitMark(a)) {
    ++c.splits;
    ++c.chances;
    split = true;
  }
  if (b == mark::kStrike) {
    ++c.strikes1;
  } else if (b == mark::kStrike2) {
    ++c.strikes2;
  } else {
    CountSecondBall(b, split, c);
  }
}

// A ball thrown at a full rack.
void CountRackBall(std::string_view m, bool& split, Counts& c) {
  if (m == mark::kGutter) {
    ++c.gutters;
  } else if (m == mark::kFoul) {
    ++c.fouls;
  } else if (IsSplitMark(m)) {
    ++c.splits;
    split = true;
  } else if (m == mark::kStrike) {
    ++c.strikes1;
  } else if (m == mark::kStrike2) {
    ++c.strikes2;
  }
}

// The bonus ball at a fresh rack with no ball after it: any pin makes it a spare.
void CountLastBall(std::string_view m, Counts& c) {
  if (m.empty()) return;
  if (m == mark::kStrike) {
    ++c.strikes1;
  } else if (m == mark::kStrike2) {
    ++c.strikes2;
  } else if (m == mark::kGutter) {
    ++c.chances;
    ++c.gutters;
    ++c.opens;
  } else if (m == mark::kFoul) {
    ++c.chances;
    ++c.fouls;
    ++c.opens;
  } else if (IsCountMark(m)) {
    ++c.chances;
    ++c.spares;
  } else if (IsSplitMark(m)) {
    ++c.chances;
    ++c.spares;
    ++c.splits;
  }
}

void CountTenth(const clsResult_Data& game, Counts& c) {
  std::string_view t1 = Trim(game.StoredRoll(18));
  std::string_view t2 = Trim(game.StoredRoll(19));
  std::string_view t3 = Trim(game.StoredRoll(20));
  bool split = false;
  ++c.racks;
  c.balls += 2;
  CountRackBall(t1, split, c);
  if (IsStrikeMark(t1)) {
    ++c.racks;
    CountRackBall(t2, split, c);
    if (IsStrikeMark(t2)) {
      ++c.racks;
      CountLastBall(t3, c);
    } else {
      ++c.chances;
      if (t3 == mark::kGutter) {
        ++c.gutters;
        ++c.opens;
      } else {
        CountSecondBall(t3, split, c);
      }
    }
    ++c.balls;
    return;
  }
  ++c.chances;
  CountSecondBall(t2, split, c);
  if (t2 == mark::kSpare) {
    ++c.racks;
    CountLastBall(t3, c);
    ++c.balls;
  }
}

// The record from the counts and the denominators of strikes, opens, gutters, fouls and splits
// (with no game every count and denominator is 0, so those rates are 0).
RateRecord Rates(const Counts& c, long strike_base, long open_base, long gutter_base,
                 long foul_base, long split_base) {
  long strikes = c.strikes1 + c.strikes2;
  RateRecord r{};
  r[kRateStrike] = Percent(strikes, strike_base);
  r[kRateSide] = Percent(c.strikes2, strikes);
  r[kRateSpare] = c.chances == 0 ? 100.0 : Percent(c.spares, c.chances);
  r[kRateOpen] = Percent(c.opens, open_base);
  r[kRateGutter] = Percent(c.gutters, gutter_base);
  r[kRateFoul] = Percent(c.fouls, foul_base);
  r[kRateSplit] = Percent(c.splits, split_base);
  r[kRateSplitCover] = Percent(c.covers, c.splits);
  return r;
}

Counts& operator+=(Counts& sum, const Counts& c) {
  sum.strikes1 += c.strikes1;
  sum.strikes2 += c.strikes2;
  sum.spares += c.spares;
  sum.chances += c.chances;
  sum.opens += c.opens;
  sum.gutters += c.gutters;
  sum.fouls += c.fouls;
  sum.splits += c.splits;
  sum.covers += c.covers;
  sum.racks += c.racks;
  sum.balls += c.balls;
  return sum;
}

}  // namespace

MarkRates CalcMarkRates(const std::vector<clsResult_Data>& games,
                        const std::function<void()>& progress) {
  MarkRates rates;
  const long g = static_cast<long>(games.size());
  auto step = [&progress] {
    if (progress) progress();
  };

  // The whole game's counts are those of its ten frames added up: frames 1 to 9 a rack and two
  // balls each.
  Counts whole;
  for (long k = 1; k <= 9; ++k) {
    Counts c;
    for (const clsResult_Data& game : games)
      CountFrame(game.StoredRoll(static_cast<int>(2 * k - 2)),
                 game.StoredRoll(static_cast<int>(2 * k - 1)), c);
    rates.frames[k] = Rates(c, g, g, g, 2 * g, g);
    c.racks += g;
    c.balls += 2 * g;
    whole += c;
    step();
  }

  Counts tenth;
  for (const clsResult_Data& game : games) CountTenth(game, tenth);
  rates.frames[0] = Rates(tenth, tenth.racks, g, tenth.racks, tenth.balls, tenth.racks);
  whole += tenth;
  step();

  rates.whole = Rates(whole, whole.racks, 10 * g, whole.racks, whole.balls, whole.racks);
  step();
  return rates;
}

}  // namespace lanereport
