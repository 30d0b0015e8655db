#pragma once

#include <cstdint>
#include <vector>

namespace lanereport {

// The random numbers of the sample database: xoshiro256** seeded through splitmix64, with its
// own ranges, so that one seed gives the same numbers with every compiler and library.
class SampleRandom {
 public:
  explicit SampleRandom(std::uint64_t seed);

  std::uint64_t Next();
  // A whole number from 0 to n - 1 (n > 0), evenly.
  int Below(int n);
  // A whole number from low to high, both included.
  int Between(int low, int high) { return low + Below(high - low + 1); }
  // A number in [0, 1).
  double Unit();
  bool Chance(double probability) { return Unit() < probability; }
  // An index drawn in proportion to the weights (at least one positive).
  std::size_t Weighted(const std::vector<double>& weights);

 private:
  std::uint64_t state_[4];
};

}  // namespace lanereport
