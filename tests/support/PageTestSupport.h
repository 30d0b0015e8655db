#pragma once

#include <string>
#include <string_view>

#include "database/WindowSettings.h"

namespace lanereport {
class Database;
}

namespace lanereport::testing {

// Expected pages are written in the tests as raw text with "\n" after every line. PageLines
// turns every "\n" into line_end, except after a line ending with "⏎" (ends with CR alone) or
// "↵" (ends with CR LF); the marker itself is dropped. "{MADE}" and "{HOME}" stand for the
// author's address and the generator's home page.
std::string PageLines(std::string_view text, std::string_view line_end);

// Adds a finished game written in the notation of BowlingNotation.h ("X 7/ 9- …"); date is
// "YYYY/MM/DD".
void AddNotatedGame(Database& db, const std::string& bowler, const std::string& alley,
                    const std::string& level, const std::string& date, long game,
                    std::string_view notation, long handicap = 0, const std::string& memo = "");

// The look settings as the output window first shows them.
WindowSettings InitialLook();

}  // namespace lanereport::testing
