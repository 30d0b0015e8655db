#pragma once

#include <array>
#include <functional>
#include <vector>

namespace lanereport {

class clsResult_Data;

// The eight percentages (0 to 100) of one frame or of whole games, indexed by kind.
enum RateKind {
  kRateStrike = 0,
  kRateSide = 1,  // the share of strikes written "Ｘ"
  kRateSpare = 2,
  kRateOpen = 3,
  kRateGutter = 4,
  kRateFoul = 5,
  kRateSplit = 6,
  kRateSplitCover = 7,
};
using RateRecord = std::array<double, 8>;

// The mark rates of a list of games: frames[k] for frame k (1 to 9), frames[0] for frame 10,
// and whole for whole games. Read from the stored roll marks only.
struct MarkRates {
  std::array<RateRecord, 10> frames{};
  RateRecord whole{};
};

// Counts the marks of the games and returns their rates; progress (when given) is called after
// each of the eleven computations: frames 1 to 9, frame 10, whole games. A percentage whose
// denominator is zero is 0, except the spare rate, which is then 100.
MarkRates CalcMarkRates(const std::vector<clsResult_Data>& games,
                        const std::function<void()>& progress);

}  // namespace lanereport
