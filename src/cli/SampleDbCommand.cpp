#include <optional>
#include <string>

#include "Args.h"
#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "sample/SampleDatabase.h"
#include "util/StringUtil.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("sample-db");

// The whole number of an option within [low, high]; nothing when the text is not one.
std::optional<long long> NumberOption(const Args& args, const std::string& name, long long low,
                                      long long high, long long fallback, std::ostream& err) {
  std::optional<std::string> text = args.Option(name);
  if (!text) return fallback;
  std::optional<long long> value = ParseInteger(*text);
  if (!value || *value < low || *value > high) {
    err << "--" << name << " は " << low << "～" << high << " の整数で指定して下さい：" << *text
        << "\n"
        << kUsage << "\n";
    return std::nullopt;
  }
  return value;
}

}  // namespace

int RunSampleDb(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<Args> args =
      Args::Parse(words, {"bowlers", "years", "end-year", "seed"}, {}, error);
  if (!args || args->Positional().size() != 1) {
    if (!error.empty()) err << error << "\n";
    err << kUsage << "\n";
    return kExitUsage;
  }
  auto bowlers = NumberOption(*args, "bowlers", 1, 500, 12, err);
  auto years = NumberOption(*args, "years", 1, 50, 2, err);
  auto end_year = NumberOption(*args, "end-year", 1950, 9999, 0, err);
  auto seed = NumberOption(*args, "seed", 0, 9223372036854775807LL, 1, err);
  if (!bowlers || !years || !end_year || !seed) return kExitUsage;

  SampleOptions options;
  options.bowlers = static_cast<int>(*bowlers);
  options.years = static_cast<int>(*years);
  options.end_year = static_cast<int>(*end_year);
  options.seed = static_cast<std::uint64_t>(*seed);
  const std::string& path = args->Positional()[0];

  StopSignal stop;
  SampleSummary summary;
  {
    TerminalProgress progress(err, stop);
    progress.Message1("ただいま、サンプルデータを作成中です");
    progress.Message2("しばらくお待ちください...");
    summary = CreateSampleDatabase(path, options, &progress);
  }
  if (summary.stopped) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  out << "サンプルデータベースを作成しました：" << path << "（ボウラー " << summary.bowlers
      << " 人、ゲーム " << summary.games << " 件）\n";
  return kExitOk;
}

}  // namespace lanereport::cli
