#include "database/clsAlley_Data.h"

namespace lanereport {
namespace {

const MasterTraits kAlleyTraits{"Alley_Data",
                                "clsAlley_Data",
                                "AlleyData",
                                "Alley_Name",
                                2,
                                -1,
                                -1,
                                "該当するﾃﾞｰﾀが複数存在します、更新出来ません"};

}  // namespace

clsAlley_Data::clsAlley_Data(Database& db) : MasterRecord(db, kAlleyTraits) {}

}  // namespace lanereport
