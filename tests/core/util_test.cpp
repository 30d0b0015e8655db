#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "FakeWindows.h"
#include "TempDir.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/DataChange.h"
#include "util/DateText.h"
#include "util/IniControl.h"
#include "util/Make.h"
#include "util/NumberFormat.h"
#include "util/PathControl.h"
#include "util/StringDevide.h"
#include "util/UserFolders.h"

namespace lanereport {
namespace {

using testing::HomeAt;
using testing::ReadFileBytes;
using testing::TempDir;

TEST(Cp932Test, ByteLengthCountsHalfAndFullWidth) {
  EXPECT_EQ(ByteLength("ｹﾞｰﾑ"), 4u);
  EXPECT_EQ(ByteLength("ゲーム"), 6u);
  EXPECT_EQ(ByteLength("abc"), 3u);
  EXPECT_EQ(ByteLength(""), 0u);
}

TEST(Cp932Test, FitByteWidthCutsAndPads) {
  EXPECT_EQ(FitByteWidth(6, 1, "ゲーム数"), "ゲーム");
  EXPECT_EQ(FitByteWidth(5, 0, "ab"), "ab   ");
  EXPECT_EQ(FitByteWidth(5, 1, "ab"), "   ab");
  // Three missing: each half is 1.5 rounded to even, so two spaces on each side (one more
  // than the width asks for).
  EXPECT_EQ(FitByteWidth(5, 2, "ab"), "  ab  ");
  // Five missing: 2.5 rounds to 2 on each side.
  EXPECT_EQ(FitByteWidth(7, 2, "ab"), "  ab  ");
  // A full-width character never splits: 5 bytes hold two of them.
  EXPECT_EQ(FitByteWidth(5, 0, "ゲーム"), "ゲー ");
  EXPECT_EQ(FitByteWidth(5, 9, "ab"), "ab");
}

TEST(Cp932Test, ConvertsAndKeepsUnmappableAsReferences) {
  // 日本 in code page 932 is 93 FA 96 7B.
  EXPECT_EQ(Utf8ToCp932("日本a"), std::string("\x93\xFA\x96\x7B"
                                              "a"));
  // Half-width katakana are single bytes.
  EXPECT_EQ(Utf8ToCp932("ｱ"), std::string("\xB1"));
  // An emoji and a character outside the code page become numeric references.
  EXPECT_EQ(Utf8ToCp932("x😀y"), "x&#128512;y");
  EXPECT_EQ(Utf8ToCp932("한"), "&#54620;");
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("山田 太郎／×Ｘ④")), "山田 太郎／×Ｘ④");
}

TEST(Cp932Test, RepeatedAndBrokenCharactersConvertTheSameEveryTime) {
  // Each text twice: characters met before are converted from what the thread learnt.
  const std::pair<std::string, std::string> cases[] = {
      {"日本日本", "\x93\xFA\x96\x7B\x93\xFA\x96\x7B"},
      {"한한", "&#54620;&#54620;"},                          // outside the code page
      {"ｱ日ｱ", "\xB1\x93\xFA\xB1"},                          // one byte between two
      {std::string("\xE3\x81") + "A", "&#65533;&#65533;A"},  // cut short before ASCII
      {std::string("\xE6\x97"), "&#65533;&#65533;"},         // cut short at the end
      {std::string("\xC0\x80"), "&#0;"},                     // too long a form
      {std::string("\xED\xA0\x80"), "&#55296;"},             // a surrogate
      {std::string("\xFF") + "日", "&#65533;\x93\xFA"},      // no character at all
  };
  for (int round = 0; round < 2; ++round) {
    for (const auto& [utf8, cp932] : cases) EXPECT_EQ(Utf8ToCp932(utf8), cp932) << round;
  }
}

TEST(NumberFormatTest, OneDecimalRoundsHalvesAwayFromZero) {
  EXPECT_EQ(FormatFixed1(150.25), "150.3");  // stored a little below the half
  EXPECT_EQ(FormatFixed1(149.96), "150.0");
  EXPECT_EQ(FormatFixed1(-0.25), "-0.3");
  EXPECT_EQ(FormatFixed1(-0.04), "0.0");  // no "-0.0"
  EXPECT_EQ(FormatFixed1(0.05), "0.1");
  EXPECT_EQ(FormatFixed1(1.0 / 3.0 * 100.0), "33.3");
  EXPECT_EQ(FormatFixed1(0), "0.0");
  EXPECT_EQ(FormatFixed1(300), "300.0");
  EXPECT_EQ(FormatFixed1(1e20), "100000000000000000000.0");
}

