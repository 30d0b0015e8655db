#include <gtest/gtest.h>

#include "ScoreDb.h"
#include "database/MasterLists.h"
#include "database/Recordset.h"
#include "database/clsDataNumberControl.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

using testing::ScoreDbFixture;

// Expects the statement to raise the given number, source and message.
template <class F>
void ExpectError(F&& f, long number, const std::string& source, const std::string& message) {
  try {
    f();
    FAIL() << "expected " << message;
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), number);
    EXPECT_EQ(e.Source(), source);
    EXPECT_EQ(e.Description(), message);
  }
}

void AddBowler(Database& db, const std::string& name, const std::string& aname, long number) {
  clsBowler_Data b(db);
  b.Name(name);
  b.Aname(aname);
  b.Password("pw");
  b.Number(number);
  b.Add();
}

long CountGames(Database& db, const std::string& bowler) {
  auto rs = db.OpenRecordset("Select * From Result_Data Where Bowler_Name = '" + bowler + "'");
  if (!rs->Eof()) rs->MoveLast();
  return rs->RecordCount();
}

void AddGameOf(Database& db, const std::string& bowler) {
  auto rs = db.OpenRecordset("Select * From Result_Data");
  rs->AddNew();
  rs->SetField("Bowler_Name", Value(bowler));
  rs->Update();
}

class BowlerTest : public ::testing::Test {
 protected:
  Database& Db() { return fx_.Db(); }
  ScoreDbFixture fx_;
};

TEST_F(BowlerTest, ListOfAnEmptyTableRaisesNoData) {
  clsBowler_List list(Db());
  ExpectError([&] { list.SelectRecord(""); }, -2147220502, "[clsBowler_List]SelectRecord",
              "該当するﾃﾞｰﾀは存在しません");
}

TEST_F(BowlerTest, ListComesInNumberOrderAndFindsByName) {
  AddBowler(Db(), "鈴木", "Suzuki", 3);
  AddBowler(Db(), "山田", "Yamada", 1);
  AddBowler(Db(), "佐藤", "Sato", 2);
  clsBowler_List list(Db());
  list.SelectRecord("");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Item(0).Name(), "山田");
  EXPECT_EQ(list.Item(2).Name(), "鈴木");
  EXPECT_EQ(list.Item("佐藤").Aname(), "Sato");
  EXPECT_EQ(list.Item("佐藤").Id(), 3);  // IDs come from the counter in order of adding
  clsBowler_List some(Db());
  some.SelectRecord("Number >= 2");
  EXPECT_EQ(some.Count(), 2u);
}

TEST_F(BowlerTest, PasswordIsStoredShifted) {
  AddBowler(Db(), "山田", "Yamada", 1);
  auto rs = Db().OpenRecordset("Select * From Bowler_Data");
  EXPECT_EQ(rs->Field("Password").Text(), "ah");  // 'p'-15, 'w'-15
  clsBowler_Data b(Db());
  b.Name("山田");
  b.Load();
  EXPECT_EQ(b.Password(), "pw");
}

TEST_F(BowlerTest, SettersRefuseAndKeepTheirValue) {
  clsBowler_Data b(Db());
  b.Name("山田");
  std::string too_long;
  for (int i = 0; i < 128; ++i) too_long += "あ";  // 256 bytes
  ExpectError([&] { b.Name(too_long); }, -2147220503, "[clsBowler_Data]Name", "文字列が長すぎます");
  EXPECT_EQ(b.Name(), "山田");
  std::string fits = too_long.substr(3) + "a";  // 254 + 1 = 255 bytes
  b.Maxim(fits);
  EXPECT_EQ(b.Maxim(), fits);
  ExpectError([&] { b.Number("abc"); }, -2147220503, "[clsBowler_Data]Number",
              "数値を入力して下さい");
  EXPECT_EQ(b.Number(), 0);
  b.Number("12");
  EXPECT_EQ(b.Number(), 12);
}

