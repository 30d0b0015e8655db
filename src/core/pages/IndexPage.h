#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "database/BowlerLookup.h"
#include "pages/PageContext.h"
#include "pages/PageText.h"

namespace lanereport {

class Database;
class FileExistence;
class clsResult_List;

// The index pages, the start pages that every score and monthly page links as "index.html":
// the year page of a bowler, {out}/{db}{yyyy}/{Aname}/index.html (this file), and the page of
// the year, {out}/{db}{yyyy}/index.html (IndexYearPage.h). They have the head, body and footer
// of the other pages and say in their head that this program made them: the Generator meta
// line and a comment naming the year and the bowler's folder (the marker below). A page that
// lacks either is the user's and is never written over (IndexPageOutput.h).

inline constexpr std::string_view kIndexFileName = "index.html";

// The marker comment of a bowler's year page and of the year's page, whole lines:
// <!-- ZEPA index-pages year="2025" folder="yamada" bowler="山田太郎" -->
// <!-- ZEPA index-pages year="2025" -->
std::string BowlerIndexMarker(std::string_view yyyy, std::string_view aname,
                              std::string_view bowler);
std::string YearIndexMarker(std::string_view yyyy);
// The part of the marker a page is recognised by: the year and the folder, not the name, so a
// renamed bowler's page is still this program's.
std::string BowlerIndexKey(std::string_view yyyy, std::string_view aname);

// A relative link target: every byte other than letters, digits, "-", ".", "_", "~" and "/"
// written as %XX, so a folder name with blanks or "#" still leads to its file.
std::string LinkPath(std::string_view relative);

// The Ids of centres and levels by name, each looked up once (1 when it cannot be loaded), for
// the file names of the score pages a page links to.
class MasterIds {
 public:
  explicit MasterIds(Database& db) : db_(db) {}
  // Both may be called from two threads at once; the database is read under a lock of its own,
  // so no other use of it may run meanwhile.
  long Alley(const std::string& name);
  long Level(const std::string& name);

 private:
  Database& db_;
  std::mutex mutex_;
  std::map<std::string, long> alleys_;
  std::map<std::string, long> levels_;
};

// The pieces both index pages are made of, in the look of the monthly page: a table with a
// white background and a border, its rows of cells holding one bold content (markup, already
// escaped), and the bold heading paragraph above a table or chart.
void AppendIndexTableStart(PageText& page, std::string_view summary);
void AppendIndexTableEnd(PageText& page);
void AppendIndexCell(PageText& page, std::string_view background, std::string_view content);
void AppendIndexHeading(PageText& page, std::string_view heading);
// A link to target (relative, LinkPath applied) with the text, when the file exists in folder;
// the text alone otherwise. folder ends without "/".
std::string LinkIfExists(std::string_view folder, std::string_view target, std::string_view text);
// The same, the file looked for with files (one listing of a folder for many links).
std::string LinkIfExists(FileExistence& files, std::string_view folder, std::string_view target,
                         std::string_view text);

// Builds the year page of a bowler (UTF-8): the name table, the year's figures (games, total,
// average, high and low game and series), three charts with a table of their figures beneath
// each (the monthly average with the months' games, the score distribution in bands of ten
// pins, strike, spare and open rates of frames 1 to 10), the months linked to their monthly
// pages and the plays, newest first, linked to their score pages. games: the bowler's games of
// the year yyyy in the counted levels, newest play first (order 1), not empty; every figure is
// one of its aggregates or rates, or those of its months and plays. folder: the bowler's
// folder of the year, where a monthly or score page must exist to be linked.
std::string MakeBowlerIndexPage(const PageContext& context, std::string_view yyyy,
                                const BowlerListing& bowler, clsResult_List& games,
                                std::string_view folder, MasterIds& ids);

// The same page in two steps: the draft makes it up to the months and plays, which link the
// pages that exist when it is finished; the figures and charts, which take the work, can so be
// made before the monthly and score pages are in place. A draft holds what it needs of games.
class BowlerIndexDraft {
 public:
  BowlerIndexDraft(const PageContext& context, std::string_view yyyy, const BowlerListing& bowler,
                   clsResult_List& games);
  ~BowlerIndexDraft();
  BowlerIndexDraft(BowlerIndexDraft&&) noexcept;
  BowlerIndexDraft& operator=(BowlerIndexDraft&&) noexcept;

  // The whole page, as MakeBowlerIndexPage makes it with folder and ids; once only.
  std::string Finish(std::string_view folder, MasterIds& ids) &&;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace lanereport
