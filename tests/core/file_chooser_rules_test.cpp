#include "util/FileChooserRules.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "TempDir.h"
#include "util/IniControl.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

TEST(FileChooserRulesTest, TheMaskAddsItsLastFourCharactersUnlessTheNameEndsWithThem) {
  EXPECT_EQ(AddMaskExtension("score", "*.xls"), "score.xls");
  EXPECT_EQ(AddMaskExtension("SCORE.XLS", "*.xls"), "SCORE.XLS");
  EXPECT_EQ(AddMaskExtension("score.Xls", "*.xls"), "score.Xls");
  EXPECT_EQ(AddMaskExtension("score.txt", "*.xls"), "score.txt.xls");
  EXPECT_EQ(AddMaskExtension("年間表", "*.htm"), "年間表.htm");
  EXPECT_EQ(AddMaskExtension("年間表.HTM", "*.htm"), "年間表.HTM");
}

TEST(FileChooserRulesTest, AMaskForEveryFileAddsNothing) {
  EXPECT_EQ(AddMaskExtension("score", "*.*"), "score");
  EXPECT_EQ(AddMaskExtension("score", "*.xls;*.*"), "score");
  EXPECT_EQ(AddMaskExtension("score", "*"), "score");
  EXPECT_EQ(AddMaskExtension("score", ""), "score");
}

TEST(FileChooserRulesTest, OnlyTheFourModesAreModes) {
  EXPECT_FALSE(IsChooserMode(0));
  for (int mode = 1; mode <= 4; ++mode) EXPECT_TRUE(IsChooserMode(mode));
  EXPECT_FALSE(IsChooserMode(5));
  EXPECT_THROW(DecideChooserOk(0, "/", "x", "*.*"), std::invalid_argument);
}

TEST(FileChooserRulesTest, FolderModeTakesTheFolderWithASeparatorOrAsksToCreateIt) {
  TempDir dir;
  ChooserDecision existing = DecideChooserOk(kChooseFolder, dir.Path(), "ignored", "*.*");
  EXPECT_EQ(existing.step, ChooserStep::kAccept);
  EXPECT_EQ(existing.path, dir.Path() + "/");
  ChooserDecision missing = DecideChooserOk(kChooseFolder, dir.File("new/"), "", "*.*");
  EXPECT_EQ(missing.step, ChooserStep::kAskCreateFolder);
  EXPECT_EQ(missing.path, dir.File("new/"));
  EXPECT_FALSE(fs::exists(dir.File("new")));  // deciding creates nothing
}

TEST(FileChooserRulesTest, OpenModeNeedsANameAndAnExistingFile) {
  TempDir dir;
  Touch(dir.File("Score.db"));
  std::string folder = dir.Path() + "/";
  EXPECT_EQ(DecideChooserOk(kOpenFile, folder, "   ", "*.db").step, ChooserStep::kNoFileName);
  ChooserDecision missing = DecideChooserOk(kOpenFile, folder, "other.db", "*.db");
  EXPECT_EQ(missing.step, ChooserStep::kFileMissing);
  EXPECT_EQ(missing.path, folder + "other.db");
  ChooserDecision found = DecideChooserOk(kOpenFile, folder, " Score.db ", "*.db");
  EXPECT_EQ(found.step, ChooserStep::kAccept);
  EXPECT_EQ(found.path, folder + "Score.db");
  // Open mode adds no extension.
  EXPECT_EQ(DecideChooserOk(kOpenFile, folder, "Score", "*.db").step, ChooserStep::kFileMissing);
}

TEST(FileChooserRulesTest, NameModeAddsTheExtensionAndTakesAnyName) {
  TempDir dir;
  std::string folder = dir.Path() + "/";
  Touch(dir.File("book.xls"));
  EXPECT_EQ(DecideChooserOk(kNameFile, folder, "", "*.xls").step, ChooserStep::kNoFileName);
  ChooserDecision named = DecideChooserOk(kNameFile, dir.Path(), "book", "*.xls");
  EXPECT_EQ(named.step, ChooserStep::kAccept);  // an existing file is not asked about here
  EXPECT_EQ(named.path, folder + "book.xls");
  EXPECT_EQ(DecideChooserOk(kNameFile, folder, "NEW.XLS", "*.xls").path, folder + "NEW.XLS");
}

TEST(FileChooserRulesTest, SaveModeAsksBeforeReplacingAFile) {
  TempDir dir;
  std::string folder = dir.Path() + "/";
  Touch(dir.File("book.xls"));
  ChooserDecision existing = DecideChooserOk(kSaveFile, folder, "book", "*.xls");
  EXPECT_EQ(existing.step, ChooserStep::kAskOverwrite);
  EXPECT_EQ(existing.path, folder + "book.xls");
  // The existence test ignores letter case, as the file list does.
  EXPECT_EQ(DecideChooserOk(kSaveFile, folder, "BOOK.XLS", "*.xls").step,
            ChooserStep::kAskOverwrite);
  ChooserDecision fresh = DecideChooserOk(kSaveFile, folder, "other", "*.xls");
  EXPECT_EQ(fresh.step, ChooserStep::kAccept);
  EXPECT_EQ(fresh.path, folder + "other.xls");
  EXPECT_EQ(DecideChooserOk(kSaveFile, folder, "", "*.xls").step, ChooserStep::kNoFileName);
}

