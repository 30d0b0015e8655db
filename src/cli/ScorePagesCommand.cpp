#include "BowlerPageRange.h"
#include "CommandTable.h"
#include "pages/ScorePageOutput.h"
#include "util/DateText.h"

namespace lanereport::cli {

int RunScorePages(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  static const BowlerPageRange command{
      UsageOf("score-pages"),
      [](const std::string& text) -> std::optional<std::string> {
        std::optional<std::string> ymd = ParseDateToYmd(text);
        if (!ymd) return std::nullopt;
        return YmdToSlashed(*ymd);
      },
      "ただいま、スコア表を作成中です",
      "スコア表を作成しました",
      OutputScorePages,
  };
  return RunBowlerPageRange(command, words, out, err);
}

}  // namespace lanereport::cli
