#pragma once

#include <cstdint>
#include <string>

namespace lanereport {

class Database;
class ProgressWindow;

// What the sample database holds: how many bowlers, over how many years, ending in which year,
// drawn from which seed. The same options give the same database, row for row.
struct SampleOptions {
  int bowlers = 12;
  int years = 2;
  int end_year = 0;  // 0: the current year of the clock (util/Clock.h)
  std::uint64_t seed = 1;
};

struct SampleSummary {
  long bowlers = 0;
  long games = 0;
  std::string first_date;  // "YYYYMMDD" of the period the games were drawn for
  std::string last_date;   // the end year's last day, or today in the current year
  bool stopped = false;    // the progress asked to stop; the bowlers done so far are kept
};

// Creates a new score database at path (an existing file is refused, as CreateScoreDatabase
// does) and fills it with FillSampleDatabase. A failure removes the file again.
SampleSummary CreateSampleDatabase(const std::string& path, const SampleOptions& options,
                                   ProgressWindow* progress = nullptr);

// Fills an empty score database with sample data, in one transaction: bowlers numbered 1 to
// options.bowlers with Japanese names and Latin short names, four bowling centres (one the home
// centre), the levels "リーグ戦" and "大会" (calculation targets) and "練習", the eleven window
// settings with the default look, the statistics-sheet definitions "AVG", "Recent", "Month",
// "Rate", "Frame", "Home", "Profile" and "@All", and each bowler's games, entered through the
// game record's setters and Add. progress (optional) counts one step per bowler on bar 0; a STOP
// ends the run after the bowler in hand, keeping what was written.
SampleSummary FillSampleDatabase(Database& db, const SampleOptions& options,
                                 ProgressWindow* progress = nullptr);

}  // namespace lanereport
