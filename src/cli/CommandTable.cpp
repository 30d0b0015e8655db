#include "CommandTable.h"

namespace lanereport::cli {

const std::vector<CommandEntry>& CommandTable() {
  static const std::vector<CommandEntry> table = {
      {"init", RunInit},
  };
  return table;
}

}  // namespace lanereport::cli
