#pragma once

#include <array>
#include <string>
#include <string_view>

#include "database/RecordBase.h"
#include "database/RecordProperties.h"

namespace lanereport {

// One statistics-sheet definition, a row of S_OUTPUT: which bowler details and statistics the
// sheet of the same name shows, for which centre, level and period (Condition true) or number
// of latest games (Condition false). Errors name the source "S_OUTPUT".
class clsS_OUTPUT_Data : public RecordBase {
 public:
  // The 38 switches in column order; the index is the switch number used by SwitchValue.
  static constexpr std::size_t kSwitchCount = 38;
  static const std::array<std::string, kSwitchCount>& SwitchNames();

  explicit clsS_OUTPUT_Data(Database& db);

  void CancelEdit();
  // Inserts the definition with the next ID of counter "Sheets".
  void Add();
  // Deletes the row of the current ID.
  void Delete();
  // Writes the definition to the row of its ID.
  void Update();
  // Reads the definition of the current Sheetname.
  void Load();

  LR_LONG_PROPERTY(Id, 0)
  LR_TEXT_PROPERTY(Sheetname, 1)
  LR_TEXT_PROPERTY(AlleyName, 2)
  LR_TEXT_PROPERTY(LevelName, 3)
  LR_BOOL_PROPERTY(Condition, 4)
  // Dates are given as "YYYY/MM/DD" (or empty) and stored and returned as "YYYYMMDD".
  std::string StartDate() const { return GetText(5); }
  void StartDate(std::string_view date) { SetDate(5, date, "StartDate"); }
  std::string EndDate() const { return GetText(6); }
  void EndDate(std::string_view date) { SetDate(6, date, "EndDate"); }
  LR_LONG_PROPERTY(Pastcount, 7)
  LR_BOOL_PROPERTY(Sex, 8)
  LR_BOOL_PROPERTY(Title, 9)
  LR_BOOL_PROPERTY(Ranka, 10)
  LR_BOOL_PROPERTY(Rankb, 11)
  LR_BOOL_PROPERTY(Maxim, 12)
  LR_BOOL_PROPERTY(Height, 13)
  LR_BOOL_PROPERTY(Weight, 14)
  LR_BOOL_PROPERTY(Arm, 15)
  LR_BOOL_PROPERTY(Mailaddress, 16)
  LR_BOOL_PROPERTY(Ball, 17)
  LR_BOOL_PROPERTY(Wrist, 18)
  LR_BOOL_PROPERTY(Shoes, 19)
  LR_BOOL_PROPERTY(Bag, 20)
  LR_BOOL_PROPERTY(Totalscore, 21)
  LR_BOOL_PROPERTY(Gamecount, 22)
  LR_BOOL_PROPERTY(Scoredistribution, 23)
  LR_BOOL_PROPERTY(Highscore, 24)
  LR_BOOL_PROPERTY(Lowscore, 25)
  LR_BOOL_PROPERTY(Highseries, 26)
  LR_BOOL_PROPERTY(Lowseries, 27)
  LR_BOOL_PROPERTY(Allstrikerate, 28)
  LR_BOOL_PROPERTY(Allsiderate, 29)
  LR_BOOL_PROPERTY(Allsparerate, 30)
  LR_BOOL_PROPERTY(Allopenrate, 31)
  LR_BOOL_PROPERTY(Allgutterrate, 32)
  LR_BOOL_PROPERTY(Allfoulrate, 33)
  LR_BOOL_PROPERTY(Allsplitrate, 34)
  LR_BOOL_PROPERTY(Allmakerate, 35)
  LR_BOOL_PROPERTY(Strikerate, 36)
  LR_BOOL_PROPERTY(Siderate, 37)
  LR_BOOL_PROPERTY(Sparerate, 38)
  LR_BOOL_PROPERTY(Openrate, 39)
  LR_BOOL_PROPERTY(Gutterrate, 40)
  LR_BOOL_PROPERTY(Foulrate, 41)
  LR_BOOL_PROPERTY(Splitrate, 42)
  LR_BOOL_PROPERTY(Makerate, 43)
  LR_BOOL_PROPERTY(Totalavg, 44)
  LR_BOOL_PROPERTY(MonthAvg, 45)

  // The switch of the given number (0 Sex ... 37 MonthAvg).
  bool SwitchValue(std::size_t index) const { return GetBool(kFirstSwitch + index); }
  void SwitchValue(std::size_t index, bool value) { SetBool(kFirstSwitch + index, value); }

 private:
  static constexpr std::size_t kFirstSwitch = 8;
  void SetDate(std::size_t column, std::string_view date, std::string_view property);
  void IsValid() const;
  std::string Statement(const std::vector<std::string>& conditions) const;
};

}  // namespace lanereport
