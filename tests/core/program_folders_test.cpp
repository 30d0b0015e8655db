#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "TempDir.h"
#include "start/StartUp.h"
#include "util/FileChooserRules.h"
#include "util/IniControl.h"
#include "util/UserFolders.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Keeps an environment variable as it was before the test.
class SavedEnv {
 public:
  explicit SavedEnv(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) value_ = value;
  }
  ~SavedEnv() {
    if (value_)
      ::setenv(name_, value_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> value_;
};

// A folder tree where a program may lie: the build layout (the template beside the program),
// the install layout (bin/, libexec/lanereport/, share/lanereport/) or neither.
class ProgramFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::unsetenv("LANEREPORT_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", home_.Path().c_str(), 1);
  }

  std::string Folder(const std::string& relative) {
    fs::create_directories(root_.File(relative));
    return root_.File(relative) + "/";
  }
  void PutTemplate(const std::string& folder) { std::ofstream(folder + "BowlerData.xlsx") << "x"; }

  SavedEnv saved_home_{"HOME"};
  SavedEnv saved_program_home_{"LANEREPORT_HOME"};
  SavedEnv saved_config_{"XDG_CONFIG_HOME"};
  TempDir root_;
  TempDir home_;
};

TEST_F(ProgramFoldersTest, InstalledTheTemplateComesFromShareAndSettingsGoToTheConfigFolder) {
  std::string bin = Folder("usr/bin");
  std::string helper = Folder("usr/libexec/lanereport");
  std::string share = Folder("usr/share/lanereport");
  PutTemplate(share);

  ProgramFolders from_bin = ProgramFoldersOf(bin);
  EXPECT_EQ(from_bin.program, share);
  EXPECT_EQ(from_bin.settings, home_.Path() + "/.config/lanereport/");
  ProgramFolders from_helper = ProgramFoldersOf(helper);
  EXPECT_EQ(from_helper.program, share);
  EXPECT_EQ(from_helper.settings, from_bin.settings);
  // Without the trailing separator too.
  EXPECT_EQ(ProgramFoldersOf(root_.File("usr/bin")).program, share);
}

TEST_F(ProgramFoldersTest, InstalledTheConfigFolderFollowsXdgConfigHomeWhenItIsAbsolute) {
  std::string bin = Folder("opt/lr/bin");
  PutTemplate(Folder("opt/lr/share/lanereport"));
  ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
  EXPECT_EQ(ProgramFoldersOf(bin).settings, "/srv/config/lanereport/");
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
  EXPECT_EQ(ProgramFoldersOf(bin).settings, home_.Path() + "/.config/lanereport/");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(ProgramFoldersOf(bin).settings, home_.Path() + "/.config/lanereport/");
}

TEST_F(ProgramFoldersTest, TheBuildFolderKeepsEverythingBesideTheProgram) {
  std::string bin = Folder("build/bin");
  PutTemplate(bin);
  // Even with an install layout around it, the template beside the program wins.
  PutTemplate(Folder("build/share/lanereport"));
  ProgramFolders folders = ProgramFoldersOf(bin);
  EXPECT_EQ(folders.program, bin);
  EXPECT_EQ(folders.settings, bin);
}

TEST_F(ProgramFoldersTest, AProgramAloneUsesItsOwnFolder) {
  std::string alone = Folder("alone/bin");
  // A share folder without the template is not an installed one.
  Folder("alone/share/lanereport/jpg");
  ProgramFolders folders = ProgramFoldersOf(alone);
  EXPECT_EQ(folders.program, alone);
  EXPECT_EQ(folders.settings, alone);
}

TEST_F(ProgramFoldersTest, LanereportHomeNamesBothFoldersInEveryLayout) {
  std::string bin = Folder("usr/bin");
  PutTemplate(Folder("usr/share/lanereport"));
  std::string pinned = Folder("pinned");
  ::setenv("LANEREPORT_HOME", root_.File("pinned").c_str(), 1);
  ProgramFolders folders = ProgramFoldersOf(bin);
  EXPECT_EQ(folders.program, pinned);
  EXPECT_EQ(folders.settings, pinned);
  EXPECT_EQ(GetProgramFolder(), pinned);
  EXPECT_EQ(GetSettingsFolder(), pinned);
  EXPECT_EQ(ZepaIniPath(), pinned + "ZEPA.INI");
  EXPECT_EQ(DialogBoxIniFile(), pinned + "DialogBox.ini");
}

TEST_F(ProgramFoldersTest, RememberingAPlaceMakesAMissingSettingsFolder) {
  std::string settings = root_.File("config/lanereport");
  ::setenv("LANEREPORT_HOME", settings.c_str(), 1);
  ASSERT_FALSE(fs::exists(settings));
  // Reading makes nothing.
  EXPECT_FALSE(ReadRememberedPlace("ZEPA_DB").has_value());
  EXPECT_FALSE(fs::exists(settings));

  ASSERT_TRUE(RememberChosenPath("ZEPA_DB", root_.File("score.db")));
  EXPECT_EQ(ReadIni(settings + "/DialogBox.ini", "COMMON", "PREV_ZEPA_DB"), root_.Path() + "/");
  struct stat made {};
  ASSERT_EQ(::stat(settings.c_str(), &made), 0);
  EXPECT_EQ(made.st_mode & 0777, 0700u);
  struct stat above {};
  ASSERT_EQ(::stat(root_.File("config").c_str(), &above), 0);
  EXPECT_EQ(above.st_mode & 0777, 0700u);
}

TEST_F(ProgramFoldersTest, MakingTheSettingsFolderLeavesAnExistingOneAsItIs) {
  std::string settings = Folder("settings");
  ::chmod(settings.c_str(), 0755);
  ::setenv("LANEREPORT_HOME", settings.c_str(), 1);
  EXPECT_EQ(MakeSettingsFolder(), settings);
  struct stat kept {};
  ASSERT_EQ(::stat(settings.c_str(), &kept), 0);
  EXPECT_EQ(kept.st_mode & 0777, 0755u);
}

TEST_F(ProgramFoldersTest, TheVersionRulesApplyToZepaIniInTheConfigFolder) {
  std::string config = Folder("config/lanereport");
  ::setenv("LANEREPORT_HOME", config.c_str(), 1);
  // No file: nothing is made.
  EXPECT_EQ(UpdateIniVersion(ZepaIniPath(), "1.0.0"), "");
  EXPECT_FALSE(fs::exists(ZepaIniPath()));
  std::ofstream(ZepaIniPath()) << "[SYSTEM]\r\nVer=0.9.0\r\n";
  EXPECT_EQ(UpdateIniVersion(ZepaIniPath(), "1.0.0"), "1.0.0");
  EXPECT_EQ(ReadIni(ZepaIniPath(), "SYSTEM", "Ver"), "1.0.0");
}

}  // namespace
}  // namespace lanereport
