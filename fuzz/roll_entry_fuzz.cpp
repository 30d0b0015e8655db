// Roll entries of arbitrary bytes typed into a game's 21 rolls, with its key fields and the
// roll notation's routines fed from the same input.
//
// The input is text, one action a line:
//   r<slot> <entry>   types the entry into the roll at that position (-1 to 21 tried too)
//   p<slot> <entry>   the same through the roll's named property (Firstframe1 ...)
//   b, a, l <text>    bowler, centre, level name;  d <text> play date;  g <text> game number
//   m <text>          memo;  1 <entry>  ChangeCharacter1;  2 <entry>\t<first>  ChangeCharacter2
//   f <mark>          ChangeFigure
//   anything else     typed into the next roll, as the entry form moves on: after a strike on
//                     the first ball of frames 1 to 9 the form skips to the next frame.
// After every action the game must keep the promises of its setters: a refused entry changes
// nothing, every stored roll is a mark, a strike of frames 1 to 9 sits in the second roll, a
// frame's two balls take at most ten pins, and the running scores go from 0 to 300, grow by at
// most 30 a frame and are shown only behind a frame that is shown.

#include <array>
#include <charconv>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "database/Database.h"
#include "database/Schema.h"
#include "database/Value.h"
#include "scoring/RollNotation.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

using fuzz::Broken;

struct RollProperty {
  std::string (*get)(const clsResult_Data&);
  void (*set)(clsResult_Data&, std::string_view);
};

#define LR_FUZZ_ROLL(Prop)                                       \
  RollProperty {                                                 \
    [](const clsResult_Data& g) { return g.Prop(); },            \
        [](clsResult_Data& g, std::string_view e) { g.Prop(e); } \
  }
const std::array<RollProperty, 21> kRollProperties = {
    LR_FUZZ_ROLL(Firstframe1),   LR_FUZZ_ROLL(Firstframe2),   LR_FUZZ_ROLL(Secondframe1),
    LR_FUZZ_ROLL(Secondframe2),  LR_FUZZ_ROLL(Thirdframe1),   LR_FUZZ_ROLL(Thirdframe2),
    LR_FUZZ_ROLL(Fourthframe1),  LR_FUZZ_ROLL(Fourthframe2),  LR_FUZZ_ROLL(Fifthframe1),
    LR_FUZZ_ROLL(Fifthframe2),   LR_FUZZ_ROLL(Sixthframe1),   LR_FUZZ_ROLL(Sixthframe2),
    LR_FUZZ_ROLL(Seventhframe1), LR_FUZZ_ROLL(Seventhframe2), LR_FUZZ_ROLL(Eighthframe1),
    LR_FUZZ_ROLL(Eighthframe2),  LR_FUZZ_ROLL(Ninthframe1),   LR_FUZZ_ROLL(Ninthframe2),
    LR_FUZZ_ROLL(Tenthframe1),   LR_FUZZ_ROLL(Tenthframe2),   LR_FUZZ_ROLL(Tenthframe3)};
#undef LR_FUZZ_ROLL

const std::array<std::string (clsResult_Data::*)() const, 10> kScoreGetters = {
    &clsResult_Data::Firstframescore,   &clsResult_Data::Secondframescore,
    &clsResult_Data::Thirdframescore,   &clsResult_Data::Fourthframescore,
    &clsResult_Data::Fifthframescore,   &clsResult_Data::Sixthframescore,
    &clsResult_Data::Seventhframescore, &clsResult_Data::Eighthframescore,
    &clsResult_Data::Ninthframescore,   &clsResult_Data::Tenthframescore};

// The game needs a database to refer to; the setters never reach it.
Database& FuzzDatabase() {
  static std::unique_ptr<Database> db = CreateScoreDatabase(fuzz::FuzzFolder() + "/roll.db");
  return *db;
}

struct Snapshot {
  std::array<std::string, 21> rolls;
  std::array<std::string, 10> scores;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const clsResult_Data& game) {
  Snapshot s;
  for (int i = 0; i < 21; ++i) s.rolls[i] = game.Roll(i);
  for (int k = 0; k < 10; ++k) s.scores[k] = game.FrameScore(k + 1);
  return s;
}

std::string Describe(const Snapshot& s) {
  std::string text = "rolls:";
  for (const std::string& r : s.rolls) text += " [" + r + "]";
  text += "  scores:";
  for (const std::string& c : s.scores) text += " [" + c + "]";
  return text;
}

// The pins of a stored mark; a stored roll that is no mark breaks the promise.
long Pins(const std::string& mark, const Snapshot& s) {
  try {
    return ChangeFigure(mark, false);
  } catch (const AppError&) {
    Broken("a stored roll is a mark", "[" + mark + "] " + Describe(s));
  }
}

bool IsMarkOrEmpty(const std::string& text) {
  try {
    ChangeFigure(text, false);
    return true;
  } catch (const AppError&) {
    return false;
  }
}

