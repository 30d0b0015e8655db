#pragma once

#include <string>
#include <utility>
#include <vector>

namespace lanereport {

class SampleRandom;

// How a sample bowler bowls; every value is a probability.
struct BowlerSkill {
  double strike = 0.2;      // a first ball at a full rack takes all ten
  double side = 0.15;       // a strike is the second kind ("Ｘ")
  double single_pin = 0.8;  // a one-pin leave is made
  double multi_pin = 0.5;   // a leave of several pins (no split) is made
  double split = 0.08;      // a first ball of four to eight pins leaves a split
  double cover = 0.12;      // a split is made
  double gutter = 0.02;     // a first ball takes nothing
  double foul = 0.008;      // a ball is a foul
  double carry = 0.35;      // how strongly the first ball's count leans to many pins

  // The skill of a bowler at level 0 (beginner, average about 110) to 1 (about 215).
  static BowlerSkill AtLevel(double level, double side_share);
};

// One roll as the bowler types it: the position of the roll (0 to 20, as clsResult_Data::Roll
// numbers them; a strike of frames 1 to 9 is typed into the first roll) and the typed text,
// spelled in one of the ways the setters accept ("7" or "７", "/" or the count that makes it).
using TypedRoll = std::pair<int, std::string>;

// A complete game, ball by ball in the order bowled.
std::vector<TypedRoll> SimulateGame(const BowlerSkill& skill, SampleRandom& random);

}  // namespace lanereport