TEST_F(BowlerTest, SettingTheSameValueLeavesTheFlagClear) {
  AddBowler(Db(), "山田", "Yamada", 1);
  Db().Execute("Update Bowler_Data Set Ball = 'Storm   '");
  clsBowler_Data b(Db());
  b.Name("山田");
  b.Load();
  EXPECT_FALSE(b.IsValueChanged());
  b.Ball("Storm");
  EXPECT_FALSE(b.IsValueChanged());
  b.Ball("Hammer");
  EXPECT_TRUE(b.IsValueChanged());
}

TEST_F(BowlerTest, RequiredFieldsInOrder) {
  clsBowler_Data b(Db());
  ExpectError([&] { b.Add(); }, -2147220503, "[clsBowler_Data]IsValid", "名前が入力されていません");
  b.Name("山田");
  ExpectError([&] { b.Add(); }, -2147220503, "[clsBowler_Data]IsValid", "Nameが入力されていません");
  b.Aname("Yamada");
  ExpectError([&] { b.Add(); }, -2147220503, "[clsBowler_Data]IsValid",
              "ﾊﾟｽﾜｰﾄﾞが入力されていません");
}

TEST_F(BowlerTest, DuplicatesAreRefused) {
  AddBowler(Db(), "山田", "Yamada", 1);
  ExpectError([&] { AddBowler(Db(), "田中", "yamada", 2); }, -2147220502, "[clsBowler_Data]Add",
              "同じNameのﾃﾞｰﾀが存在します、追加出来ません");
  ExpectError([&] { AddBowler(Db(), "山田", "Other", 2); }, -2147220502, "[clsBowler_Data]Add",
              "同じ名前のﾃﾞｰﾀが存在します、追加出来ません");
  AddBowler(Db(), "田中", "Tanaka", 2);
  clsBowler_Data b(Db());
  b.Name("田中");
  b.Load();
  b.Name("山田");
  ExpectError([&] { b.Update(); }, -2147220502, "[clsBowler_Data]Update",
              "同じ名前のﾃﾞｰﾀが存在します、更新出来ません");
  b.Name("田中");
  b.Aname("Yamada");
  ExpectError([&] { b.Update(); }, -2147220502, "[clsBowler_Data]Update",
              "同じNameのﾃﾞｰﾀが存在します、更新出来ません");
}

TEST_F(BowlerTest, RenameMovesTheGamesAndDeleteLeavesThem) {
  AddBowler(Db(), "山田", "Yamada", 1);
  AddGameOf(Db(), "山田");
  AddGameOf(Db(), "山田");
  AddGameOf(Db(), "");  // a game without a bowler name must never be touched
  clsBowler_Data b(Db());
  b.Name("山田");
  b.Load();
  b.Name("山田二郎");
  b.Update();
  EXPECT_EQ(CountGames(Db(), "山田"), 0);
  EXPECT_EQ(CountGames(Db(), "山田二郎"), 2);
  b.Delete();
  EXPECT_EQ(CountGames(Db(), "山田二郎"), 2);
  ExpectError([&] { b.Delete(); }, -2147220502, "[clsBowler_Data]Delete",
              "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  ExpectError([&] { b.Load(); }, -2147220502, "[clsBowler_Data]LOAD", "該当するﾃﾞｰﾀは存在しません");

  // An object read by a list has no saved name: writing it back leaves every game alone.
  AddBowler(Db(), "佐藤", "Sato", 2);
  clsBowler_List list(Db());
  list.SelectRecord("");
  list.Item(0).Update();
  EXPECT_EQ(CountGames(Db(), ""), 1);
}

TEST_F(BowlerTest, ApostropheNamesAreFoundAgain) {
  AddBowler(Db(), "O'Neil", "ONeil", 1);
  clsBowler_Data b(Db());
  b.Name("O'Neil");
  b.Load();
  EXPECT_EQ(b.Aname(), "ONeil");
  clsBowler_List list(Db());
  list.SelectRecord("Name = 'O''Neil'");
  EXPECT_EQ(list.Count(), 1u);
}

TEST_F(BowlerTest, UpdateAsNewAddsOrChangesByName) {
  clsBowler_Data b(Db());
  b.Name("山田");
  b.Aname("Yamada");
  b.Password("x");
  b.Update(true);
  EXPECT_EQ(b.Id(), 1);
  clsBowler_Data again(Db());
  again.Name("山田");
  again.Aname("Yamada");
  again.Password("y");
  again.Height("170");
  again.Update(true);
  EXPECT_EQ(again.Id(), 1);
  clsBowler_List list(Db());
  list.SelectRecord("");
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Item(0).Height(), "170");
}

