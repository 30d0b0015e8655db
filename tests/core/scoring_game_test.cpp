#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "BowlingNotation.h"
#include "ScoreDb.h"
#include "scoring/RollTexts.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

using testing::EnterGame;
using testing::PinsOf;
using testing::ReferenceFrameScores;

const std::string G = "Ｇ", M = "－", F = "Ｆ", STRIKE = "×", STRIKE2 = "Ｘ", SPARE = "／";

class GameTest : public ::testing::Test {
 protected:
  clsResult_Data NewGame() { return clsResult_Data(fixture_.Db()); }

  // The ten frame scores, "" where not determined.
  static std::vector<std::string> Scores(const clsResult_Data& g) {
    std::vector<std::string> s;
    for (int k = 1; k <= 10; ++k) s.push_back(g.FrameScore(k));
    return s;
  }
  static std::vector<std::string> Expected(std::vector<int> values) {
    std::vector<std::string> s;
    for (int v : values) s.push_back(v < 0 ? "" : std::to_string(v));
    return s;
  }

  testing::ScoreDbFixture fixture_;
};

template <class Fn>
void ExpectError(Fn f, long number, const std::string& source, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "no error from " << source;
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), number);
    EXPECT_EQ(e.Source(), source);
    EXPECT_EQ(e.Description(), message);
  }
}

TEST_F(GameTest, StrikeEnteredAsFirstBallMovesToTheSecondRoll) {
  clsResult_Data g = NewGame();
  g.Thirdframe1("x");
  EXPECT_EQ(g.Thirdframe1(), "");
  EXPECT_EQ(g.Thirdframe2(), STRIKE2);
  g.Thirdframe1("7");
  EXPECT_EQ(g.Thirdframe1(), "７");
  EXPECT_EQ(g.Thirdframe2(), SPARE);
  EXPECT_TRUE(g.IsValueChanged());
}

TEST_F(GameTest, SecondBallIsNormalisedAgainstTheFirst) {
  clsResult_Data g = NewGame();
  g.Firstframe1("7");
  g.Firstframe2("5");
  EXPECT_EQ(g.Firstframe2(), SPARE);
  g.Firstframe2("2");
  EXPECT_EQ(g.Firstframe2(), "２");
  g.Firstframe2("-3");
  EXPECT_EQ(g.Firstframe2(), SPARE);
  g.Firstframe2("0");
  EXPECT_EQ(g.Firstframe2(), M);
  g.Firstframe1("0");
  EXPECT_EQ(g.Firstframe1(), G);
  EXPECT_EQ(g.Firstframe2(), M);

  g.Secondframe1("-6");
  EXPECT_EQ(g.Secondframe1(), "⑥");
  g.Thirdframe1("3");
  g.Thirdframe2("-6");
  EXPECT_EQ(g.Thirdframe2(), "６");
  g.Fourthframe1("4");
  g.Fourthframe2("-6");
  EXPECT_EQ(g.Fourthframe2(), SPARE);
  // A new first ball turns a stored count into a spare when together they clear the rack.
  g.Thirdframe1("4");
  EXPECT_EQ(g.Thirdframe2(), SPARE);
}

TEST_F(GameTest, TenthFrameEndings) {
  // Nine open frames of 9 give R(9) = 81.
  const std::string nine = "9- 9- 9- 9- 9- 9- 9- 9- 9- ";
  struct Case {
    const char* tenth;
    int score;
  } cases[] = {{"XXX", 81 + 30}, {"X72", 81 + 19}, {"X7/", 81 + 20},
               {"8/X", 81 + 20}, {"81", 81 + 9},   {"--", 81}};
  for (const Case& c : cases) {
    clsResult_Data g = NewGame();
    EnterGame(g, nine + c.tenth);
    EXPECT_EQ(g.Ninthframescore(), "81") << c.tenth;
    EXPECT_EQ(g.Tenthframescore(), std::to_string(c.score)) << c.tenth;
  }
  clsResult_Data g = NewGame();
  EnterGame(g, nine + "81");
  g.Tenthframe3("5");
  EXPECT_EQ(g.Tenthframe3(), "");
  EXPECT_EQ(g.Tenthframescore(), "90");
}

