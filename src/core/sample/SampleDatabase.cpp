#include "sample/SampleDatabase.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <vector>

#include "database/Database.h"
#include "database/Schema.h"
#include "database/WindowSettings.h"
#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"
#include "database/clsS_OUTPUT_Data.h"
#include "database/clsS_SYSTEM.h"
#include "sample/SampleGames.h"
#include "sample/SampleRandom.h"
#include "scoring/clsResult_Data.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/Clock.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {
namespace {

// ---- Calendar ----

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2));
  return {y, m, d};
}

// 0 Monday … 6 Sunday.
int Weekday(long days) {
  return static_cast<int>(((days % 7) + 7 + 3) % 7);
}

std::string Slashed(long days) {
  CivilDate c = CivilFromDays(days);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", c.year, c.month, c.day);
  return buffer;
}

std::string Ymd(long days) {
  CivilDate c = CivilFromDays(days);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", c.year, c.month, c.day);
  return buffer;
}

// ---- Masters ----

struct NamePart {
  const char* kanji;
  const char* latin;
};

const NamePart kFamilies[] = {
    {"山田", "Yamada"},     {"佐藤", "Sato"},      {"鈴木", "Suzuki"},   {"高橋", "Takahashi"},
    {"田中", "Tanaka"},     {"伊藤", "Ito"},       {"渡辺", "Watanabe"}, {"中村", "Nakamura"},
    {"小林", "Kobayashi"},  {"加藤", "Kato"},      {"吉田", "Yoshida"},  {"山本", "Yamamoto"},
    {"松本", "Matsumoto"},  {"井上", "Inoue"},     {"木村", "Kimura"},   {"林", "Hayashi"},
    {"清水", "Shimizu"},    {"山口", "Yamaguchi"}, {"森", "Mori"},       {"池田", "Ikeda"},
    {"橋本", "Hashimoto"},  {"阿部", "Abe"},       {"石川", "Ishikawa"}, {"前田", "Maeda"},
    {"藤田", "Fujita"},     {"小川", "Ogawa"},     {"岡田", "Okada"},    {"後藤", "Goto"},
    {"長谷川", "Hasegawa"}, {"村上", "Murakami"},  {"近藤", "Kondo"},    {"石井", "Ishii"},
    {"坂本", "Sakamoto"},   {"遠藤", "Endo"},      {"青木", "Aoki"},     {"藤井", "Fujii"},
    {"西村", "Nishimura"},  {"福田", "Fukuda"},    {"太田", "Ota"},      {"三浦", "Miura"}};

const NamePart kMen[] = {
    {"太郎", "Taro"},    {"健一", "Kenichi"}, {"大輔", "Daisuke"}, {"翔太", "Shota"},
    {"誠", "Makoto"},    {"浩", "Hiroshi"},   {"拓也", "Takuya"},  {"直樹", "Naoki"},
    {"和也", "Kazuya"},  {"亮", "Ryo"},       {"学", "Manabu"},    {"剛", "Tsuyoshi"},
    {"隆", "Takashi"},   {"悠斗", "Yuto"},    {"健太", "Kenta"},   {"修", "Osamu"},
    {"哲也", "Tetsuya"}, {"達也", "Tatsuya"}, {"一郎", "Ichiro"},  {"正人", "Masato"}};

const NamePart kWomen[] = {
    {"花子", "Hanako"}, {"美咲", "Misaki"},   {"陽子", "Yoko"},  {"恵", "Megumi"},
    {"由美", "Yumi"},   {"愛", "Ai"},         {"裕子", "Yuko"},  {"真由美", "Mayumi"},
    {"明美", "Akemi"},  {"さくら", "Sakura"}, {"舞", "Mai"},     {"彩", "Aya"},
    {"直美", "Naomi"},  {"智子", "Tomoko"},   {"香織", "Kaori"}, {"久美子", "Kumiko"}};

struct Centre {
  const char* name;
  const char* address;
  const char* telephone;
  const char* url;
  bool home;
};

