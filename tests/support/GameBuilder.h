#pragma once

#include <string>
#include <vector>

namespace lanereport {
class Database;
}

namespace lanereport::testing {

// Adds bowlers, centres, levels and finished games to a test database through the record
// classes, so every stored mark and score is what the program itself stores.
void AddBowler(Database& db, const std::string& name, const std::string& aname, long number,
               bool female = false);
void AddAlley(Database& db, const std::string& name, long number, bool home);
void AddLevel(Database& db, const std::string& name, long number, bool target,
              const std::string& colour = "#ff0000");

// A game whose ten frames are all the open frame (first, second), e.g. ("8", "1") scores 90.
void AddOpenGame(Database& db, const std::string& bowler, const std::string& alley,
                 const std::string& level, const std::string& date, long game,
                 const std::string& first, const std::string& second);
// A game from its 21 roll entries as typed (slot 0..20; empty entries are skipped).
void AddGame(Database& db, const std::string& bowler, const std::string& alley,
             const std::string& level, const std::string& date, long game,
             const std::vector<std::string>& rolls, long handicap = 0,
             const std::string& memo = "");

// The workbook tests' sample: centre ホーム, counted level League, bowlers 山田 (1, two games
// of 90 on 2003/05/10) and 佐藤 (2, one game of 80 on 2003/06/01), and the sheet definition
// "Month" over 2003/05 to 2003/06 with the game count and the monthly averages.
void AddTwoBowlerMonthSheet(Database& db);

}  // namespace lanereport::testing
