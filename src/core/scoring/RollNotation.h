#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// The roll marks stored in Result_Data, one character each (UTF-8 here, one full-width or
// symbol character in the database).
namespace mark {
inline constexpr std::string_view kGutter = "\uFF27";  // "Ｇ": no pin on a ball that starts a rack
inline constexpr std::string_view kMiss = "\uFF0D";    // "－": no pin on the second ball of a rack
inline constexpr std::string_view kFoul = "\uFF26";    // "Ｆ"
inline constexpr std::string_view kStrike = "\u00D7";  // "×"
inline constexpr std::string_view kStrike2 = "\uFF38";  // "Ｘ": the second kind, counted as side
inline constexpr std::string_view kSpare = "\uFF0F";    // "／"
// "１" … "９" for 1 to 9 pins; "④" … "⑧" for 4 to 8 pins leaving a split.
std::string_view Count(int pins);
std::string_view Split(int pins);
}  // namespace mark

// Mark classes used by the rates.
bool IsStrikeMark(std::string_view m);  // "×" or "Ｘ"
bool IsSplitMark(std::string_view m);   // "④" … "⑧"
bool IsCountMark(std::string_view m);   // "１" … "９"

// The first-ball normalisation of a typed entry (trimmed first): "7" and "７" give "７", "-7"
// gives the split mark "⑦", "x" gives "Ｘ", "s" and "/" give "×", "0" and "g" give "Ｇ", an empty
// entry stays empty. Anything else raises "入力が不正です" ("[clsResult_Data]ChangeCharacter1").
std::string ChangeCharacter1(std::string_view entry);

// The second-ball normalisation of a typed entry given the stored first roll: a count that
// reaches the pins left becomes "／", split marks become counts, a strike entry stays a strike
// only when the first roll is empty (a strike of frames 1 to 9), zero is "－". Raises
// "入力が不正です" with source "[clsResult_Data]ChangeCharacter2" for an unknown entry, and the
// ChangeFigure error for an unknown first roll.
std::string ChangeCharacter2(std::string_view entry, std::string_view first);

// The pin count of a mark: 0 to 10 ("／" counts 10); an empty mark gives -1, or -300 (the
// not-bowled sentinel of the frame scores) when blank_is_missing. Anything else raises
// "入力が不正です" ("[clsResult_Data]ChangeFigure").
long ChangeFigure(std::string_view mark, bool blank_is_missing);

}  // namespace lanereport
