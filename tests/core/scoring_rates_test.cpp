#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BowlingNotation.h"
#include "ScoreDb.h"
#include "scoring/MarkRates.h"
#include "scoring/clsResult_List.h"

namespace lanereport {
namespace {

class RatesTest : public ::testing::Test {
 protected:
  MarkRates RatesOf(const std::vector<std::string>& notations) {
    std::vector<clsResult_Data> games;
    for (const std::string& n : notations) {
      clsResult_Data g(fixture_.Db());
      testing::EnterGame(g, n);
      games.push_back(g);
    }
    int calls = 0;
    MarkRates rates = CalcMarkRates(games, [&] { ++calls; });
    EXPECT_EQ(calls, 11);
    return rates;
  }

  static void ExpectRecord(const RateRecord& r, const RateRecord& expected, const char* what) {
    const char* kinds[] = {"strike", "side", "spare", "open", "gutter", "foul", "split", "cover"};
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(r[k], expected[k], 1e-9) << what << " " << kinds[k];
  }

  testing::ScoreDbFixture fixture_;
};

const std::string kNines = "9- 9- 9- 9- 9- 9- 9- 9- 9- ";

TEST_F(RatesTest, TwelveStrikes) {
  MarkRates r = RatesOf({"X X X X X X X X X XXX"});
  for (int k = 1; k <= 9; ++k) ExpectRecord(r.frames[k], {100, 0, 100, 0, 0, 0, 0, 0}, "frame");
  ExpectRecord(r.frames[0], {100, 0, 100, 0, 0, 0, 0, 0}, "tenth");
  ExpectRecord(r.whole, {100, 0, 100, 0, 0, 0, 0, 0}, "whole");
}

TEST_F(RatesTest, SideStrikes) {
  MarkRates r = RatesOf({"Y X X X X X X X X XXX"});
  ExpectRecord(r.frames[1], {100, 100, 100, 0, 0, 0, 0, 0}, "frame 1");
  ExpectRecord(r.frames[2], {100, 0, 100, 0, 0, 0, 0, 0}, "frame 2");
  EXPECT_NEAR(r.whole[kRateSide], 100.0 / 12.0, 1e-9);
}

TEST_F(RatesTest, AFoulOnTheLastBallCountsThreeBalls) {
  // Frame 10: three racks, three balls, two strikes; the foul is a last ball that took nothing.
  MarkRates r = RatesOf({"X X X X X X X X X XXF"});
  ExpectRecord(r.frames[0], {200.0 / 3, 0, 0, 100, 0, 100.0 / 3, 0, 0}, "tenth");
  // Whole game: 11 strikes over 12 racks, one foul over 9 × 2 + 3 = 21 balls, one open in ten
  // frames, one spare chance (the last ball) not made.
  ExpectRecord(r.whole, {1100.0 / 12, 0, 0, 10, 0, 100.0 / 21, 0, 0}, "whole");
}

TEST_F(RatesTest, ACoveredSplit) {
  MarkRates r = RatesOf({"9- 9- !7/ 9- 9- 9- 9- 9- 9- 9-"});
  ExpectRecord(r.frames[3], {0, 0, 100, 0, 0, 0, 100, 100}, "frame 3");
  ExpectRecord(r.frames[1], {0, 0, 0, 100, 0, 0, 0, 0}, "frame 1");
  // Ten racks, one split covered, one spare out of ten chances, nine opens.
  ExpectRecord(r.whole, {0, 0, 10, 90, 0, 0, 10, 100}, "whole");
}

TEST_F(RatesTest, TenthFrameEndings) {
  // "８", "／", "７": two racks, three balls, two chances, both made.
  ExpectRecord(RatesOf({kNines + "8/7"}).frames[0], {0, 0, 100, 0, 0, 0, 0, 0}, "8/7");
  // "８", "／", "Ｇ": one of two chances made, one open, one gutter over two racks.
  ExpectRecord(RatesOf({kNines + "8/-"}).frames[0], {0, 0, 50, 100, 50, 0, 0, 0}, "8/G");
  // "×", "７", "－": one strike in two racks, one chance missed.
  ExpectRecord(RatesOf({kNines + "X7-"}).frames[0], {50, 0, 0, 100, 0, 0, 0, 0}, "X7-");
  // An open split, then a covered one.
  ExpectRecord(RatesOf({kNines + "!8-"}).frames[0], {0, 0, 0, 100, 0, 0, 100, 0}, "split open");
  ExpectRecord(RatesOf({kNines + "!8/5"}).frames[0], {0, 0, 100, 0, 0, 0, 50, 100}, "split made");
  // A split mark as the last ball counts as a made spare and a split, never as covered.
  ExpectRecord(RatesOf({kNines + "XX!5"}).frames[0], {200.0 / 3, 0, 100, 0, 0, 0, 100.0 / 3, 0},
               "XX split");
  // A spare on the rack after a strike.
  ExpectRecord(RatesOf({kNines + "X9/"}).frames[0], {50, 0, 100, 0, 0, 0, 0, 0}, "X9/");
}

TEST_F(RatesTest, AFirstBallFoulAndItsSpare) {
  MarkRates r = RatesOf({"F/ 9- 9- 9- 9- 9- 9- 9- 9- 9-"});
  ExpectRecord(r.frames[1], {0, 0, 100, 0, 0, 50, 0, 0}, "frame 1");
  // One foul over 20 balls; one spare of ten chances; nine opens in ten frames.
  ExpectRecord(r.whole, {0, 0, 10, 90, 0, 5, 0, 0}, "whole");
}

TEST_F(RatesTest, TwoGames) {
  MarkRates r = RatesOf({"X 7/ 9- X -8 8/ -6 X X X81", "9- 9- 9- 9- 9- 9- 9- 9- 9- 9-"});
  ExpectRecord(r.frames[1], {50, 0, 0, 50, 0, 0, 0, 0}, "frame 1");
  ExpectRecord(r.frames[2], {0, 0, 50, 50, 0, 0, 0, 0}, "frame 2");
  ExpectRecord(r.frames[5], {0, 0, 0, 100, 50, 0, 0, 0}, "frame 5");
  // Frame 10: racks 2 + 1, balls 3 + 2, one strike, two chances missed, two opens in two games.
  ExpectRecord(r.frames[0], {100.0 / 3, 0, 0, 100, 0, 0, 0, 0}, "tenth");
  // Whole: 21 racks, 41 balls, 5 strikes, 2 spares of 16 chances, 14 opens in 20 frames,
  // 2 gutters.
  ExpectRecord(r.whole, {500.0 / 21, 0, 12.5, 70, 200.0 / 21, 0, 0, 0}, "whole");
}

TEST_F(RatesTest, AnEmptyListHasOnlyTheSpareRate) {
  clsResult_List list(fixture_.Db());
  list.CalcProbability();
  for (int f = 0; f <= 9; ++f) {
    for (int kind = 0; kind < 8; ++kind)
      EXPECT_DOUBLE_EQ(list.Probability(f, kind), kind == kRateSpare ? 100 : 0) << f << kind;
  }
  for (int kind = 0; kind < 8; ++kind)
    EXPECT_DOUBLE_EQ(list.AllProbability(kind), kind == kRateSpare ? 100 : 0) << kind;
}

}  // namespace
}  // namespace lanereport
