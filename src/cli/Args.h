#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lanereport::cli {

// The arguments of one subcommand: positional words, "--name value" options and "--flag"
// switches. Parsing is told which names are switches (they take no value). A word that starts
// with "-" is never a positional word (a file, folder or name) unless it follows "--"; an
// option's value may not start with "-" either, except a negative number.
class Args {
 public:
  // Parses; on a usage error (an unknown option, an option without its value) returns nothing
  // and puts the reason into error.
  static std::optional<Args> Parse(const std::vector<std::string>& words,
                                   const std::set<std::string>& options,
                                   const std::set<std::string>& switches, std::string& error);

  const std::vector<std::string>& Positional() const { return positional_; }
  std::optional<std::string> Option(const std::string& name) const;
  bool Switch(const std::string& name) const { return switches_.count(name) > 0; }

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> options_;
  std::set<std::string> switches_;
};

}  // namespace lanereport::cli
