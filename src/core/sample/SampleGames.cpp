#include "sample/SampleGames.h"

#include <algorithm>

#include "sample/SampleRandom.h"

namespace lanereport {
namespace {

const char* const kFullWidth[] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
const char* const kSplitMarks[] = {"", "", "", "", "④", "⑤", "⑥", "⑦", "⑧", ""};

// One ball: the pins it took and how it is written.
struct Ball {
  int pins = 0;
  bool foul = false;
  bool split = false;
};

std::string Pick(SampleRandom& random, std::initializer_list<const char*> choices) {
  return *(choices.begin() + random.Below(static_cast<int>(choices.size())));
}

// A ball thrown at a full rack.
Ball RackBall(const BowlerSkill& s, SampleRandom& random) {
  if (random.Chance(s.strike)) return {10};
  if (random.Chance(s.foul)) return {0, true};
  if (random.Chance(s.gutter)) return {0};
  // Weights (1 + carry)^n, by multiplication only, so every library gives the same numbers.
  std::vector<double> weights;
  double w = 1.0;
  for (int n = 1; n <= 9; ++n) {
    w *= 1.0 + s.carry;
    weights.push_back(w);
  }
  int pins = static_cast<int>(random.Weighted(weights)) + 1;
  bool split = pins >= 4 && pins <= 8 && random.Chance(pins >= 7 ? s.split * 1.5 : s.split);
  return {pins, false, split};
}

// A ball thrown at the leave of a first ball.
Ball LeaveBall(const BowlerSkill& s, int standing, bool split, SampleRandom& random) {
  if (random.Chance(s.foul * 0.5)) return {0, true};
  double make = split            ? s.cover
                : standing == 1  ? s.single_pin
                : standing == 10 ? s.strike * 0.9
                                 : s.multi_pin * (1.0 - 0.04 * (standing - 2));
  if (random.Chance(make)) return {standing};
  if (standing > 1 && random.Chance(0.5)) return {standing - 1};
  return {random.Below(standing)};
}

std::string TypeRackBall(const Ball& b, const BowlerSkill& s, SampleRandom& random) {
  if (b.pins == 10) {
    return random.Chance(s.side) ? Pick(random, {"x", "X", "+", "Ｘ"})
                                 : Pick(random, {"s", "S", "*", "/", "×"});
  }
  if (b.foul) return Pick(random, {"f", "F", "."});
  if (b.pins == 0) return Pick(random, {"0", "g", "G"});
  if (b.split) {
    return random.Chance(0.5) ? "-" + std::to_string(b.pins) : std::string(kSplitMarks[b.pins]);
  }
  return random.Chance(0.5) ? std::to_string(b.pins) : std::string(kFullWidth[b.pins]);
}

std::string TypeLeaveBall(const Ball& b, int standing, SampleRandom& random) {
  if (b.foul) return Pick(random, {"f", "F"});
  if (b.pins == standing) {
    // A spare is typed as such or as the pins that were left (a full rack only as a spare).
    if (standing == 10 || random.Chance(0.8)) return "/";
    return std::to_string(standing);
  }
  if (b.pins == 0) return Pick(random, {"0", "g", "G"});
  return random.Chance(0.5) ? std::to_string(b.pins) : std::string(kFullWidth[b.pins]);
}

}  // namespace

BowlerSkill BowlerSkill::AtLevel(double level, double side_share) {
  double u = std::clamp(level, 0.0, 1.0);
  BowlerSkill s;
  s.strike = 0.06 + 0.5 * u;
  s.side = side_share;
  s.single_pin = 0.55 + 0.43 * u;
  s.multi_pin = 0.22 + 0.55 * u;
  s.split = 0.13 - 0.06 * u;
  s.cover = 0.04 + 0.2 * u;
  s.gutter = 0.07 * (1 - u) * (1 - u);
  s.foul = 0.003 + 0.012 * (1 - u);
  s.carry = 0.15 + 0.45 * u;
  return s;
}

std::vector<TypedRoll> SimulateGame(const BowlerSkill& s, SampleRandom& random) {
  std::vector<TypedRoll> rolls;
  for (int frame = 1; frame <= 9; ++frame) {
    int first = 2 * frame - 2;
    Ball a = RackBall(s, random);
    rolls.emplace_back(first, TypeRackBall(a, s, random));
    if (a.pins == 10) continue;
    int standing = 10 - a.pins;
    Ball b = LeaveBall(s, standing, a.split, random);
    // After a foul on the first ball the rack is set again: a clean sweep is a spare.
    rolls.emplace_back(first + 1, TypeLeaveBall(b, standing, random));
  }

  // Frame 10: up to three balls; a strike or a spare earns the third.
  Ball a = RackBall(s, random);
  rolls.emplace_back(18, TypeRackBall(a, s, random));
  if (a.pins == 10) {
    Ball b = RackBall(s, random);
    rolls.emplace_back(19, TypeRackBall(b, s, random));
    if (b.pins == 10) {
      rolls.emplace_back(20, TypeRackBall(RackBall(s, random), s, random));
    } else {
      int standing = 10 - b.pins;
      rolls.emplace_back(20,
                         TypeLeaveBall(LeaveBall(s, standing, b.split, random), standing, random));
    }
    return rolls;
  }
  int standing = 10 - a.pins;
  Ball b = LeaveBall(s, standing, a.split, random);
  rolls.emplace_back(19, TypeLeaveBall(b, standing, random));
  if (b.pins == standing) rolls.emplace_back(20, TypeRackBall(RackBall(s, random), s, random));
  return rolls;
}

}  // namespace lanereport
