#include <gtest/gtest.h>

#include "util/Markup.h"

namespace lanereport {
namespace {

TEST(MarkupTest, PlainValuesComeBackUnchanged) {
  for (const char* plain : {"", "山田太郎", "中央レーン 2", "jpg/BG.jpg", "#1c2a44", "a\tb"}) {
    EXPECT_EQ(HtmlText(plain), plain);
    EXPECT_EQ(HtmlAttr(plain, true), plain);
    EXPECT_EQ(JsString(plain), plain);
  }
  EXPECT_EQ(UrlSegment("山田"), "山田");
  EXPECT_EQ(UrlAddress("https://example.jp/a.jpg?x=1#top"), "https://example.jp/a.jpg?x=1#top");
}

TEST(MarkupTest, TextAndAttributesEscapeWhatEndsThemAndControlsBecomeReplacements) {
  EXPECT_EQ(HtmlText("<script>a&b</script>\"'"), "&lt;script&gt;a&amp;b&lt;/script&gt;\"'");
  EXPECT_EQ(HtmlAttr("\"><img src=x onerror=y>"), "&quot;&gt;&lt;img src=x onerror=y&gt;");
  EXPECT_EQ(HtmlAttr("it's"), "it's");
  EXPECT_EQ(HtmlAttr("it's", true), "it&#39;s");
  // NUL, ESC, line ends, character 31 and DEL; tab stays.
  EXPECT_EQ(HtmlText(std::string("a\0b", 3)), "a&#65533;b");
  EXPECT_EQ(HtmlText("\x1b\r\n\x1f\x7f\t"), "&#65533;&#65533;&#65533;&#65533;&#65533;\t");
  std::string appended = "x";
  AppendHtmlText(appended, "<");
  EXPECT_EQ(appended, "x&lt;");
}

TEST(MarkupTest, ScriptLiteralsHoldAnyText) {
  EXPECT_EQ(JsString("a'b\"c\\d"), "a\\'b\\\"c\\\\d");
  EXPECT_EQ(JsString("</script><!--"), "\\x3C/script>\\x3C!--");
  EXPECT_EQ(JsString("1\n2\r3"), "1\\n2\\r3");
  EXPECT_EQ(JsString("\xE2\x80\xA8|\xE2\x80\xA9"), "\\u2028|\\u2029");
  // Other characters with the same lead byte stay.
  EXPECT_EQ(JsString("…"), "…");
  EXPECT_EQ(JsString("\x1b"), "\\uFFFD");
}

TEST(MarkupTest, NamesInAddressesArePercentEncoded) {
  EXPECT_EQ(UrlSegment("a b/c?d#e%f'g\"h<i>"), "a%20b%2Fc%3Fd%23e%25f%27g%22h%3Ci%3E");
  EXPECT_EQ(UrlSegment("x\x1fy"), "x%1Fy");
  EXPECT_EQ(UrlAddress("写真 1.jpg"), "写真%201.jpg");
  EXPECT_EQ(UrlAddress("a\"b<c>d`e{f}|^"), "a%22b%3Cc%3Ed%60e%7Bf%7D%7C%5E");
}

TEST(MarkupTest, LinkTargetsArePathsOrWebAddresses) {
  for (const char* ok : {"", "jpg/BG.jpg", "../css/site.css", "/css/a.css", "HTTPS://x.jp/a.css",
                         "http://x.jp/a b.jpg", "img/a:b.jpg", "C\\jpg\\bg.jpg"}) {
    EXPECT_TRUE(IsSafeLinkTarget(ok)) << ok;
  }
  for (const char* bad : {"javascript:alert(1)", " JavaScript:x", "data:text/html,x", "C:/a.jpg",
                          "a\"b.jpg", "a'b.jpg", "a<b.jpg", "a>b", "a`b", "a\nb.jpg"}) {
    EXPECT_FALSE(IsSafeLinkTarget(bad)) << bad;
  }
}

TEST(MarkupTest, StyleValuesCannotEndTheirDeclaration) {
  for (const char* ok : {"#ff0000", "silver", "ピンク", "url(jpg/bg.jpg)", ""})
    EXPECT_TRUE(IsSafeStyleValue(ok)) << ok;
  for (const char* bad : {"red;position:fixed", "a\"b", "a<b", "x{y}", "a\\b", "a\x1b", "'"})
    EXPECT_FALSE(IsSafeStyleValue(bad, false)) << bad;
  EXPECT_TRUE(IsSafeStyleValue("url('a.jpg')", true));
}

}  // namespace
}  // namespace lanereport
