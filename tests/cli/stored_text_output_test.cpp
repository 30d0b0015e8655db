// Stored texts that the commands print reach a terminal with their control characters escaped.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CliSample.h"
#include "database/Database.h"
#include "database/Value.h"
#include "database/basDataBase.h"

namespace lanereport {
namespace {

using testing::CliResult;
using testing::RunCli;

// A name another program stored: an escape sequence that clears the screen, a tab, a line
// break, the bell and the field separator of the workbook rows.
const std::string kStoredName = "悪\x1b[2J\t名\r\n前\x07\x1f";
const std::string kShownName = "悪\\x1B[2J\\t名\\r\\n前\\x07\\x1F";

// The first byte of text that is a control character other than those the command itself
// writes (the line feed ending a line, and the tab between columns where it has any), or ""
// when there is none.
std::string RawControlByte(const std::string& text, std::string_view own = "\n") {
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && own.find(c) == std::string_view::npos) || u == 0x7f) return std::string(1, c);
  }
  return "";
}

class StoredTextOutputTest : public testing::CliSampleTest {
 protected:
  void Store(const std::string& sql, const std::vector<Value>& values) {
    std::unique_ptr<Database> db = OpenDataBase(Db(), kSuitePassword);
    ASSERT_NE(db, nullptr);
    db->Write(sql, values);
  }
  // Renames the first bowler, games included, and gives it a folder name holding ESC.
  void StoreHostileBowler() {
    const Bowler first = Bowlers().front();
    Store("UPDATE Bowler_Data SET Name = ?, Aname = ? WHERE Name = ?",
          {kStoredName, std::string("ev\x1bil"), first.name});
    Store("UPDATE Result_Data SET Bowler_Name = ? WHERE Bowler_Name = ?",
          {kStoredName, first.name});
  }
};

TEST_F(StoredTextOutputTest, BowlersListingShowsControlCharactersEscaped) {
  StoreHostileBowler();
  CliResult list = RunCli({"bowlers", Db()});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("   1  " + kShownName + "  "), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("ev\\x1Bil "), std::string::npos) << list.out;
  EXPECT_EQ(RawControlByte(list.out), "");
  // One line per bowler between the heads and the count: no stored line break splits a row.
  std::size_t lines = 0;
  for (char c : list.out) lines += c == '\n';
  EXPECT_EQ(lines, Bowlers().size() + 2);
}

TEST_F(StoredTextOutputTest, ClosestNamesOfARefusedBowlerAreEscaped) {
  StoreHostileBowler();
  CliResult run = RunCli({"score-pages", Db(), "--bowler", "悪\x1b", "--from", "2025/01/01", "--to",
                          "2025/12/31", "--out", Path("out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("ボウラーが見つかりません：悪\\x1B\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("「" + kShownName + "」"), std::string::npos) << run.err;
  EXPECT_EQ(RawControlByte(run.err), "");
  EXPECT_EQ(RawControlByte(run.out), "");
}

TEST_F(StoredTextOutputTest, SheetNamesAndTheirValuesAreEscapedInEveryMessage) {
  const std::string sheet = "S\x1b]0;title\x07";
  const std::string shown = "S\\x1B]0;title\\x07";
  CliResult add = RunCli({"sheets", Db(), "add", sheet, "--alley", "A\tB"});
  ASSERT_EQ(add.status, 0) << add.err;
  EXPECT_EQ(add.out, "シート定義を追加しました：" + shown + "\n");

  CliResult list = RunCli({"sheets", Db()});
  ASSERT_EQ(list.status, 0) << list.err;
  std::size_t row = list.out.find(shown + "\t期間");
  ASSERT_NE(row, std::string::npos) << list.out;
  std::string line = list.out.substr(row, list.out.find('\n', row) - row);
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2);  // the listing's own columns
  CliResult show = RunCli({"sheets", Db(), "show", sheet});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("SheetName=" + shown + "\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("AlleyName=A\\tB\n"), std::string::npos) << show.out;
  CliResult missing = RunCli({"sheets", Db(), "show", "T\x1b"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "シート定義が見つかりません：T\\x1B\n");
  CliResult removed = RunCli({"sheets", Db(), "delete", sheet});
  ASSERT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(removed.out, "シート定義を削除しました：" + shown + "\n");
  for (const CliResult* r : {&add, &list, &show, &missing, &removed}) {
    EXPECT_EQ(RawControlByte(r->out, "\n\t"), "");
    EXPECT_EQ(RawControlByte(r->err), "");
  }
}

}  // namespace
}  // namespace lanereport
