#include "util/PlainName.h"

#include <gtest/gtest.h>

#include <string>

namespace lanereport {
namespace {

TEST(PlainNameTest, NamesThatLeaveTheirFolderOrCannotBeFilesAreRefused) {
  const std::string refused[] = {"../../../escaped",
                                 "/tmp/abs",
                                 "a/b",
                                 "",
                                 ".",
                                 "..",
                                 "\t",
                                 "a\tb",
                                 "a\\b",
                                 "end\x7f",
                                 std::string(300, 'x'),
                                 std::string("nul\0inside", 10)};
  for (const std::string& name : refused) {
    EXPECT_FALSE(IsPlainFileName(name)) << name;
    EXPECT_THROW(RequirePlainFileName(name, "ボウラー「山田」のフォルダ名", name, "[Test]"),
                 UnsafeNameError)
        << name;
  }
}

TEST(PlainNameTest, OrdinaryNamesUpToTheFileSystemLimitPass) {
  for (const std::string& name :
       {std::string("yamada"), std::string("山田 太郎"), std::string("-x"), std::string("...x"),
        std::string(".hidden"), std::string(kMaxFileNameBytes, 'y')}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name;
    EXPECT_NO_THROW(RequirePlainFileName(name, "s", name, "[Test]"));
  }
  EXPECT_FALSE(IsPlainFileName(std::string(kMaxFileNameBytes + 1, 'y')));
}

TEST(PlainNameTest, TheRefusalNamesWhoseValueItIsAndShowsControlCharacters) {
  try {
    RequirePlainFileName("a\tb\x01", "ボウラー「山田」のフォルダ名", "a\tb\x01",
                         "[PageLayout]BowlerFolder");
    FAIL() << "not refused";
  } catch (const UnsafeNameError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidValue);
    EXPECT_EQ(e.Source(), "[PageLayout]BowlerFolder");
    EXPECT_EQ(e.Description(),
              "ボウラー「山田」のフォルダ名「a\\tb\\x01」はファイル名に使えません（制御文字は使えま"
              "せん）");
  }
}

}  // namespace
}  // namespace lanereport
