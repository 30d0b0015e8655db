#pragma once

#include <string>
#include <string_view>

#include "pages/PageContext.h"

namespace lanereport {

class clsResult_Data;

// The score table page ("スコア表") of one play: every game a bowler played on one date at one
// bowling centre in one level, each drawn as a score sheet with its roll marks, running frame
// scores, memo and the running total of the play.

// The roll mark of a slot: 0 and 1 are frame 1, … 16 and 17 frame 9, 18 to 20 frame 10; empty
// for any other slot.
std::string GetRollMark(int slot, const clsResult_Data& game);

// Builds the page of the play (yyyymmdd is the stored play date) with the look settings of
// context and returns the number of games drawn; the page text (UTF-8) goes into page. Advances
// bar 1 of the progress window by one per game. Returns 0 and leaves page unchanged when the
// play has no games or they cannot be read, and also when STOP is found pressed after a game:
// a page is handed back only when it holds every game of the play.
long MakeScorePage(PageContext& context, std::string_view bowler, std::string_view yyyymmdd,
                   std::string_view alley, std::string_view level, std::string& page);

}  // namespace lanereport