TEST(FileChooserRulesTest, AWholePathInTheNameBoxIsTakenAsItIs) {
  TempDir dir;
  TempDir elsewhere;
  Touch(elsewhere.File("league.db"));
  std::string folder = dir.Path() + "/";
  ChooserDecision found = DecideChooserOk(kOpenFile, folder, elsewhere.File("league.db"), "*.db");
  EXPECT_EQ(found.step, ChooserStep::kAccept);
  EXPECT_EQ(found.path, elsewhere.File("league.db"));
  ChooserDecision missing = DecideChooserOk(kOpenFile, folder, elsewhere.File("none.db"), "*.db");
  EXPECT_EQ(missing.step, ChooserStep::kFileMissing);
  EXPECT_EQ(missing.path, elsewhere.File("none.db"));
  ChooserDecision saved = DecideChooserOk(kSaveFile, folder, elsewhere.File("book"), "*.xls");
  EXPECT_EQ(saved.step, ChooserStep::kAccept);
  EXPECT_EQ(saved.path, elsewhere.File("book.xls"));
  // A relative name with a folder part stays under the folder shown.
  EXPECT_EQ(DecideChooserOk(kNameFile, folder, "sub/book", "*.xls").path, folder + "sub/book.xls");
}

class RememberedPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("LANEREPORT_HOME", home_.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("LANEREPORT_HOME"); }
  std::string Ini() const { return home_.File("DialogBox.ini"); }

  TempDir home_;
  TempDir places_;
};

TEST_F(RememberedPlaceTest, TheKeyIsMadeFromTheCaller) {
  EXPECT_EQ(RememberedKey("SCORE"), "PREV_SCORE");
  EXPECT_EQ(RememberedKey(""), "PREV_USER");
  EXPECT_EQ(DialogBoxIniFile(), Ini());
}

TEST_F(RememberedPlaceTest, EachCallerRemembersTheFolderOfItsChoice) {
  fs::create_directories(places_.File("pages"));
  fs::create_directories(places_.File("profiles"));
  ASSERT_TRUE(RememberChosenPath("SCORE", places_.File("pages/")));
  ASSERT_TRUE(RememberChosenPath("ZEPA_DB", places_.File("profiles/score.db")));
  EXPECT_EQ(ReadIni(Ini(), "COMMON", "PREV_SCORE"), places_.File("pages/"));
  EXPECT_EQ(ReadIni(Ini(), "COMMON", "PREV_ZEPA_DB"), places_.File("profiles/"));
  auto score = ReadRememberedPlace("SCORE");
  ASSERT_TRUE(score.has_value());
  EXPECT_EQ(score->folder, places_.File("pages/"));
  EXPECT_EQ(score->file_name, "");
  EXPECT_EQ(ReadRememberedPlace("ZEPA_DB")->folder, places_.File("profiles/"));
  EXPECT_FALSE(ReadRememberedPlace("SelfIntroduction").has_value());
}

TEST_F(RememberedPlaceTest, TheDefaultCallerIsUSER) {
  fs::create_directories(places_.File("a"));
  ASSERT_TRUE(RememberChosenPath("", places_.File("a/x.db")));
  EXPECT_EQ(ReadIni(Ini(), "COMMON", "PREV_USER"), places_.File("a/"));
  EXPECT_EQ(ReadRememberedPlace("USER")->folder, places_.File("a/"));
}

TEST_F(RememberedPlaceTest, AValueWithAFileNameGivesItsFolderAndName) {
  fs::create_directories(places_.File("db"));
  ASSERT_TRUE(WriteIni(Ini(), "COMMON", "PREV_ZEPA_DB", places_.File("db/league.db")));
  auto place = ReadRememberedPlace("ZEPA_DB");
  ASSERT_TRUE(place.has_value());
  EXPECT_EQ(place->folder, places_.File("db/"));
  EXPECT_EQ(place->file_name, "league.db");
}

TEST_F(RememberedPlaceTest, AFolderThatNoLongerExistsIsIgnored) {
  fs::create_directories(places_.File("gone"));
  ASSERT_TRUE(RememberChosenPath("SCORE", places_.File("gone/")));
  fs::remove(places_.File("gone"));
  EXPECT_FALSE(ReadRememberedPlace("SCORE").has_value());
  ASSERT_TRUE(WriteIni(Ini(), "COMMON", "PREV_SCORE", "not a path"));
  EXPECT_FALSE(ReadRememberedPlace("SCORE").has_value());
}

TEST_F(RememberedPlaceTest, ADamagedIniFileRemembersNothing) {
  fs::create_directories(places_.File("pages"));
  std::ofstream(Ini(), std::ios::binary)
      << "[COMMON]\r\nPREV_SCORE=" << places_.File("pages/") << "\r\n\x80\r\n";
  EXPECT_FALSE(ReadRememberedPlace("SCORE").has_value());
  // The next choice is remembered in a file made afresh.
  ASSERT_TRUE(RememberChosenPath("SCORE", places_.File("pages/")));
  EXPECT_EQ(ReadRememberedPlace("SCORE")->folder, places_.File("pages/"));
}

}  // namespace
}  // namespace lanereport
