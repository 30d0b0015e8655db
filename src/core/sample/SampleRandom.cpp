#include "sample/SampleRandom.h"

namespace lanereport {
namespace {

std::uint64_t SplitMix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k) {
  return (x << k) | (x >> (64 - k));
}

}  // namespace

SampleRandom::SampleRandom(std::uint64_t seed) {
  for (std::uint64_t& s : state_) s = SplitMix(seed);
}

std::uint64_t SampleRandom::Next() {
  const std::uint64_t result = Rotl(state_[1] * 5, 7) * 9;
  const std::uint64_t t = state_[1] << 17;
  state_[2] ^= state_[0];
  state_[3] ^= state_[1];
  state_[1] ^= state_[2];
  state_[0] ^= state_[3];
  state_[2] ^= t;
  state_[3] = Rotl(state_[3], 45);
  return result;
}

int SampleRandom::Below(int n) {
  if (n <= 1) return 0;
  // Rejection keeps every value equally likely.
  const std::uint64_t range = static_cast<std::uint64_t>(n);
  const std::uint64_t limit = UINT64_MAX - UINT64_MAX % range;
  std::uint64_t x;
  do {
    x = Next();
  } while (x >= limit);
  return static_cast<int>(x % range);
}

double SampleRandom::Unit() {
  return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

std::size_t SampleRandom::Weighted(const std::vector<double>& weights) {
  double total = 0;
  for (double w : weights) total += w;
  double x = Unit() * total;
  for (std::size_t i = 0; i < weights.size(); ++i) {
    if (x < weights[i]) return i;
    x -= weights[i];
  }
  return weights.size() - 1;
}

}  // namespace lanereport
