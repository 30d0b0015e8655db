// The bars of the bulk run: neither count goes past its maximum.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "XlsxTemplate.h"
#include "batch/MakeFlow.h"
#include "database/clsS_OUTPUT_Data.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Counts each bar against the maximum it was last started with, and keeps the worst overrun.
class BarProgress : public CountingProgress {
 public:
  void StartProgress(int bar, long maximum) override {
    CountingProgress::StartProgress(bar, maximum);
    maximum_[bar] = maximum;
    count_[bar] = 0;
  }
  void CountProgress(int bar, long step) override {
    CountingProgress::CountProgress(bar, step);
    count_[bar] += step;
    if (count_[bar] > maximum_[bar]) overrun[bar] = std::max(overrun[bar], count_[bar]);
    most[bar] = std::max(most[bar], count_[bar]);
  }
  std::map<int, long> overrun;
  std::map<int, long> most;

 private:
  std::map<int, long> maximum_;
  std::map<int, long> count_;
};

class BulkProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(fx_.Dir().File("home/Desktop"));
    Database& db = fx_.Db();
    AddAlley(db, "ホーム", 1, true);
    AddLevel(db, "League", 1, true);
    AddBowler(db, "山田", "yamada", 1);
    AddBowler(db, "佐藤", "sato", 2);
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");
    AddOpenGame(db, "佐藤", "ホーム", "League", "2003/06/01", 1, "6", "2");
    XlsxTemplate book;
    // Every sheet has a definition, so each is filled and then published.
    for (const char* name : {"S1", "S2", "S3", "S4", "S5", "S6"}) {
      clsS_OUTPUT_Data sheet(db);
      sheet.Sheetname(name);
      sheet.AlleyName(kBlankChoice);
      sheet.LevelName(kBlankChoice);
      sheet.Condition(true);
      sheet.Gamecount(true);
      sheet.Add();
      book.AddSheet(name, "");
    }
    book.Write(fx_.Dir().File("template.xlsx"));
    fs::create_directories(fx_.Dir().File("out"));
    settings_.OutFolder = fx_.Dir().File("out");
    settings_.OutSheet = fx_.Dir().File("template.xlsx");
  }

  ScoreDbFixture fx_;
  HomeAt home_{fx_.Dir().File("home")};
  WindowSettings settings_;
  BarProgress progress_;
  RecordingMessages messages_;
  FixedChooser chooser_{std::nullopt};
};

TEST_F(BulkProgressTest, TheWorkbookBarOfABulkRunNeverPassesItsMaximum) {
  MakeFlow flow(fx_.Db(), "score", settings_, progress_, messages_, chooser_);
  MakeRequest request;
  request.mode = MakeMode::kBulk;
  request.year = "2003";
  MakeResult result = flow.Make(request);
  EXPECT_FALSE(result.workbook_path.empty());
  EXPECT_EQ(result.pages.size(), 6u);
  // Twelve counts: six sheets filled, six published.
  EXPECT_EQ(progress_.most[0], 12);
  EXPECT_FALSE(progress_.overrun.count(0)) << "bar 0 counted " << progress_.overrun[0];
}

TEST_F(BulkProgressTest, TheGamesBarCountsAPlayPlayedApartOnce) {
  // One play key whose games were played apart, another play between them.
  Database& db = fx_.Db();
  AddLevel(db, "Cup", 2, true);
  AddOpenGame(db, "山田", "ホーム", "Cup", "2003/05/10", 1, "7", "2");
  AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 2, "9", "0");
  db.Execute("Update Result_Data Set PlayNumber = 1 Where Level_Name = 'League'");
  db.Execute("Update Result_Data Set PlayNumber = 2 Where Level_Name = 'Cup'");
  db.Execute(
      "Update Result_Data Set PlayNumber = 3 Where Level_Name = 'League' And Game_Number = 2");
  MakeFlow flow(fx_.Db(), "score", settings_, progress_, messages_, chooser_);
  MakeRequest request;
  request.mode = MakeMode::kBulk;
  request.year = "2003";
  MakeResult result = flow.Make(request);
  EXPECT_EQ(result.score_pages, 3);
  EXPECT_FALSE(progress_.overrun.count(1)) << "bar 1 counted " << progress_.overrun[1];
}

TEST_F(BulkProgressTest, TheWorkbookBarWithoutPagesNeverPassesItsMaximum) {
  MakeFlow flow(fx_.Db(), "score", settings_, progress_, messages_, chooser_);
  MakeRequest request;
  request.mode = MakeMode::kBowlerWorkbook;
  EXPECT_FALSE(flow.Make(request).refused);
  EXPECT_EQ(progress_.most[0], 6);
  EXPECT_FALSE(progress_.overrun.count(0));
}

}  // namespace
}  // namespace lanereport
