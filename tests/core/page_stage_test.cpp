#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "ScoreDb.h"
#include "TempDir.h"
#include "pages/PageContext.h"
#include "pages/PageLayout.h"
#include "pages/PageStage.h"
#include "util/AppError.h"
#include "util/AsyncFileWriter.h"
#include "util/Cp932.h"
#include "util/Make.h"

namespace lanereport {
namespace {

using testing::ReadFileBytes;
using testing::ScoreDbFixture;
using testing::TempDir;
namespace fs = std::filesystem;

// The entries of a folder tree, relative to it and sorted (temporary files included).
std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    entries.push_back(fs::relative(entry.path(), folder).string());
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(StagedFileTest, AStagedFileReachesItsTargetOnlyWhenCommitted) {
  TempDir dir;
  std::vector<std::string> made;
  StagedFile staged = StageFile(dir.File("a/b/page.html"), "made ahead", &made);
  EXPECT_EQ(made, (std::vector<std::string>{dir.File("a"), dir.File("a/b")}));
  EXPECT_FALSE(fs::exists(staged.path));
  EXPECT_EQ(ReadFileBytes(staged.temp), "made ahead");
  EXPECT_EQ(fs::path(staged.temp).parent_path(), fs::path(dir.File("a/b")));

  // Committed over a read-only file, which it replaces whole.
  MakeFile(staged.path, "old");
  ::chmod(staged.path.c_str(), 0444);
  CommitStagedFile(staged);
  EXPECT_EQ(ReadFileBytes(staged.path), "made ahead");
  EXPECT_EQ(Tree(dir.File("a/b")), std::vector<std::string>{"page.html"});

  // Discarded: nothing of it stays, the target is untouched.
  StagedFile dropped = StageFile(staged.path, "not wanted");
  DiscardStagedFile(dropped);
  EXPECT_EQ(ReadFileBytes(staged.path), "made ahead");
  EXPECT_EQ(Tree(dir.File("a/b")), std::vector<std::string>{"page.html"});

  // A folder where the file should go refuses the commit, and the temporary file goes.
  fs::create_directories(dir.File("a/b/taken.html"));
  StagedFile refused = StageFile(dir.File("a/b/taken.html"), "page");
  EXPECT_THROW(CommitStagedFile(refused), AppError);
  EXPECT_EQ(Tree(dir.File("a/b")), (std::vector<std::string>{"page.html", "taken.html"}));
}

TEST(PageStageTest, WhatTheRunDoesNotTakeGoesWithTheFoldersMadeForItAlone) {
  TempDir dir;
  MakeFile(dir.File("out/kept/old.html"), "someone's page");
  {
    PageStage stage;
    stage.Put(dir.File("out/y/a/1.html"), "first", 0);
    stage.Put(dir.File("out/y/a/1.html"), "second", 0);  // the later one holds
    stage.Put(dir.File("out/y/a/2.html"), "two", 3);
    stage.Put(dir.File("out/y/b/1.html"), "b", 0);
    stage.Put(dir.File("out/kept/new.html"), "new", 0);
    ASSERT_NE(stage.Find(dir.File("out/y/a/2.html")), nullptr);
    EXPECT_EQ(stage.Find(dir.File("out/y/a/2.html"))->drawn, 3);
    EXPECT_EQ(stage.Find(dir.File("out/y/c/1.html")), nullptr);

    StagedPage one = stage.Take(dir.File("out/y/a/1.html"));
    EXPECT_EQ(stage.Find(dir.File("out/y/a/1.html")), nullptr);
    EXPECT_THROW(stage.Take(dir.File("out/y/a/1.html")), std::out_of_range);
    CommitStagedFile(one.file);
    EXPECT_EQ(ReadFileBytes(dir.File("out/y/a/1.html")), "second");
  }
  // The stage ends: the page put in place and the folders holding it stay, the rest goes.
  EXPECT_EQ(Tree(dir.File("out")),
            (std::vector<std::string>{"kept", "kept/old.html", "y", "y/a", "y/a/1.html"}));
}

TEST(PageStageTest, APageMadeAheadIsWrittenAsTheRunWritesItsPages) {
  ScoreDbFixture fx;
  SilentProgress progress;
  PageContext making{fx.Db(), "score", {}, fx.Dir().File("out"), progress};
  PageStage stage;
  making.make_ahead = &stage;
  // As the drivers do, a page is looked for before it is made.
  EXPECT_FALSE(making.files.IsExistFile(fx.Dir().File("out/a/1.html")));
  WritePage(making, fx.Dir().File("out/a/1.html"), "ページ１", 0);
  WritePage(making, fx.Dir().File("out/a/2.html"), "ページ２", 4);
  WritePage(making, fx.Dir().File("out/a/3.html"), "ページ３", 2);
  EXPECT_FALSE(fs::exists(fx.Dir().File("out/a/1.html")));
  EXPECT_TRUE(making.files.IsExistFile(fx.Dir().File("out/a/1.html")));

  PageContext run{fx.Db(), "score", {}, fx.Dir().File("out"), progress};
  run.made_ahead = &stage;
  ASSERT_NE(MadeAhead(run, fx.Dir().File("out/a/2.html")), nullptr);
  EXPECT_EQ(MadeAhead(run, fx.Dir().File("out/a/2.html"))->drawn, 4);
  {
    AsyncFileWriter writer;
    run.writer = &writer;
    WriteMadeAhead(run, fx.Dir().File("out/a/1.html"));
    // A write that fails stops the writer: the page queued after it is not put in place,
    // and its temporary file does not stay behind.
    writer.Submit([] { throw AppError(kErrFile, "test", "disk full"); });
    try {
      WriteMadeAhead(run, fx.Dir().File("out/a/2.html"));
      writer.Finish();
    } catch (const AppError&) {
    }
    run.writer = nullptr;
  }
  EXPECT_EQ(ReadFileBytes(fx.Dir().File("out/a/1.html")), Utf8ToCp932("ページ１"));
  EXPECT_TRUE(run.files.IsExistFile(fx.Dir().File("out/a/1.html")));
  // Without a writer the page goes in place at once.
  WriteMadeAhead(run, fx.Dir().File("out/a/3.html"));
  EXPECT_EQ(ReadFileBytes(fx.Dir().File("out/a/3.html")), Utf8ToCp932("ページ３"));
  stage.Discard();
  EXPECT_EQ(Tree(fx.Dir().File("out")), (std::vector<std::string>{"a", "a/1.html", "a/3.html"}));
}

}  // namespace
}  // namespace lanereport
