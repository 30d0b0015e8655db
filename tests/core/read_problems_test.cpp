#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CountingProgress.h"
#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/MasterLists.h"
#include "database/basDataBase.h"
#include "pages/MonthlyPageOutput.h"
#include "pages/PageContext.h"
#include "pages/ScorePageOutput.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/ReadProblems.h"

// A database shared with other programs may hold rows no record takes and may be damaged or
// held by another program. A run publishes every game it can read, says what it left out, and
// fails outright, naming the database, when the engine cannot read it.

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr const char* kGood = "X X X X X X X X X XXX";

class ReadProblemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddBowler(db, "山田太郎", "yamada", 1);
    AddAlley(db, "中央レーン", 1, true);
    AddLevel(db, "公式戦", 1, true);
    for (const char* date : {"2024/05/06", "2024/05/13", "2024/06/03"}) {
      for (long g = 1; g <= 3; ++g)
        AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", date, g, kGood);
    }
  }

  // Stored as another program would: a roll that is no mark, a memo too long for a record.
  void SpoilGames() {
    fx_.Db().Execute(
        "Update Result_Data Set FirstFrame1 = '11' Where Play_Date = '20240513' And "
        "Game_Number = 2");
    fx_.Db().Execute("Update Result_Data Set Result_Memo = '" + std::string(300, 'm') +
                     "' Where Play_Date = '20240603'");
  }

  std::vector<std::string> Pages() const {
    std::vector<std::string> files;
    for (auto& e : fs::recursive_directory_iterator(out_.Path())) {
      if (e.path().extension() == ".html" && e.path().filename() != "index.html")
        files.push_back(e.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  PageContext Context(ProgressWindow& progress) {
    return PageContext{fx_.Db(), "score", InitialLook(), out_.Path(), progress};
  }

  ScoreDbFixture fx_;
  TempDir out_;
};

TEST_F(ReadProblemsTest, AnUnreadableGameIsLeftOutAndNamedWhileTheRestIsPublished) {
  SpoilGames();
  ReadProblemLog log;
  CountingProgress progress;
  PageContext context = Context(progress);
  PageRunResult score =
      OutputScorePages(context, "山田太郎", "yamada", "2024/01/01", "2024/12/31", true);
  // The play of 05/13 keeps its two good games; 06/03, whose every game was left out, has no
  // page.
  EXPECT_EQ(score.pages, 2);
  PageRunResult monthly =
      OutputMonthlyPages(context, "山田太郎", "yamada", "2024/05", "2024/06", true);
  EXPECT_EQ(monthly.pages, 1);
  EXPECT_EQ(Pages(),
            (std::vector<std::string>{"202405.html", "2024050611.html", "2024051311.html"}));
  // Each stored game is named once, however often the runs read it.
  ASSERT_EQ(log.Count(), 4u);
  std::vector<std::string> lines = log.Lines();
  EXPECT_NE(lines[0].find("ボウラー「山田太郎」 2024/05/13 「中央レーン」 「公式戦」 第2ゲーム："
                          "FirstFrame1「11」（入力が不正です）"),
            std::string::npos)
      << lines[0];
  EXPECT_NE(lines[1].find("Result_Memo「mmmm"), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find("…」（文字列が長すぎます）"), std::string::npos) << lines[1];
  EXPECT_EQ(log.Summary(), std::vector<std::string>{"読めないゲーム 4 件を除きました"});
}

TEST_F(ReadProblemsTest, WithoutARunTheSelectionIsRefusedWhole) {
  SpoilGames();
  clsResult_List games(fx_.Db());
  try {
    games.SelectRecord("Play_Date = '20240513'", 0);
    FAIL() << "selected";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidValue);
  }
  // A run's log takes the rows; when no game of the selection could be read, none matched.
  ReadProblemLog log;
  clsResult_List none(fx_.Db());
  try {
    none.SelectRecord("Play_Date = '20240603'", 0);
    FAIL() << "selected";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrNoData);
  }
  EXPECT_EQ(log.Count(), 3u);
}

TEST_F(ReadProblemsTest, AnInnerLogHandsItsRowsOnAndARowIsCountedOnce) {
  SpoilGames();
  ReadProblemLog outer;
  clsResult_List first(fx_.Db());
  first.SelectRecord("Play_Date = '20240513'", 0);
  EXPECT_EQ(first.Count(), 2);
  {
    // A make run inside a command keeps its own log.
    ReadProblemLog inner;
    clsResult_List again(fx_.Db());
    again.SelectRecord("", 0);
    EXPECT_EQ(again.Count(), 5);
    EXPECT_EQ(inner.Count(), 4u);
    EXPECT_EQ(outer.Count(), 1u);
  }
  EXPECT_EQ(outer.Count(), 4u);
  EXPECT_EQ(outer.Summary(), std::vector<std::string>{"読めないゲーム 4 件を除きました"});
}

