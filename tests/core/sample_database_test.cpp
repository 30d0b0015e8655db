#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "BowlingNotation.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "pages/ScoreColors.h"
#include "sample/SampleDatabase.h"
#include "util/AppError.h"
#include "util/Clock.h"

namespace lanereport {
namespace {

const char* const kRollColumns[21] = {
    "FirstFrame1",   "FirstFrame2",   "SecondFrame1", "SecondFrame2", "ThirdFrame1", "ThirdFrame2",
    "FourthFrame1",  "FourthFrame2",  "FifthFrame1",  "FifthFrame2",  "SixthFrame1", "SixthFrame2",
    "SeventhFrame1", "SeventhFrame2", "EighthFrame1", "EighthFrame2", "NinthFrame1", "NinthFrame2",
    "TenthFrame1",   "TenthFrame2",   "TenthFrame3"};
const char* const kScoreColumns[10] = {"FirstFrameScore",   "SecondFrameScore", "ThirdFrameScore",
                                       "FourthFrameScore",  "FifthFrameScore",  "SixthFrameScore",
                                       "SeventhFrameScore", "EighthFrameScore", "NinthFrameScore",
                                       "TenthFrameScore"};

// Every row of a table as text, in a fixed order.
std::vector<std::string> Dump(Database& db, const std::string& table, const std::string& order) {
  auto rs = db.OpenRecordset("Select * From " + table + " Order By " + order);
  std::vector<std::string> rows;
  for (; !rs->Eof(); rs->MoveNext()) {
    std::string line;
    for (const std::string& c : rs->Columns()) line += rs->Field(c).Text() + "|";
    rows.push_back(line);
  }
  return rows;
}

struct Game {
  std::string bowler, centre, level, date, memo;
  long number = 0, play = 0, handicap = 0;
  std::vector<std::string> rolls;
  std::vector<std::string> scores;
};

std::vector<Game> Games(Database& db) {
  auto rs = db.OpenRecordset("Select * From Result_Data Order By EntryNumber");
  std::vector<Game> games;
  for (; !rs->Eof(); rs->MoveNext()) {
    Game g;
    g.bowler = rs->Field("Bowler_Name").Text();
    g.centre = rs->Field("Alley_Name").Text();
    g.level = rs->Field("Level_Name").Text();
    g.date = rs->Field("Play_Date").Text();
    g.memo = rs->Field("Result_Memo").Text();
    g.number = static_cast<long>(rs->Field("Game_Number").ToInt());
    g.play = static_cast<long>(rs->Field("PlayNumber").ToInt());
    g.handicap = static_cast<long>(rs->Field("Handicap").ToInt());
    for (const char* c : kRollColumns) g.rolls.push_back(rs->Field(c).Text());
    for (const char* c : kScoreColumns) g.scores.push_back(rs->Field(c).Text());
    games.push_back(g);
  }
  return games;
}

// The pins of one mark thrown at `standing` pins; -1 for a mark that cannot stand there.
int PinsOfMark(const std::string& m, int standing, bool rack_start) {
  static const std::map<std::string, int> counts = {{"１", 1}, {"２", 2}, {"３", 3},
                                                    {"４", 4}, {"５", 5}, {"６", 6},
                                                    {"７", 7}, {"８", 8}, {"９", 9}};
  static const std::map<std::string, int> splits = {
      {"④", 4}, {"⑤", 5}, {"⑥", 6}, {"⑦", 7}, {"⑧", 8}};
  if (m == "×" || m == "Ｘ") return rack_start ? 10 : -1;
  if (m == "Ｇ") return rack_start ? 0 : -1;
  if (m == "－") return rack_start ? -1 : 0;
  if (m == "Ｆ") return 0;
  if (m == "／") return rack_start ? -1 : standing;
  if (auto c = counts.find(m); c != counts.end()) return c->second < standing ? c->second : -1;
  if (auto s = splits.find(m); s != splits.end()) return rack_start ? s->second : -1;
  return -1;
}

// The pins of every ball of a stored game, read from its marks by the rules of the notation;
// an empty result when a mark is out of place.
std::vector<int> BallsOf(const Game& g) {
  std::vector<int> pins;
  for (int f = 0; f < 9; ++f) {
    const std::string& a = g.rolls[2 * f];
    const std::string& b = g.rolls[2 * f + 1];
    if (a.empty()) {
      if (b != "×" && b != "Ｘ") return {};
      pins.push_back(10);
      continue;
    }
    int first = PinsOfMark(a, 10, true);
    if (first < 0 || first == 10) return {};
    // After a foul the rack is set again.
    int standing = a == "Ｆ" ? 10 : 10 - first;
    int second = PinsOfMark(b, standing, false);
    if (second < 0) return {};
    pins.push_back(first);
    pins.push_back(second);
  }
  // Frame 10: a third ball only after a strike or a spare.
  int standing = 10;
  bool rack_start = true;
  bool closed = false;
  for (int i = 18; i < 21; ++i) {
    const std::string& m = g.rolls[i];
    if (m.empty()) break;
    if (closed) return {};
    int p = PinsOfMark(m, standing, rack_start);
    if (p < 0) return {};
    pins.push_back(p);
    bool was_start = rack_start;
    standing -= p;
    rack_start = false;
    if (standing == 0) {
      standing = 10;
      rack_start = true;
    } else if (!was_start) {
      closed = true;
    }
  }
  return pins;
}

long DaysOf(const std::string& ymd) {
  using namespace std::chrono;
  year_month_day d{year{std::stoi(ymd.substr(0, 4))},
                   month{static_cast<unsigned>(std::stoi(ymd.substr(4, 2)))},
                   day{static_cast<unsigned>(std::stoi(ymd.substr(6, 2)))}};
  return sys_days(d).time_since_epoch().count();
}

// The contrast ratio of two "#rrggbb" colours by their relative luminance (sRGB), from 1 (the
// same) to 21 (black on white).
double Contrast(const std::string& a, const std::string& b) {
  auto luminance = [](const std::string& colour) {
    EXPECT_EQ(colour.size(), 7u) << colour;
    double sum = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; ++i) {
      double c = std::stoi(colour.substr(1 + 2 * i, 2), nullptr, 16) / 255.0;
      c = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
      sum += weights[i] * c;
    }
    return sum;
  };
  double x = luminance(a), y = luminance(b);
  if (x < y) std::swap(x, y);
  return (x + 0.05) / (y + 0.05);
}

class SampleDatabaseTest : public ::testing::Test {
 protected:
  SampleDatabaseTest() : clock_({2026, 12, 6}), pin_(clock_) {}

