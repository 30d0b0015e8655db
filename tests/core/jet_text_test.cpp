#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "import/JetText.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out.push_back(static_cast<char>(b));
  return out;
}

TEST(JetTextTest, Jet4TextIsLittleEndianUtf16) {
  DecodedText text = DecodeJet4Text(Bytes({0x71, 0x5C, 0x30, 0x75, 0x60, 0x24, 0x41, 0x00}));
  EXPECT_EQ(text.utf8, "山田①A");
  EXPECT_EQ(text.replaced, 0u);
}

TEST(JetTextTest, Jet4SurrogatePairsJoinAndLoneOnesAreReplaced) {
  // U+1F3B3 (bowling) as D83C DFB3, then a lone high surrogate.
  DecodedText text = DecodeJet4Text(Bytes({0x3C, 0xD8, 0xB3, 0xDF, 0x3C, 0xD8, 0x42, 0x00}));
  EXPECT_EQ(text.utf8, "\U0001F3B3\uFFFDB");
  EXPECT_EQ(text.replaced, 1u);
}

TEST(JetTextTest, Jet4CompressedTextSwitchesAtEachZeroByte) {
  // FF FE, "ab" one byte each, 00 to two-byte mode, U+5C71, 00 back, "c".
  DecodedText text = DecodeJet4Text(Bytes({0xFF, 0xFE, 'a', 'b', 0x00, 0x71, 0x5C, 0x00, 'c'}));
  EXPECT_EQ(text.utf8, "ab山c");
}

TEST(JetTextTest, Jet4OddLastByteIsReplaced) {
  DecodedText text = DecodeJet4Text(Bytes({0x41, 0x00, 0x42}));
  EXPECT_EQ(text.utf8, "A\uFFFD");
  EXPECT_EQ(text.replaced, 1u);
}

TEST(JetTextTest, CodePage932KeepsCircledDigitsAndFullWidthTilde) {
  CodePageText cp("932");
  EXPECT_EQ(cp.Name(), "CP932");
  DecodedText text = cp.Decode(Bytes({0x8E, 0x52, 0x93, 0x63, 0x87, 0x40, 0x81, 0x60, 0xB1}));
  EXPECT_EQ(text.utf8, "山田①～ｱ");
  EXPECT_EQ(text.replaced, 0u);
}

TEST(JetTextTest, BytesOutsideTheCodePageAreReplacedOneEach) {
  CodePageText cp("CP932");
  // 0xA0 starts no character of code page 932; a lead byte at the very end is incomplete.
  DecodedText text = cp.Decode(Bytes({'a', 0xA0, 'b', 0x88}));
  EXPECT_EQ(text.utf8, "a\uFFFDb\uFFFD");
  EXPECT_EQ(text.replaced, 2u);
}

TEST(JetTextTest, UnknownCodePageIsRefused) {
  EXPECT_THROW(CodePageText("NO-SUCH-CODE-PAGE"), AppError);
}

TEST(JetTextTest, DatesCountDaysFrom18991230) {
  EXPECT_EQ(JetDateText(0.0), "1899/12/30 00:00:00");
  EXPECT_EQ(JetDateText(27293.0), "1974/09/21 00:00:00");
  EXPECT_EQ(JetDateText(45658.75), "2025/01/01 18:00:00");
  // Before the first day the whole part counts back, the fraction still forward.
  EXPECT_EQ(JetDateText(-1.25), "1899/12/29 06:00:00");
  // Rounded to the second; the last half second of a day is the next day.
  EXPECT_EQ(JetDateText(1.0 - 0.4 / 86400), "1899/12/31 00:00:00");
}

TEST(JetTextTest, DatesOutsideTheYearsOfJetAreNoDates) {
  EXPECT_FALSE(JetDateText(3e6));
  EXPECT_FALSE(JetDateText(-7e5));
  EXPECT_FALSE(JetDateText(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_TRUE(JetDateText(2958465.0));  // 9999/12/31
}

TEST(JetTextTest, CurrencyIsExactDecimalText) {
  EXPECT_EQ(CurrencyText(123400), "12.34");
  EXPECT_EQ(CurrencyText(-50000), "-5");
  EXPECT_EQ(CurrencyText(1), "0.0001");
  EXPECT_EQ(CurrencyText(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808");
}

TEST(JetTextTest, DecimalIsExactWithAllItsScaleDigits) {
  std::uint8_t bytes[17] = {};
  bytes[13] = 150;  // the least significant word is the last
  EXPECT_EQ(NumericText(bytes, 2), "1.50");
  bytes[0] = 0x80;
  EXPECT_EQ(NumericText(bytes, 4), "-0.0150");
  // 2^32 from the word before the last: bit 0 of its first (least significant) byte.
  std::uint8_t big[17] = {};
  big[9] = 1;
  EXPECT_EQ(NumericText(big, 0), "4294967296");
  std::uint8_t zero[17] = {0x80};
  EXPECT_EQ(NumericText(zero, 1), "0.0");
}

TEST(JetTextTest, RealsReadBackExactly) {
  for (double d : {0.1, 444.555, 1e300, -2.5e-310, static_cast<double>(1.1f)}) {
    std::string text = RealText(d);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), d) << text;
  }
  EXPECT_EQ(RealText(0.1), "0.1");
}

}  // namespace
}  // namespace lanereport
