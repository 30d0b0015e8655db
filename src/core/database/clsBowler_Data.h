#pragma once

#include <string>
#include <string_view>

#include "database/MasterRecord.h"
#include "database/RecordProperties.h"

namespace lanereport {

// One bowler, a row of Bowler_Data. Name and AName are both required and unique; the password
// is kept in its shifted form (every character code lowered by 15) and shown plain.
class clsBowler_Data : public MasterRecord {
 public:
  explicit clsBowler_Data(Database& db);

  LR_LONG_PROPERTY(Id, 0)
  LR_TEXT_PROPERTY(Name, 1)
  LR_TEXT_PROPERTY(Aname, 2)
  LR_BOOL_PROPERTY(Sex, 3)
  std::string Password() const;
  void Password(std::string_view plain);
  LR_TEXT_PROPERTY(Ranka, 5)
  LR_TEXT_PROPERTY(Rankb, 6)
  LR_TEXT_PROPERTY(Birth, 7)
  LR_TEXT_PROPERTY(Height, 8)
  LR_TEXT_PROPERTY(Weight, 9)
  LR_TEXT_PROPERTY(Arm, 10)
  LR_TEXT_PROPERTY(Ball, 11)
  LR_TEXT_PROPERTY(Wrist, 12)
  LR_TEXT_PROPERTY(Shoes, 13)
  LR_TEXT_PROPERTY(Bag, 14)
  LR_TEXT_PROPERTY(Maxim, 15)
  LR_TEXT_PROPERTY(Mailaddress, 16)
  LR_TEXT_PROPERTY(Photo, 17)
  LR_LONG_PROPERTY(Number, 18)
  LR_LONG_PROPERTY(Experience, 19)
  LR_LONG_PROPERTY(Total30, 20)
  LR_LONG_PROPERTY(Highgame, 21)
  LR_LONG_PROPERTY(Title, 22)
  LR_LONG_PROPERTY(Power, 23)
  LR_LONG_PROPERTY(Hit, 24)
  LR_LONG_PROPERTY(Defense, 25)
  LR_LONG_PROPERTY(Evasion, 26)
  LR_LONG_PROPERTY(Magic, 27)
  LR_LONG_PROPERTY(Effect, 28)
  LR_LONG_PROPERTY(Lastpower, 29)
  LR_LONG_PROPERTY(Lasthit, 30)
  LR_LONG_PROPERTY(Lastdefense, 31)
  LR_LONG_PROPERTY(Lastevasion, 32)
  LR_LONG_PROPERTY(Lastmagic, 33)
  LR_LONG_PROPERTY(Lasteffect, 34)
  LR_TEXT_PROPERTY(Pathchar, 35)
  LR_TEXT_PROPERTY(Pathstyle, 36)
  LR_TEXT_PROPERTY(Pathback, 37)
};

}  // namespace lanereport
