// Number formats as cells show values with them.

#include <gtest/gtest.h>

#include "workbook/xlsx/NumberFormat.h"

namespace lanereport {
namespace {

std::string Show(double value, const std::string& code) {
  return FormatCellNumber(value, code).text;
}

TEST(NumberFormatTest, GeneralShowsAtMostElevenCharacters) {
  EXPECT_EQ(FormatGeneral(0), "0");
  EXPECT_EQ(FormatGeneral(12), "12");
  EXPECT_EQ(FormatGeneral(-12.5), "-12.5");
  EXPECT_EQ(FormatGeneral(1.0 / 3), "0.333333333");
  EXPECT_EQ(FormatGeneral(-1.0 / 3), "-0.33333333");
  EXPECT_EQ(FormatGeneral(2.0 / 3), "0.666666667");
  EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatGeneral(123.456789012), "123.456789");
  EXPECT_EQ(FormatGeneral(99999999999), "99999999999");
  EXPECT_EQ(FormatGeneral(123456789012), "1.23457E+11");
  EXPECT_EQ(FormatGeneral(1e-10), "1E-10");
  EXPECT_EQ(FormatGeneral(-2.5e-12), "-2.5E-12");
  EXPECT_EQ(Show(191.5, "General"), "191.5");
  EXPECT_EQ(Show(191.5, ""), "191.5");
}

TEST(NumberFormatTest, FixedDecimalsRoundHalfAwayFromZero) {
  EXPECT_EQ(Show(2.5, "0"), "3");
  EXPECT_EQ(Show(-2.5, "0"), "-3");
  EXPECT_EQ(Show(0.4, "0"), "0");
  EXPECT_EQ(Show(2.675, "0.00"), "2.68");  // held as 2.67499999... but shown as typed
  EXPECT_EQ(Show(1.005, "0.00"), "1.01");
  EXPECT_EQ(Show(1, "0.00"), "1.00");
  EXPECT_EQ(Show(9.995, "0.00"), "10.00");
  EXPECT_EQ(Show(12.34, "#0.0"), "12.3");
  EXPECT_EQ(Show(0.04, "#0.0"), "0.0");
  EXPECT_EQ(Show(0.25, "#.##"), ".25");
  EXPECT_EQ(Show(3, "0.0#"), "3.0");
  EXPECT_EQ(Show(3.14159, "0.0#"), "3.14");
  EXPECT_EQ(Show(5, "000"), "005");
  EXPECT_EQ(Show(1.5, "?.??"), "1.5 ");
}

TEST(NumberFormatTest, ThousandsSeparatorsAndScaling) {
  EXPECT_EQ(Show(1234567, "#,##0"), "1,234,567");
  EXPECT_EQ(Show(0, "#,##0"), "0");
  EXPECT_EQ(Show(-1234.5, "#,##0"), "-1,235");
  EXPECT_EQ(Show(1234.5, "#,##0.00"), "1,234.50");
  EXPECT_EQ(Show(999, "#,##0"), "999");
  EXPECT_EQ(Show(1234567, "#,##0,"), "1,235");
  EXPECT_EQ(Show(1234567, "0.0,,"), "1.2");
}

TEST(NumberFormatTest, PercentAndScientific) {
  EXPECT_EQ(Show(0.1234, "0.0%"), "12.3%");
  EXPECT_EQ(Show(0.5, "0%"), "50%");
  EXPECT_EQ(Show(-0.125, "0%"), "-13%");
  EXPECT_EQ(Show(12345, "0.00E+00"), "1.23E+04");
  EXPECT_EQ(Show(0.00012, "0.00E+00"), "1.20E-04");
  EXPECT_EQ(Show(99999, "0.0E+0"), "1.0E+5");
}

TEST(NumberFormatTest, LiteralsCurrencyAndSpacing) {
  EXPECT_EQ(Show(1500, "\"¥\"#,##0"), "¥1,500");
  EXPECT_EQ(Show(250, "0\"点\""), "250点");
  EXPECT_EQ(Show(250, "0\\G"), "250G");
  EXPECT_EQ(Show(5, "0_);(0)"), "5 ");
  EXPECT_EQ(Show(-5, "0_);(0)"), "(5)");
  EXPECT_EQ(Show(7, "[$$-409]#,##0"), "$7");
  EXPECT_EQ(Show(7, "* #,##0"), "7");
}

TEST(NumberFormatTest, SectionsColoursAndConditions) {
  EXPECT_EQ(Show(-5, "0;(0)"), "(5)");
  EXPECT_EQ(Show(0, "0;-0;\"zero\""), "zero");
  EXPECT_EQ(Show(3, "0;-0;\"zero\""), "3");
  FormattedText negative = FormatCellNumber(-1, "[Red]0;[Blue]-0");
  EXPECT_EQ(negative.text, "-1");
  EXPECT_EQ(negative.color, "#0000FF");
  FormattedText positive = FormatCellNumber(1, "[Red]0;[Blue]-0");
  EXPECT_EQ(positive.color, "#FF0000");
  EXPECT_EQ(Show(150, "[>=100]\"big\";\"small\""), "big");
  EXPECT_EQ(Show(5, "[>=100]\"big\";\"small\""), "small");
  EXPECT_EQ(Show(-2, "#,##0;[Red]\\-#,##0"), "-2");
}

TEST(NumberFormatTest, BuiltInFormatsOfAJapaneseInstallation) {
  EXPECT_EQ(BuiltinNumberFormat(0), "General");
  EXPECT_EQ(BuiltinNumberFormat(2), "0.00");
  EXPECT_EQ(BuiltinNumberFormat(14), "yyyy/m/d");
  EXPECT_EQ(BuiltinNumberFormat(49), "@");
  EXPECT_EQ(BuiltinNumberFormat(163), "General");
  EXPECT_EQ(Show(37986, BuiltinNumberFormat(14)), "2003/12/31");
  EXPECT_EQ(Show(37986, BuiltinNumberFormat(31)), "2003年12月31日");
  EXPECT_EQ(Show(12, BuiltinNumberFormat(49)), "12");
  EXPECT_EQ(Show(1.5, BuiltinNumberFormat(12)), "1.5");  // fractions fall back to General
}

TEST(NumberFormatTest, DatesAndTimes) {
  // Serial 37986 is Wednesday 2003-12-31.
  EXPECT_EQ(Show(37986, "yyyy/mm/dd"), "2003/12/31");
  EXPECT_EQ(Show(37987, "yyyy/m/d"), "2004/1/1");
  EXPECT_EQ(Show(37987, "yy/mm/dd"), "04/01/01");
  EXPECT_EQ(Show(37986, "yyyy\"年\"m\"月\""), "2003年12月");
  EXPECT_EQ(Show(37986, "d-mmm-yy"), "31-Dec-03");
  EXPECT_EQ(Show(37986, "dddd mmmm"), "Wednesday December");
  EXPECT_EQ(Show(37986, "m/d(aaa)"), "12/31(水)");
  EXPECT_EQ(Show(37986, "aaaa"), "水曜日");
  EXPECT_EQ(Show(37986, "ggge\"年\""), "平成15年");
  EXPECT_EQ(Show(43586, "ge.m.d"), "R1.5.1");  // 2019-05-01, the first day of Reiwa
  EXPECT_EQ(Show(43585, "ge.m.d"), "H31.4.30");
  EXPECT_EQ(Show(0.75, "h:mm"), "18:00");
  EXPECT_EQ(Show(0.75, "h:mm AM/PM"), "6:00 PM");
  EXPECT_EQ(Show(0.5 / 24, "hh:mm:ss"), "00:30:00");
  EXPECT_EQ(Show(1.0 / 1440, "mm:ss"), "01:00");
  EXPECT_EQ(Show(1.5, "[h]:mm"), "36:00");
  EXPECT_EQ(Show(37986.5, "yyyy/m/d h:mm"), "2003/12/31 12:00");
  EXPECT_TRUE(IsDateFormat("yyyy/m/d"));
  EXPECT_FALSE(IsDateFormat("#,##0.00"));
}

TEST(NumberFormatTest, TheCountedLeapDayOf1900AndThe1904DateSystem) {
  EXPECT_EQ(Show(59, "yyyy/m/d"), "1900/2/28");
  EXPECT_EQ(Show(60, "yyyy/m/d"), "1900/2/29");
  EXPECT_EQ(Show(61, "yyyy/m/d"), "1900/3/1");
  EXPECT_EQ(Show(1, "yyyy/m/d dddd"), "1900/1/1 Sunday");
  EXPECT_EQ(FormatCellNumber(0, "yyyy/m/d", true).text, "1904/1/1");
  EXPECT_EQ(Show(-1, "yyyy/m/d"), "########");
}

TEST(NumberFormatTest, TextsUseTheTextSection) {
  EXPECT_EQ(FormatCellText("abc", "0;-0;0;\"<\"@\">\"").text, "<abc>");
  EXPECT_EQ(FormatCellText("abc", "0.00").text, "abc");
  EXPECT_EQ(FormatCellText("abc", "@").text, "abc");
  EXPECT_EQ(FormatCellText("abc", "\"名前：\"@").text, "名前：abc");
}

}  // namespace
}  // namespace lanereport
