#include "entry/MasterUpkeep.h"

#include <gtest/gtest.h>

#include <string>

#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/MasterLists.h"
#include "database/Recordset.h"
#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"
#include "util/AppError.h"

using namespace lanereport;
using lanereport::testing::ScoreDbFixture;

namespace {

class MasterUpkeepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lanereport::testing::AddBowler(Db(), "山田", "Yamada", 1);
    lanereport::testing::AddBowler(Db(), "佐藤", "Sato", 2);
    lanereport::testing::AddAlley(Db(), "ホーム", 1, true);
    lanereport::testing::AddLevel(Db(), "リーグ", 1, true);
    lanereport::testing::AddOpenGame(Db(), "山田", "ホーム", "リーグ", "2026/12/01", 1, "8", "1");
    lanereport::testing::AddOpenGame(Db(), "山田", "ホーム", "リーグ", "2026/12/01", 2, "7", "2");
  }
  Database& Db() { return fixture_.Db(); }
  long Games(const char* column, const char* name) {
    auto rs = Db().OpenRecordset(std::string("Select Count(*) As N From Result_Data Where ") +
                                 column + " = '" + name + "'");
    return static_cast<long>(rs->Field("N").ToInt());
  }
  ScoreDbFixture fixture_;
};

TEST_F(MasterUpkeepTest, GamesAreCountedPerMaster) {
  EXPECT_EQ(GamesUsing(Db(), MasterKind::Bowler, "山田"), 2);
  EXPECT_EQ(GamesUsing(Db(), MasterKind::Bowler, "佐藤"), 0);
  EXPECT_EQ(GamesUsing(Db(), MasterKind::Alley, "ホーム"), 2);
  EXPECT_EQ(GamesUsing(Db(), MasterKind::Level, "リーグ"), 2);
  EXPECT_EQ(GamesUsing(Db(), MasterKind::Level, "O'Brien"), 0);
  EXPECT_EQ(MasterCount(Db(), MasterKind::Bowler), 2);
  EXPECT_EQ(MasterCount(Db(), MasterKind::Alley), 1);
}

TEST_F(MasterUpkeepTest, AMasterGamesUseIsNotDeleted) {
  clsBowler_Data used(Db());
  used.Name("山田");
  try {
    DeleteMaster(Db(), MasterKind::Bowler, used, "山田");
    FAIL() << "a bowler with games was deleted";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "このボウラーは 2 ゲームで使われているため削除出来ません");
    EXPECT_EQ(e.Number(), kErrNoData);
  }
  EXPECT_EQ(MasterCount(Db(), MasterKind::Bowler), 2);
  clsBowler_Data unused(Db());
  unused.Name("佐藤");
  DeleteMaster(Db(), MasterKind::Bowler, unused, "佐藤");
  EXPECT_EQ(MasterCount(Db(), MasterKind::Bowler), 1);
}

TEST_F(MasterUpkeepTest, TheLastMasterOfATableStays) {
  lanereport::testing::AddLevel(Db(), "練習", 2, false);
  clsLevel_Data level(Db());
  level.Name("練習");
  DeleteMaster(Db(), MasterKind::Level, level, "練習");
  Db().Execute("Delete From Result_Data");
  clsLevel_Data last(Db());
  last.Name("リーグ");
  try {
    DeleteMaster(Db(), MasterKind::Level, last, "リーグ");
    FAIL() << "the last level was deleted";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "最後のレベルは削除出来ません（レベルが1件もないと起動出来ません）");
  }
  EXPECT_EQ(MasterCount(Db(), MasterKind::Level), 1);
}

TEST_F(MasterUpkeepTest, ARenameSaysHowManyGamesMoveAndMovesThem) {
  EXPECT_EQ(RenameQuestion(Db(), MasterKind::Alley, "ホーム", "ホーム"), "");
  EXPECT_EQ(RenameQuestion(Db(), MasterKind::Bowler, "佐藤", "佐藤 花子"), "");
  EXPECT_EQ(RenameQuestion(Db(), MasterKind::Alley, "ホーム", "本店"),
            "「ホーム」の 2 ゲームも「本店」に変わります");
  clsAlley_Data alley(Db());
  alley.Name("ホーム");
  alley.Load();
  alley.Name("本店");
  alley.Telephone("03-0000-0000");
  UpdateMaster(Db(), alley);
  EXPECT_EQ(Games("Alley_Name", "本店"), 2);
  EXPECT_EQ(Games("Alley_Name", "ホーム"), 0);
  clsAlley_Data reread(Db());
  reread.Name("本店");
  reread.Load();
  EXPECT_EQ(reread.Telephone(), "03-0000-0000");
  EXPECT_TRUE(reread.HomeFlag());
}

TEST_F(MasterUpkeepTest, ARefusedRenameMovesNoGame) {
  clsBowler_Data bowler(Db());
  bowler.Name("山田");
  bowler.Load();
  bowler.Name("佐藤");  // another bowler's name
  try {
    UpdateMaster(Db(), bowler);
    FAIL() << "two bowlers took one name";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "同じ名前のﾃﾞｰﾀが存在します、更新出来ません");
  }
  EXPECT_EQ(Games("Bowler_Name", "山田"), 2);
  bowler.Name("山田 太郎");
  bowler.Aname("Sato");  // another bowler's folder name
  EXPECT_THROW(UpdateMaster(Db(), bowler), AppError);
  EXPECT_EQ(Games("Bowler_Name", "山田"), 2);
  // The transaction ended either way: the next write works.
  bowler.Aname("Yamada");
  UpdateMaster(Db(), bowler);
  EXPECT_EQ(Games("Bowler_Name", "山田 太郎"), 2);
}

TEST_F(MasterUpkeepTest, AddRefusesDuplicatesWithTheRecordsMessages) {
  clsBowler_Data twin(Db());
  twin.Name("山田");
  twin.Aname("Other");
  twin.Password("pw");
  try {
    AddMaster(Db(), twin);
    FAIL();
  } catch (const AppError& e) {
    EXPECT_EQ(e.Description(), "同じ名前のﾃﾞｰﾀが存在します、追加出来ません");
  }
  clsBowler_Data fresh(Db());
  fresh.Name("鈴木");
  fresh.Aname("Suzuki");
  fresh.Password("pw");
  fresh.Number(3);
  AddMaster(Db(), fresh);
  EXPECT_EQ(MasterCount(Db(), MasterKind::Bowler), 3);
  EXPECT_GT(fresh.Id(), 0);
}

}  // namespace
