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

TEST(VisibleTextTest, OtherTextIsKeptAsItIs) {
  EXPECT_EQ(VisibleText(""), "");
  EXPECT_EQ(VisibleText("山田 太郎\\x1B"), "山田 太郎\\x1B");
  EXPECT_EQ(VisibleText("ｶﾅ　全角"), "ｶﾅ　全角");
}

}  // namespace
}  // namespace lanereport
