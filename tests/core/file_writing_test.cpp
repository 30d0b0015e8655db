#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "TempDir.h"
#include "util/AppError.h"
#include "util/AsyncFileWriter.h"
#include "util/FileExistence.h"
#include "util/Make.h"
#include "util/PathControl.h"

namespace lanereport {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator()));
}

TEST(AsyncFileWriterTest, RunsTheJobsInTheOrderGivenAndFinishesThemAll) {
  std::mutex mutex;
  std::vector<int> ran;
  AsyncFileWriter writer;
  for (int i = 0; i < 200; ++i) {
    writer.Submit([&, i] {
      std::lock_guard<std::mutex> lock(mutex);
      ran.push_back(i);
    });
  }
  writer.Finish();
  ASSERT_EQ(ran.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
}

TEST(AsyncFileWriterTest, AFailedJobStopsTheJobsAfterItAndItsErrorReachesTheCaller) {
  std::atomic<int> ran{0};
  AsyncFileWriter writer;
  writer.Submit([&] { ++ran; });
  writer.Submit([] { throw AppError(kErrFile, "MakeFile", "disk full"); });
  // Jobs queued behind the failing one are dropped; the error comes with a later Submit or
  // with Finish, once.
  bool raised = false;
  try {
    for (int i = 0; i < 100; ++i) writer.Submit([&] { ++ran; });
    writer.Finish();
  } catch (const AppError& e) {
    raised = true;
    EXPECT_EQ(e.Number(), kErrFile);
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(ran.load(), 1);
  EXPECT_NO_THROW(writer.Finish());
  writer.Submit([&] { ++ran; });  // the run is over: nothing more is written
  EXPECT_NO_THROW(writer.Finish());
  EXPECT_EQ(ran.load(), 1);
}

TEST(AsyncFileWriterTest, EndingWithoutFinishStillWritesWhatWasGiven) {
  TempDir dir;
  {
    AsyncFileWriter writer;
    for (int i = 0; i < 40; ++i) {
      std::string path = dir.File("pages/" + std::to_string(i) + ".html");
      writer.Submit([path, i] { MakeFile(path, "page " + std::to_string(i)); });
    }
  }  // as when the caller leaves by an error of its own
  EXPECT_EQ(EntriesIn(dir.File("pages")), 40u);
  EXPECT_EQ(ReadFileBytes(dir.File("pages/39.html")), "page 39");
}

TEST(MakeFileTest, ANewFileGetsTheModeOfTheUmaskAndMissingFoldersAreMade) {
  TempDir dir;
  mode_t old = ::umask(027);
  MakeFile(dir.File("x/y/page.html"), "text");
  ::umask(old);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File("x/y/page.html").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(EntriesIn(dir.File("x/y")), 1u);  // no temporary file left
  // A folder in the way of the file, and a file in the way of a folder, are refused.
  std::filesystem::create_directories(dir.File("x/folder.html"));
  EXPECT_THROW(MakeFile(dir.File("x/folder.html"), "text"), AppError);
  EXPECT_THROW(MakeFile(dir.File("x/y/page.html/inner.html"), "text"), AppError);
  EXPECT_EQ(ReadFileBytes(dir.File("x/y/page.html")), "text");
}

// Runs the test's body with the current folder moved to a folder of its own, given back after.
class RelativeWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir_.File("cwd"));
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.File("cwd"));
  }
  void TearDown() override {
    SetMakeFileFaultForTesting({});
    std::filesystem::current_path(previous_);
  }
  // Every entry under the test's folder, relative to it.
  std::vector<std::string> Tree() const {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path()))
      found.push_back(std::filesystem::relative(entry.path(), dir_.Path()).string());
    std::sort(found.begin(), found.end());
    return found;
  }

  TempDir dir_;
  std::filesystem::path previous_;
};

TEST_F(RelativeWriteTest, MissingFoldersAreMadeInTheCurrentFolder) {
  const std::string top = "lr-made-" + std::to_string(::getpid());
  ASSERT_FALSE(std::filesystem::exists("/" + top));
  MakeFolders(top + "/a/b");
  MakeFile(top + "/c/page.html", "text");
  std::vector<std::string> made;
  MakeFolders(top + "/d/e/", &made);
  EXPECT_EQ(made, (std::vector<std::string>{top + "/d", top + "/d/e"}));
  EXPECT_EQ(ReadFileBytes(dir_.File("cwd/" + top + "/c/page.html")), "text");
  EXPECT_EQ(Tree(), (std::vector<std::string>{"cwd", "cwd/" + top, "cwd/" + top + "/a",
                                              "cwd/" + top + "/a/b", "cwd/" + top + "/c",
                                              "cwd/" + top + "/c/page.html", "cwd/" + top + "/d",
                                              "cwd/" + top + "/d/e"}));
  EXPECT_FALSE(std::filesystem::exists("/" + top));
}