TEST_F(GameTest, TenthFrameMarks) {
  clsResult_Data g = NewGame();
  EnterGame(g, "X X X X X X X X X X-9");
  // After a strike the next ball starts a rack: a zero is a gutter; after it a miss.
  EXPECT_EQ(g.Tenthframe1(), STRIKE);
  EXPECT_EQ(g.Tenthframe2(), G);
  EXPECT_EQ(g.Tenthframe3(), "９");
  EXPECT_EQ(g.Tenthframescore(), std::to_string(240 + 10 + 10 + 0 + 19));
  g.Tenthframe2("s");
  EXPECT_EQ(g.Tenthframe2(), STRIKE);
  // The third roll follows a strike now, so it is read as a first ball of a rack.
  EXPECT_EQ(g.Tenthframe3(), "９");
  EXPECT_EQ(g.Tenthframescore(), "299");
  g.Tenthframe1("9");
  // A strike after a first ball of nine becomes a spare.
  EXPECT_EQ(g.Tenthframe2(), SPARE);
  g.Tenthframe2("0");
  EXPECT_EQ(g.Tenthframe2(), M);
  EXPECT_EQ(g.Tenthframe3(), "９");  // kept, though this frame earns no bonus ball
  g.Tenthframe3("1");
  EXPECT_EQ(g.Tenthframe3(), "");  // only clearing is possible without a bonus ball
}

