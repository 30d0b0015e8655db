#pragma once

#include <memory>
#include <string>
#include <vector>

#include "workbook/WorkbookState.h"
#include "workbook/clsExcelControl.h"

namespace lanereport {

class Database;
class MessageWindow;
class PeriodsAhead;
class ProgressWindow;
class clsBowler_List;
class clsS_OUTPUT_List;
class StatisticsCache;
class YearGames;

// What one run of the bowler information workbook is asked to do.
struct WorkbookRunOptions {
  std::string template_path;  // the template workbook (.xlsx)
  std::string out_folder;     // the output folder, already fixed by the caller
  bool html = false;          // publish the sheets as web pages and finish them
  std::string style_sheet;    // style sheet path for the finished pages; empty for none
};

// What the run left behind.
struct WorkbookRunResult {
  bool template_missing = false;   // nothing was made
  std::string workbook_path;       // the saved workbook (F/W.xlsx)
  std::vector<std::string> pages;  // the published pages, in sheet order
  bool finishing_failed = false;   // "置換に失敗しました！" was shown
};

// The bowler information workbook run: checks the template, fills every sheet named like a
// statistics-sheet definition with the statistics of every bowler, saves the workbook as
// F/W.xlsx (W = database name + bulk year, F = output folder + W) and, with web pages, publishes
// every sheet whose name does not begin with "@" as F/{sheet}-{year}.html, each finished before
// it is written: every page reaches its name whole and finished, by one rename, and a run that
// fails (a page that cannot be rendered or written raises AppError, one that cannot be finished
// shows "置換に失敗しました！") or stops leaves the later pages as they were. The bowler table and
// month lists go into the state the caller keeps (the bulk run walks them afterwards). Warnings go
// to messages; progress and STOP through progress. A template that cannot be opened (no workbook, a
// malformed XML part) raises the wrapper's error, with the reason nested in it, before any folder
// or file is made.
class BowlerWorkbook : public ExcelControlEvents {
 public:
  BowlerWorkbook(Database& db, std::string db_name, WorkbookState& state, ProgressWindow& progress,
                 MessageWindow& messages);
  ~BowlerWorkbook() override;

  WorkbookRunResult Run(const WorkbookRunOptions& options);
  // The year's games of the bulk run this workbook belongs to (StatisticsCache); they must
  // outlive Run.
  void UseYearGames(const YearGames* year) { year_games_ = year; }
  // The periods a second thread of the bulk run works out ahead (StatisticsCache).
  void UsePeriodsAhead(PeriodsAhead* periods) { periods_ahead_ = periods; }

  // Handlers of the wrapper's events.
  void SetWorksheet(XlsxSheet& sheet, bool& cancel) override;
  void PrintWorkbook(XlsxWorkbook& book, bool& cancel, const std::string& folder_path) override;
  void ShowWorkbook(const std::string& path) override;

 private:
  Database& db_;
  std::string db_name_;
  WorkbookState& state_;
  ProgressWindow& progress_;
  MessageWindow& messages_;
  std::unique_ptr<clsExcelControl> control_;
  std::unique_ptr<clsS_OUTPUT_List> definitions_;
  std::unique_ptr<clsBowler_List> bowlers_;
  const YearGames* year_games_ = nullptr;
  PeriodsAhead* periods_ahead_ = nullptr;
  std::unique_ptr<StatisticsCache> statistics_;  // the selections of this run, shared by sheets
  std::string style_sheet_;                      // of the pages this run finishes
  WorkbookRunResult result_;
};

}  // namespace lanereport
