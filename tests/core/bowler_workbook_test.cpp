#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "XlsxTemplate.h"
#include "database/clsS_OUTPUT_Data.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "workbook/BowlerWorkbook.h"
#include "workbook/SelectionBuilder.h"
#include "workbook/xlsx/SheetPublisher.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

using namespace testing;

class BowlerWorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database& db = fx_.Db();
    AddTwoBowlerMonthSheet(db);
    // The template: the statistics sheet with a month-link cell and the reload button below the
    // bowler rows, a sheet of its own, and a sheet not to publish.
    XlsxTemplate()
        .AddSheet("Month",
                  "<row r=\"110\"><c r=\"A110\" t=\"inlineStr\"><is><t>&lt;ZEPA_Link_1_0&gt;</t>"
                  "</is></c><c r=\"B110\" t=\"inlineStr\"><is><t>&lt;ZEPA_Link_2_1&gt;</t></is></c>"
                  "<c r=\"C110\" t=\"inlineStr\"><is><t>&lt;ZEPA_R&gt;</t></is></c></row>")
        .AddSheet("Notes",
                  "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>memo</t></is></c></row>")
        .AddSheet("@work", "")
        .Write(fx_.Dir().File("template.xlsx"));
    options_.template_path = fx_.Dir().File("template.xlsx");
    options_.out_folder = fx_.Dir().File("out");
  }

  void MakeDamaged() { MakeFile(options_.template_path, "PK\x03\x04 not really a workbook"); }

  WorkbookRunResult Run() {
    BowlerWorkbook workbook(fx_.Db(), "score", state_, progress_, messages_);
    return workbook.Run(options_);
  }

  ScoreDbFixture fx_;
  WorkbookState state_;
  CountingProgress progress_;
  RecordingMessages messages_;
  WorkbookRunOptions options_;
};

TEST_F(BowlerWorkbookTest, FillsSavesPublishesAndLinksTheYearFolders) {
  state_.bulk_year = "2003";
  options_.html = true;
  WorkbookRunResult result = Run();
  std::string f = fx_.Dir().File("out/score2003");
  EXPECT_EQ(result.workbook_path, f + "/score2003.xlsx");
  EXPECT_EQ(result.pages,
            (std::vector<std::string>{f + "/Month-2003.html", f + "/Notes-2003.html"}));
  EXPECT_FALSE(std::filesystem::exists(f + "/@work-2003.html"));
  EXPECT_TRUE(messages_.shown.empty());

  // The statistics as the spreadsheet stores them: texts as strings, numbers as numbers.
  std::string sheet = *ReadZipPart(result.workbook_path, "xl/worksheets/sheet1.xml");
  SavedCell name = FindSavedCell(sheet, "B4");
  EXPECT_TRUE(name.t == "inlineStr" || name.t == "s") << name.t;
  SavedCell count = FindSavedCell(sheet, "C4");
  EXPECT_EQ(count.t, "");
  EXPECT_EQ(count.v, "2");
  SavedCell may = FindSavedCell(sheet, "D4");
  EXPECT_EQ(may.v, "90");
  EXPECT_FALSE(FindSavedCell(sheet, "E4").found);  // no games in June: left empty
  EXPECT_EQ(FindSavedCell(sheet, "E5").v, "80");
  EXPECT_FALSE(FindSavedCell(sheet, "A3").found);

  std::string page = Cp932ToUtf8(ReadFileBytes(f + "/Month-2003.html"));
  EXPECT_NE(page.find("<a href=\"../score2003/yamada/200305.html\" accesskey=\"l\" "
                      "title=\"yamada_0\">2003年05月</a>"),
            std::string::npos);
  EXPECT_NE(page.find("<a href=\"../score2003/sato/200306.html\" accesskey=\"l\" "
                      "title=\"sato_1\">2003年06月</a>"),
            std::string::npos);
  EXPECT_NE(page.find("value=\"再表示\""), std::string::npos);
  EXPECT_NE(page.find("<title>ExcelOutPut</title>"), std::string::npos);
  EXPECT_EQ(page.find("ZEPA_Link"), std::string::npos);
  // The bowler table is left for the bulk run.
  EXPECT_EQ(state_.bowlers[1].aname, "yamada");
  EXPECT_EQ(state_.bowlers[2].name, "佐藤");
}

