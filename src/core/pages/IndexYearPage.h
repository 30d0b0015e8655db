#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "database/BowlerLookup.h"
#include "pages/PageContext.h"

namespace lanereport {

class clsResult_List;

// The page of a year, {out}/{db}{yyyy}/index.html: the bowlers of the year with their figures,
// each linked to the bowler's year page when it is there, and links to what else of the year
// lies in the output folder: the workbook's published pages and the workbook of the year
// ({db}{yyyy}/{sheet}-{yyyy}.html, {db}{yyyy}/{db}{yyyy}.xlsx) and the bowlers' profile pages
// ({out}/{Aname}.html). Its head carries YearIndexMarker (IndexPage.h).

// A bowler of the year and the bowler's games of the year in the counted levels (not empty).
struct YearBowler {
  BowlerListing bowler;
  const clsResult_List* games = nullptr;
  bool plain_folder = true;  // the Aname can be a folder; else the bowler gets no page
};

// Builds the page (UTF-8) of the year yyyy with the bowlers in the order given (number order):
// number, name, games, average, high game and a link to the profile page. Links are made only
// to files that exist under context.out_folder.
std::string MakeYearIndexPage(const PageContext& context, std::string_view yyyy,
                              const std::vector<YearBowler>& bowlers);

}  // namespace lanereport
