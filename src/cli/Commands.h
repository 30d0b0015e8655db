#pragma once

#include <ostream>

namespace lanereport::cli {

// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
// The run published what it could read and left out what it could not (said on standard
// error, with the count).
inline constexpr int kExitLeftOut = 3;
inline constexpr int kExitUsage = 2;

// Runs the command line: the first argument names the subcommand. Completion messages go to
// out, failures and usage to err. Returns the exit status.
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace lanereport::cli
