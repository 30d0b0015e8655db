#include "database/clsLevel_Data.h"

namespace lanereport {
namespace {

const MasterTraits kLevelTraits{"Level_Data",
                                "clsLevel_Data",
                                "LevelData",
                                "Level_Name",
                                2,
                                -1,
                                -1,
                                "該当するﾃﾞｰﾀは存在しないか、複数存在します"};

}  // namespace

clsLevel_Data::clsLevel_Data(Database& db) : MasterRecord(db, kLevelTraits) {}

}  // namespace lanereport
