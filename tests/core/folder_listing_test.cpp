#include "util/FolderListing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"

namespace lanereport {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using Names = std::vector<std::string>;

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

TEST(FolderListingTest, SubfoldersAreListedInNameOrderWithoutFilesOrHiddenOnes) {
  TempDir dir;
  for (const char* name : {"beta", "Alpha", "gamma", ".hidden"})
    fs::create_directory(dir.File(name));
  Touch(dir.File("file.db"));
  fs::create_directory_symlink(dir.File("gamma"), dir.File("link"));
  EXPECT_EQ(ListSubfolders(dir.Path() + "/"), (Names{"Alpha", "beta", "gamma", "link"}));
}

TEST(FolderListingTest, AFolderThatCannotBeReadListsNothing) {
  TempDir dir;
  EXPECT_TRUE(ListSubfolders(dir.File("missing/")).empty());
  EXPECT_TRUE(ListMatchingFiles(dir.File("missing/"), "*.*").empty());
}

TEST(FolderListingTest, FilesAreListedByTheMaskIgnoringLetterCase) {
  TempDir dir;
  for (const char* name : {"b.db", "A.DB", "c.db.bak", "notes.txt", "README", ".x.db"})
    Touch(dir.File(name));
  fs::create_directory(dir.File("folder.db"));
  std::string folder = dir.Path() + "/";
  EXPECT_EQ(ListMatchingFiles(folder, "*.db"), (Names{"A.DB", "b.db"}));
  EXPECT_EQ(ListMatchingFiles(folder, "*.*"),
            (Names{"A.DB", "b.db", "c.db.bak", "notes.txt", "README"}));
  EXPECT_EQ(ListMatchingFiles(folder, "*.txt;*.DB"), (Names{"A.DB", "b.db", "notes.txt"}));
}

TEST(FolderListingTest, MaskWildcards) {
  EXPECT_TRUE(MatchesMask("score.xls", "*.xls"));
  EXPECT_TRUE(MatchesMask("SCORE.XLS", "*.xls"));
  EXPECT_FALSE(MatchesMask("score.xlsx", "*.xls"));
  EXPECT_TRUE(MatchesMask("score.xlsx", "*.xls*"));
  EXPECT_TRUE(MatchesMask("noextension", "*.*"));
  EXPECT_TRUE(MatchesMask("noextension", "*"));
  EXPECT_TRUE(MatchesMask("a1.db", "a?.db"));
  EXPECT_TRUE(MatchesMask("あ1.db", "?1.db"));  // "?" stands for one character, not one byte
  EXPECT_FALSE(MatchesMask("ab1.db", "a?.db"));
  EXPECT_TRUE(MatchesMask("2024年.html", "*年.html"));
  EXPECT_TRUE(MatchesMask("x.html", "*.db; *.html"));
  EXPECT_FALSE(MatchesMask("x.htm", "*.db;*.html"));
  EXPECT_TRUE(MatchesMask("anything", ""));
}

TEST(FolderListingTest, FolderAboveGoesUpOneLevelAndStopsAtTheTop) {
  EXPECT_EQ(FolderAbove("/data/score/"), "/data/");
  EXPECT_EQ(FolderAbove("/data/score"), "/data/");
  EXPECT_EQ(FolderAbove("/data/"), "/");
  EXPECT_EQ(FolderAbove("/"), "/");
}

TEST(FolderListingTest, DriveRootsAreTheTopHomeAndMountedMedia) {
  TempDir dir;
  std::string media = dir.File("media");
  std::string mnt = dir.File("mnt");
  std::string home = dir.File("home/kim");
  for (const std::string& folder :
       {media + "/kim/USB STICK", media + "/kim/CD", media + "/cdrom", mnt + "/backup", home})
    fs::create_directories(folder);
  Touch(media + "/notafolder");
  Touch(mnt + "/file");
  DriveRootPlaces places{home, "kim", media, mnt};
  EXPECT_EQ(DriveRoots(places),
            (Names{"/", home + "/", media + "/cdrom/", media + "/kim/", media + "/kim/CD/",
                   media + "/kim/USB STICK/", mnt + "/backup/"}));
}

TEST(FolderListingTest, MissingPlacesGiveOnlyTheTopOnce) {
  TempDir dir;
  DriveRootPlaces places{"/", "nobody", dir.File("media"), dir.File("mnt")};
  EXPECT_EQ(DriveRoots(places), (Names{"/"}));
  places.home = dir.File("no-home");
  EXPECT_EQ(DriveRoots(places), (Names{"/"}));
}

TEST(FolderListingTest, TheDriveOfAFolderIsTheLongestRootItStartsWith) {
  Names roots{"/", "/home/kim/", "/media/kim/USB/"};
  EXPECT_EQ(DriveRootOf("/home/kim/docs/", roots), "/home/kim/");
  EXPECT_EQ(DriveRootOf("/home/kim", roots), "/home/kim/");
  EXPECT_EQ(DriveRootOf("/home/kimberly/", roots), "/");
  EXPECT_EQ(DriveRootOf("/media/kim/USB/a/b/", roots), "/media/kim/USB/");
  EXPECT_EQ(DriveRootOf("/etc/", roots), "/");
  EXPECT_EQ(DriveRootOf("/etc/", {}), "");
}

}  // namespace
}  // namespace lanereport