const Centre kCentres[] = {{"サンライズボウル", "東京都品川区東大井1-2-3", "03-3761-0001",
                            "http://sunrise-bowl.example.jp/", true},
                           {"スターレーン", "神奈川県川崎市中原区小杉町2-4-6", "044-711-0002",
                            "http://starlane.example.jp/", false},
                           {"グランドボウル", "東京都大田区蒲田5-6-7", "03-3731-0003",
                            "http://grand-bowl.example.jp/", false},
                           {"ラッキーボウル", "埼玉県川口市本町3-8-1", "048-222-0004",
                            "http://lucky-bowl.example.jp/", false}};
constexpr int kCentreCount = 4;

enum LevelIndex { kLeague = 0, kTournament = 1, kPractice = 2 };

struct Level {
  const char* name;
  const char* colour;
  bool target;
};

// The level colours tint the centre names of the monthly table, drawn on light grey.
const Level kLevels[] = {
    {"リーグ戦", "#0000cc", true}, {"大会", "#990000", true}, {"練習", "#004d00", false}};

// The profile pages' own look: the ticker types in bold yellow, so every bowler's page has a
// dark background and a light text colour.
struct ProfileLook {
  const char* back;
  const char* text;
};
const ProfileLook kProfileLooks[] = {
    {"#102040", "#ffffcc"}, {"#123326", "#e8fff0"}, {"#2c1a3a", "#fff0f8"}, {"#33261a", "#fff4e0"}};

const char* const kRankA[] = {"AAリーグ所属",       "月例会優勝",   "センター公認インストラクター",
                              "ベストアベレージ賞", "リーグ副会長", "新人賞"};
const char* const kRankB[] = {"アベレージ200を目指して", "スペアメイク命", "週末ボウラー",
                              "ファミリーボウラー", "ストライク量産中"};
const char* const kMaxims[] = {"一投入魂",     "継続は力なり",   "平常心",
                               "七転び八起き", "スペアを確実に", "初心忘るべからず"};
const char* const kBalls[] = {"15ポンド リアクティブ", "14ポンド ウレタン", "16ポンド パーティクル",
                              "13ポンド ポリエステル", "15ポンド ウレタン（スペア用ポリ）"};
const char* const kWrists[] = {"なし", "リスタイ使用", "サポーター"};
const char* const kShoes[] = {"スライドソール", "交換ソール式", "軽量モデル"};
const char* const kBags[] = {"1ボール トート", "2ボール キャリー", "3ボール ローラー"};
const char* const kMemos[] = {"レーンが速い",     "オイル長め",     "新しいボールを投入",
                              "腰が痛い",         "調子上向き",     "ラインを変更",
                              "左レーンが難しい", "10番ピンが残る", "スペアミス多し"};

template <std::size_t N>
const char* PickOf(SampleRandom& r, const char* const (&list)[N]) {
  return list[r.Below(static_cast<int>(N))];
}

// Everything the generator decides about one bowler.
struct Bowler {
  int number = 0;
  std::string name;
  std::string aname;
  bool female = false;
  double level = 0.5;  // skill from 0 to 1
  BowlerSkill skill;
  bool league = false;
  int league_day = 2;  // weekday of the league night
  int home = 0;        // centre index
  int handicap = 0;
  std::array<double, 3> plays_per_week{};  // weights of one, two and three plays
  std::uint64_t seed = 0;
};