void CheckGame(const clsResult_Data& game) {
  Snapshot s = Take(game);
  for (int i = 0; i < 21; ++i) {
    FUZZ_CHECK(kRollProperties[i].get(game) == s.rolls[i], Describe(s));
    Pins(s.rolls[i], s);
  }
  FUZZ_CHECK(game.Roll(-1).empty() && game.Roll(21).empty(), Describe(s));
  for (long n = 1; n <= 9; ++n) {
    const std::string& first = s.rolls[2 * n - 2];
    const std::string& second = s.rolls[2 * n - 1];
    FUZZ_CHECK(game.FrameA(n) == first && game.FrameB(n) == second, Describe(s));
    FUZZ_CHECK(!IsStrikeMark(first), Describe(s));
    if (!first.empty()) {
      FUZZ_CHECK(!IsStrikeMark(second), Describe(s));
      if (second != mark::kSpare) FUZZ_CHECK(Pins(first, s) + Pins(second, s) < 10, Describe(s));
    }
  }
  FUZZ_CHECK(game.FrameA(0).empty() && game.FrameB(10).empty(), Describe(s));
  const std::string& tenth1 = s.rolls[18];
  if (!tenth1.empty() && !IsStrikeMark(tenth1)) {
    const std::string& tenth2 = s.rolls[19];
    FUZZ_CHECK(!IsStrikeMark(tenth2), Describe(s));
    if (!tenth2.empty() && tenth2 != mark::kSpare)
      FUZZ_CHECK(Pins(tenth1, s) + Pins(tenth2, s) < 10, Describe(s));
  }

  long before = 0;
  bool shown = true;
  for (int k = 0; k < 10; ++k) {
    const std::string& score = s.scores[k];
    FUZZ_CHECK((game.*kScoreGetters[k])() == score, Describe(s));
    if (score.empty()) {
      shown = false;
      continue;
    }
    FUZZ_CHECK(shown, Describe(s));
    long value = -1;
    auto [end, error] = std::from_chars(score.data(), score.data() + score.size(), value);
    FUZZ_CHECK(error == std::errc() && end == score.data() + score.size(), Describe(s));
    FUZZ_CHECK(value >= before && value <= before + 30 && value <= 300, Describe(s));
    before = value;
  }
  FUZZ_CHECK(game.FrameScore(0).empty() && game.FrameScore(11).empty(), Describe(s));
}

// Runs a setter; when it refuses, the error is the setters' own and the game is as before.
template <typename Set>
bool Refusable(clsResult_Data& game, Set set) {
  Snapshot before = Take(game);
  try {
    set();
    return true;
  } catch (const AppError& error) {
    FUZZ_CHECK(error.Number() == kErrInvalidValue, error.Source());
    Snapshot after = Take(game);
    FUZZ_CHECK(after == before,
               error.Source() + "  before " + Describe(before) + "  after " + Describe(after));
    return false;
  }
}

void CheckNotation(char routine, std::string_view text) {
  try {
    if (routine == '1') {
      FUZZ_CHECK(IsMarkOrEmpty(ChangeCharacter1(text)), std::string(text));
    } else if (routine == '2') {
      auto tab = text.find('\t');
      std::string_view entry = text.substr(0, tab);
      std::string_view first = tab == std::string_view::npos ? "" : text.substr(tab + 1);
      std::string second = ChangeCharacter2(entry, first);
      FUZZ_CHECK(IsMarkOrEmpty(second) && !IsSplitMark(second) && second != mark::kGutter,
                 std::string(text));
    } else {
      long pins = ChangeFigure(text, true);
      FUZZ_CHECK(pins == -300 || (pins >= 0 && pins <= 10), std::string(text));
    }
  } catch (const AppError& error) {
    FUZZ_CHECK(error.Number() == kErrInvalidValue, error.Source());
  }
}

// A slot number written after the action letter, then one separator; -100 when there is none.
int ReadSlot(std::string_view& line) {
  int slot = -100;
  auto [end, error] = std::from_chars(line.data() + 1, line.data() + line.size(), slot);
  if (error != std::errc()) return -100;
  std::size_t used = static_cast<std::size_t>(end - line.data());
  line.remove_prefix(std::min(used + 1, line.size()));
  return slot;
}

}  // namespace
}  // namespace lanereport

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lanereport;
  std::string_view input = fuzz::AsText(data, size);
  clsResult_Data game(FuzzDatabase());
  // The key fields set so far, for IsValid.
  bool bowler = false, alley = false, level = false, date = false, number = false;
  int cursor = 0;
  while (!input.empty()) {
    auto newline = input.find('\n');
    std::string_view line = input.substr(0, newline);
    input.remove_prefix(newline == std::string_view::npos ? input.size() : newline + 1);

    char action = line.empty() ? '\0' : line[0];
    std::string_view text = line.size() >= 2 && line[1] == ' ' ? line.substr(2) : line;
    bool keyed = line.size() >= 2 && line[1] == ' ';
    int slot = -100;
    if ((action == 'r' || action == 'p') && (slot = ReadSlot(line)) != -100) {
      if (action == 'r' || slot < 0 || slot > 20) {
        Refusable(game, [&] { game.Roll(slot, line); });
      } else {
        Refusable(game, [&] { kRollProperties[slot].set(game, line); });
      }
    } else if (keyed && action == 'b') {
      bowler |= Refusable(game, [&] { game.BowlerName(text); });
    } else if (keyed && action == 'a') {
      alley |= Refusable(game, [&] { game.AlleyName(text); });
    } else if (keyed && action == 'l') {
      level |= Refusable(game, [&] { game.LevelName(text); });
    } else if (keyed && action == 'd') {
      date |= Refusable(game, [&] { game.PlayDate(text); });
    } else if (keyed && action == 'g') {
      number |= Refusable(game, [&] { game.GameNumber(Value(std::string(text))); });
    } else if (keyed && action == 'm') {
      Refusable(game, [&] { game.ResultMemo(text); });
    } else if (keyed && (action == '1' || action == '2' || action == 'f')) {
      CheckNotation(action, text);
    } else {
      int at = cursor;
      bool typed = Refusable(game, [&] { game.Roll(at, line); });
      cursor = (typed && at < 18 && at % 2 == 0 && game.Roll(at).empty() &&
                IsStrikeMark(game.Roll(at + 1)))
                   ? at + 2
                   : at + 1;
      if (cursor > 20) cursor = 0;
    }
    CheckGame(game);
    FUZZ_CHECK(game.IsValid() == (bowler && alley && level && date && number), "IsValid");
  }
  return 0;
}