  std::unique_ptr<Database> Make(const std::string& name, const SampleOptions& options) {
    std::string path = dir_.File(name);
    summary_ = CreateSampleDatabase(path, options);
    return Database::Open(path);
  }

  static SampleOptions Small(std::uint64_t seed = 7) {
    SampleOptions o;
    o.bowlers = 12;
    o.years = 1;
    o.end_year = 2023;
    o.seed = seed;
    return o;
  }

  FixedClock clock_;
  ScopedClock pin_;
  testing::TempDir dir_;
  SampleSummary summary_;
};

TEST_F(SampleDatabaseTest, EveryStoredScoreFollowsTheRulesOfTenPin) {
  auto db = Make("s.db", Small());
  std::vector<Game> games = Games(*db);
  ASSERT_GT(games.size(), 1000u);
  EXPECT_EQ(summary_.games, static_cast<long>(games.size()));
  for (const Game& g : games) {
    std::vector<int> balls = BallsOf(g);
    ASSERT_FALSE(balls.empty()) << g.bowler << " " << g.date << " game " << g.number;
    auto reference = testing::ReferenceFrameScores(balls);
    for (int k = 0; k < 10; ++k) {
      ASSERT_TRUE(reference[k].has_value()) << g.date << " game " << g.number;
      EXPECT_EQ(g.scores[k], std::to_string(*reference[k]))
          << g.bowler << " " << g.date << " game " << g.number << " frame " << k + 1;
    }
  }
}

TEST_F(SampleDatabaseTest, TheSameSeedGivesTheSameDatabase) {
  auto first = Make("a.db", Small(7));
  auto second = Make("b.db", Small(7));
  auto other = Make("c.db", Small(8));
  EXPECT_EQ(Dump(*first, "Result_Data", "EntryNumber"),
            Dump(*second, "Result_Data", "EntryNumber"));
  EXPECT_EQ(Dump(*first, "Bowler_Data", "ID"), Dump(*second, "Bowler_Data", "ID"));
  EXPECT_EQ(Dump(*first, "S_OUTPUT", "ID"), Dump(*second, "S_OUTPUT", "ID"));
  EXPECT_NE(Dump(*first, "Result_Data", "EntryNumber"), Dump(*other, "Result_Data", "EntryNumber"));
}

TEST_F(SampleDatabaseTest, GamesLookLikeABowlersYear) {
  auto db = Make("s.db", Small());
  std::vector<Game> games = Games(*db);
  std::map<std::string, std::vector<long>> scores_of;
  std::map<std::string, std::vector<long>> play_games;  // bowler|date|centre|level -> numbers
  std::map<std::string, std::map<std::string, long>> plays_of_day;  // bowler|date -> play
  std::map<std::string, std::set<long>> days_of_week;               // bowler|week -> days
  std::map<std::string, long> marks;
  long handicapped = 0, memos = 0;
  for (const Game& g : games) {
    EXPECT_GE(g.date, "20230101");
    EXPECT_LE(g.date, "20231231");
    scores_of[g.bowler].push_back(std::stol(g.scores[9]));
    play_games[g.bowler + "|" + g.date + "|" + g.centre + "|" + g.level].push_back(g.number);
    auto& plays = plays_of_day[g.bowler + "|" + g.date];
    std::string play = g.centre + "|" + g.level;
    if (!plays.count(play)) {
      // A new play of the day gets the next number.
      EXPECT_EQ(g.play, static_cast<long>(plays.size())) << g.bowler << " " << g.date;
      plays[play] = g.play;
    }
    EXPECT_EQ(plays[play], g.play);
    long days = DaysOf(g.date);
    long monday = days - (days + 3) % 7;  // 1970-01-01 was a Thursday
    days_of_week[g.bowler + "|" + std::to_string(monday)].insert(days);
    for (const std::string& m : g.rolls) ++marks[m];
    if (g.level == "練習") {
      EXPECT_EQ(g.handicap, 0);
    }
    handicapped += g.handicap > 0;
    memos += !g.memo.empty();
  }
  EXPECT_EQ(scores_of.size(), 12u);
  for (const auto& [bowler, scores] : scores_of) {
    double sum = 0;
    for (long s : scores) sum += s;
    double average = sum / static_cast<double>(scores.size());
    EXPECT_GT(average, 100) << bowler;
    EXPECT_LT(average, 230) << bowler;
    // One to three plays a week of three to six games: roughly 150 to 900 games a year.
    EXPECT_GT(scores.size(), 100u) << bowler;
    EXPECT_LT(scores.size(), 900u) << bowler;
  }
  for (const auto& [play, numbers] : play_games) {
    EXPECT_GE(numbers.size(), 3u) << play;
    EXPECT_LE(numbers.size(), 6u) << play;
    for (std::size_t i = 0; i < numbers.size(); ++i)
      EXPECT_EQ(numbers[i], static_cast<long>(i + 1));
  }
  for (const auto& [week, days] : days_of_week) EXPECT_LE(days.size(), 3u) << week;
  long two_play_days = 0;
  for (const auto& [day, plays] : plays_of_day) two_play_days += plays.size() > 1;
  EXPECT_GT(two_play_days, 0);
  EXPECT_GT(marks["×"], 0);
  EXPECT_GT(marks["Ｘ"], 0);
  EXPECT_LT(marks["Ｘ"], marks["×"]);
  for (const char* m : {"Ｇ", "－", "Ｆ", "／", "④", "⑦", "⑧", "９"}) EXPECT_GT(marks[m], 0) << m;
  EXPECT_GT(handicapped, 0);
  EXPECT_GT(memos, 0);
}

TEST_F(SampleDatabaseTest, MastersSettingsAndSheets) {
  auto db = Make("s.db", Small());
  auto bowlers = db->OpenRecordset("Select * From Bowler_Data Order By Number");
  ASSERT_EQ(bowlers->RecordCount(), 12);
  long number = 0, women = 0;
  std::set<std::string> anames;
  for (; !bowlers->Eof(); bowlers->MoveNext()) {
    EXPECT_EQ(bowlers->Field("Number").ToInt(), ++number);
    std::string aname = bowlers->Field("AName").Text();
    ASSERT_FALSE(aname.empty());
    for (char c : aname) EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) << aname;
    anames.insert(aname);
    EXPECT_NE(bowlers->Field("Name").Text().find("\u3000"), std::string::npos);
    women += bowlers->Field("Sex").ToInt() != 0;
    std::string birth = bowlers->Field("Birth").Text();
    EXPECT_EQ(birth.empty(), number == 4 || number == 11) << number;
    if (!birth.empty()) {
      EXPECT_EQ(birth.size(), 10u);
    }
    EXPECT_EQ(bowlers->Field("Height").Text().empty(), number == 5 || number == 11);
    // Height and weight are numbers, which the profile page shows with their units.
    for (const char* field : {"Height", "Weight"}) {
      std::string value = bowlers->Field(field).Text();
      if (!value.empty()) {
        EXPECT_EQ(value.find_first_not_of("0123456789"), std::string::npos) << value;
      }
    }
    EXPECT_EQ(bowlers->Field("Ball").Text().empty(), number == 3 || number == 11);
    EXPECT_EQ(bowlers->Field("Shoes").Text().empty(), number == 6);
    EXPECT_FALSE(bowlers->Field("Password").Text().empty());
  }
  EXPECT_EQ(anames.size(), 12u);
  EXPECT_GE(women, 1);
  EXPECT_LT(women, 12);

