#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <thread>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "batch/MakeFlow.h"
#include "pages/ProfilePageOutput.h"
#include "util/AppError.h"
#include "util/OutputFolderLock.h"

namespace lanereport {
namespace {

using namespace std::chrono_literals;
using namespace testing;
namespace fs = std::filesystem;

std::string LockFile(const std::string& folder) {
  return folder + "/" + OutputFolderLock::kLockFileName;
}

// Holds the lock of a folder on a thread of its own until Release is called.
class HolderThread {
 public:
  explicit HolderThread(const std::string& folder) {
    thread_ = std::thread([this, folder] {
      CountingProgress progress;
      OutputFolderLock lock;
      held_.set_value(lock.Acquire(folder, progress, 1s));
      release_.get_future().wait();
    });
    EXPECT_TRUE(held_.get_future().get());
  }
  ~HolderThread() { Release(); }
  void Release() {
    if (!thread_.joinable()) return;
    release_.set_value();
    thread_.join();
  }

 private:
  std::promise<bool> held_;
  std::promise<void> release_;
  std::thread thread_;
};

// Holds the lock of a folder in a child process until it is told to end or is killed.
class HolderProcess {
 public:
  explicit HolderProcess(const std::string& folder) {
    int ready[2];
    int go[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(go), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(go[1]);
      CountingProgress progress;
      OutputFolderLock lock;
      char held = lock.Acquire(folder, progress, 1s) ? '1' : '0';
      if (::write(ready[1], &held, 1) != 1) ::_exit(2);
      char byte;
      ssize_t n = ::read(go[0], &byte, 1);
      lock.Release();
      ::_exit(n == 1 ? 0 : 3);
    }
    ::close(ready[1]);
    ::close(go[0]);
    go_ = go[1];
    char held = 0;
    EXPECT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, '1');
    ::close(ready[0]);
  }
  ~HolderProcess() {
    if (pid_ > 0) Kill();
  }
  // Tells the child to release the lock and waits for it to end.
  void Finish() {
    char byte = 'x';
    EXPECT_EQ(::write(go_, &byte, 1), 1);
    Wait();
  }
  void Kill() {
    ::kill(pid_, SIGKILL);
    Wait();
  }

 private:
  void Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    ::close(go_);
  }
  pid_t pid_ = -1;
  int go_ = -1;
};

TEST(OutputFolderLockTest, TakesAFreeFolderAndLeavesNoFileBehind) {
  TempDir dir;
  CountingProgress progress;
  {
    OutputFolderLock lock;
    ASSERT_TRUE(lock.Acquire(dir.Path(), progress));
    EXPECT_TRUE(lock.Held());
    EXPECT_TRUE(fs::exists(LockFile(dir.Path())));
  }
  EXPECT_FALSE(fs::exists(LockFile(dir.Path())));
  EXPECT_EQ(progress.message1, "");  // nothing to wait for, nothing said
}

TEST(OutputFolderLockTest, AMissingFolderIsMade) {
  TempDir dir;
  CountingProgress progress;
  OutputFolderLock lock;
  ASSERT_TRUE(lock.Acquire(dir.File("a/b"), progress));
  EXPECT_TRUE(fs::is_directory(dir.File("a/b")));
}

TEST(OutputFolderLockTest, ALockHeldByAnotherThreadMakesTheSecondWaitAndFail) {
  TempDir dir;
  HolderThread holder(dir.Path());
  CountingProgress progress;
  OutputFolderLock lock;
  auto start = std::chrono::steady_clock::now();
  try {
    (void)lock.Acquire(dir.Path() + "/", progress, 300ms);
    ADD_FAILURE() << "the lock was taken twice";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrFile);
    EXPECT_NE(e.Description().find(dir.Path()), std::string::npos) << e.Description();
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_FALSE(lock.Held());
  EXPECT_EQ(progress.message1, OutputFolderLock::kWaitingMessage);
}

TEST(OutputFolderLockTest, ALockHeldByAnotherProcessMakesTheSecondWaitAndFail) {
  TempDir dir;
  HolderProcess holder(dir.Path());
  CountingProgress progress;
  OutputFolderLock lock;
  EXPECT_THROW((void)lock.Acquire(dir.Path(), progress, 200ms), AppError);
  EXPECT_EQ(progress.message1, OutputFolderLock::kWaitingMessage);
  holder.Finish();
  EXPECT_TRUE(lock.Acquire(dir.Path(), progress, 200ms));
}

