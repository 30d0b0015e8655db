#include <gtest/gtest.h>

#include "import/JetReader.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

const JetColumn& ColumnNamed(const JetTable& table, const std::string& name) {
  for (const JetColumn& c : table.columns)
    if (c.name == name) return c;
  throw std::runtime_error("no column " + name);
}

std::size_t Index(const JetTable& table, const std::string& name) {
  return static_cast<std::size_t>(&ColumnNamed(table, name) - table.columns.data());
}

TEST(JetReaderTest, Jet3TextIsConvertedAsCodePage932) {
  JetReader reader(kJetDir + "jet3-cp932.mdb", "932");
  EXPECT_EQ(reader.TextEncoding(), "CP932");
  JetTable table = reader.ReadTable("table1");  // letter case ignored
  EXPECT_EQ(table.name, "Table1");
  ASSERT_EQ(table.rows.size(), 2u);
  EXPECT_EQ(table.rows[0][Index(table, "A")], Value("a"));
  EXPECT_EQ(table.rows[0][Index(table, "B")], Value("b"));
  EXPECT_EQ(table.rows[1][Index(table, "A")], Value("abcdefg"));
  EXPECT_EQ(table.rows[1][Index(table, "B")], Value("山田①～ｱ"));
  EXPECT_EQ(ColumnNamed(table, "B").replaced_text, 0u);
}

TEST(JetReaderTest, Jet3TextInAnotherCodePageSaysWhatItReplaced) {
  // EUC-JP reads these Shift_JIS bytes as other characters and cannot read some at all.
  JetReader reader(kJetDir + "jet3-cp932.mdb", "EUC-JP");
  EXPECT_EQ(reader.TextEncoding(), "EUC-JP");
  JetTable table = reader.ReadTable("Table1");
  EXPECT_NE(table.rows[1][Index(table, "B")], Value("山田①～ｱ"));
  EXPECT_EQ(ColumnNamed(table, "B").replaced_text, 1u);
  EXPECT_EQ(ColumnNamed(table, "A").replaced_text, 0u);
}

TEST(JetReaderTest, NumbersDatesAndYesNoComeFromTheirStoredBytes) {
  JetReader reader(kJetDir + "jet3-cp932.mdb", "932");
  JetTable table = reader.ReadTable("Table1");
  const std::vector<Value>& row = table.rows[1];
  EXPECT_EQ(row[Index(table, "C")], Value(2));          // byte
  EXPECT_EQ(row[Index(table, "D")], Value(222));        // integer
  EXPECT_EQ(row[Index(table, "E")], Value(333333333));  // long
  EXPECT_EQ(row[Index(table, "F")], Value(444.555));    // double, exactly
  EXPECT_EQ(row[Index(table, "G")], Value("1974/09/21 00:00:00"));
  EXPECT_EQ(row[Index(table, "H")], Value("3.5"));  // currency
  EXPECT_EQ(table.rows[0][Index(table, "G")], Value("1981/12/12 00:00:00"));
  EXPECT_EQ(table.rows[0][Index(table, "F")], Value(0.0));
  for (const auto& r : table.rows) {
    const Value& yes_no = r[Index(table, "I")];
    EXPECT_TRUE(yes_no == Value(0) || yes_no == Value(1));
  }
}

TEST(JetReaderTest, ListsUserTablesOnly) {
  JetReader reader(kJetDir + "jet4-sample.mdb", "932");
  EXPECT_EQ(reader.TextEncoding(), "UCS-2");
  std::vector<std::string> expected = {"Bowler_Data", "Alley_Data",        "Level_Data",
                                       "Result_Data", "DataNumberControl", "S_SYSTEM",
                                       "S_OUTPUT"};
  EXPECT_EQ(reader.TableNames(), expected);
  EXPECT_THROW(reader.ReadTable("MSysObjects_missing"), AppError);
}

TEST(JetReaderTest, Jet4EmptyTextStaysTextAndMemoIsRead) {
  JetReader reader(kJetDir + "jet4-sample.mdb", "932");
  JetTable games = reader.ReadTable("Result_Data");
  ASSERT_EQ(games.rows.size(), 883u);
  std::size_t memo = Index(games, "Result_Memo"), first = Index(games, "FirstFrame1");
  std::size_t written = 0, empty = 0;
  for (const auto& row : games.rows) {
    ASSERT_TRUE(row[memo].IsText());
    ASSERT_TRUE(row[first].IsText());
    written += !row[memo].TextIf()->empty();
    empty += row[first].TextIf()->empty();
  }
  EXPECT_EQ(written, 13u);
  EXPECT_EQ(empty, 435u);
}

TEST(JetReaderTest, ATableWhoseUsageMapIsDamagedIsReportedNotFollowed) {
  // A Jet 3 file damaged where the library keeps a table's usage map: reading every table ends
  // in the program's own error for the damaged one, never in the library's null map.
  JetReader reader(kJetDir + "jet3-damaged-usage-map.mdb", "932");
  int refused = 0;
  for (const std::string& name : reader.TableNames()) {
    try {
      reader.ReadTable(name);
    } catch (const AppError&) {
      ++refused;
    }
  }
  EXPECT_GE(refused, 1);
}

}  // namespace
}  // namespace lanereport
