#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "database/WindowSettings.h"
#include "workbook/WorkbookState.h"

namespace lanereport {

class Database;
class FolderChooser;
class MessageWindow;
class PeriodsAhead;
class ProgressWindow;
class ReadProblemLog;
struct PageContext;
class YearGames;

// The four kinds of output the make button produces.
enum class MakeMode {
  kBulk = 0,            // workbook with pages, then monthly and score tables of one year
  kBowlerWorkbook = 1,  // the bowler information workbook
  kMonthly = 2,         // monthly table pages of one bowler
  kScore = 3,           // score table pages of one bowler
};

// What the output window (or the command line) asks the make flow for.
struct MakeRequest {
  MakeMode mode = MakeMode::kBowlerWorkbook;
  std::string year;          // bulk: "YYYY"
  bool html = false;         // workbook: publish the sheets as web pages
  std::string bowler;        // monthly and score: the bowler's name
  std::string first_month;   // monthly: "YYYY/MM"
  std::string last_month;    // monthly: "YYYY/MM"
  bool list_output = false;  // score: one play of the series list, else a period
  std::string list_line;     // score, list output: the chosen line's key (empty: none chosen)
  std::string start_date;    // score, period output: "YYYY/MM/DD"
  std::string end_date;      // score, period output: "YYYY/MM/DD"
};

// What a make run did.
struct MakeResult {
  bool stopped = false;           // STOP ended the run early
  bool template_missing = false;  // the workbook step found no template
  bool nothing_chosen = false;    // score list output without a chosen line
  // The request was refused before anything was written: a date, month or year that is none,
  // a period whose start comes after its end, or a period without any game to publish.
  bool refused = false;
  std::string workbook_path;       // the saved workbook, when one was made
  std::vector<std::string> pages;  // the published workbook pages
  long monthly_pages = 0;
  long score_pages = 0;
  long index_pages = 0;  // the year pages of the bowlers and of the years the tables touched
  std::vector<std::string> images_copied;  // the look images copied into the output folder
};

// The output folder of a make: the given folder, or the desktop when it is empty or names no
// existing folder.
std::string FixOutFolder(const std::string& folder);

// One line of the series list: what the list shows, and the play it stands for.
struct SeriesLine {
  // "YYYY/MM/DD" fitted to 12 bytes, a tab, the centre fitted to 20 bytes, a tab, the level
  // fitted to 20 bytes. A longer name is cut, so the text cannot name the play.
  std::string text;
  // The play whole, as MakeRequest::list_line takes it: "YYYY/MM/DD", the centre and the level
  // as stored, separated by tabs.
  std::string key;

  bool operator==(const SeriesLine&) const = default;
};

// The series list of a bowler: one line per play (date, centre, level) in the levels that
// count, newest first. Empty when the bowler has no such games. Bar 1 counts the games; STOP
// ends the list early.
std::vector<SeriesLine> FillSeriesList(Database& db, const std::string& bowler,
                                       ProgressWindow& progress);

// The make button: runs one request with the look settings (the template, style sheet and
// output folder among them) and reports through progress and messages. Look settings that
// cannot go into a page are replaced by their defaults (PageLook), and every run says so in
// one warning before it starts. The bowler table and
// month lists of the workbook stay in State() for later runs.
class MakeFlow {
 public:
  MakeFlow(Database& db, std::string db_name, WindowSettings settings, ProgressWindow& progress,
           MessageWindow& messages, FolderChooser& chooser);

  MakeResult Make(const MakeRequest& request);
  WorkbookState& State() { return state_; }
  // The output folder of the last make.
  const std::string& OutFolder() const { return out_folder_; }

 private:
  // The workbook template of the look settings: the default one when none is set.
  std::string WorkbookTemplatePath() const;
  void RunWorkbook(bool html, MakeResult& result, const YearGames* year = nullptr,
                   PeriodsAhead* periods = nullptr);
  void RunBulk(const MakeRequest& request, MakeResult& result);
  void RunIndexPages(PageContext& context, const std::vector<std::string>& bowlers,
                     std::string_view first, std::string_view last, MakeResult& result);
  // Shows the completion message, with where the output went when it was not the named folder
  // and the look images the run copied. A run that wrote nothing and was not stopped says that
  // there was nothing to publish instead, and is marked refused.
  void Complete(const char* message, MakeResult& result);
  // Says why the request cannot run, before anything is written; false when it can.
  bool Refuse(const MakeRequest& request);
  // Says that the period holds nothing to publish.
  void SayNoData();

  Database& db_;
  std::string db_name_;
  // The rows the run in hand could not read, while it runs.
  const ReadProblemLog* left_out_ = nullptr;
  // How many of them the completion message names.
  static constexpr std::size_t kLeftOutLinesShown = 5;
  std::vector<std::string> replaced_look_;
  WindowSettings settings_;
  ProgressWindow& progress_;
  MessageWindow& messages_;
  FolderChooser& chooser_;
  WorkbookState state_;
  std::string out_folder_;
};

}  // namespace lanereport