  EXPECT_EQ(db->OpenRecordset("Select * From Alley_Data")->RecordCount(), 4);
  EXPECT_EQ(db->OpenRecordset("Select * From Alley_Data Where Home_Flag = True")->RecordCount(), 1);
  auto levels = db->OpenRecordset("Select * From Level_Data Order By Number");
  std::map<std::string, bool> target;
  for (; !levels->Eof(); levels->MoveNext()) {
    std::string colour = levels->Field("FColor").Text();
    ASSERT_EQ(colour.size(), 7u);
    EXPECT_EQ(colour[0], '#');
    EXPECT_EQ(colour.find_first_not_of("0123456789abcdefABCDEF", 1), std::string::npos);
    target[levels->Field("Name").Text()] = levels->Field("CalculationTarget").ToInt() != 0;
  }
  EXPECT_EQ(target,
            (std::map<std::string, bool>{{"リーグ戦", true}, {"大会", true}, {"練習", false}}));

  std::map<std::string, std::string> settings;
  auto system = db->OpenRecordset("Select * From S_SYSTEM");
  for (; !system->Eof(); system->MoveNext())
    settings[system->Field("SS_ID").Text()] = system->Field("SS_Contents").Text();
  EXPECT_EQ(settings, (std::map<std::string, std::string>{{"CharacterColor", "#1c2a44"},
                                                          {"Background", "jpg/BG.jpg"},
                                                          {"StyleSheet", ""},
                                                          {"Frame1", "jpg/waku0.jpg"},
                                                          {"Frame2", "jpg/waku.jpg"},
                                                          {"Space", "jpg/space.jpg"},
                                                          {"Spare", "jpg/spare.jpg"},
                                                          {"Strike", "jpg/strike.jpg"},
                                                          {"LinkPath", ""},
                                                          {"OutFolder", ""},
                                                          {"OutSheet", ""}}));