std::vector<Bowler> DrawBowlers(const SampleOptions& options) {
  SampleRandom r(options.seed);
  std::vector<Bowler> bowlers;
  std::set<std::string> used;
  const int families = static_cast<int>(std::size(kFamilies));
  for (int i = 1; i <= options.bowlers; ++i) {
    Bowler b;
    b.number = i;
    // About one in four is a woman; with three or more bowlers the second always is.
    b.female = i == 2 || (i != 1 && r.Chance(0.25));
    while (true) {
      const NamePart& family = kFamilies[r.Below(families)];
      const NamePart& given = b.female ? kWomen[r.Below(static_cast<int>(std::size(kWomen)))]
                                       : kMen[r.Below(static_cast<int>(std::size(kMen)))];
      std::string aname = std::string(family.latin) + given.latin;
      if (used.insert(aname).second) {
        b.name = std::string(family.kanji) + "\u3000" + given.kanji;
        b.aname = aname;
        break;
      }
    }
    b.level = std::clamp(0.1 + 0.85 * r.Unit() + (i == 1 ? 0.2 : 0.0), 0.0, 1.0);
    b.skill = BowlerSkill::AtLevel(b.level, 0.05 + 0.35 * r.Unit());
    b.league = r.Chance(0.7);
    b.league_day = r.Between(1, 3);  // Tuesday to Thursday
    b.home = r.Chance(0.75) ? 0 : r.Between(1, kCentreCount - 1);
    b.handicap = b.level < 0.55 && r.Chance(0.6) ? 5 * r.Between(2, 8) : 0;
    double keen = r.Unit();
    // One to three plays a week; about 300 games a year on average.
    b.plays_per_week = {2.0 + 2 * (1 - keen), 0.5 + keen, 0.1 + 0.5 * keen};
    b.seed = options.seed * 1000003ULL + static_cast<std::uint64_t>(i);
    bowlers.push_back(b);
  }
  return bowlers;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

void AddBowler(Database& db, const Bowler& b, SampleRandom& r, int first_year) {
  clsBowler_Data row(db);
  row.Name(b.name);
  row.Aname(b.aname);
  row.Sex(b.female);
  row.Password("zepa" + std::to_string(b.number));
  row.Ranka(r.Chance(0.8) ? PickOf(r, kRankA) : "");
  row.Rankb(r.Chance(0.7) ? PickOf(r, kRankB) : "");
  // Most profiles are complete; a few bowlers leave some fields empty.
  if (b.number % 7 != 4) {
    // One draw per statement: the order of function arguments is not fixed by the language.
    int year = first_year - r.Between(18, 65);
    int month = r.Between(1, 12);
    int day = r.Between(1, 28);
    char birth[32];
    std::snprintf(birth, sizeof birth, "%04d/%02d/%02d", year, month, day);
    row.Birth(birth);
  }
  if (b.number % 6 != 5) {
    int height = b.female ? r.Between(150, 170) : r.Between(162, 188);
    // Plain numbers: the profile page writes the unit after them, and a text that is not a
    // number shows as "秘密♪" there.
    row.Height(std::to_string(height));
    row.Weight(std::to_string(height - 105 + r.Between(-8, 15)));
  }
  bool left = r.Chance(0.12);
  row.Arm(left ? "左" : "右");
  if (b.number % 8 != 3) row.Ball(PickOf(r, kBalls));
  row.Wrist(PickOf(r, kWrists));
  if (b.number % 9 != 6)
    row.Shoes(std::string(left ? "左投げ用 " : "右投げ用 ") + PickOf(r, kShoes));
  row.Bag(PickOf(r, kBags));
  row.Maxim(PickOf(r, kMaxims));
  row.Mailaddress(Lower(b.aname) + "@example.jp");
  row.Number(b.number);
  row.Experience(r.Between(1, 30));
  const ProfileLook& look =
      kProfileLooks[static_cast<std::size_t>(b.number) % std::size(kProfileLooks)];
  row.Pathback(look.back);
  row.Pathchar(look.text);
  row.Add();
}

void AddCentresAndLevels(Database& db) {
  for (int i = 0; i < kCentreCount; ++i) {
    clsAlley_Data row(db);
    row.Number(i + 1);
    row.Name(kCentres[i].name);
    row.Address(kCentres[i].address);
    row.Telephone(kCentres[i].telephone);
    row.Url(kCentres[i].url);
    row.HomeFlag(kCentres[i].home);
    row.Add();
  }
  for (int i = 0; i < 3; ++i) {
    clsLevel_Data row(db);
    row.Number(i + 1);
    row.Name(kLevels[i].name);
    row.Fcolor(kLevels[i].colour);
    row.CalculationTarget(kLevels[i].target);
    row.Add();
  }
}

// The eleven window settings with the default look; the paths left empty mean the desktop and
// the program's own template. The pages draw their figures in the text colour on white, light
// grey and the pale colours of the score colour table as well as on the background, so the
// text is dark blue-grey and the background image (resources/make_images.sh) is light.
void AddSettings(Database& db) {
  WindowSettings s;
  s.CharacterColor = "#1c2a44";
  s.Background = "jpg/BG.jpg";
  s.Frame1 = "jpg/waku0.jpg";
  s.Frame2 = "jpg/waku.jpg";
  s.Space = "jpg/space.jpg";
  s.Spare = "jpg/spare.jpg";
  s.Strike = "jpg/strike.jpg";
  for (const char* key : WindowSettings::Keys()) {
    clsS_SYSTEM row(db);
    row.SsId(key);
    row.SsContents(*s.Find(key));
    row.Update();
  }
}

struct SheetDefinition {
  const char* name;
  const char* alley;
  const char* level;
  bool by_period;
  long past_count;
  std::vector<int> switches;  // indexes of clsS_OUTPUT_Data::SwitchValue; -1 for all
};

void AddSheets(Database& db) {
  const std::vector<SheetDefinition> sheets = {
      {"AVG", kBlankChoice, kBlankChoice, true, 0, {0, 1, 13, 14, 16, 17, 18, 19, 36}},
      {"Recent", kBlankChoice, kBlankChoice, false, 30, {13, 14, 16, 17, 18, 19, 20, 22, 23, 36}},
      {"Month", kBlankChoice, kBlankChoice, true, 0, {14, 36, 37}},
      {"Rate", kBlankChoice, kBlankChoice, true, 0, {1, 20, 21, 22, 23, 24, 25, 26, 27}},
      {"Frame", kBlankChoice, kBlankChoice, true, 0, {28, 29, 30, 31, 32, 33, 34, 35}},
      {"Home", kHomeLane, kAllLevels, true, 0, {14, 15, 16, 36}},
      {"Profile", kBlankChoice, kBlankChoice, true, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"@All", kBlankChoice, kBlankChoice, true, 0, {-1}},
  };
  for (const SheetDefinition& d : sheets) {
    clsS_OUTPUT_Data row(db);
    row.Sheetname(d.name);
    row.AlleyName(d.alley);
    row.LevelName(d.level);
    row.Condition(d.by_period);
    row.Pastcount(d.past_count);
    for (int s : d.switches) {
      if (s >= 0) {
        row.SwitchValue(static_cast<std::size_t>(s), true);
        continue;
      }
      for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i) row.SwitchValue(i, true);
    }
    row.Add();
  }
}

