#include "pages/MonthlyPageOutput.h"

#include <algorithm>
#include <optional>
#include <string>

#include "pages/BowlerGames.h"
#include "pages/LookImages.h"
#include "pages/MonthlyPage.h"
#include "pages/PageLayout.h"
#include "pages/PlayLookup.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

// A month as a count of months since year 0.
std::optional<long> MonthIndex(std::string_view slashed) {
  slashed = Trim(slashed);
  if (slashed.size() < 7 || slashed[4] != '/') return std::nullopt;
  std::optional<long long> year = ParseInteger(slashed.substr(0, 4));
  std::optional<long long> month = ParseInteger(slashed.substr(5, 2));
  if (!year || !month || !IsValidDate(static_cast<int>(*year), static_cast<int>(*month), 1))
    return std::nullopt;
  return static_cast<long>(*year * 12 + *month - 1);
}

// "yyyymm" of a month index.
std::string MonthText(long index) {
  std::string year = std::to_string(index / 12);
  std::string month = std::to_string(index % 12 + 1);
  return std::string(4 - std::min<std::size_t>(4, year.size()), '0') + year +
         (month.size() < 2 ? "0" : "") + month;
}

// The month of the newest game of the database in the levels that count; 1990/01 when there
// is none.
long LatestMonth(Database& db) {
  try {
    clsResult_List newest(db);
    newest.SelectCount("", "99999999", 1, 3, CalculationTargetCondition(), "");
    std::string date = newest.Item(0).PlayDate();
    if (auto index = MonthIndex(date.substr(0, 4) + "/" + date.substr(4, 2))) return *index;
  } catch (const AppError& e) {
    RethrowEngineError(e);
  }
  return 1990 * 12;
}

}  // namespace

PageRunResult OutputMonthlyPages(PageContext& context, std::string_view bowler,
                                 std::string_view sub_folder, std::string_view first_month,
                                 std::string_view last_month, bool overwrite) {
  std::optional<long> first = MonthIndex(first_month);
  std::optional<long> last = MonthIndex(last_month);
  if (!first || !last) {
    throw AppError(kErrInvalidValue, "OutputMonthlyPages", "日付が正しくありません");
  }
  RequireBowlerFolder(bowler, sub_folder);
  RequireYearFolder(context.db_name);
  PageRunResult result;
  if (!context.latest_month) context.latest_month = LatestMonth(context.db);
  const long latest = *context.latest_month;
  const long months = *last - *first + 1;
  if (months <= 0) return result;
  context.progress.StartProgress(1, months);
  context.files = {};
  // The bowler's games of all the months are selected once; each month's page is cut from them.
  const BowlerGames games(context.db, bowler, MonthText(*first) + "01", MonthText(*last) + "31",
                          context.year_games);
  struct Installed {
    PageContext& context;
    ~Installed() { context.games = nullptr; }
  } installed{context};
  context.games = &games;

  for (long current = *first; current <= *last; ++current) {
    if (context.progress.StopFlag()) {
      result.stopped = true;
      break;
    }
    std::string yyyymm = MonthText(current);
    std::string folder =
        YearFolder(context.out_folder, context.db_name, yyyymm.substr(0, 4), sub_folder);
    std::string file = folder + "/" + MonthlyPageFileName(yyyymm);
    if (overwrite || current == latest || !context.files.IsExistFile(file)) {
      std::string page;
      const bool ahead = MadeAhead(context, file) != nullptr;
      bool built = ahead || MakeMonthlyPage(context, bowler, yyyymm, page);
      if (context.progress.StopFlag()) {
        result.stopped = true;
        break;
      }
      if (built) {
        // The folder is made with its first page, so months without games leave no folder.
        ProvideLookImages(context);
        if (ahead)
          WriteMadeAhead(context, file);
        else
          WritePage(context, file, page);
        ++result.pages;
      }
    } else {
      ++result.kept;
    }
    context.progress.CountProgress(1, 1);
    if (context.progress.StopFlag()) {
      result.stopped = true;
      break;
    }
  }
  return result;
}

}  // namespace lanereport