TEST_F(ReadProblemsTest, AMasterTooLongForItsRecordStaysListedWhileItsGamesAreNamed) {
  const std::string long_name(260, 'n');
  fx_.Db().Execute("Update Bowler_Data Set Name = '" + long_name + "' Where Number = 1");
  fx_.Db().Execute("Update Result_Data Set Bowler_Name = '" + long_name + "'");
  ReadProblemLog log;
  clsBowler_List bowlers(fx_.Db());
  bowlers.SelectRecord("");
  ASSERT_EQ(bowlers.Count(), 1u);
  clsResult_List games(fx_.Db());
  EXPECT_THROW(games.SelectRecord("", 0), AppError);
  ASSERT_EQ(log.Count(), 9u);
  // The name is cut in the line, never printed whole.
  EXPECT_LT(log.Lines()[0].size(), 400u);
  EXPECT_NE(log.Lines()[0].find("Bowler_Name「nnn"), std::string::npos) << log.Lines()[0];
}

// A copy of the database with part of its game table overwritten.
std::string DamagedCopy(const std::string& from, const std::string& to) {
  fs::copy_file(from, to);
  std::fstream file(to, std::ios::in | std::ios::out | std::ios::binary);
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  // Leave the first half (the schema, the masters) alone; spoil the games past it.
  for (std::streamoff at = size / 2; at < size; at += 512) {
    file.seekp(at);
    file.write("\xFF\x00\xFF\x00\x13\x37\x13\x37", 8);
  }
  return to;
}

TEST_F(ReadProblemsTest, AnEngineFailureEndsTheRunInsteadOfReadingAsNoGames) {
  char date[16];
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= 28; ++day) {
      std::snprintf(date, sizeof date, "2023/%02d/%02d", month, day);
      AddNotatedGame(fx_.Db(), "山田太郎", "中央レーン", "公式戦", date, 1, kGood, 0,
                     std::string(120, 'x'));
    }
  }
  std::string why;
  std::unique_ptr<Database> db =
      OpenDataBase(DamagedCopy(fx_.DbPath(), fx_.Dir().File("damaged.db")), kSuitePassword, &why);
  ASSERT_NE(db, nullptr) << why;
  // The check finds the damage before any run reads from it.
  EXPECT_NE(db->QuickCheck(), "");
  ReadProblemLog log;
  CountingProgress progress;
  PageContext context{*db, "damaged", InitialLook(), out_.Path(), progress};
  try {
    PageRunResult run =
        OutputScorePages(context, "山田太郎", "yamada", "2023/01/01", "2024/12/31", true);
    FAIL() << "the run ended as if fine, with " << run.pages << " pages";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrEngine);
    EXPECT_NE(e.Description().find("damaged.db"), std::string::npos) << e.Description();
  }
}

TEST_F(ReadProblemsTest, ADatabaseAnotherProgramHoldsIsWaitedForThenNamed) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(fx_.DbPath().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  int told = 0, asked = 0;
  Database::BusyWait previous =
      Database::SetBusyWait({std::chrono::milliseconds(600), [&](bool first) {
                               told += first;
                               ++asked;
                               return true;
                             }});
  clsResult_List games(fx_.Db());
  try {
    games.SelectRecord("", 0);
    FAIL() << "read past the lock";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrEngine);
    EXPECT_NE(e.Description().find("他のプログラムがデータベースを使用中のため読めません"),
              std::string::npos)
        << e.Description();
  }
  EXPECT_EQ(told, 1);
  EXPECT_GE(asked, 3);
  // Released during the wait, the database is read.
  Database::SetBusyWait({std::chrono::seconds(20), [](bool) { return true; }});
  std::thread release([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  });
  clsResult_List later(fx_.Db());
  EXPECT_NO_THROW(later.SelectRecord("", 0));
  EXPECT_EQ(later.Count(), 9);
  release.join();
  // STOP ends the wait at once.
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  Database::SetBusyWait({std::chrono::seconds(20), [](bool) { return false; }});
  auto start = std::chrono::steady_clock::now();
  clsResult_List stopped(fx_.Db());
  EXPECT_THROW(stopped.SelectRecord("", 0), AppError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  Database::SetBusyWait(std::move(previous));
}

}  // namespace
}  // namespace lanereport
