#include "pages/IndexPageOutput.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "database/BowlerLookup.h"
#include "database/DataBase.h"
#include "database/MasterLists.h"
#include "pages/IndexPage.h"
#include "pages/IndexYearPage.h"
#include "pages/LookImages.h"
#include "pages/PageLayout.h"
#include "pages/PlayLookup.h"
#include "scoring/YearGames.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/PathControl.h"
#include "util/PlainName.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr std::string_view kGeneratorLine = R"(<meta name="Generator" content="ZEPA">)";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Writes the page unless an index.html of the user's is there.
void WriteIndexPage(PageContext& context, const std::string& path, std::string_view key,
                    const std::string& page, IndexRunResult& result) {
  if (IsExistFile(path) && !IsOwnIndexPage(ReadBytes(path), key)) {
    result.left_alone.push_back(path);
    return;
  }
  ProvideLookImages(context);
  WritePage(path, page);
  ++result.pages;
  result.written.push_back(path);
}

}  // namespace

bool IsOwnIndexPage(std::string_view bytes, std::string_view key) {
  return bytes.find(kGeneratorLine) != std::string_view::npos &&
         bytes.find(Utf8ToCp932(key)) != std::string_view::npos;
}

IndexRunResult OutputIndexPages(PageContext& context, std::string_view yyyy,
                                const std::vector<std::string>& bowlers, bool all_bowlers) {
  IndexRunResult result;
  RequireYearFolder(context.db_name);
  const std::string y(yyyy);
  // The year's games of a bulk run are taken from it, bowler by bowler, as the selection below
  // would give them.
  YearGames* taken = context.year_games && context.year_games->Serves(y + "0101", y + "1231")
                         ? context.year_games
                         : nullptr;
  // The games of each bowler, newest play first as selected, moved out of the year's list.
  std::map<std::string, std::vector<clsResult_Data>> by_bowler;
  if (taken) {
    if (taken->Empty()) return result;
  } else {
    clsResult_List year(context.db);
    try {
      year.SelectRecord("Play_Date Between " + SqlQuote(y + "0101") + " And " +
                            SqlQuote(y + "1231") + " And" + CalculationTargetCondition(),
                        1);
    } catch (const AppError&) {
      return result;
    }
    std::map<std::string, std::size_t> counts;
    for (const clsResult_Data& game : year) ++counts[game.BowlerName()];
    for (const auto& [name, count] : counts) by_bowler[name].reserve(count);
    for (std::size_t i = 0; i < static_cast<std::size_t>(year.Count()); ++i) {
      clsResult_Data& game = year.Item(i);
      by_bowler[game.BowlerName()].push_back(std::move(game));
    }
  }

  clsBowler_List known(context.db);
  try {
    known.SelectRecord("");
  } catch (const AppError&) {
    return result;
  }
  std::vector<YearBowler> listed;
  std::vector<clsResult_List> lists;
  lists.reserve(known.Count());
  for (std::size_t i = 0; i < known.Count(); ++i) {
    const clsBowler_Data& record = known.Item(i);
    std::vector<clsResult_Data> games;
    if (taken) {
      games = taken->Take(record.Name());
      if (games.empty()) continue;
      games = TurnPlaysRound(std::move(games));
    } else {
      auto found = by_bowler.find(record.Name());
      if (found == by_bowler.end()) continue;
      games = std::move(found->second);
      by_bowler.erase(found);
    }
    BowlerListing b{record.Number(), record.Name(), record.Aname(),
                    static_cast<long>(games.size())};
    lists.emplace_back(context.db, std::move(games));
    listed.push_back({b, &lists.back(), IsPlainFileName(b.aname)});
  }
  auto named = [&](const YearBowler& entry) {
    return all_bowlers || std::any_of(bowlers.begin(), bowlers.end(), [&](const std::string& n) {
             return Trim(n) == Trim(entry.bowler.name);
           });
  };
  if (std::none_of(listed.begin(), listed.end(), named)) return result;

  MasterIds ids(context.db);
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const YearBowler& entry = listed[i];
    if (!named(entry) || !entry.plain_folder) continue;
    std::string folder = YearFolder(context.out_folder, context.db_name, y, entry.bowler.aname);
    std::string page = MakeBowlerIndexPage(context, y, entry.bowler, lists[i], folder, ids);
    WriteIndexPage(context, folder + "/" + std::string(kIndexFileName),
                   BowlerIndexKey(y, entry.bowler.aname), page, result);
  }
  std::string year_page = AddPathSeparator(context.out_folder) + context.db_name + y + "/" +
                          std::string(kIndexFileName);
  WriteIndexPage(context, year_page, YearIndexMarker(y), MakeYearIndexPage(context, y, listed),
                 result);
  return result;
}

}  // namespace lanereport
