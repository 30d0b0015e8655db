#include "BowlerPageRange.h"
#include "CommandTable.h"
#include "pages/ScorePageOutput.h"
#include "util/DateText.h"

namespace lanereport::cli {

int RunScorePages(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  static const BowlerPageRange command{
      "使い方: lanereport score-pages DB --bowler NAME --from YYYY/MM/DD --to YYYY/MM/DD "
      "[--out DIR] [--keep]",
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
