#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"

namespace lanereport::testing {

// What one run of the command line printed and returned.
struct CliResult {
  int status = 0;
  std::string out;
  std::string err;
};

// Runs the command line in-process with the words after the program name, capturing both
// output streams.
inline CliResult RunCli(std::vector<std::string> words) {
  words.insert(words.begin(), "lanereport");
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  std::ostringstream out, err;
  CliResult result;
  result.status = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

}  // namespace lanereport::testing
