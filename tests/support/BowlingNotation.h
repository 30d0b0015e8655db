#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace lanereport {
class clsResult_Data;
}

namespace lanereport::testing {

// Games written the way bowlers write them, one group per frame, frames separated by blanks:
// "X 7/ 9- X -8 8/ -6 X X X81". X is a strike written "×", Y a strike written "Ｘ", / a spare,
// - no pin, F a foul, 1 to 9 a pin count, !n (n from 4 to 8) n pins leaving a split. Fewer than
// ten groups, or a shorter last group, is a game still being bowled.

// Enters the game through the roll setters, typing each ball as a bowler would (ASCII keys:
// "s", "x", "/", "0", "f", "7", "-7").
void EnterGame(clsResult_Data& game, std::string_view notation);

// The pins each ball took, in the order bowled (a spare counts the pins that were left).
std::vector<int> PinsOf(std::string_view notation);

// The running score after each frame by the rules of ten-pin bowling, from the pins of the
// balls bowled so far; nothing for a frame whose score cannot be known yet, and for every frame
// after it.
std::array<std::optional<int>, 10> ReferenceFrameScores(const std::vector<int>& pins);

}  // namespace lanereport::testing
