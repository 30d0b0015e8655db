#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entry/GameCsv.h"
#include "util/Cp932.h"

namespace lanereport {
namespace {

using Fields = std::vector<std::string>;

TEST(GameCsvRead, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
  CsvText csv = ReadCsvText(
      "a,b,c\r\n"
      "1,\"x, \"\"y\"\"\",z\r\n"
      "2,\"two\r\nlines\nhere\",w\r\n"
      "3,,\"\"\r\n");
  EXPECT_EQ(csv.encoding, "UTF-8");
  EXPECT_EQ(csv.delimiter, ',');
  EXPECT_TRUE(csv.problems.empty());
  ASSERT_EQ(csv.records.size(), 4u);
  EXPECT_EQ(csv.records[1].fields, (Fields{"1", "x, \"y\"", "z"}));
  EXPECT_EQ(csv.records[2].fields, (Fields{"2", "two\r\nlines\nhere", "w"}));
  EXPECT_EQ(csv.records[3].fields, (Fields{"3", "", ""}));
  // A record is named by the line it starts on; the lines inside quotes count.
  EXPECT_EQ(csv.records[0].line, 1);
  EXPECT_EQ(csv.records[1].line, 2);
  EXPECT_EQ(csv.records[2].line, 3);
  EXPECT_EQ(csv.records[3].line, 6);
}

TEST(GameCsvRead, EmptyLinesAreSkippedAndTheLastLineNeedsNoBreak) {
  CsvText csv = ReadCsvText("a,b\n\n1,2\n   \n3,4");
  ASSERT_EQ(csv.records.size(), 3u);
  EXPECT_EQ(csv.records[1].line, 3);
  EXPECT_EQ(csv.records[2].line, 5);
  EXPECT_EQ(csv.records[2].fields, (Fields{"3", "4"}));
  // Lone CR line ends count as lines too.
  CsvText mac = ReadCsvText("a,b\r1,2\r3,4\r");
  ASSERT_EQ(mac.records.size(), 3u);
  EXPECT_EQ(mac.records[2].line, 3);
}

TEST(GameCsvRead, TheSeparatorIsTheOneTheHeaderUses) {
  CsvText tabs = ReadCsvText("a\tb,c\tx\n1\t2,3\t4\n");
  EXPECT_EQ(tabs.delimiter, '\t');
  ASSERT_EQ(tabs.records.size(), 2u);
  EXPECT_EQ(tabs.records[1].fields, (Fields{"1", "2,3", "4"}));
  CsvText semicolons = ReadCsvText("a;b;c\n1,5;\"2;3\";4\n");
  EXPECT_EQ(semicolons.delimiter, ';');
  EXPECT_EQ(semicolons.records[1].fields, (Fields{"1,5", "2;3", "4"}));
  // Separators inside a quoted header name do not count.
  CsvText quoted = ReadCsvText("\"a;b;c\",d\n1,2\n");
  EXPECT_EQ(quoted.delimiter, ',');
  EXPECT_EQ(ReadCsvText("single\n1\n").delimiter, ',');
}

TEST(GameCsvRead, Cp932IsReadWhenTheBytesAreNoUtf8) {
  std::string utf8 = "名前,メモ\n山田,ソ表―～\n";
  std::string sjis = Utf8ToCp932(utf8);
  ASSERT_NE(sjis, utf8);
  CsvText csv = ReadCsvText(sjis);
  EXPECT_EQ(csv.encoding, "CP932");
  EXPECT_TRUE(csv.problems.empty());
  ASSERT_EQ(csv.records.size(), 2u);
  // "ソ" and "表" end in the byte of a backslash in code page 932; the fields are whole.
  EXPECT_EQ(csv.records[1].fields, (Fields{"山田", "ソ表―～"}));
  // A byte order mark is not part of the first name.
  CsvText bom = ReadCsvText("\xEF\xBB\xBF" + utf8);
  EXPECT_EQ(bom.encoding, "UTF-8");
  EXPECT_EQ(bom.records[0].fields[0], "名前");
}

TEST(GameCsvRead, BytesOfNeitherEncodingAreAProblemOfTheirLine) {
  // 0x81 0x20 is neither UTF-8 nor a character of code page 932.
  CsvText csv = ReadCsvText("a,b\n1,2\n3,\x81\x20x\n5,6\n");
  EXPECT_EQ(csv.encoding, "CP932");
  ASSERT_EQ(csv.problems.size(), 1u);
  EXPECT_EQ(csv.problems[0].line, 3);
  EXPECT_EQ(csv.problems[0].message, "文字コードが UTF-8 でも CP932 でもありません");
  EXPECT_EQ(csv.records.size(), 3u);
}

TEST(GameCsvRead, BadQuotingIsAProblemOfItsLine) {
  CsvText csv = ReadCsvText("a,b\n1,x\"y\n\"2\"z,3\n4,5\n\"6,open\n7,8\n");
  ASSERT_EQ(csv.problems.size(), 3u);
  EXPECT_EQ(csv.problems[0].line, 2);
  EXPECT_EQ(csv.problems[0].message, "引用符で囲まれていない項目に引用符があります");
  EXPECT_EQ(csv.problems[1].line, 3);
  EXPECT_EQ(csv.problems[1].message, "閉じた引用符の後に文字があります");
  // A quote left open takes the rest of the file into its field.
  EXPECT_EQ(csv.problems[2].line, 5);
  EXPECT_EQ(csv.problems[2].message, "引用符が閉じられていません");
  ASSERT_EQ(csv.records.size(), 2u);
  EXPECT_EQ(csv.records[1].fields, (Fields{"4", "5"}));
}

TEST(GameCsvRead, WellFormedUtf8) {
  EXPECT_TRUE(IsWellFormedUtf8("abc 山田 ×／Ｇ 😀"));
  EXPECT_FALSE(IsWellFormedUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsWellFormedUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsWellFormedUtf8("\xE5\xB1"));          // cut
  EXPECT_FALSE(IsWellFormedUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsWellFormedUtf8(Utf8ToCp932("山田")));
}

TEST(GameCsvWrite, FieldsAreQuotedOnlyWhenTheyNeedIt) {
  EXPECT_EQ(CsvField("山田"), "山田");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField(" blank"), "\" blank\"");
  EXPECT_EQ(CsvField("a;b"), "a;b");
  EXPECT_EQ(CsvField("a;b", ';'), "\"a;b\"");
  EXPECT_EQ(CsvLine({"a", "", "b,c"}), "a,,\"b,c\"\r\n");
}

TEST(GameCsvWrite, WhatIsWrittenReadsBackAsItWas) {
  const std::vector<Fields> rows = {
      {"Bowler_Name", "Result_Memo", "x"},
      {"山田", "メモ, \"引用\"\r\n二行目\n三行目", ""},
      {"", "\t", "\"\""},
      {"ソ", "表", "＼"},
  };
  std::string text;
  for (const Fields& row : rows) text += CsvLine(row);
  CsvText csv = ReadCsvText(text);
  EXPECT_TRUE(csv.problems.empty());
  ASSERT_EQ(csv.records.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(csv.records[i].fields, rows[i]);
}

}  // namespace
}  // namespace lanereport
