#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "TempDir.h"
#include "TerminalProgress.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"

namespace lanereport::testing {

// A small sample database (three bowlers, the year 2025), made once per test program through
// the command line, and what the tests of the output commands need around it.
class CliSampleTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    sample_dir_ = new TempDir;
    CliResult made = RunCli({"sample-db", sample_dir_->File("score.db"), "--bowlers", "3",
                             "--years", "1", "--end-year", "2025", "--seed", "3"});
    ASSERT_EQ(made.status, 0) << made.err;
  }
  static void TearDownTestSuite() {
    delete sample_dir_;
    sample_dir_ = nullptr;
  }
  void TearDown() override { cli::TerminalProgress::SetCountHookForTesting({}); }

  // A copy of the sample database in the test's own folder, so a test may change it.
  std::string Db() {
    std::string path = dir_.File("score.db");
    if (!std::filesystem::exists(path))
      std::filesystem::copy_file(sample_dir_->File("score.db"), path);
    return path;
  }
  std::string Path(const std::string& name) const { return dir_.File(name); }

  struct Bowler {
    std::string name;
    std::string aname;
  };
  // The bowlers in number order, read straight from the table.
  std::vector<Bowler> Bowlers() {
    std::vector<Bowler> bowlers;
    auto rs = Open()->OpenRecordset("Select Name, Aname From Bowler_Data Order By Number");
    for (; !rs->Eof(); rs->MoveNext())
      bowlers.push_back({rs->Field("Name").Text(), rs->Field("Aname").Text()});
    return bowlers;
  }

  // The page names that a bowler's plays (score tables) or months (monthly tables) in the
  // counted levels between two stored dates ("yyyymmdd") should get, relative to the output
  // folder: score2025/{Aname}/{yyyymmdd}{centre ID}{level ID}.html or .../{yyyymm}.html.
  std::set<std::string> ExpectedPages(const Bowler& bowler, const std::string& from,
                                      const std::string& to, bool monthly) {
    std::set<std::string> pages;
    auto rs = Open()->OpenRecordset(
        "Select Result_Data.Play_Date, Alley_Data.ID As A, Level_Data.ID As L From Result_Data, "
        "Alley_Data, Level_Data Where Result_Data.Alley_Name = Alley_Data.Name And "
        "Result_Data.Level_Name = Level_Data.Name And Level_Data.CalculationTarget = True And "
        "Result_Data.Bowler_Name = '" +
        bowler.name + "' And Result_Data.Play_Date Between '" + from + "' And '" + to + "'");
    for (; !rs->Eof(); rs->MoveNext()) {
      std::string date = rs->Field("Play_Date").Text();
      std::string file = monthly ? date.substr(0, 6) + ".html"
                                 : date + rs->Field("A").Text() + rs->Field("L").Text() + ".html";
      pages.insert("score" + date.substr(0, 4) + "/" + bowler.aname + "/" + file);
    }
    return pages;
  }

  // Every file under folder, relative to it.
  static std::set<std::string> Files(const std::string& folder) {
    std::set<std::string> files;
    if (!std::filesystem::exists(folder)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      if (entry.is_regular_file())
        files.insert(std::filesystem::relative(entry.path(), folder).string());
    return files;
  }
  // The files of a set that end with ".html" and lie in a bowler's folder (two levels down).
  static std::set<std::string> BowlerPages(const std::set<std::string>& files) {
    std::set<std::string> pages;
    for (const std::string& f : files)
      if (std::count(f.begin(), f.end(), '/') == 2 && f.ends_with(".html")) pages.insert(f);
    return pages;
  }
  // A generated page is whole when it ends with the closing html tag and its line end.
  static bool IsWholePage(const std::string& path) {
    std::string bytes = ReadFileBytes(path);
    return bytes.ends_with("</html>\r\n") || bytes.ends_with("</html>\r");
  }

  // Presses Ctrl-C once (or sends another signal), at the given count of progress steps of
  // the next run.
  static void StopAtCount(int count, int signal = SIGINT) {
    auto counted = std::make_shared<int>(0);
    cli::TerminalProgress::SetCountHookForTesting([counted, count, signal] {
      if (++*counted == count) std::raise(signal);
    });
  }

  TempDir dir_;

 private:
  std::unique_ptr<Database> Open() {
    std::unique_ptr<Database> db = OpenDataBase(sample_dir_->File("score.db"), kSuitePassword);
    EXPECT_NE(db, nullptr);
    return db;
  }

  static inline TempDir* sample_dir_ = nullptr;
};

}  // namespace lanereport::testing