TEST_F(RelativeWriteTest, TheTemporaryFileLiesInTheTargetsOwnFolder) {
  std::filesystem::create_directories("op");
  std::vector<std::string> seen;
  SetMakeFileFaultForTesting([&](const std::string& path) {
    seen.push_back(path);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path()))
      if (entry.path().filename().string().starts_with("."))
        seen.push_back(std::filesystem::relative(entry.path(), dir_.Path()).string());
  });
  MakeFile("op/profiles.js", "1");
  MakeFile("bare.html", "2");
  StagedFile staged = StageFile("op/staged.html", "3");
  EXPECT_TRUE(staged.temp.starts_with("op/.staged.html.lrtmp")) << staged.temp;
  CommitStagedFile(staged);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], "op/profiles.js");
  EXPECT_TRUE(seen[1].starts_with("cwd/op/.profiles.js.lrtmp")) << seen[1];
  EXPECT_EQ(seen[2], "bare.html");
  EXPECT_TRUE(seen[3].starts_with("cwd/.bare.html.lrtmp")) << seen[3];
  EXPECT_EQ(seen[4], "op/staged.html");
  EXPECT_TRUE(seen[5].starts_with("cwd/op/.staged.html.lrtmp")) << seen[5];
  EXPECT_EQ(Tree(), (std::vector<std::string>{"cwd", "cwd/bare.html", "cwd/op",
                                              "cwd/op/profiles.js", "cwd/op/staged.html"}));
  FlushWrittenFiles();
}

TEST(MakeFileTest, FlushingAfterWritesSucceedsAndLeavesTheFiles) {
  TempDir dir;
  MakeFile(dir.File("a/one.html"), "1");
  MakeFile(dir.File("b/two.html"), "2");
  EXPECT_NO_THROW(FlushWrittenFiles());
  EXPECT_NO_THROW(FlushWrittenFiles());  // nothing written since
  EXPECT_EQ(ReadFileBytes(dir.File("b/two.html")), "2");
}

TEST(MakeFileTest, AFailureTheEarlyFlushFindsIsRaisedByTheFlushAtTheEnd) {
  TempDir dir;
  MakeFile(dir.File("a/one.html"), "1");
  // The early flush is the first to look, and the file system tells it alone.
  std::atomic<int> told{0};
  SetSyncFaultForTesting([&](const std::string&) { return told++ == 0 ? EIO : 0; });
  StartFlushingWrittenFiles();
  MakeFile(dir.File("a/two.html"), "2");
  EXPECT_THROW(FlushWrittenFiles(), AppError);
  EXPECT_EQ(told.load(), 2);  // the flush at the end looked too
  // The failure is raised once; the files stay as written.
  EXPECT_NO_THROW(FlushWrittenFiles());
  SetSyncFaultForTesting(nullptr);
  EXPECT_EQ(ReadFileBytes(dir.File("a/one.html")), "1");
  EXPECT_EQ(ReadFileBytes(dir.File("a/two.html")), "2");
}

TEST(MakeFileTest, AnEarlyFlushWithNothingWrittenOrStartedTwiceIsHarmless) {
  TempDir dir;
  EXPECT_NO_THROW(FlushWrittenFiles());
  StartFlushingWrittenFiles();  // nothing written since the last flush
  MakeFile(dir.File("a/one.html"), "1");
  StartFlushingWrittenFiles();
  StartFlushingWrittenFiles();  // waits for the one before
  EXPECT_NO_THROW(FlushWrittenFiles());
}