TEST(NumberFormatTest, FixedTextWritesWhatPrintfWrites) {
  // Halves of every kind (exact in binary or not), small and large, negative and zero: the
  // pages and sheets written before must not change by a digit.
  std::vector<double> values = {0.0,        -0.0, 0.05,    0.15,   0.25,
                                0.35,       2.5,  3.5,     -2.5,   1e-9,
                                123456.789, 1e22, -1e-300, 5e-324, 1.7976931348623157e308};
  for (int i = -2000; i <= 2000; ++i) {
    values.push_back(i / 40.0);
    values.push_back(i / 40.0 + i * 1e-7);
  }
  for (double v : values) {
    for (int decimals : {0, 1, 2, 10}) {
      char expected[400];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      EXPECT_EQ(FixedText(v, decimals), expected) << v << " with " << decimals;
    }
  }
  EXPECT_EQ(FixedText(std::nan(""), 1), "nan");
}

TEST(PathTest, SplitsPaths) {
  EXPECT_EQ(AddPathSeparator("/work"), "/work/");
  EXPECT_EQ(AddPathSeparator("/work/"), "/work/");
  EXPECT_EQ(GetParentFolder("/work/page.html"), "/work/");
  EXPECT_EQ(GetParentFolder("/work/"), "/work/");
  EXPECT_EQ(GetParentFolder("/page.html"), "/");
  EXPECT_EQ(GetParentFolder("  "), "");
  EXPECT_EQ(GetFileName("/work/page.html"), "page.html");
  EXPECT_EQ(GetFileName("/work/"), "");
  EXPECT_EQ(GetDriveRoot("/work/page.html"), "/");
  EXPECT_EQ(GetFolderWithoutDrive("/work/page.html"), "/work/");
  EXPECT_EQ(BaseNameWithoutExtension("/data/score.db"), "score");
  EXPECT_EQ(BaseNameWithoutExtension("score.mdb"), "score");
}

TEST(PathTest, RelativePathsStayRelative) {
  EXPECT_EQ(GetParentFolder("op/profiles.js"), "op/");
  EXPECT_EQ(GetParentFolder("op/"), "op/");
  EXPECT_EQ(GetParentFolder("a/b/page.html"), "a/b/");
  EXPECT_EQ(GetParentFolder("./page.html"), "./");
  EXPECT_EQ(GetParentFolder("../up/page.html"), "../up/");
  EXPECT_EQ(GetParentFolder("page.html"), "");
  EXPECT_EQ(GetDriveRoot("op/profiles.js"), "");
  EXPECT_EQ(GetDriveRoot("page.html"), "");
  EXPECT_EQ(GetFolderWithoutDrive("op/profiles.js"), "op/");
  EXPECT_EQ(GetFolderWithoutDrive("a/b/page.html"), "a/b/");
  EXPECT_EQ(GetFolderWithoutDrive("/page.html"), "/");
  EXPECT_EQ(GetFileName("op/profiles.js"), "profiles.js");
}

TEST(PathTest, IsExistFileIgnoresLetterCase) {
  TempDir dir;
  MakeFile(dir.File("Page.HTML"), "x");
  EXPECT_TRUE(IsExistFile(dir.File("page.html")));
  EXPECT_TRUE(IsExistFile(dir.File("Page.HTML")));
  EXPECT_FALSE(IsExistFile(dir.File("other.html")));
  EXPECT_FALSE(IsExistFile(dir.Path()));  // a folder is not a file
  // Under another letter case: a folder is no file, a link counts as what it leads to.
  std::filesystem::create_directories(dir.File("Folder.html"));
  EXPECT_FALSE(IsExistFile(dir.File("folder.HTML")));
  std::filesystem::create_symlink(dir.File("Page.HTML"), dir.File("Link.html"));
  std::filesystem::create_symlink(dir.File("nothing"), dir.File("Gone.html"));
  EXPECT_TRUE(IsExistFile(dir.File("LINK.html")));
  EXPECT_FALSE(IsExistFile(dir.File("gone.html")));
  // Letters A to Z only: the bytes of other characters never fold.
  MakeFile(dir.File("\xef\xbc\xa1.html"), "x");              // a full-width A
  EXPECT_FALSE(IsExistFile(dir.File("\xef\xbd\x81.html")));  // a full-width a
}

