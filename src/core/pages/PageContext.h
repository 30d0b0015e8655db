#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "database/WindowSettings.h"
#include "ui/ProgressWindow.h"
#include "util/FileExistence.h"

namespace lanereport {

class AsyncFileWriter;
class BowlerGames;
class IndexDraftsAhead;
class PageStage;
class YearGames;
class Database;

// The master values the pages of one run look up, each read once per run: centre Ids, and level
// Ids with their colours.
struct MasterCache {
  std::map<std::string, long, std::less<>> alley_ids;
  std::map<std::string, std::pair<long, std::string>, std::less<>> levels;
};

// What the page generators and drivers of one run work with, handed over by the output window
// or the command line. The database and the progress window must outlive every call that gets
// the context.
struct PageContext {
  Database& db;
  // The database name that names the year folders and switches the league rules on for
  // "ZepaMasters" (DbNameOf of the database file).
  std::string db_name;
  // The look settings as they stand when the run starts.
  WindowSettings look;
  // The output folder, already fixed by the caller (the make flow replaces an empty one by the
  // desktop).
  std::string out_folder;
  ProgressWindow& progress;
  // The look images this run copied into the output folder (ProvideLookImages), full paths;
  // looked for once, with the run's first page.
  std::vector<std::string> images_copied = {};
  bool images_provided = false;
  // The games of the bowler in hand, selected once by the driver; null when none was.
  const BowlerGames* games = nullptr;
  MasterCache masters = {};
  // The month of the database's newest counted game, once looked up.
  std::optional<long> latest_month = {};
  // The counted games of the year of a bulk run, selected once for all its pages; null
  // outside a bulk run.
  YearGames* year_games = nullptr;
  // When given, the pages of the run are written on its thread (WritePage with the context).
  AsyncFileWriter* writer = nullptr;
  // Which pages are there already, each folder listed once per driver run (each driver starts
  // it anew, so that what others changed between runs is seen).
  FileExistence files = {};
  // When given, the pages of the run go into this stage instead of their files: the context
  // of a thread that makes a bulk run's pages ahead.
  PageStage* make_ahead = nullptr;
  // When given, a page made ahead there is put in place instead of being made again.
  PageStage* made_ahead = nullptr;
  // When given, the year pages are finished from the drafts made there.
  IndexDraftsAhead* index_drafts = nullptr;
};

// What a driver run did: the pages it wrote and whether STOP ended it early.
struct PageRunResult {
  long pages = 0;  // pages written
  long kept = 0;   // pages left as they were because they exist and were not to be replaced
  bool stopped = false;
};

// The one database on which the league rules of the monthly and profile pages apply.
inline constexpr const char* kLeagueDbName = "ZepaMasters";

// True when db_name, trimmed, is the league database's name.
bool IsLeagueDatabase(const std::string& db_name);

}  // namespace lanereport
