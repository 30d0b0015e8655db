#include "util/Utf8Text.h"

#include <algorithm>
#include <iterator>

#include "util/Cp932.h"

namespace lanereport {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// East Asian Wide (W) and Fullwidth (F) blocks, by the Unicode East Asian Width property.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

// Combining marks that take no column of their own.
constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x200B, 0x200F}, {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFEFF, 0xFEFF},
};

bool InRanges(const Range* first, const Range* last, char32_t c) {
  const Range* it =
      std::upper_bound(first, last, c, [](char32_t v, const Range& r) { return v < r.first; });
  return it != first && c <= std::prev(it)->last;
}

}  // namespace

int CharacterColumns(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return 0;
  if (InRanges(std::begin(kZeroWidth), std::end(kZeroWidth), c)) return 0;
  return InRanges(std::begin(kWide), std::end(kWide), c) ? 2 : 1;
}

int DisplayColumns(std::string_view text) {
  int columns = 0;
  for (char32_t c : DecodeUtf8(text)) columns += CharacterColumns(c);
  return columns;
}

std::string FitColumns(std::string_view text, int columns) {
  std::string out;
  int used = 0;
  for (char32_t c : DecodeUtf8(text)) {
    int width = CharacterColumns(c);
    if (used + width > columns) break;
    used += width;
    out += EncodeUtf8(c);
  }
  return out;
}

}  // namespace lanereport
