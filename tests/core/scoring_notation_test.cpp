#include <gtest/gtest.h>

#include <string>

#include "scoring/RollNotation.h"
#include "scoring/clsResult_Data.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

// The roll alphabet, written out here once so that every test below reads naturally.
const std::string G = "Ｇ", M = "－", F = "Ｆ", STRIKE = "×", STRIKE2 = "Ｘ", SPARE = "／";

template <class Fn>
void ExpectInvalid(Fn f, const std::string& source) {
  try {
    f();
    ADD_FAILURE() << "no error for " << source;
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrInvalidValue);
    EXPECT_EQ(e.Source(), source);
    EXPECT_EQ(e.Description(), "入力が不正です");
  }
}

TEST(RollAlphabet, MarksAreTheExactCodePoints) {
  EXPECT_EQ(G, "\xEF\xBC\xA7");        // U+FF27
  EXPECT_EQ(M, "\xEF\xBC\x8D");        // U+FF0D
  EXPECT_EQ(F, "\xEF\xBC\xA6");        // U+FF26
  EXPECT_EQ(STRIKE, "\xC3\x97");       // U+00D7
  EXPECT_EQ(STRIKE2, "\xEF\xBC\xB8");  // U+FF38
  EXPECT_EQ(SPARE, "\xEF\xBC\x8F");    // U+FF0F
  EXPECT_EQ(std::string("１"), "\xEF\xBC\x91");
  EXPECT_EQ(std::string("９"), "\xEF\xBC\x99");
  EXPECT_EQ(std::string("④"), "\xE2\x91\xA3");
  EXPECT_EQ(std::string("⑧"), "\xE2\x91\xA7");
  EXPECT_EQ(mark::kGutter, G);
  EXPECT_EQ(mark::kMiss, M);
  EXPECT_EQ(mark::kFoul, F);
  EXPECT_EQ(mark::kStrike, STRIKE);
  EXPECT_EQ(mark::kStrike2, STRIKE2);
  EXPECT_EQ(mark::kSpare, SPARE);
  EXPECT_EQ(mark::Count(7), "７");
  EXPECT_EQ(mark::Split(4), "④");
  EXPECT_EQ(mark::Split(8), "⑧");
  EXPECT_EQ(mark::Split(3), "");
  EXPECT_EQ(mark::Split(9), "");
}

TEST(ChangeCharacter1, EveryEntryOfTheTable) {
  for (const char* e : {"0", "g", "G", "Ｇ", "－"})
    EXPECT_EQ(clsResult_Data::ChangeCharacter1(e), G) << e;
  for (const char* e : {"f", "F", "Ｆ", "."})
    EXPECT_EQ(clsResult_Data::ChangeCharacter1(e), F) << e;
  const char* full[] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  const char* split[] = {"", "", "", "", "④", "⑤", "⑥", "⑦", "⑧", ""};
  for (int n = 1; n <= 9; ++n) {
    std::string ascii(1, static_cast<char>('0' + n));
    EXPECT_EQ(ChangeCharacter1(ascii), full[n]) << n;
    EXPECT_EQ(ChangeCharacter1(full[n]), full[n]) << n;
    // A minus marks a split only where a split can be left.
    EXPECT_EQ(ChangeCharacter1("-" + ascii), n >= 4 && n <= 8 ? split[n] : full[n]) << n;
    if (n >= 4 && n <= 8) {
      EXPECT_EQ(ChangeCharacter1(split[n]), split[n]) << n;
    }
  }
  for (const char* e : {"s", "S", "×", "/", "／", "*"}) EXPECT_EQ(ChangeCharacter1(e), STRIKE) << e;
  for (const char* e : {"x", "X", "Ｘ", "+"}) EXPECT_EQ(ChangeCharacter1(e), STRIKE2) << e;
  EXPECT_EQ(ChangeCharacter1(""), "");
  EXPECT_EQ(ChangeCharacter1("  7 "), "７");
  EXPECT_EQ(ChangeCharacter1("   "), "");
}

TEST(ChangeCharacter1, UnknownEntriesAreRefused) {
  for (const char* e : {"10", "-0", "-", "a", "Ｓ", "７７", "×x", "ｇ", "-10", "⑨", "③"}) {
    ExpectInvalid([&] { ChangeCharacter1(e); }, "[clsResult_Data]ChangeCharacter1");
  }
}