TEST_F(BowlerWorkbookTest, WithoutPagesTheWorkbookIsOnlySaved) {
  WorkbookRunResult result = Run();
  std::string f = fx_.Dir().File("out/score");
  EXPECT_EQ(result.workbook_path, f + "/score.xlsx");
  EXPECT_TRUE(result.pages.empty());
  EXPECT_TRUE(std::filesystem::exists(result.workbook_path));
  EXPECT_FALSE(std::filesystem::exists(f + "/Month-.html"));
}

TEST_F(BowlerWorkbookTest, ANameHoldingTheFieldSeparatorKeepsEveryValueUnderItsHead) {
  // Another program may store any character in a name, the one with code 31 too.
  const std::string name = "中\x1f村";
  AddBowler(fx_.Db(), name, "nakamura", 3);
  AddOpenGame(fx_.Db(), name, "ホーム", "League", "2003/05/20", 1, "9", "0");  // 90
  WorkbookRunResult result = Run();
  ASSERT_TRUE(std::filesystem::exists(result.workbook_path));

  std::string xml = *ReadZipPart(result.workbook_path, "xl/worksheets/sheet1.xml");
  EXPECT_EQ(FindSavedCell(xml, "A6").v, "3");
  EXPECT_EQ(FindSavedCell(xml, "C6").v, "1");   // ゲーム数
  EXPECT_EQ(FindSavedCell(xml, "D6").v, "90");  // 2003年05月
  EXPECT_FALSE(FindSavedCell(xml, "E6").found);
  EXPECT_FALSE(FindSavedCell(xml, "F6").found);
  // The name cell holds the whole name, as the saved workbook reads back.
  std::unique_ptr<XlsxWorkbook> saved = XlsxWorkbook::Open(result.workbook_path);
  XlsxSheet& sheet = *saved->Worksheets()[0];
  EXPECT_EQ(sheet.Cells(6, 2).Value(), name);
  EXPECT_EQ(sheet.Cells(5, 2).Value(), "佐藤");
  EXPECT_EQ(sheet.Cells(5, 3).Value(), "1");
}

TEST_F(BowlerWorkbookTest, AMissingTemplateIsReportedAndNothingIsMade) {
  options_.template_path = fx_.Dir().File("missing.xlsx");
  WorkbookRunResult result = Run();
  EXPECT_TRUE(result.template_missing);
  EXPECT_EQ(messages_.FirstLines(),
            (std::vector<std::string>{"ボウラー情報用テンプレートファイルが存在しません！"}));
  EXPECT_EQ(messages_.shown[0].message2, "（" + fx_.Dir().File("missing.xlsx") + "）");
  EXPECT_FALSE(std::filesystem::exists(fx_.Dir().File("out")));
}

TEST_F(BowlerWorkbookTest, ADamagedTemplateRaisesAndIsNotWritten) {
  MakeDamaged();
  std::string before = ReadFileBytes(options_.template_path);
  EXPECT_THROW(Run(), AppError);
  EXPECT_EQ(ReadFileBytes(options_.template_path), before);
}

// How often a text occurs in a page.
std::size_t Count(const std::string& page, const std::string& text) {
  std::size_t n = 0;
  for (std::size_t pos = page.find(text); pos != std::string::npos;
       pos = page.find(text, pos + text.size()))
    ++n;
  return n;
}

// A page that was finished once: one title, one set of head lines, one footer, no placeholder.
void ExpectFinishedOnce(const std::string& path) {
  std::string page = Cp932ToUtf8(ReadFileBytes(path));
  EXPECT_EQ(Count(page, "<title>ExcelOutPut</title>"), 1u) << path;
  EXPECT_EQ(Count(page, "<meta name=\"keywords\" content=\"ZepaMasters\">"), 1u) << path;
  EXPECT_EQ(Count(page, "<meta name=\"Generator\" content=\"ZEPA\">"), 1u) << path;
  EXPECT_EQ(Count(page, "GENERATOR <em>ZEPA</em>"), 1u) << path;
  EXPECT_EQ(Count(page, "ZEPA_"), 0u) << path;
}

