#pragma once

#include <memory>
#include <string>

#include "TempDir.h"
#include "database/Database.h"

namespace lanereport::testing {

// A new, empty score database in its own temporary folder, with the program folder pointed at
// that folder too ($LANEREPORT_HOME), so nothing outside it is read or written.
class ScoreDbFixture {
 public:
  ScoreDbFixture();
  ~ScoreDbFixture();

  Database& Db() { return *db_; }
  const TempDir& Dir() const { return dir_; }
  std::string DbPath() const { return dir_.File("score.db"); }

 private:
  TempDir dir_;
  std::unique_ptr<Database> db_;
};

}  // namespace lanereport::testing