// ---- Games ----

struct Play {
  int centre;
  int level;
  int games;
};

class GameWriter {
 public:
  GameWriter(Database& db, const Bowler& b) : db_(db), bowler_(b), random_(b.seed) {}

  long Write(long first_day, long last_day) {
    // Weeks from the Monday on or before the first day.
    for (long monday = first_day - Weekday(first_day); monday <= last_day; monday += 7) {
      if (random_.Chance(0.06)) continue;  // a week off
      std::set<int> days;
      int plays = 1 + static_cast<int>(
                          random_.Weighted({bowler_.plays_per_week[0], bowler_.plays_per_week[1],
                                            bowler_.plays_per_week[2]}));
      bool league_night = bowler_.league && random_.Chance(0.9);
      if (league_night) days.insert(bowler_.league_day);
      while (static_cast<int>(days.size()) < plays)
        days.insert(static_cast<int>(random_.Weighted({1, 0.8, 0.8, 1, 1.3, 2.5, 2.2})));
      for (int weekday : days) {
        long day = monday + weekday;
        if (day < first_day || day > last_day) continue;
        PlayDay(day, league_night && weekday == bowler_.league_day, weekday >= 5);
      }
    }
    return games_;
  }

 private:
  int OtherCentre(int centre) {
    return (centre + random_.Between(1, kCentreCount - 1)) % kCentreCount;
  }