TEST_F(BowlerTest, CancelEditRewritesTheLoadedValues) {
  AddBowler(Db(), "山田", "Yamada", 1);
  clsBowler_Data b(Db());
  b.Name("山田");
  b.Load();
  b.Height("999");
  b.CancelEdit();
  EXPECT_EQ(b.Height(), "");
  EXPECT_FALSE(b.IsValueChanged());
}

TEST_F(BowlerTest, UpdateByIdNeedsExactlyOneRow) {
  clsBowler_Data b(Db());
  b.Name("山田");
  b.Aname("Yamada");
  b.Password("x");
  b.Id(77);
  ExpectError([&] { b.Update(); }, -2147220502, "[clsBowler_Data]Update",
              "該当するﾃﾞｰﾀが複数存在します、更新出来ません");
}

TEST(MasterDifferencesTest, CentresAndLevels) {
  ScoreDbFixture fx;
  clsAlley_Data a(fx.Db());
  a.Name("ABCボウル");
  a.HomeFlag(true);
  a.Add();
  AddGameOf(fx.Db(), "x");
  fx.Db().Execute("Update Result_Data Set Alley_Name = 'ABCボウル', Level_Name = 'League'");
  a.Name("XYZボウル");
  a.Update();
  auto rs = fx.Db().OpenRecordset("Select * From Result_Data");
  EXPECT_EQ(rs->Field("Alley_Name").Text(), "XYZボウル");

  clsLevel_Data l(fx.Db());
  l.Name("League");
  l.Fcolor("#ff0000");
  l.CalculationTarget(true);
  l.Add();
  clsLevel_Data other(fx.Db());
  other.Name("League");
  ExpectError([&] { other.Add(); }, -2147220502, "[clsLevel_Data]Add",
              "同じ名前のﾃﾞｰﾀが存在します、追加出来ません");
  other.Name("Practice");
  other.Id(99);
  ExpectError([&] { other.Update(); }, -2147220502, "[clsLevel_Data]Update",
              "該当するﾃﾞｰﾀは存在しないか、複数存在します");
  clsLevel_List levels(fx.Db());
  levels.SelectRecord("CalculationTarget = True");
  ASSERT_EQ(levels.Count(), 1u);
  EXPECT_EQ(levels.Item(0).Fcolor(), "#ff0000");
  clsAlley_List alleys(fx.Db());
  alleys.SelectRecord("Home_Flag = True");
  EXPECT_EQ(alleys.Item(0).Name(), "XYZボウル");
}

TEST(CounterTest, NumbersStartAtOneAndGrow) {
  ScoreDbFixture fx;
  clsDataNumberControl counter(fx.Db());
  EXPECT_EQ(counter.CountDataNumber("ResultData"), 1);
  EXPECT_EQ(counter.CountDataNumber("ResultData"), 2);
  EXPECT_EQ(counter.CountDataNumber("Sheets"), 1);
  // Two rows for one counter: nothing is handed out.
  fx.Db().Execute("Insert Into DataNumberControl (DataID, DataNumber) Values ('Sheets', 5)");
  EXPECT_EQ(counter.CountDataNumber("Sheets"), 0);
}

}  // namespace
}  // namespace lanereport
