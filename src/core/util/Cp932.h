#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// Code page 932: Shift_JIS as Windows writes it. The program works in UTF-8; pages, INI files
// and byte widths use this code page.

// Converts UTF-8 text to code page 932. A character the code page cannot hold is written as an
// HTML numeric character reference ("&#128512;"), so nothing is lost on a page. Invalid UTF-8
// bytes are written as U+FFFD's reference.
std::string Utf8ToCp932(std::string_view utf8);

// Converts code page 932 bytes to UTF-8; bytes that do not decode become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// The number of bytes of the text in code page 932: a full-width character counts 2, a
// half-width one 1. A character the code page cannot hold counts 2.
std::size_t ByteLength(std::string_view utf8);

// Cuts characters from the end until the text fits in width bytes, then pads with spaces:
// alignment 0 left-aligned, 1 right-aligned, 2 centred (half of the missing spaces on each side,
// each half rounded to even); any other alignment returns the cut text unpadded.
std::string FitByteWidth(int width, int alignment, std::string_view utf8);

// Splits UTF-8 text into its characters (each a UTF-8 sequence). Invalid bytes stand alone.
std::u32string DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(char32_t code_point);

}  // namespace lanereport
