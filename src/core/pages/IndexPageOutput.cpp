#include "pages/IndexPageOutput.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>

#include "database/BowlerLookup.h"
#include "database/MasterLists.h"
#include "database/basDataBase.h"
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

// Writes the page unless an index.html of the user's is there. The look images are provided
// under the lock, which the threads that write the bowlers' pages share.
void WriteIndexPage(PageContext& context, const std::string& path, std::string_view key,
                    const std::string& page, IndexRunResult& result, std::mutex& images) {
  if (IsExistFile(path) && !IsOwnIndexPage(ReadBytes(path), key)) {
    result.left_alone.push_back(path);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(images);
    ProvideLookImages(context);
  }
  WritePage(path, page);
  ++result.pages;
  result.written.push_back(path);
}

// Lists the bowler with the games (newest play first, not empty) after those listed before.
// year.lists is reserved for every bowler beforehand: the listing points into it.
void ListBowler(YearDrafts& year, Database& db, const clsBowler_Data& record,
                std::vector<clsResult_Data>&& games) {
  BowlerListing b{record.Number(), record.Name(), record.Aname(), static_cast<long>(games.size())};
  year.lists.emplace_back(db, std::move(games));
  year.listed.push_back({b, &year.lists.back(), IsPlainFileName(b.aname)});
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
    } catch (const AppError& e) {
      RethrowEngineError(e);
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

  std::optional<YearDrafts> ahead;
  if (taken && context.index_drafts) ahead = context.index_drafts->Take(y);
  YearDrafts made;
  YearDrafts& year_bowlers = ahead ? *ahead : made;
  if (!ahead) {
    clsBowler_List known(context.db);
    try {
      known.SelectRecord("");
    } catch (const AppError& e) {
      RethrowEngineError(e);
      return result;
    }
    year_bowlers.lists.reserve(known.Count());
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
      ListBowler(year_bowlers, context.db, record, std::move(games));
    }
    year_bowlers.drafts.resize(year_bowlers.listed.size());
  }
  const std::vector<YearBowler>& listed = year_bowlers.listed;
  auto named = [&](const YearBowler& entry) {
    return all_bowlers || std::any_of(bowlers.begin(), bowlers.end(), [&](const std::string& n) {
             return Trim(n) == Trim(entry.bowler.name);
           });
  };
  if (std::none_of(listed.begin(), listed.end(), named)) return result;

  std::vector<std::size_t> chosen;
  for (std::size_t i = 0; i < listed.size(); ++i)
    if (named(listed[i]) && listed[i].plain_folder) chosen.push_back(i);
  MasterIds ids(context.db);
  std::mutex images;
  // The bowlers' pages are independent of each other: two threads make them, each taking the
  // next bowler in turn, and what each page did is gathered in the bowlers' order. The first
  // failure (in that order) is raised once both have ended; after a failure no new page is
  // begun.
  std::vector<IndexRunResult> done(chosen.size());
  std::vector<std::exception_ptr> failures(chosen.size());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  auto make_pages = [&] {
    for (std::size_t k = next++; k < chosen.size() && !failed; k = next++) {
      try {
        const std::size_t i = chosen[k];
        const BowlerListing& bowler = listed[i].bowler;
        std::string folder = YearFolder(context.out_folder, context.db_name, y, bowler.aname);
        std::optional<BowlerIndexDraft>& draft = year_bowlers.drafts[i];
        std::string page =
            draft ? std::move(*draft).Finish(folder, ids)
                  : MakeBowlerIndexPage(context, y, bowler, year_bowlers.lists[i], folder, ids);
        WriteIndexPage(context, folder + "/" + std::string(kIndexFileName),
                       BowlerIndexKey(y, bowler.aname), page, done[k], images);
      } catch (...) {
        failures[k] = std::current_exception();
        failed = true;
      }
    }
  };
  {
    std::thread other;
    if (chosen.size() > 1) {
      try {
        other = std::thread(make_pages);
      } catch (const std::system_error&) {
        // No second thread to be had: this one makes every page.
      }
    }
    make_pages();
    if (other.joinable()) other.join();
  }
  for (std::size_t k = 0; k < chosen.size(); ++k) {
    if (failures[k]) std::rethrow_exception(failures[k]);
    result.pages += done[k].pages;
    result.written.insert(result.written.end(), done[k].written.begin(), done[k].written.end());
    result.left_alone.insert(result.left_alone.end(), done[k].left_alone.begin(),
                             done[k].left_alone.end());
  }
  std::string year_page = AddPathSeparator(context.out_folder) + context.db_name + y + "/" +
                          std::string(kIndexFileName);
  WriteIndexPage(context, year_page, YearIndexMarker(y), MakeYearIndexPage(context, y, listed),
                 result, images);
  return result;
}

IndexDraftsAhead::IndexDraftsAhead(const PageContext& run, std::string yyyy, const YearGames& year)
    : yyyy_(std::move(yyyy)) {
  clsBowler_List known(run.db);
  try {
    known.SelectRecord("");
  } catch (const AppError& e) {
    RethrowEngineError(e);
    return;  // the index run meets the same and ends
  }
  context_.emplace(PageContext{run.db, run.db_name, run.look, run.out_folder, progress_});
  // The bowlers listed as the index run lists them, from copies of the year's games; the
  // drafts do not read the database (the lists only hold it).
  drafts_.lists.reserve(known.Count());
  for (std::size_t i = 0; i < known.Count(); ++i) {
    const clsBowler_Data& record = known.Item(i);
    std::vector<clsResult_Data> games = year.CopyOf(record.Name());
    if (games.empty()) continue;
    ListBowler(drafts_, run.db, record, TurnPlaysRound(std::move(games)));
  }
  drafts_.drafts.resize(drafts_.listed.size());
  listed_ = true;
}

bool IndexDraftsAhead::DraftNext() {
  if (!listed_) return false;
  // Each draft is its own bowler's: the threads share no element of the lists.
  for (std::size_t i = next_++; i < drafts_.listed.size(); i = next_++) {
    const YearBowler& entry = drafts_.listed[i];
    if (!entry.plain_folder) continue;
    try {
      drafts_.drafts[i].emplace(*context_, yyyy_, entry.bowler, drafts_.lists[i]);
    } catch (...) {
      drafts_.drafts[i].reset();  // the index run makes this page itself
    }
    return true;
  }
  return false;
}

std::optional<YearDrafts> IndexDraftsAhead::Take(std::string_view yyyy) {
  if (!listed_ || yyyy != yyyy_) return std::nullopt;
  listed_ = false;
  return std::move(drafts_);
}

}  // namespace lanereport
