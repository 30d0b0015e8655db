#include "ScoreDb.h"

#include <cstdlib>

#include "database/Schema.h"

namespace lanereport::testing {

ScoreDbFixture::ScoreDbFixture() {
  ::setenv("LANEREPORT_HOME", dir_.Path().c_str(), 1);
  db_ = CreateScoreDatabase(DbPath());
  // Test databases are thrown away: no need to wait for the disk on every write.
  db_->ExecuteNative("PRAGMA synchronous=OFF");
}

ScoreDbFixture::~ScoreDbFixture() {
  db_.reset();
  ::unsetenv("LANEREPORT_HOME");
}

}  // namespace lanereport::testing
