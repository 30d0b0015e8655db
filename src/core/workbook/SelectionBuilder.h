#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lanereport {

class Database;
class clsResult_List;

// The blank marker of the centre and level choices: no condition of that kind.
inline constexpr const char* kBlankChoice = "----------------------";
// The level choice that takes games of every level, calculation targets or not.
inline constexpr const char* kAllLevels = "成績算出レベル外含むすべて";
inline constexpr const char* kHomeLane = "ホームレーン";
inline constexpr const char* kNotHomeLane = "ホームレーン以外";

// The centre and level part of a statistics selection (each part ending in CR LF): the blank
// level marker selects the calculation-target levels, kAllLevels every level; the home-lane
// choices select by the centres' home flag.
std::string LevelAlleyCondition(std::string_view alley, std::string_view level);

// The games of a statistics selection, loaded into a new list: with past_count 0 the bowler's
// games between start and end ("YYYY/MM/DD" or "YYYYMMDD"), oldest first; otherwise the
// past_count latest games up to end (every bowler's when the name is empty). A selection that
// finds nothing, or fails, gives an empty list.
std::unique_ptr<clsResult_List> SelectStatisticsGames(Database& db, std::string_view bowler,
                                                      std::string_view alley,
                                                      std::string_view level,
                                                      std::string_view start, std::string_view end,
                                                      long past_count);

}  // namespace lanereport