TEST(DataChangeTest, Conversions) {
  EXPECT_EQ(HtmlColorToVb("#ff8000"), "&H0080FF");
  EXPECT_EQ(HtmlColorToVb("#GG0000"), "");
  EXPECT_EQ(HtmlColorToVb("ff8000"), "");
  EXPECT_EQ(HtmlColorToVb("#12345"), "");
  EXPECT_EQ(NullToValue(Value(), true), Value(0));
  EXPECT_EQ(NullToValue(Value(), false), Value(""));
  EXPECT_EQ(NullToValue(Value("  12 "), true), Value(12.0));
  EXPECT_EQ(NullToValue(Value("abc"), true), Value(0));
  EXPECT_EQ(NullToValue(Value("  abc "), false), Value("abc"));
  EXPECT_EQ(ReplaceAll("aXbX", "X", "XX"), "aXXbXX");  // inserted text is not searched again
  EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
  EXPECT_EQ(PasswordShift("set", "abc"), "RST");
  EXPECT_EQ(PasswordShift("RESET", PasswordShift("SET", "pass123")), "pass123");
  EXPECT_EQ(PasswordShift("other", "abc"), "");
}

TEST(DateTextTest, ParsesRealDatesOnly) {
  EXPECT_EQ(ParseDateToYmd("2008/05/04"), "20080504");
  EXPECT_EQ(ParseDateToYmd("2008/5/4"), "20080504");
  EXPECT_EQ(ParseDateToYmd("20080504"), "20080504");
  EXPECT_EQ(ParseDateToYmd("2008/02/30"), std::nullopt);
  EXPECT_EQ(ParseDateToYmd("2004/02/29"), "20040229");
  EXPECT_EQ(ParseDateToYmd("1900/02/29"), std::nullopt);
  EXPECT_EQ(ParseDateToYmd("abc"), std::nullopt);
  EXPECT_EQ(YmdToSlashed("20080504"), "2008/05/04");
}

TEST(DivideStringTest, CommandLineOptionsGiveOneCharacterKeys) {
  DividedParts parts = DivideString("/m2 /dscore.mdb", "/", "");
  EXPECT_EQ(parts.Find("m"), "2");
  EXPECT_EQ(parts.Find("d"), "score.mdb");
  EXPECT_EQ(parts.Count(), 3u);  // two options and the closing empty part
  EXPECT_FALSE(parts.Item(2).key.has_value());
}

TEST(DivideStringTest, EnclosureSplitsKeyAndValue) {
  DividedParts parts = DivideString("a=1,b=2", ",", "=");
  EXPECT_EQ(parts.Find("a"), "1");
  EXPECT_EQ(parts.Find("b"), "2");
}