  void PlayDay(long day, bool league, bool weekend) {
    Play first;
    if (league) {
      first = {bowler_.home, kLeague, 3};
    } else if (weekend && random_.Chance(0.25)) {
      int centre = random_.Chance(0.4) ? bowler_.home : random_.Below(kCentreCount);
      first = {centre, kTournament, random_.Between(4, 6)};
    } else {
      int centre = random_.Chance(0.75) ? bowler_.home : OtherCentre(bowler_.home);
      first = {centre, kPractice, random_.Between(3, 6)};
    }
    Bowl(day, first);
    // Now and then a second play the same day, at another centre or level.
    if (random_.Chance(0.08)) {
      Play second = first;
      if (first.level == kPractice || random_.Chance(0.5)) {
        second.centre = OtherCentre(first.centre);
        second.level = first.level == kLeague ? kPractice : first.level;
      } else {
        second.level = kPractice;
      }
      second.games = random_.Between(3, 5);
      Bowl(day, second);
    }
  }

  void Bowl(long day, const Play& play) {
    // A bowler's form changes from day to day.
    double form = random_.Unit();
    form += random_.Unit();
    form += random_.Unit();
    form = (form - 1.5) * 0.08;
    BowlerSkill skill = BowlerSkill::AtLevel(bowler_.level + form, bowler_.skill.side);
    std::string date = Slashed(day);
    for (int n = 1; n <= play.games; ++n) {
      clsResult_Data game(db_);
      game.BowlerName(bowler_.name);
      game.AlleyName(kCentres[play.centre].name);
      game.LevelName(kLevels[play.level].name);
      game.PlayDate(date);
      game.GameNumber(n);
      for (const TypedRoll& roll : SimulateGame(skill, random_)) game.Roll(roll.first, roll.second);
      game.Handicap(play.level == kPractice ? 0 : bowler_.handicap);
      std::string score = game.Tenthframescore();
      if (score == "300") {
        game.ResultMemo("パーフェクト！");
      } else if (std::stol(score) >= 260 && random_.Chance(0.5)) {
        game.ResultMemo("ハイゲーム " + score);
      } else if (random_.Chance(0.015)) {
        game.ResultMemo(PickOf(random_, kMemos));
      }
      game.Add();
      ++games_;
    }
  }

  Database& db_;
  const Bowler& bowler_;
  SampleRandom random_;
  long games_ = 0;
};

}  // namespace

SampleSummary FillSampleDatabase(Database& db, const SampleOptions& options,
                                 ProgressWindow* progress) {
  if (options.bowlers < 1 || options.years < 1)
    throw AppError(kErrInvalidValue, "SampleDatabase", "入力が不正です");
  CivilDate today = Today();
  int end_year = options.end_year > 0 ? options.end_year : today.year;
  int first_year = end_year - options.years + 1;
  long first_day = DaysFromCivil(first_year, 1, 1);
  long last_day = end_year == today.year ? DaysFromCivil(today.year, today.month, today.day)
                                         : DaysFromCivil(end_year, 12, 31);

  SampleSummary summary;
  summary.first_date = Ymd(first_day);
  summary.last_date = Ymd(last_day);
  std::vector<Bowler> bowlers = DrawBowlers(options);
  if (progress) progress->StartProgress(0, static_cast<long>(bowlers.size()));

  db.BeginTrans();
  try {
    SampleRandom profile_random(options.seed ^ 0x5A4D504CULL);
    for (const Bowler& b : bowlers) AddBowler(db, b, profile_random, first_year);
    AddCentresAndLevels(db);
    AddSettings(db);
    AddSheets(db);
    summary.bowlers = static_cast<long>(bowlers.size());
    for (const Bowler& b : bowlers) {
      if (progress && progress->StopFlag()) {
        summary.stopped = true;
        break;
      }
      summary.games += GameWriter(db, b).Write(first_day, last_day);
      if (progress) progress->CountProgress(0, 1);
    }
    db.CommitTrans();
  } catch (...) {
    db.Rollback();
    throw;
  }
  return summary;
}

SampleSummary CreateSampleDatabase(const std::string& path, const SampleOptions& options,
                                   ProgressWindow* progress) {
  std::unique_ptr<Database> db = CreateScoreDatabase(path);
  try {
    return FillSampleDatabase(*db, options, progress);
  } catch (...) {
    db.reset();
    std::remove(path.c_str());
    throw;
  }
}

}  // namespace lanereport
