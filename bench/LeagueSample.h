#pragma once

// A league-sized sample database (99 bowlers, five years ending 2023) for the benchmarks, made
// once per program in a temporary folder and removed at exit.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "sample/SampleDatabase.h"

namespace lanereport::bench {

class LeagueSample {
 public:
  LeagueSample() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/lrbench-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    SampleOptions options;
    options.bowlers = 99;
    options.years = 5;
    options.end_year = 2023;
    CreateSampleDatabase(folder_ + "/league.db", options);
    db_ = OpenDataBase(folder_ + "/league.db", kSuitePassword);
    auto first = db_->OpenRecordset("Select * From Bowler_Data Where Number = 1");
    bowler_ = first->Field("Name").Text();
    aname_ = first->Field("Aname").Text();
  }
  ~LeagueSample() {
    db_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  Database& Db() { return *db_; }
  // The bowler numbered 1 and that bowler's Latin name.
  const std::string& Bowler() const { return bowler_; }
  const std::string& Aname() const { return aname_; }
  // A folder of the sample's own, for output.
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  std::unique_ptr<Database> db_;
  std::string bowler_;
  std::string aname_;
};

inline LeagueSample& Sample() {
  static LeagueSample sample;
  return sample;
}

}  // namespace lanereport::bench
