#include "pages/PageContext.h"

#include "util/StringUtil.h"

namespace lanereport {

bool IsLeagueDatabase(const std::string& db_name) {
  return Trim(db_name) == kLeagueDbName;
}

}  // namespace lanereport
