#include "scoring/RollNotation.h"

#include <array>
#include <cstdint>
#include <optional>

#include "util/AppError.h"
#include "util/PackedBytes.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr std::array<std::string_view, 10> kCounts = {
    "", "\uFF11", "\uFF12", "\uFF13", "\uFF14", "\uFF15", "\uFF16", "\uFF17", "\uFF18", "\uFF19"};
constexpr std::array<std::string_view, 10> kSplits = {
    "", "", "", "", "\u2463", "\u2464", "\u2465", "\u2466", "\u2467", ""};

[[noreturn]] void RaiseInvalid(const char* operation) {
  throw AppError(kErrInvalidValue, std::string("[clsResult_Data]") + operation, "入力が不正です");
}

bool OneOf(std::string_view entry, std::initializer_list<std::string_view> choices) {
  for (std::string_view c : choices) {
    if (entry == c) return true;
  }
  return false;
}

// How a typed entry names a pin count.
enum class CountForm { None, Plain, Minus, FullWidth, SplitMark };

struct CountEntry {
  int pins = 0;
  CountForm form = CountForm::None;
};

CountEntry ReadCount(std::string_view entry) {
  for (int n = 1; n <= 9; ++n) {
    char digit = static_cast<char>('0' + n);
    if (entry.size() == 1 && entry[0] == digit) return {n, CountForm::Plain};
    if (entry.size() == 2 && entry[0] == '-' && entry[1] == digit) return {n, CountForm::Minus};
    if (entry == kCounts[n]) return {n, CountForm::FullWidth};
    if (!kSplits[n].empty() && entry == kSplits[n]) return {n, CountForm::SplitMark};
  }
  return {};
}

bool IsZeroEntry(std::string_view e) {
  return OneOf(e, {"0", "g", "G", mark::kGutter, mark::kMiss});
}
bool IsFoulEntry(std::string_view e) {
  return OneOf(e, {"f", "F", mark::kFoul, "."});
}

struct MarkFigure {
  std::uint32_t packed;
  long pins;
};

// The pins each stored mark stands for; every mark is two or three bytes long.
constexpr std::array<MarkFigure, 20> kMarkFigures = {{
    {PackBytes(mark::kGutter), 0},  {PackBytes(mark::kMiss), 0},     {PackBytes(mark::kFoul), 0},
    {PackBytes(mark::kStrike), 10}, {PackBytes(mark::kStrike2), 10}, {PackBytes(mark::kSpare), 10},
    {PackBytes(kCounts[1]), 1},     {PackBytes(kCounts[2]), 2},      {PackBytes(kCounts[3]), 3},
    {PackBytes(kCounts[4]), 4},     {PackBytes(kCounts[5]), 5},      {PackBytes(kCounts[6]), 6},
    {PackBytes(kCounts[7]), 7},     {PackBytes(kCounts[8]), 8},      {PackBytes(kCounts[9]), 9},
    {PackBytes(kSplits[4]), 4},     {PackBytes(kSplits[5]), 5},      {PackBytes(kSplits[6]), 6},
    {PackBytes(kSplits[7]), 7},     {PackBytes(kSplits[8]), 8},
}};

// The pins of a stored mark (trimmed), none for a text that is no mark. Marks are read for
// every roll of every game, so they are matched as numbers rather than text by text.
std::optional<long> MarkPins(std::string_view m) {
  if (m.size() < 2 || m.size() > kMostPackedBytes) return std::nullopt;
  const std::uint32_t packed = PackBytes(m);
  for (const MarkFigure& figure : kMarkFigures)
    if (figure.packed == packed) return figure.pins;
  return std::nullopt;
}

}  // namespace

namespace mark {
std::string_view Count(int pins) {
  return pins >= 1 && pins <= 9 ? kCounts[pins] : "";
}
std::string_view Split(int pins) {
  return pins >= 4 && pins <= 8 ? kSplits[pins] : "";
}
}  // namespace mark

bool IsStrikeMark(std::string_view m) {
  return m == mark::kStrike || m == mark::kStrike2;
}

bool IsSplitMark(std::string_view m) {
  for (int n = 4; n <= 8; ++n) {
    if (m == kSplits[n]) return true;
  }
  return false;
}

bool IsCountMark(std::string_view m) {
  for (int n = 1; n <= 9; ++n) {
    if (m == kCounts[n]) return true;
  }
  return false;
}

std::string ChangeCharacter1(std::string_view entry) {
  entry = Trim(entry);
  if (entry.empty()) return "";
  if (IsZeroEntry(entry)) return std::string(mark::kGutter);
  if (IsFoulEntry(entry)) return std::string(mark::kFoul);
  if (OneOf(entry, {"s", "S", mark::kStrike, "/", mark::kSpare, "*"}))
    return std::string(mark::kStrike);
  if (OneOf(entry, {"x", "X", mark::kStrike2, "+"})) return std::string(mark::kStrike2);
  CountEntry count = ReadCount(entry);
  bool split_count = count.pins >= 4 && count.pins <= 8;
  switch (count.form) {
    case CountForm::None:
      break;
    case CountForm::Plain:
    case CountForm::FullWidth:
      return std::string(kCounts[count.pins]);
    case CountForm::Minus:
    case CountForm::SplitMark:
      // A leading minus marks a split, which only 4 to 8 pins can leave.
      return std::string(split_count ? kSplits[count.pins] : kCounts[count.pins]);
  }
  RaiseInvalid("ChangeCharacter1");
}

std::string ChangeCharacter2(std::string_view entry, std::string_view first) {
  long f = ChangeFigure(first, false);
  entry = Trim(entry);
  if (entry.empty()) return "";
  if (IsZeroEntry(entry)) return std::string(mark::kMiss);
  if (IsFoulEntry(entry)) return std::string(mark::kFoul);
  if (OneOf(entry, {"s", "S", mark::kStrike, "*"}))
    return std::string(f < 0 ? mark::kStrike : mark::kSpare);
  if (OneOf(entry, {"x", "X", mark::kStrike2, "+"}))
    return std::string(f < 0 ? mark::kStrike2 : mark::kSpare);
  if (OneOf(entry, {"/", mark::kSpare})) return std::string(mark::kSpare);
  CountEntry count = ReadCount(entry);
  if (count.form != CountForm::None)
    return std::string(f + count.pins < 10 ? kCounts[count.pins] : mark::kSpare);
  RaiseInvalid("ChangeCharacter2");
}

long ChangeFigure(std::string_view m, bool blank_is_missing) {
  m = Trim(m);
  if (m.empty()) return blank_is_missing ? -300 : -1;
  if (std::optional<long> pins = MarkPins(m)) return *pins;
  RaiseInvalid("ChangeFigure");
}

}  // namespace lanereport