TEST(OutputFolderLockTest, TheWaitEndsWhenTheOtherRunEnds) {
  TempDir dir;
  auto holder = std::make_unique<HolderThread>(dir.Path());
  std::thread releaser([&] {
    std::this_thread::sleep_for(300ms);
    holder->Release();
  });
  CountingProgress progress;
  OutputFolderLock lock;
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(lock.Acquire(dir.Path(), progress, 10s));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(progress.message1, OutputFolderLock::kWaitingMessage);
  releaser.join();
}

TEST(OutputFolderLockTest, AKilledHolderKeepsNobodyOut) {
  TempDir dir;
  HolderProcess holder(dir.Path());
  holder.Kill();
  CountingProgress progress;
  OutputFolderLock lock;
  EXPECT_TRUE(lock.Acquire(dir.Path(), progress, 0ms));
}

TEST(OutputFolderLockTest, StopEndsTheWaitWithNothingHeld) {
  TempDir dir;
  HolderThread holder(dir.Path());
  CountingProgress progress;
  progress.stop_requested = true;
  OutputFolderLock lock;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(lock.Acquire(dir.Path(), progress, 10s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_FALSE(lock.Held());
}

TEST(OutputFolderLockTest, TheThreadThatHoldsItMayTakeItAgain) {
  TempDir dir;
  CountingProgress progress;
  OutputFolderLock outer;
  ASSERT_TRUE(outer.Acquire(dir.Path(), progress, 0ms));
  {
    OutputFolderLock inner;
    EXPECT_TRUE(inner.Acquire(dir.Path() + "/", progress, 0ms));
  }
  // Still held after the inner run: another thread is kept out, and the file is there.
  EXPECT_TRUE(fs::exists(LockFile(dir.Path())));
  std::atomic<bool> refused{false};
  std::thread other([&] {
    CountingProgress mine;
    OutputFolderLock lock;
    try {
      (void)lock.Acquire(dir.Path(), mine, 100ms);
    } catch (const AppError&) {
      refused = true;
    }
  });
  other.join();
  EXPECT_TRUE(refused);
  outer.Release();
  EXPECT_FALSE(fs::exists(LockFile(dir.Path())));
}

// The runs that write into an output folder take its lock: while another run holds it they
// wait, and STOP during the wait ends them with nothing written.
class RunsTakeTheLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddAlley(fx_.Db(), "ホーム", 1, true);
    AddLevel(fx_.Db(), "League", 1, true);
    AddBowler(fx_.Db(), "山田", "yamada", 1);
    AddOpenGame(fx_.Db(), "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");
    fs::create_directories(Out());
  }
  std::string Out() const { return fx_.Dir().File("out"); }
  // Only the lock file of the holder is in the folder.
  std::size_t FilesInOut() const {
    std::size_t n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Out()))
      if (entry.path().filename() != OutputFolderLock::kLockFileName) ++n;
    return n;
  }

  ScoreDbFixture fx_;
  RecordingMessages messages_;
};

// Says STOP once the wait is told.
class StopWhenWaiting : public CountingProgress {
 public:
  void Message1(std::string_view text) override {
    CountingProgress::Message1(text);
    if (text == OutputFolderLock::kWaitingMessage) stop_requested = true;
  }
};

TEST_F(RunsTakeTheLockTest, TheMakeFlowWaitsForTheRunInItsFolder) {
  HolderThread holder(Out());
  StopWhenWaiting progress;
  WindowSettings settings;
  settings.OutFolder = Out();
  FixedChooser chooser(std::nullopt);
  MakeFlow flow(fx_.Db(), "score", settings, progress, messages_, chooser);
  MakeRequest request;
  request.mode = MakeMode::kMonthly;
  request.bowler = "山田";
  request.first_month = "2003/05";
  request.last_month = "2003/05";
  MakeResult result = flow.Make(request);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.monthly_pages, 0);
  EXPECT_EQ(progress.message1, OutputFolderLock::kWaitingMessage);
  EXPECT_EQ(FilesInOut(), 0u);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(RunsTakeTheLockTest, TheProfilePagesWaitForTheRunInTheirFolder) {
  HolderThread holder(Out());
  StopWhenWaiting progress;
  ProfileRunResult result =
      CreateProfilePages(fx_.Db(), "score", Out() + "/", "", progress, messages_);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.pages, 0);
  EXPECT_EQ(FilesInOut(), 0u);
}

}  // namespace
}  // namespace lanereport
