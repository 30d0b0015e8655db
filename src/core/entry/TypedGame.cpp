#include "entry/TypedGame.h"

#include <algorithm>

#include "scoring/RollNotation.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr int kTenth1 = 18;
constexpr int kTenth2 = 19;
constexpr int kTenth3 = 20;

int RollColumn(int roll) {
  return kCsvFirstRoll + roll;
}

// A whole number for a number setter: the text itself when it is one or is no number at all
// (the setter then refuses it with its own message); nothing for a number with a fraction or
// an exponent, which the setter would round.
bool IsWholeOrNoNumber(std::string_view text) {
  return ParseInteger(text).has_value() || !ParseNumber(text).has_value();
}

}  // namespace

TypedGame EnterTypedGame(Database& db, const TypedGameFields& fields) {
  TypedGame typed;
  clsResult_Data game(db);
  auto refuse = [&typed, &fields](int column, std::string message) {
    typed.refusals.push_back({column, std::move(message), fields[column]});
  };
  auto trimmed = [&fields](int column) { return std::string(Trim(fields[column])); };
  // Runs one setter; its refusal is kept and the other fields are still tried.
  auto set = [&refuse](int column, auto&& setter) {
    try {
      setter();
      return true;
    } catch (const AppError& e) {
      if (e.Number() == kErrEngine) throw;
      refuse(column, e.Description());
      return false;
    }
  };
  auto set_name = [&](int column, const char* empty_message,
                      void (clsResult_Data::*setter)(std::string_view)) {
    std::string value = trimmed(column);
    if (value.empty()) {
      refuse(column, empty_message);
      return;
    }
    set(column, [&] { (game.*setter)(value); });
  };
  auto set_number = [&](int column, bool empty_is_zero,
                        void (clsResult_Data::*setter)(const Value&)) {
    std::string value = trimmed(column);
    if (value.empty() && empty_is_zero) value.push_back('0');
    if (!IsWholeOrNoNumber(value)) {
      refuse(column, "整数を入力して下さい");
      return;
    }
    set(column, [&] { (game.*setter)(Value(value)); });
  };

  set_name(kCsvBowler, "ボウラーが入力されていません", &clsResult_Data::BowlerName);
  set(kCsvDate, [&] { game.PlayDate(trimmed(kCsvDate)); });
  set_name(kCsvAlley, "センターが入力されていません", &clsResult_Data::AlleyName);
  set_name(kCsvLevel, "レベルが入力されていません", &clsResult_Data::LevelName);
  set_number(kCsvGameNumber, false, &clsResult_Data::GameNumber);

  // The rolls box by box, as typed.
  std::array<std::string, 21> entries;
  bool rolls_refused = false;
  for (int i = 0; i < 21; ++i) {
    entries[i] = trimmed(RollColumn(i));
    if (entries[i].empty()) continue;
    if (!set(RollColumn(i), [&] { game.Roll(i, entries[i]); })) rolls_refused = true;
  }
  set(kCsvMemo, [&] { game.ResultMemo(trimmed(kCsvMemo)); });
  set_number(kCsvHandicap, true, &clsResult_Data::Handicap);

  // What the setters took from the rolls, when they refused none: every ball typed must be
  // stored, and the game must be finished.
  if (!rolls_refused) {
    bool lost = false;
    for (int k = 0; k < 9 && !lost; ++k) {
      const int first = 2 * k, second = 2 * k + 1;
      const bool strike = IsStrikeMark(game.Roll(second));
      if (!entries[first].empty() && entries[second].empty()) continue;  // a count, or "x"
      if (entries[first].empty() && !entries[second].empty() && !strike) {
        refuse(RollColumn(first), "1投目が入力されていません");
        lost = true;
      } else if (!entries[first].empty() && game.Roll(first).empty() && !strike) {
        refuse(RollColumn(second), "ストライクのフレームに2投目は入力できません");
        lost = true;
      }
    }
    if (!lost) {
      if (entries[kTenth1].empty() && (!entries[kTenth2].empty() || !entries[kTenth3].empty())) {
        refuse(RollColumn(kTenth1), "1投目が入力されていません");
        lost = true;
      } else if (entries[kTenth2].empty() && !entries[kTenth3].empty()) {
        refuse(RollColumn(kTenth2), "2投目が入力されていません");
        lost = true;
      } else if (!entries[kTenth3].empty() && game.Roll(kTenth3).empty()) {
        refuse(RollColumn(kTenth3), "このフレームに3投目はありません");
        lost = true;
      }
    }
    if (!lost && game.Tenthframescore().empty()) {
      // The first box still waiting for its ball.
      int waiting = kTenth3;
      for (int k = 0; k < 9; ++k) {
        if (game.Roll(2 * k + 1).empty()) {
          waiting = game.Roll(2 * k).empty() ? 2 * k : 2 * k + 1;
          break;
        }
      }
      if (waiting == kTenth3) {
        if (game.Roll(kTenth1).empty())
          waiting = kTenth1;
        else if (game.Roll(kTenth2).empty())
          waiting = kTenth2;
      }
      refuse(RollColumn(waiting), "入力が終わっていません");
    }
  }
  std::stable_sort(
      typed.refusals.begin(), typed.refusals.end(),
      [](const FieldRefusal& a, const FieldRefusal& b) { return a.column < b.column; });
  if (typed.refusals.empty()) typed.game = std::move(game);
  return typed;
}

}  // namespace lanereport