TEST(FileExistenceTest, FindsFilesIgnoringLetterCaseAndSeesWhatTheRunWrites) {
  TempDir dir;
  MakeFile(dir.File("site/Page.HTML"), "page");
  std::filesystem::create_directories(dir.File("site/folder.html"));
  FileExistence files;
  EXPECT_TRUE(files.IsExistFile(dir.File("site/Page.HTML")));
  EXPECT_TRUE(files.IsExistFile(dir.File("site/page.html")));  // from the listing
  EXPECT_FALSE(files.IsExistFile(dir.File("site/folder.html")));
  EXPECT_FALSE(files.IsExistFile(dir.File("site/other.html")));
  EXPECT_FALSE(files.IsExistFile(dir.File("nowhere/page.html")));

  // A file the run writes after the folder was listed is found in any letter case.
  MakeFile(dir.File("site/New.html"), "new");
  files.Written(dir.File("site/New.html"));
  EXPECT_TRUE(files.IsExistFile(dir.File("site/NEW.HTML")));
  // Another object lists the folder again and sees what changed.
  std::filesystem::remove(dir.File("site/Page.HTML"));
  EXPECT_TRUE(files.IsExistFile(dir.File("site/page.html")));  // still the listing of its run
  FileExistence next;
  EXPECT_FALSE(next.IsExistFile(dir.File("site/page.html")));
  EXPECT_TRUE(next.IsExistFile(dir.File("site/new.HTML")));

  // Once its folder is listed, a name is answered from the listing as a stat and IsExistFile
  // would answer it: a folder under the exact name is no file even when a file differs from it
  // in letter case only; a link to nothing under the exact name does not hide such a file.
  std::filesystem::create_directories(dir.File("mixed/Both.html"));
  MakeFile(dir.File("mixed/both.HTML"), "file");
  MakeFile(dir.File("mixed/gone.HTML"), "file");
  std::filesystem::create_symlink(dir.File("mixed/nothing"), dir.File("mixed/Gone.html"));
  MakeFile(dir.File("mixed/plain.html"), "file");
  std::filesystem::create_symlink(dir.File("mixed/plain.html"), dir.File("mixed/Linked.html"));
  std::filesystem::create_directory_symlink(dir.File("mixed/Both.html"),
                                            dir.File("mixed/toFolder.html"));
  FileExistence mixed;
  EXPECT_FALSE(mixed.IsExistFile(dir.File("mixed/missing.html")));  // lists the folder
  for (const char* name :
       {"Both.html", "BOTH.html", "both.HTML", "Gone.html", "GONE.html", "plain.html", "PLAIN.HTML",
        "missing.html", "nothing", "Linked.html", "linked.HTML", "toFolder.html"}) {
    std::string path = dir.File(std::string("mixed/") + name);
    EXPECT_EQ(mixed.IsExistFile(path), IsExistFile(path)) << name;
  }
  EXPECT_FALSE(mixed.IsExistFile(dir.File("mixed/Both.html")));
  EXPECT_TRUE(mixed.IsExistFile(dir.File("mixed/Gone.html")));
  // A link counts as what it leads to.
  EXPECT_TRUE(mixed.IsExistFile(dir.File("mixed/LINKED.html")));
  EXPECT_FALSE(mixed.IsExistFile(dir.File("mixed/toFolder.html")));
  // What another program adds to a listed folder in the middle of the run is not looked for.
  MakeFile(dir.File("mixed/later.html"), "later");
  EXPECT_FALSE(mixed.IsExistFile(dir.File("mixed/later.html")));
  EXPECT_TRUE(IsExistFile(dir.File("mixed/later.html")));

  // Free is what the listing showed holding nothing under the name: not a file in another
  // letter case, not a folder, not a name the run wrote since, not a folder never listed.
  EXPECT_TRUE(mixed.IsSeenFree(dir.File("mixed/missing.html")));
  EXPECT_TRUE(mixed.IsSeenFree(dir.File("mixed/nothing")));  // only the link's target name
  for (const char* name : {"Both.html", "BOTH.html", "plain.html", "PLAIN.HTML", "Gone.html"})
    EXPECT_FALSE(mixed.IsSeenFree(dir.File(std::string("mixed/") + name))) << name;
  mixed.Written(dir.File("mixed/Missing.HTML"));
  EXPECT_FALSE(mixed.IsSeenFree(dir.File("mixed/missing.html")));
  EXPECT_FALSE(FileExistence().IsSeenFree(dir.File("mixed/missing.html")));
}

TEST(StagedFileTest, CommitOverAFolderIsRefusedWhenTheTargetWasSeenFree) {
  // A folder made under the name after the listing: the rename itself refuses it, and the
  // staged bytes are removed.
  TempDir dir;
  StagedFile staged = StageFile(dir.File("site/page.html"), "page");
  std::filesystem::create_directories(dir.File("site/page.html"));
  EXPECT_THROW(CommitStagedFile(staged, true), AppError);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("site/page.html")));
  EXPECT_FALSE(std::filesystem::exists(staged.temp));
  // Free and nothing there: the page is put in place.
  StagedFile other = StageFile(dir.File("site/other.html"), "other");
  CommitStagedFile(other, true);
  EXPECT_TRUE(IsExistFile(dir.File("site/other.html")));
  EXPECT_FALSE(std::filesystem::exists(other.temp));
}

}  // namespace
}  // namespace lanereport
