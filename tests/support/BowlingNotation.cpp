#include "BowlingNotation.h"

#include <stdexcept>
#include <string>

#include "scoring/clsResult_Data.h"
#include "util/StringUtil.h"

namespace lanereport::testing {
namespace {

// One ball of a frame group: its symbol and, for a split, its pin count.
struct Ball {
  char symbol;
  bool split = false;
};

std::vector<std::vector<Ball>> Frames(std::string_view notation) {
  std::vector<std::vector<Ball>> frames;
  for (const std::string& group : Split(notation, ' ')) {
    if (group.empty()) continue;
    std::vector<Ball> balls;
    for (std::size_t i = 0; i < group.size(); ++i) {
      if (group[i] == '!') {
        if (i + 1 >= group.size()) throw std::invalid_argument("split without pins");
        balls.push_back({group[++i], true});
      } else {
        balls.push_back({group[i]});
      }
    }
    frames.push_back(balls);
  }
  if (frames.size() > 10) throw std::invalid_argument("more than ten frames");
  return frames;
}

std::string Typed(const Ball& b) {
  switch (b.symbol) {
    case 'X':
      return "s";
    case 'Y':
      return "x";
    case '/':
      return "/";
    case '-':
      return "0";
    case 'F':
      return "f";
    default:
      return b.split ? std::string("-") + b.symbol : std::string(1, b.symbol);
  }
}

}  // namespace

void EnterGame(clsResult_Data& game, std::string_view notation) {
  auto frames = Frames(notation);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const auto& balls = frames[f];
    int base = static_cast<int>(2 * f);
    for (std::size_t b = 0; b < balls.size(); ++b)
      game.Roll(base + static_cast<int>(b), Typed(balls[b]));
  }
}

std::vector<int> PinsOf(std::string_view notation) {
  std::vector<int> pins;
  for (const auto& balls : Frames(notation)) {
    int standing = 10;
    for (const Ball& b : balls) {
      int taken = 0;
      if (b.symbol == 'X' || b.symbol == 'Y')
        taken = 10;
      else if (b.symbol == '/')
        taken = standing;
      else if (b.symbol >= '1' && b.symbol <= '9')
        taken = b.symbol - '0';
      pins.push_back(taken);
      // A cleared rack is set again (frame 10).
      standing -= taken;
      if (standing == 0) standing = 10;
    }
  }
  return pins;
}

std::array<std::optional<int>, 10> ReferenceFrameScores(const std::vector<int>& pins) {
  std::array<std::optional<int>, 10> scores;
  const std::size_t n = pins.size();
  std::size_t i = 0;
  int running = 0;
  for (int frame = 0; frame < 10; ++frame) {
    if (i >= n) break;
    int add = 0;
    std::size_t needed = 0;  // balls from i that this frame's score reads
    std::size_t used = 0;    // balls that belong to this frame (frames 1 to 9)
    if (pins[i] == 10) {
      needed = 3;
      used = 1;
    } else if (i + 1 < n && pins[i] + pins[i + 1] == 10) {
      needed = 3;
      used = 2;
    } else {
      needed = 2;
      used = 2;
    }
    if (i + needed > n) break;
    for (std::size_t k = 0; k < needed; ++k) add += pins[i + k];
    running += add;
    scores[frame] = running;
    i += used;
  }
  return scores;
}

}  // namespace lanereport::testing
