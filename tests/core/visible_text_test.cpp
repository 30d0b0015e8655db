#include "util/VisibleText.h"

#include <gtest/gtest.h>

#include <string>

namespace lanereport {
namespace {

TEST(VisibleTextTest, ControlCharactersAreWrittenAsEscapes) {
  EXPECT_EQ(VisibleText("a\tb\nc\rd"), "a\\tb\\nc\\rd");
  EXPECT_EQ(VisibleText("\x1b[2J\x07\x1f\x7f"), "\\x1B[2J\\x07\\x1F\\x7F");
  EXPECT_EQ(VisibleText(std::string("nul\0inside", 10)), "nul\\x00inside");
}

TEST(VisibleTextTest, BytesOfNoWellFormedCharacterAreWrittenByTheirValue) {
  // A code page 932 name stored as it is, a cut sequence, a lone continuation byte, an overlong
  // form and a surrogate.
  EXPECT_EQ(VisibleText("\x8E\x52\x93\x63"), "\\x8ER\\x93c");
  EXPECT_EQ(VisibleText("山\xE7\x94"), "山\\xE7\\x94");
  EXPECT_EQ(VisibleText("a\x80"
                        "b"),
            "a\\x80b");
  EXPECT_EQ(VisibleText("\xC0\xAF"), "\\xC0\\xAF");
  EXPECT_EQ(VisibleText("\xED\xA0\x80"), "\\xED\\xA0\\x80");
  EXPECT_EQ(VisibleText("\xF0\x9F\x8E\xB3"), "\xF0\x9F\x8E\xB3");
}

TEST(VisibleTextTest, OtherTextIsKeptAsItIs) {
  EXPECT_EQ(VisibleText(""), "");
  EXPECT_EQ(VisibleText("山田 太郎\\x1B"), "山田 太郎\\x1B");
  EXPECT_EQ(VisibleText("ｶﾅ　全角"), "ｶﾅ　全角");
}

}  // namespace
}  // namespace lanereport