  std::map<std::string, std::string> sheets;
  auto output = db->OpenRecordset("Select * From S_OUTPUT");
  for (; !output->Eof(); output->MoveNext()) {
    long on = 0;
    for (std::size_t i = 8; i < output->Columns().size(); ++i)
      on += output->Field(output->Columns()[i]).ToInt() != 0;
    sheets[output->Field("SheetName").Text()] = std::to_string(output->Field("Condition").ToInt()) +
                                                "/" + output->Field("PastCount").Text() + "/" +
                                                std::to_string(on);
  }
  EXPECT_EQ(sheets, (std::map<std::string, std::string>{{"AVG", "1/0/9"},
                                                        {"Recent", "0/30/10"},
                                                        {"Month", "1/0/3"},
                                                        {"Rate", "1/0/9"},
                                                        {"Frame", "1/0/8"},
                                                        {"Home", "1/0/4"},
                                                        {"Profile", "1/0/13"},
                                                        {"@All", "1/0/38"}}));
}

TEST_F(SampleDatabaseTest, TheCurrentYearEndsToday) {
  FixedClock june({2024, 6, 15});
  ScopedClock pin(june);
  SampleOptions o;
  o.bowlers = 2;
  o.years = 2;
  auto db = Make("s.db", o);
  EXPECT_EQ(summary_.first_date, "20230101");
  EXPECT_EQ(summary_.last_date, "20240615");
  auto rs = db->OpenRecordset("Select * From Result_Data Order By Play_Date DESC");
  ASSERT_FALSE(rs->Eof());
  EXPECT_LE(rs->Field("Play_Date").Text(), "20240615");
  EXPECT_GE(rs->Field("Play_Date").Text(), "20240501");
}