TEST(ChangeCharacter2, CountsBecomeSparesWhenTheyClearTheRack) {
  EXPECT_EQ(ChangeCharacter2("5", "７"), SPARE);
  EXPECT_EQ(ChangeCharacter2("2", "７"), "２");
  EXPECT_EQ(ChangeCharacter2("-3", "７"), SPARE);  // 7 + 3 = 10
  EXPECT_EQ(ChangeCharacter2("-2", "７"), "２");
  EXPECT_EQ(ChangeCharacter2("0", "７"), M);
  EXPECT_EQ(ChangeCharacter2("３", "７"), SPARE);
  EXPECT_EQ(ChangeCharacter2("-6", "３"), "６");
  EXPECT_EQ(ChangeCharacter2("-6", "４"), SPARE);
  EXPECT_EQ(ChangeCharacter2("⑥", "３"), "６");  // a split mark never survives a second ball
  EXPECT_EQ(ChangeCharacter2("9", "Ｇ"), "９");
  EXPECT_EQ(ChangeCharacter2("9", "Ｆ"), "９");
  EXPECT_EQ(ChangeCharacter2("1", "⑧"), "１");
  EXPECT_EQ(ChangeCharacter2("2", "⑧"), SPARE);
  // After a strike or spare mark any count clears the rack.
  EXPECT_EQ(ChangeCharacter2("1", STRIKE), SPARE);
  EXPECT_EQ(ChangeCharacter2("1", SPARE), SPARE);
}

TEST(ChangeCharacter2, StrikeEntriesStayStrikesOnlyOverAnEmptyFirstRoll) {
  for (const char* e : {"s", "S", "×", "*"}) {
    EXPECT_EQ(ChangeCharacter2(e, ""), STRIKE) << e;
    EXPECT_EQ(ChangeCharacter2(e, "Ｇ"), SPARE) << e;
    EXPECT_EQ(ChangeCharacter2(e, "９"), SPARE) << e;
  }
  for (const char* e : {"x", "X", "Ｘ", "+"}) {
    EXPECT_EQ(ChangeCharacter2(e, ""), STRIKE2) << e;
    EXPECT_EQ(ChangeCharacter2(e, "５"), SPARE) << e;
  }
  EXPECT_EQ(ChangeCharacter2("/", ""), SPARE);
  EXPECT_EQ(ChangeCharacter2("／", "５"), SPARE);
  // Over an empty first roll nine pins are still a count (-1 + 9 < 10).
  EXPECT_EQ(ChangeCharacter2("9", ""), "９");
}

TEST(ChangeCharacter2, ZerosFoulsAndBlanks) {
  for (const char* e : {"0", "g", "G", "Ｇ", "－"}) EXPECT_EQ(ChangeCharacter2(e, "５"), M) << e;
  for (const char* e : {"f", "F", "Ｆ", "."}) EXPECT_EQ(ChangeCharacter2(e, "５"), F) << e;
  EXPECT_EQ(ChangeCharacter2("", "５"), "");
  EXPECT_EQ(ChangeCharacter2(" 4 ", "５"), "４");
}

TEST(ChangeCharacter2, UnknownEntriesAndUnknownFirstRollsAreRefused) {
  for (const char* e : {"10", "-", "a", "-0"}) {
    ExpectInvalid([&] { ChangeCharacter2(e, "５"); }, "[clsResult_Data]ChangeCharacter2");
  }
  // The first roll is read first: an ASCII digit stored by another program is not a mark.
  ExpectInvalid([&] { ChangeCharacter2("1", "5"); }, "[clsResult_Data]ChangeFigure");
  ExpectInvalid([&] { ChangeCharacter2("", "x"); }, "[clsResult_Data]ChangeFigure");
}

TEST(ChangeFigure, PinsOfEveryMark) {
  EXPECT_EQ(ChangeFigure("", false), -1);
  EXPECT_EQ(ChangeFigure("", true), -300);
  EXPECT_EQ(ChangeFigure(G, true), 0);
  EXPECT_EQ(ChangeFigure(M, true), 0);
  EXPECT_EQ(ChangeFigure(F, true), 0);
  const char* full[] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
  for (int n = 1; n <= 9; ++n) EXPECT_EQ(ChangeFigure(full[n], false), n);
  const char* split[] = {"④", "⑤", "⑥", "⑦", "⑧"};
  for (int n = 4; n <= 8; ++n) EXPECT_EQ(ChangeFigure(split[n - 4], false), n);
  EXPECT_EQ(ChangeFigure(STRIKE, false), 10);
  EXPECT_EQ(ChangeFigure(STRIKE2, false), 10);
  EXPECT_EQ(ChangeFigure(SPARE, false), 10);
  EXPECT_EQ(clsResult_Data::ChangeFigure("７", true), 7);
}

TEST(ChangeFigure, AnythingElseIsRefused) {
  for (const char* e : {"7", "X", "/", "-", "G", "10", "ｘ"}) {
    ExpectInvalid([&] { ChangeFigure(e, true); }, "[clsResult_Data]ChangeFigure");
  }
  // Texts that share bytes with a mark: the split marks outside 4 to 8, a mark cut short, a
  // mark with more after it, and the bytes of a three-byte mark behind a NUL.
  const std::string gutter = G;
  for (const std::string& e :
       {std::string("③"), std::string("⑨"), gutter.substr(0, 2), gutter.substr(1), gutter + "x",
        std::string("１１"), std::string(STRIKE) + "x", std::string(1, '\0') + STRIKE}) {
    ExpectInvalid([&] { ChangeFigure(e, true); }, "[clsResult_Data]ChangeFigure");
  }
}

}  // namespace
}  // namespace lanereport
