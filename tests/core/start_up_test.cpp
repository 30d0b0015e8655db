#include "start/StartUp.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "FakeWindows.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "util/AppError.h"
#include "util/IniControl.h"
#include "util/InstanceLock.h"
#include "util/Make.h"

namespace lanereport {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(StartUpTest, VersionInTheIniFileIsComparedAsText) {
  TempDir dir;
  const std::string ini = dir.File("ZEPA.INI");
  // No INI file: nothing read, nothing created.
  EXPECT_EQ(UpdateIniVersion(ini, "1.9.0"), "");
  EXPECT_FALSE(std::filesystem::exists(ini));

  // "1.10.0" sorts before "1.9.0" by character codes, so it is overwritten.
  MakeFile(ini, "[SYSTEM]\r\nVer=1.10.0\r\n");
  EXPECT_EQ(UpdateIniVersion(ini, "1.9.0"), "1.9.0");
  EXPECT_EQ(ReadIni(ini, "SYSTEM", "Ver"), "1.9.0");
  struct stat st {};
  ASSERT_EQ(::stat(ini.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u) << "the INI file is left read-only";

  // An equal or later-sorting text is left alone and shown as stored.
  EXPECT_EQ(UpdateIniVersion(ini, "1.9.0"), "1.9.0");
  ::chmod(ini.c_str(), 0644);
  MakeFile(ini, "[SYSTEM]\r\nVer=2.0 beta\r\n");
  EXPECT_EQ(UpdateIniVersion(ini, "1.9.0"), "2.0 beta");
  EXPECT_EQ(ReadIni(ini, "SYSTEM", "Ver"), "2.0 beta");
}

TEST(StartUpTest, TheSuitesStartOptionsGiveModeAndDatabase) {
  EXPECT_TRUE(IsWindowStart({}));
  EXPECT_TRUE(IsWindowStart({"/m1", "/d/data/score.db"}));
  EXPECT_FALSE(IsWindowStart({"init", "x.db"}));

  StartOptions two = ParseStartOptions({"/m2/d/home/user/data/score.db"});
  EXPECT_EQ(two.start_mode, 1);
  EXPECT_EQ(two.database, "/home/user/data/score.db");

  StartOptions one = ParseStartOptions({"/m1", "/d/home/user/my", "scores/score.db"});
  EXPECT_EQ(one.start_mode, 0);
  EXPECT_EQ(one.database, "/home/user/my scores/score.db");

  // The database first, in a folder under /mnt: "/mnt" is no mode option.
  StartOptions later = ParseStartOptions({"/d/mnt/usb/score.db", "/M1"});
  EXPECT_EQ(later.start_mode, 0);
  EXPECT_EQ(later.database, "/mnt/usb/score.db");

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"/d/data/score.db"}, std::vector<std::string>{"/mx", "/d/a.db"}}) {
    try {
      ParseStartOptions(bad);
      FAIL() << bad[0];
    } catch (const AppError& e) {
      EXPECT_EQ(e.Number(), kErrInvalidValue);
      EXPECT_NE(e.Description().find("/m"), std::string::npos);
    }
  }
}

TEST(StartUpTest, EachEmptyMasterTableHasItsWarning) {
  testing::ScoreDbFixture fixture;
  Database& db = fixture.Db();
  testing::RecordingMessages messages;
  auto second_lines = [&] {
    std::vector<std::string> lines;
    for (const MessageText& m : messages.shown) {
      EXPECT_EQ(m.timer_seconds, 10);
      lines.push_back(m.message2);
    }
    return lines;
  };
  EXPECT_FALSE(CheckMasters(db, messages));
  db.ExecuteNative(
      "INSERT INTO Bowler_Data (ID, Name, AName, Number) VALUES (1, '山田', 'yamada', 1)");
  EXPECT_FALSE(CheckMasters(db, messages));
  db.ExecuteNative("INSERT INTO Alley_Data (ID, Number, Name) VALUES (1, 1, '中央ボウル')");
  EXPECT_FALSE(CheckMasters(db, messages));
  db.ExecuteNative(
      "INSERT INTO Level_Data (ID, Number, Name, CalculationTarget) VALUES (1, 1, 'リーグ', 1)");
  EXPECT_TRUE(CheckMasters(db, messages));
  EXPECT_EQ(second_lines(),
            (std::vector<std::string>{"マスタ処理[Bowler] にてボウラーの登録を行ってください",
                                      "マスタ処理[Alley] にてボウリング場の登録を行ってください",
                                      "マスタ処理[Level] にてレベルの登録を行ってください"}));
}

TEST(InstanceLockTest, ASecondInstanceIsRefusedUntilTheFirstHasDied) {
  TempDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceLock first;
    char ok = first.Acquire() ? '1' : '0';
    (void)!::write(ready[1], &ok, 1);
    ::pause();  // holds the lock until killed
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  EXPECT_EQ(ok, '1');
  {
    InstanceLock second;
    EXPECT_FALSE(second.Acquire());
  }
  // The first one dies without letting go: the system releases its lock.
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  InstanceLock third;
  EXPECT_TRUE(third.Acquire());
  InstanceLock fourth;
  EXPECT_FALSE(fourth.Acquire());
  third.Release();
  EXPECT_TRUE(fourth.Acquire());
  ::close(ready[0]);
  ::close(ready[1]);
  ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace lanereport
