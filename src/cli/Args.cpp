#include "Args.h"

namespace lanereport::cli {
namespace {

// The words starting with "-" that an option may still take as its value: a negative number,
// which the option's own check then judges, and the blank entry of the centre and level lists
// (a row of dashes).
bool IsDashValue(const std::string& word) {
  return word.size() > 1 && (word.find_first_not_of("0123456789", 1) == std::string::npos ||
                             word.find_first_not_of('-') == std::string::npos);
}

}  // namespace

std::optional<Args> Args::Parse(const std::vector<std::string>& words,
                                const std::set<std::string>& options,
                                const std::set<std::string>& switches, std::string& error) {
  Args args;
  bool only_words = false;  // after "--" every word is a positional one
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (only_words || w.empty() || w[0] != '-') {
      args.positional_.push_back(w);
      continue;
    }
    if (w == "--") {
      only_words = true;
      continue;
    }
    // A word starting with "-" is never a file, folder or name: it is an option or an error.
    std::string name = w.size() > 2 && w.compare(0, 2, "--") == 0 ? w.substr(2) : "";
    if (switches.count(name)) {
      args.switches_.insert(name);
    } else if (options.count(name)) {
      if (i + 1 >= words.size() ||
          (!words[i + 1].empty() && words[i + 1][0] == '-' && !IsDashValue(words[i + 1]))) {
        error = "オプションに値がありません：" + w;
        return std::nullopt;
      }
      args.options_[name] = words[++i];
    } else {
      error = "不明なオプションです：" + w;
      return std::nullopt;
    }
  }
  return args;
}

std::optional<std::string> Args::Option(const std::string& name) const {
  auto it = options_.find(name);
  if (it == options_.end()) return std::nullopt;
  return it->second;
}

}  // namespace lanereport::cli
