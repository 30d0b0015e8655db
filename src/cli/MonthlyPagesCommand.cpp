#include "BowlerPageRange.h"
#include "CommandTable.h"
#include "pages/MonthlyPageOutput.h"
#include "util/DateText.h"
#include "util/StringUtil.h"

namespace lanereport::cli {
namespace {

// "YYYY/MM" (also "YYYY/M" or "YYYY-MM") as "YYYY/MM"; nothing for anything else.
std::optional<std::string> ParseMonth(const std::string& text) {
  std::optional<std::string> ymd = ParseDateToYmd(std::string(Trim(text)) + "/01");
  if (!ymd) ymd = ParseDateToYmd(std::string(Trim(text)) + "-01");
  if (!ymd) return std::nullopt;
  return ymd->substr(0, 4) + "/" + ymd->substr(4, 2);
}

}  // namespace

int RunMonthlyPages(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  static const BowlerPageRange command{
      UsageOf("monthly-pages"), ParseMonth,         "ただいま、月間表を作成中です",
      "月間表を作成しました",   OutputMonthlyPages,
  };
  return RunBowlerPageRange(command, words, out, err);
}

}  // namespace lanereport::cli