TEST_F(GameTest, PerfectGameAndAllGutters) {
  clsResult_Data perfect = NewGame();
  EnterGame(perfect, "X X X X X X X X X XXX");
  EXPECT_EQ(Scores(perfect), Expected({30, 60, 90, 120, 150, 180, 210, 240, 270, 300}));
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(perfect.FrameA(k), "");
    EXPECT_EQ(perfect.FrameB(k), STRIKE);
  }
  clsResult_Data gutters = NewGame();
  EnterGame(gutters, "-- -- -- -- -- -- -- -- -- --");
  EXPECT_EQ(Scores(gutters), Expected({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(gutters.Firstframe1(), G);
  EXPECT_EQ(gutters.Firstframe2(), M);
  EXPECT_EQ(gutters.Tenthframe1(), G);
  EXPECT_EQ(gutters.Tenthframe2(), M);
}

TEST_F(GameTest, AClassicGame) {
  clsResult_Data g = NewGame();
  EnterGame(g, "X 7/ 9- X -8 8/ -6 X X X81");
  EXPECT_EQ(Scores(g), Expected({20, 39, 48, 66, 74, 84, 90, 120, 148, 167}));
}

TEST_F(GameTest, GamesInProgressShowOnlyWhatIsKnown) {
  clsResult_Data g = NewGame();
  EnterGame(g, "9- 72 81 9/ 5");
  // The spare of frame 4 is scored from the first ball of frame 5.
  EXPECT_EQ(Scores(g), Expected({9, 18, 27, 42, -1, -1, -1, -1, -1, -1}));
  clsResult_Data s = NewGame();
  EnterGame(s, "9- 72 81 X 5");
  EXPECT_EQ(Scores(s), Expected({9, 18, 27, -1, -1, -1, -1, -1, -1, -1}));
  clsResult_Data ninth = NewGame();
  EnterGame(ninth, "9- 9- 9- 9- 9- 9- 9- 9- X");
  EXPECT_EQ(Scores(ninth), Expected({9, 18, 27, 36, 45, 54, 63, 72, -1, -1}));
  clsResult_Data eighth = NewGame();
  EnterGame(eighth, "9- 9- 9- 9- 9- 9- 9- X X");
  EXPECT_EQ(Scores(eighth), Expected({9, 18, 27, 36, 45, 54, 63, -1, -1, -1}));
  clsResult_Data bonus = NewGame();
  EnterGame(bonus, "X X X X X X X X X XX");
  EXPECT_EQ(Scores(bonus), Expected({30, 60, 90, 120, 150, 180, 210, 240, 270, -1}));
  clsResult_Data spare = NewGame();
  EnterGame(spare, "X X X X X X X X X 8/");
  EXPECT_EQ(Scores(spare), Expected({30, 60, 90, 120, 150, 180, 210, 238, 258, -1}));
}

TEST_F(GameTest, FrameAccessorsOutsideTheirRangeAreEmpty) {
  clsResult_Data g = NewGame();
  EnterGame(g, "7- 7- 7- 7- 7- 7- 7- 7- 7- 72");
  EXPECT_EQ(g.FrameA(1), "７");
  EXPECT_EQ(g.FrameB(9), M);
  EXPECT_EQ(g.FrameA(10), "");
  EXPECT_EQ(g.FrameB(0), "");
  EXPECT_EQ(g.FrameScore(0), "");
  EXPECT_EQ(g.FrameScore(11), "");
  EXPECT_EQ(g.Roll(21), "");
  EXPECT_EQ(g.Roll(18), "７");
}

TEST_F(GameTest, IsValidNeedsTheFiveKeyProperties) {
  clsResult_Data g = NewGame();
  EnterGame(g, "X X X X X X X X X XXX");
  EXPECT_FALSE(g.IsValid());
  g.BowlerName("山田");
  g.AlleyName("A");
  g.LevelName("B");
  g.PlayDate("2004/03/15");
  EXPECT_FALSE(g.IsValid());
  g.GameNumber(0);  // the value it already has still counts as set
  EXPECT_TRUE(g.IsValid());
}

TEST_F(GameTest, KeyPropertiesAreCheckedAndStored) {
  clsResult_Data g = NewGame();
  EXPECT_FALSE(g.IsValueChanged());
  g.PlayDate("2004/03/15");
  EXPECT_EQ(g.PlayDate(), "20040315");
  EXPECT_TRUE(g.IsValueChanged());
  ExpectError([&] { g.PlayDate("2004/02/30"); }, kErrInvalidValue, "[clsResult_Data]PlayDate",
              "日付が正しくありません");
  EXPECT_EQ(g.PlayDate(), "20040315");
  ExpectError([&] { g.GameNumber("三"); }, kErrInvalidValue, "[clsResult_Data]GameNumber",
              "数値を入力して下さい");
  ExpectError([&] { g.Handicap(Value()); }, kErrInvalidValue, "[clsResult_Data]Handicap",
              "数値を入力して下さい");
  g.GameNumber("4");
  EXPECT_EQ(g.GameNumber(), 4);
  std::string long_name(128, 'a');
  long_name += "山";  // 128 + 2 = 130 bytes
  g.BowlerName(long_name);
  std::string too_long;
  for (int i = 0; i < 128; ++i) too_long += "山";  // 256 bytes in code page 932
  ExpectError([&] { g.BowlerName(too_long); }, kErrInvalidValue, "[clsResult_Data]BowlerName",
              "文字列が長すぎます");
  EXPECT_EQ(g.BowlerName(), long_name);
  std::string fits = too_long.substr(3) + "a";  // 127 × 2 + 1 = 255 bytes
  g.ResultMemo(fits);
  EXPECT_EQ(g.ResultMemo(), fits);
  ExpectError([&] { g.Firstframe1(too_long); }, kErrInvalidValue, "[clsResult_Data]Firstframe1",
              "文字列が長すぎます");
  ExpectError([&] { g.Tenthframe3(too_long); }, kErrInvalidValue, "[clsResult_Data]Tenthframe3",
              "文字列が長すぎます");
}

TEST_F(GameTest, ARefusedEntryStoresNothing) {
  clsResult_Data g = NewGame();
  ExpectError([&] { g.Firstframe1("a"); }, kErrInvalidValue, "[clsResult_Data]ChangeCharacter1",
              "入力が不正です");
  EXPECT_FALSE(g.IsValueChanged());
  EnterGame(g, "72 X X X X X X X X 8/");
  ExpectError([&] { g.Firstframe1("q"); }, kErrInvalidValue, "[clsResult_Data]ChangeCharacter1",
              "入力が不正です");
  EXPECT_EQ(g.Firstframe1(), "７");
  EXPECT_EQ(g.Firstframe2(), "２");
  ExpectError([&] { g.Tenthframe2("10"); }, kErrInvalidValue, "[clsResult_Data]ChangeCharacter2",
              "入力が不正です");
  EXPECT_EQ(g.Tenthframe2(), SPARE);
  // The spare still earns its bonus ball.
  g.Tenthframe3("5");
  EXPECT_EQ(g.Tenthframe3(), "５");
  // 9 + 8 frames of strikes: 9, then 30 × 6, 28, 20, 15.
  EXPECT_EQ(g.Tenthframescore(), std::to_string(9 + 180 + 28 + 20 + 15));
}

TEST_F(GameTest, StrikeOfTheSecondKindIsKept) {
  clsResult_Data g = NewGame();
  EnterGame(g, "Y X Y X Y X Y X Y YXY");
  EXPECT_EQ(g.Firstframe2(), STRIKE2);
  EXPECT_EQ(g.Secondframe2(), STRIKE);
  EXPECT_EQ(g.Tenthframe1(), STRIKE2);
  EXPECT_EQ(g.Tenthframe2(), STRIKE);
  EXPECT_EQ(g.Tenthframe3(), STRIKE2);
  EXPECT_EQ(g.Tenthframescore(), "300");
}

// Random games, typed in the many ways the setters accept, compared ball by ball with the
// rules of ten-pin bowling.
class RandomGames {
 public:
  explicit RandomGames(unsigned seed) : rng_(seed) {}

  // One complete game in the notation of BowlingNotation.h.
  std::string Game() {
    std::string game;
    for (int frame = 1; frame <= 10; ++frame) {
      if (frame > 1) game += ' ';
      int standing = 10;
      bool rack_start = true;
      int balls = 0;
      bool bonus = false;
      while (true) {
        int taken = Pins(standing, rack_start);
        if (taken == 10 && rack_start) {
          game += Below(4) == 0 ? 'Y' : 'X';
        } else if (taken == standing) {
          game += '/';
        } else if (taken == 0) {
          game += Below(8) == 0 ? 'F' : '-';
        } else {
          if (rack_start && taken >= 4 && taken <= 8 && Below(6) == 0) game += '!';
          game += static_cast<char>('0' + taken);
        }
        ++balls;
        standing -= taken;
        rack_start = false;
        if (frame < 10) {
          if (standing == 0 || balls == 2) break;
          continue;
        }
        if (standing == 0) {
          bonus = true;
          standing = 10;
          rack_start = true;
        }
        if (balls == 3 || (balls == 2 && !bonus)) break;
      }
    }
    return game;
  }

 private:
  int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  // Pins taken by one ball with `standing` pins up: strikes and spares are common.
  int Pins(int standing, bool rack_start) {
    if (rack_start && Below(3) == 0) return 10;
    if (!rack_start && Below(2) == 0) return standing;
    return Below(standing + 1);
  }
  std::mt19937 rng_;
};

// The marks the program must store for the game: frames 1 to 9 as (first, second), frame 10
// as its three rolls.
std::vector<std::string> ExpectedMarks(const std::string& notation) {
  std::vector<std::string> marks(21);
  std::vector<std::string> groups;
  std::string current;
  for (char c : notation + " ") {
    if (c == ' ') {
      if (!current.empty()) groups.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  const char* full[] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  const char* split[] = {"", "", "", "", "④", "⑤", "⑥", "⑦", "⑧", ""};
  for (std::size_t f = 0; f < groups.size(); ++f) {
    const std::string& g = groups[f];
    std::size_t slot = 2 * f;
    bool rack_start = true;
    for (std::size_t i = 0; i < g.size(); ++i) {
      char c = g[i];
      std::string m;
      bool cleared = false;
      if (c == 'X' || c == 'Y') {
        m = c == 'X' ? STRIKE : STRIKE2;
        cleared = true;
      } else if (c == '/') {
        m = SPARE;
        cleared = true;
      } else if (c == '-') {
        m = rack_start ? G : M;
      } else if (c == 'F') {
        m = F;
      } else if (c == '!') {
        m = split[g[++i] - '0'];
      } else {
        m = full[c - '0'];
      }
      if (f < 9 && (c == 'X' || c == 'Y')) ++slot;  // strikes live in the second roll
      marks[slot++] = m;
      rack_start = cleared || !rack_start;
    }
  }
  return marks;
}

TEST_F(GameTest, RandomGamesScoreByTheRulesOfTenPin) {
  RandomGames random(20240601);
  for (int n = 0; n < 400; ++n) {
    std::string notation = random.Game();
    clsResult_Data g = NewGame();
    EnterGame(g, notation);
    auto reference = ReferenceFrameScores(PinsOf(notation));
    for (int k = 1; k <= 10; ++k) {
      ASSERT_TRUE(reference[k - 1].has_value()) << notation;
      EXPECT_EQ(g.FrameScore(k), std::to_string(*reference[k - 1])) << notation << " frame " << k;
    }
  }
}

TEST_F(GameTest, RandomGamesStoreTheMarksOfTheirBalls) {
  RandomGames random(77);
  for (int n = 0; n < 200; ++n) {
    std::string notation = random.Game();
    clsResult_Data g = NewGame();
    EnterGame(g, notation);
    std::vector<std::string> expected = ExpectedMarks(notation);
    for (int i = 0; i < 21; ++i) EXPECT_EQ(g.Roll(i), expected[i]) << notation << " roll " << i;
  }
}

TEST_F(GameTest, GamesCutShortShowOnlyTheScoresAlreadyKnown) {
  RandomGames random(4242);
  for (int n = 0; n < 300; ++n) {
    std::string full = random.Game();
    // Cut after a random number of balls (frame separators are kept).
    std::size_t balls = 0;
    for (char c : full) balls += c != ' ' && c != '!';
    std::size_t keep = static_cast<std::size_t>(n) % balls;
    std::string cut;
    std::size_t seen = 0;
    for (std::size_t i = 0; i < full.size() && seen < keep; ++i) {
      cut += full[i];
      if (full[i] != ' ' && full[i] != '!') ++seen;
    }
    clsResult_Data g = NewGame();
    EnterGame(g, cut);
    auto reference = ReferenceFrameScores(PinsOf(cut));
    for (int k = 1; k <= 10; ++k) {
      std::string expected = reference[k - 1] ? std::to_string(*reference[k - 1]) : "";
      EXPECT_EQ(g.FrameScore(k), expected) << "'" << cut << "' frame " << k;
    }
  }
}

TEST(RollTextsTest, EveryTextIsKeptWholeAndCopiesAreTheirOwn) {
  RollTexts rolls;
  for (std::size_t i = 0; i < RollTexts::kCount; ++i) EXPECT_EQ(rolls[i], "") << i;
  const std::string padded = "\xef\xbc\x99       ";  // longer than a slot holds
  const std::string longest(255, 'x');
  rolls.Set(0, "\xef\xbc\x8d");  // a mark of three bytes
  rolls.Set(1, "1234567");       // as much as a slot holds
  rolls.Set(2, padded);
  rolls.Set(20, longest);
  EXPECT_EQ(rolls[0], "\xef\xbc\x8d");
  EXPECT_EQ(rolls[1], "1234567");
  EXPECT_EQ(rolls[2], padded);
  EXPECT_EQ(rolls[20], longest);
  EXPECT_EQ(rolls[3], "");

  // A copy keeps its texts when the original changes, and the other way round.
  RollTexts copy = rolls;
  rolls.Set(2, "short");
  rolls.Set(20, std::string(300, 'y'));
  EXPECT_EQ(copy[2], padded);
  EXPECT_EQ(copy[20], longest);
  EXPECT_EQ(rolls[2], "short");
  copy = rolls;
  rolls.Set(20, "");
  EXPECT_EQ(copy[20], std::string(300, 'y'));
  EXPECT_EQ(rolls[20], "");
  // Moving hands the texts over and leaves empty rolls behind.
  RollTexts moved = std::move(copy);
  EXPECT_EQ(moved[20], std::string(300, 'y'));
  EXPECT_EQ(moved[2], "short");
  for (std::size_t i = 0; i < RollTexts::kCount; ++i) EXPECT_EQ(copy[i], "") << i;  // NOLINT
  copy = std::move(moved);
  EXPECT_EQ(copy[20], std::string(300, 'y'));

  // A roll set from its own text, or from part of it, gets that text.
  RollTexts own;
  own.Set(5, padded);
  own.Set(5, own[5].substr(0, 3));  // a long text replaced by a part short enough for the slot
  EXPECT_EQ(own[5], "\xef\xbc\x99");
  own.Set(6, longest);
  own.Set(6, own[6].substr(1));
  EXPECT_EQ(own[6], std::string(254, 'x'));
  own.Set(7, "abcdef");
  own.Set(7, own[7].substr(2));
  EXPECT_EQ(own[7], "cdef");
}

}  // namespace
}  // namespace lanereport
