#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// The width a terminal gives UTF-8 text.

// The columns a terminal uses for the character: 2 for East Asian wide and fullwidth
// characters (kanji, kana, fullwidth forms), 0 for combining marks and controls, else 1.
// Halfwidth katakana count 1.
int CharacterColumns(char32_t c);
// The columns of the whole text.
int DisplayColumns(std::string_view text);
// The longest start of the text that fits in columns, never cutting a character.
std::string FitColumns(std::string_view text, int columns);

}  // namespace lanereport
