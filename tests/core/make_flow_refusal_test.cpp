// Requests the make flow refuses before it writes anything, and runs that find nothing to make.

#include <gtest/gtest.h>

#include <filesystem>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "batch/MakeFlow.h"
#include "ui/MessageWindow.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class MakeFlowRefusalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(fx_.Dir().File("home/Desktop"));
    Database& db = fx_.Db();
    AddAlley(db, "ホーム", 1, true);
    AddLevel(db, "League", 1, true);
    AddBowler(db, "山田", "yamada", 1);
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");
    fs::create_directories(Out());
    settings_.OutFolder = Out();
  }

  std::string Out() const { return fx_.Dir().File("out"); }
  bool OutEmpty() const { return fs::is_empty(Out()); }
  MakeResult Make(const MakeRequest& request) {
    messages_.shown.clear();
    MakeFlow flow(fx_.Db(), "score", settings_, progress_, messages_, chooser_);
    return flow.Make(request);
  }
  static MakeRequest Monthly(const std::string& first, const std::string& last) {
    MakeRequest request;
    request.mode = MakeMode::kMonthly;
    request.bowler = "山田";
    request.first_month = first;
    request.last_month = last;
    return request;
  }
  static MakeRequest Score(const std::string& start, const std::string& end) {
    MakeRequest request;
    request.mode = MakeMode::kScore;
    request.bowler = "山田";
    request.start_date = start;
    request.end_date = end;
    return request;
  }
  bool CompletionShown() const {
    for (const MessageText& m : messages_.shown)
      if (m.color == kCompletionColor) return true;
    return false;
  }

  ScoreDbFixture fx_;
  HomeAt home_{fx_.Dir().File("home")};
  WindowSettings settings_;
  CountingProgress progress_;
  RecordingMessages messages_;
  FixedChooser chooser_{std::nullopt};
};

TEST_F(MakeFlowRefusalTest, BulkYearThatIsNoYearIsRefused) {
  for (const char* year : {"abcd", "", "20031", "03", "-200"}) {
    MakeRequest request;
    request.mode = MakeMode::kBulk;
    request.year = year;
    EXPECT_TRUE(Make(request).refused) << year;
    EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません"});
    EXPECT_TRUE(OutEmpty()) << year;
  }
}

TEST_F(MakeFlowRefusalTest, ReversedPeriodsAreRefused) {
  EXPECT_TRUE(Make(Monthly("2003/08", "2003/05")).refused);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"日付の範囲指定が不正です"});
  EXPECT_TRUE(Make(Score("2003/08/01", "2003/05/01")).refused);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"日付の範囲指定が不正です"});
  EXPECT_TRUE(OutEmpty());
}

TEST_F(MakeFlowRefusalTest, DatesThatAreNoneAreRefused) {
  EXPECT_TRUE(Make(Monthly("", "2003/05")).refused);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません"});
  EXPECT_TRUE(Make(Monthly("2003/13", "2003/05")).refused);
  EXPECT_TRUE(Make(Score("2003/02/30", "2003/05/01")).refused);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません"});
  EXPECT_TRUE(OutEmpty());
}

TEST_F(MakeFlowRefusalTest, PeriodsWithoutGamesSaySoAndWriteNothing) {
  EXPECT_TRUE(Make(Monthly("2002/01", "2002/12")).refused);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"該当するﾃﾞｰﾀは存在しません"});
  EXPECT_FALSE(CompletionShown());
  EXPECT_TRUE(Make(Score("2002/01/01", "2002/12/31")).refused);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{"該当するﾃﾞｰﾀは存在しません"});
  EXPECT_FALSE(CompletionShown());
  EXPECT_TRUE(OutEmpty());
  // The period with the game is made and said.
  MakeResult made = Make(Monthly("2003/05", "2003/05"));
  EXPECT_FALSE(made.refused);
  EXPECT_EQ(made.monthly_pages, 1);
  EXPECT_TRUE(CompletionShown());
}

}  // namespace
}  // namespace lanereport