TEST(IniTest, WritesReadsAndLeavesTheFileReadOnly) {
  TempDir dir;
  std::string ini = dir.File("ZEPA.INI");
  EXPECT_EQ(ReadIni(ini, "SYSTEM", "Ver"), "");
  ASSERT_TRUE(WriteIni(ini, "SYSTEM", "Ver", "1.2.3"));
  EXPECT_EQ(ReadIni(ini, "system", "ver"), "1.2.3");
  struct stat st {};
  ASSERT_EQ(::stat(ini.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  // A second write goes through the read-only file and keeps the other entries.
  ASSERT_TRUE(WriteIni(ini, "COMMON", "PREV_ZEPA_DB", "/data/フォルダ"));
  ASSERT_TRUE(WriteIni(ini, "SYSTEM", "Ver", "1.3.0"));
  EXPECT_EQ(ReadIni(ini, "SYSTEM", "Ver"), "1.3.0");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_ZEPA_DB"), "/data/フォルダ");
  // The file is code page 932 text.
  EXPECT_NE(ReadFileBytes(ini).find("\x83\x74\x83\x48\x83\x8B\x83\x5F"), std::string::npos);
}

TEST(MakeFileTest, ReplacesAReadOnlyFileWhole) {
  TempDir dir;
  std::string path = dir.File("a/b/page.html");
  MakeFile(path, "old");
  ::chmod(path.c_str(), 0444);
  MakeFile(path, "new content");
  EXPECT_EQ(ReadFileBytes(path), "new content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("a/b")),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(MakeFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  std::string path = dir.File("page.html");
  MakeFile(path, "good page");
  SetMakeFileFaultForTesting(
      [](const std::string&) { throw AppError(kErrFile, "MakeFile", "disk full"); });
  EXPECT_THROW(MakeFile(path, "half"), AppError);
  SetMakeFileFaultForTesting(nullptr);
  EXPECT_EQ(ReadFileBytes(path), "good page");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(MakeFileTest, TheFirstWriteIntoAFolderRemovesOnlyTheStaleTemporariesOfAKilledRun) {
  // The name of a real temporary file, caught in the middle of a write.
  TempDir dir;
  std::string temp_name;
  SetMakeFileFaultForTesting([&](const std::string&) {
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("a")))
      if (entry.path().filename() != "page.html") temp_name = entry.path().filename().string();
    throw AppError(kErrFile, "MakeFile", "killed");
  });
  EXPECT_THROW(MakeFile(dir.File("a/page.html"), "half"), AppError);
  SetMakeFileFaultForTesting(nullptr);
  ASSERT_FALSE(temp_name.empty());
  ASSERT_EQ(temp_name[0], '.');

  // What a killed run left in another folder, and files that only look like it.
  std::filesystem::create_directories(dir.File("b"));
  auto make = [&](const std::string& name, int age_seconds) {
    MakeFile(dir.File("seed/" + name), "left over");  // made where no sweep matters
    std::filesystem::rename(dir.File("seed/" + name), dir.File("b/" + name));
    auto when = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(age_seconds);
    std::filesystem::last_write_time(dir.File("b/" + name), when);
  };
  make(temp_name, 3600);
  // Names that differ from the stale one in its last random character only.
  const std::string stem = temp_name.substr(0, temp_name.size() - 1);
  auto other_than_last = [&](char a, char b) { return temp_name.back() == a ? b : a; };
  std::string fresh = stem + other_than_last('Z', 'Y');
  make(fresh, -3600);  // newer than this run: perhaps another run's write in progress
  const std::vector<std::string> lookalikes = {".page.html.Bdv4Mj", temp_name.substr(1), stem,
                                               temp_name + "x"};
  for (const std::string& name : lookalikes) make(name, 3600);
  const std::string folder_name = stem + other_than_last('Q', 'P');
  std::filesystem::create_directories(dir.File("b/" + folder_name));

  MakeFile(dir.File("b/other.html"), "page");
  EXPECT_FALSE(std::filesystem::exists(dir.File("b/" + temp_name)));
  EXPECT_TRUE(std::filesystem::exists(dir.File("b/" + fresh)));
  for (const std::string& name : lookalikes)
    EXPECT_TRUE(std::filesystem::exists(dir.File("b/" + name))) << name;
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("b/" + folder_name)));
  EXPECT_EQ(ReadFileBytes(dir.File("b/other.html")), "page");
}

TEST(MakeFileTest, TemporaryNamesStayWithinTheFileSystemLimit) {
  TempDir dir;
  std::string name = std::string(250, 'p') + ".html";
  MakeFile(dir.File(name), "long name");
  EXPECT_EQ(ReadFileBytes(dir.File(name)), "long name");
}

TEST(MakeFileTest, AFolderThatCannotBeMadeIsNamed) {
  TempDir dir;
  MakeFile(dir.File("blocker"), "a file where a folder should be");
  try {
    MakeFile(dir.File("blocker/sub/page.html"), "x");
    FAIL() << "expected an error";
  } catch (const AppError& e) {
    EXPECT_NE(e.Description().find(dir.File("blocker")), std::string::npos) << e.Description();
  }
}

TEST(UserFoldersTest, DesktopFollowsTheUserDirectories) {
  TempDir home;
  HomeAt at(home.Path());
  EXPECT_EQ(GetSpecialFolder(0), home.Path());  // no desktop folder at all: the home folder
  std::filesystem::create_directories(home.File("Desktop"));
  EXPECT_EQ(GetSpecialFolder(0), home.File("Desktop"));
  std::filesystem::create_directories(home.File("デスクトップ"));
  MakeFile(home.File(".config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n");
  EXPECT_EQ(GetSpecialFolder(0), home.File("デスクトップ"));
  EXPECT_EQ(GetSpecialFolder(5), "");
}

}  // namespace
}  // namespace lanereport