TEST_F(SampleDatabaseTest, AnExistingFileIsRefusedAndKept) {
  std::string path = dir_.File("taken.db");
  { std::ofstream(path) << "keep"; }
  EXPECT_THROW(CreateSampleDatabase(path, Small()), AppError);
  EXPECT_EQ(testing::ReadFileBytes(path), "keep");
}

// The look the sample sets reads on every page: the text colour on the background image (a
// light paper, resources/make_images.sh), on the white tables, on the grey heads and on every
// cell colour of the score colour table, where the monthly table writes its figures without a
// colour of their own; the level colours on the grey centre cells; and the profile pages, whose
// ticker types in yellow, on dark backgrounds with light text.
TEST_F(SampleDatabaseTest, LookReadsOnEveryBackgroundThePagesDraw) {
  auto db = Make("s.db", Small());
  auto text = db->OpenRecordset("Select SS_Contents From S_SYSTEM Where SS_ID = 'CharacterColor'");
  ASSERT_FALSE(text->Eof());
  std::string colour = text->Field("SS_Contents").Text();
  // White tables, grey heads, the darkest colour of the background image.
  std::vector<std::string> backs = {"#ffffff", "#c0c0c0", "#e6dfcd"};
  for (double score : {300.0, 250.0, 200.0, 150.0, 100.0, 50.0, 0.0})
    backs.push_back(ScoreBackColor(score));
  for (const std::string& back : backs) EXPECT_GE(Contrast(colour, back), 7.0) << back;

  auto levels = db->OpenRecordset("Select FColor From Level_Data");
  for (; !levels->Eof(); levels->MoveNext()) {
    std::string level = levels->Field("FColor").Text();
    EXPECT_GE(Contrast(level, "#c0c0c0"), 4.5) << level;
  }

  auto bowlers = db->OpenRecordset("Select PathBack, PathChar, PathStyle From Bowler_Data");
  for (; !bowlers->Eof(); bowlers->MoveNext()) {
    std::string back = bowlers->Field("PathBack").Text();
    std::string chr = bowlers->Field("PathChar").Text();
    EXPECT_TRUE(bowlers->Field("PathStyle").Text().empty());
    EXPECT_GE(Contrast("#ffff00", back), 7.0) << back;
    EXPECT_GE(Contrast(chr, back), 7.0) << chr << " on " << back;
  }
}

}  // namespace
}  // namespace lanereport
