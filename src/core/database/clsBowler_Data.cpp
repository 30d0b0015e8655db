#include "database/clsBowler_Data.h"

#include "util/DataChange.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr std::size_t kPasswordColumn = 4;

const MasterTraits kBowlerTraits{"Bowler_Data",
                                 "clsBowler_Data",
                                 "BowlerData",
                                 "Bowler_Name",
                                 1,
                                 2,
                                 static_cast<int>(kPasswordColumn),
                                 "該当するﾃﾞｰﾀが複数存在します、更新出来ません"};

}  // namespace

clsBowler_Data::clsBowler_Data(Database& db) : MasterRecord(db, kBowlerTraits) {}

std::string clsBowler_Data::Password() const {
  return PasswordShift("RESET", Trim(Raw(kPasswordColumn).Text()));
}

void clsBowler_Data::Password(std::string_view plain) {
  SetText(kPasswordColumn, PasswordShift("SET", plain), "Password");
}

}  // namespace lanereport