// The names in a folder, hidden ones too.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A write that fails when it would put the page of a name in place, as a full disk does.
class FailingWrite {
 public:
  explicit FailingWrite(std::string name) {
    SetMakeFileFaultForTesting([name = std::move(name)](const std::string& path) {
      if (path.size() >= name.size() &&
          path.compare(path.size() - name.size(), name.size(), name) == 0)
        throw AppError(kErrFile, "MakeFile", "ディスクがいっぱいです：" + path);
    });
  }
  ~FailingWrite() { SetMakeFileFaultForTesting(nullptr); }
};

class WorkbookPagesTest : public BowlerWorkbookTest {
 protected:
  void SetUp() override {
    BowlerWorkbookTest::SetUp();
    state_.bulk_year = "2003";
    options_.html = true;
  }
  std::string Folder() const { return fx_.Dir().File("out/score2003"); }
  std::string Month() const { return Folder() + "/Month-2003.html"; }
  std::string Notes() const { return Folder() + "/Notes-2003.html"; }
  // Pages an earlier run left.
  void MakeOldPages() {
    MakeFile(Month(), "old month page\r\n");
    MakeFile(Notes(), "old notes page\r\n");
  }
};

TEST_F(WorkbookPagesTest, AWriteFailingAtTheSecondPageLeavesTheOldPagesAsTheyWere) {
  MakeOldPages();
  {
    FailingWrite full("/Notes-2003.html");
    EXPECT_THROW(Run(), AppError);
  }
  // The first page is whole and finished once, the second is the old one byte for byte, and no
  // temporary file is left.
  ExpectFinishedOnce(Month());
  EXPECT_EQ(ReadFileBytes(Notes()), "old notes page\r\n");
  EXPECT_EQ(Names(Folder()),
            (std::vector<std::string>{"Month-2003.html", "Notes-2003.html", "score2003.xlsx"}));
}

TEST_F(WorkbookPagesTest, AWriteFailingAtTheFirstPageLeavesEveryOldPage) {
  MakeOldPages();
  {
    FailingWrite full("/Month-2003.html");
    EXPECT_THROW(Run(), AppError);
  }
  EXPECT_EQ(ReadFileBytes(Month()), "old month page\r\n");
  EXPECT_EQ(ReadFileBytes(Notes()), "old notes page\r\n");
  EXPECT_EQ(Names(Folder()),
            (std::vector<std::string>{"Month-2003.html", "Notes-2003.html", "score2003.xlsx"}));
}

TEST_F(WorkbookPagesTest, AFailedRunLeavesNoUnfinishedPage) {
  // A first run into an empty folder that fails at the second page makes no second page at all:
  // no page is ever there with its placeholders or without its title.
  {
    FailingWrite full("/Notes-2003.html");
    EXPECT_THROW(Run(), AppError);
  }
  ExpectFinishedOnce(Month());
  EXPECT_FALSE(std::filesystem::exists(Notes()));
}

TEST_F(WorkbookPagesTest, ARerunReplacesEachPageWithTheSameFinishedBytes) {
  Run();
  std::string month = ReadFileBytes(Month());
  std::string notes = ReadFileBytes(Notes());
  WorkbookState again;
  again.bulk_year = "2003";
  BowlerWorkbook workbook(fx_.Db(), "score", again, progress_, messages_);
  WorkbookRunResult result = workbook.Run(options_);
  EXPECT_FALSE(result.finishing_failed);
  EXPECT_EQ(ReadFileBytes(Month()), month);
  EXPECT_EQ(ReadFileBytes(Notes()), notes);
  ExpectFinishedOnce(Month());
  ExpectFinishedOnce(Notes());
}

TEST_F(WorkbookPagesTest, StopAfterTheFirstPageLeavesItFinishedAndTheRestAsTheyWere) {
  MakeOldPages();
  // STOP is pressed while the first page goes in place.
  SetMakeFileFaultForTesting([this](const std::string& path) {
    if (path == Month()) progress_.stop_requested = true;
  });
  WorkbookRunResult result = Run();
  SetMakeFileFaultForTesting(nullptr);
  EXPECT_EQ(result.pages, std::vector<std::string>{Month()});
  ExpectFinishedOnce(Month());
  EXPECT_EQ(ReadFileBytes(Notes()), "old notes page\r\n");
}

