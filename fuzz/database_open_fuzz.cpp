// A damaged score database: a file of arbitrary bytes opened with OpenDataBase and, when it
// opens, read as the program reads it at the start of a run: the settings, the master lists,
// the statistics-sheet definitions and every game with its statistics. Only the program's own
// errors may come out; a file OpenDataBase does not take is refused without one.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "database/Database.h"
#include "database/MasterLists.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "database/clsS_OUTPUT_List.h"
#include "scoring/clsResult_List.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

template <typename Read>
void Refusable(Read read) {
  try {
    read();
  } catch (const AppError&) {
  }
}

void ReadEverything(Database& db) {
  Refusable([&] { LoadWindowSettings(db); });
  Refusable([&] { clsBowler_List(db).SelectRecord(""); });
  Refusable([&] { clsAlley_List(db).SelectRecord(""); });
  Refusable([&] { clsLevel_List(db).SelectRecord(""); });
  Refusable([&] { clsS_OUTPUT_List(db).Load(""); });
  Refusable([&] {
    clsResult_List games(db);
    games.SelectRecord("", 0);
    (void)games.ScoreTotal();
    (void)games.Avg();
    (void)games.getStartMonth();
    (void)games.MaxSeries();
    (void)games.MinSeries();
    (void)games.MaxSeriesGame();
    games.CalcProbability();
    (void)games.AllProbability(0);
  });
}

}  // namespace
}  // namespace lanereport

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lanereport;
  std::string path = fuzz::WriteFuzzFile("score.db", fuzz::AsText(data, size));
  // The journal of an earlier input must not be rolled into this one.
  for (const char* side : {"-journal", "-wal", "-shm"}) std::remove((path + side).c_str());
  std::unique_ptr<Database> db;
  try {
    db = OpenDataBase(path, kSuitePassword);
  } catch (const AppError& error) {
    fuzz::Broken("OpenDataBase refuses a file by returning nothing", error.Description());
  }
  if (db) ReadEverything(*db);
  return 0;
}
