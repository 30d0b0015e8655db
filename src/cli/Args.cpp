#include "Args.h"

namespace lanereport::cli {

std::optional<Args> Args::Parse(const std::vector<std::string>& words,
                                const std::set<std::string>& options,
                                const std::set<std::string>& switches, std::string& error) {
  Args args;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() > 2 && w.compare(0, 2, "--") == 0) {
      std::string name = w.substr(2);
      if (switches.count(name)) {
        args.switches_.insert(name);
      } else if (options.count(name)) {
        if (i + 1 >= words.size()) {
          error = "オプションに値がありません：" + w;
          return std::nullopt;
        }
        args.options_[name] = words[++i];
      } else {
        error = "不明なオプションです：" + w;
        return std::nullopt;
      }
    } else {
      args.positional_.push_back(w);
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