TEST_F(WorkbookPagesTest, APageAndItsPicturesGoInPlaceOnlyWhenAllAreWritten) {
  TempDir dir;
  PublishedPage page{"<html>new</html>\r\n", {{"Stat_files/image001.png", "new picture"}}};
  MakeFile(dir.File("Stat_files/image001.png"), "old picture");
  MakeFile(dir.File("Stat.html"), "old page");
  {
    // The picture goes first: when it fails, the page is not written either.
    FailingWrite full("/image001.png");
    EXPECT_THROW(WritePublishedPage(page, dir.File("Stat.html")), AppError);
  }
  EXPECT_EQ(ReadFileBytes(dir.File("Stat.html")), "old page");
  EXPECT_EQ(ReadFileBytes(dir.File("Stat_files/image001.png")), "old picture");
  {
    FailingWrite full("/Stat.html");
    EXPECT_THROW(WritePublishedPage(page, dir.File("Stat.html")), AppError);
  }
  EXPECT_EQ(ReadFileBytes(dir.File("Stat.html")), "old page");
  // No temporary file of either is left.
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"Stat.html", "Stat_files"}));
  EXPECT_EQ(Names(dir.File("Stat_files")), std::vector<std::string>{"image001.png"});
  WritePublishedPage(page, dir.File("Stat.html"));
  EXPECT_EQ(ReadFileBytes(dir.File("Stat.html")), page.html);
  EXPECT_EQ(ReadFileBytes(dir.File("Stat_files/image001.png")), "new picture");
}

TEST_F(WorkbookPagesTest, TwoRunsIntoOneFolderAtOnceFinishEveryPageOnce) {
  // Two processes run the workbook into the same folder at the same moment, each taking the
  // folder's lock as the make flow and the workbook command do. Every file each writes goes in
  // place slowly, so the runs would overlap without the lock; each notes in a log when its run
  // begins and ends.
  const std::string log = fx_.Dir().File("runs.log");
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  std::vector<pid_t> children;
  for (char who : {'A', 'B'}) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(go[1]);
      char byte;
      if (::read(go[0], &byte, 1) != 1) ::_exit(2);
      auto note = [&](char what) {
        int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
        char line[3] = {what, who, '\n'};
        bool ok = fd >= 0 && ::write(fd, line, 3) == 3;
        if (fd >= 0) ::close(fd);
        return ok;
      };
      SetMakeFileFaultForTesting(
          [](const std::string&) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
      try {
        std::unique_ptr<Database> db = Database::Open(fx_.DbPath());
        WorkbookState state;
        state.bulk_year = "2003";
        CountingProgress progress;
        RecordingMessages messages;
        OutputFolderLock lock;
        if (!lock.Acquire(options_.out_folder, progress)) ::_exit(3);
        if (!note('<')) ::_exit(4);
        BowlerWorkbook workbook(*db, "score", state, progress, messages);
        WorkbookRunResult result = workbook.Run(options_);
        if (result.pages.size() != 2 || !note('>')) ::_exit(5);
      } catch (...) {
        ::_exit(6);
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  ::close(go[0]);
  ASSERT_EQ(::write(go[1], "xx", 2), 2);
  ::close(go[1]);
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  // One run after the other, never both at once.
  std::string runs = ReadFileBytes(log);
  EXPECT_TRUE(runs == "<A\n>A\n<B\n>B\n" || runs == "<B\n>B\n<A\n>A\n") << runs;
  ExpectFinishedOnce(Month());
  ExpectFinishedOnce(Notes());
  EXPECT_EQ(Names(Folder()),
            (std::vector<std::string>{"Month-2003.html", "Notes-2003.html", "score2003.xlsx"}));
  EXPECT_EQ(Names(options_.out_folder), std::vector<std::string>{"score2003"});
}

}  // namespace
}  // namespace lanereport
