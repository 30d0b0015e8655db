#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "CliSample.h"
#include "TerminalProgress.h"
#include "util/Utf8Text.h"

namespace lanereport {
namespace {

using testing::RunCli;

// The pieces a terminal shows of the bytes written to it: split at every carriage return and
// line end, with the erase-line sequence taken out.
std::vector<std::string> Pieces(const std::string& bytes) {
  std::vector<std::string> pieces;
  std::string piece;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes.compare(i, 3, "\x1b[K") == 0) {
      i += 2;
    } else if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
    } else {
      piece += bytes[i];
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

TEST(TerminalProgressLine, FitsTheTerminalCountingWideCharactersTwice) {
  cli::StopSignal stop;
  std::ostringstream err;
  cli::TerminalProgress progress(err, stop);
  progress.Message1("ただいま、スコア表を作成中です");
  progress.Message2("しばらくお待ちください...");
  progress.Overall(3, 3, "スコア表", 17, 99);
  progress.StartProgress(1, 10);
  progress.CountProgress(1, 5);
  for (int columns : {20, 40, 80, 120, 200}) {
    std::string line = progress.Line(columns);
    EXPECT_LT(DisplayColumns(line), columns) << line;
    EXPECT_NE(line.find("%"), std::string::npos) << line;
  }
  // Wide enough, the step and the whole messages show; the bar covers the step as a whole:
  // 16 bowlers done and half of the 17th is 16.5 of 99.
  std::string wide = progress.Line(200);
  EXPECT_EQ(
      wide.rfind("[3/3 スコア表 17/99] ただいま、スコア表を作成中です しばらくお待ちください... [",
                 0),
      0u)
      << wide;
  EXPECT_NE(wide.find("] 16%"), std::string::npos) << wide;
  // Narrow, the messages are cut, never the percentage, and no character is split.
  std::string narrow = progress.Line(40);
  EXPECT_EQ(narrow.substr(narrow.size() - 4), " 16%");
  EXPECT_NE(narrow.find("[3/3 スコア表"), std::string::npos);
  // Nothing reaches a stream that is not the terminal.
  EXPECT_TRUE(err.str().empty());
}

class TerminalProgressRun : public testing::CliSampleTest {
 protected:
  // Runs the program with its standard error and output on a terminal of columns columns;
  // returns what the terminal received.
  std::string RunOnTerminal(std::vector<std::string> words, int columns, int* status) {
    winsize size{};
    size.ws_col = static_cast<unsigned short>(columns);
    size.ws_row = 24;
    int master = -1;
    pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
    if (child == 0) {
      words.insert(words.begin(), LANEREPORT_BINARY);
      std::vector<char*> argv;
      for (std::string& w : words) argv.push_back(w.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
      ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n <= 0) break;  // EIO once the child has closed the terminal
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(master);
    int wait_status = 0;
    ::waitpid(child, &wait_status, 0);
    *status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1;
    return bytes;
  }
};

TEST_F(TerminalProgressRun, ABulkRunDrawsWithinTheTerminalAndClearsBeforeItsMessages) {
  for (int columns : {80, 200}) {
    int status = -1;
    std::string out = Path("out" + std::to_string(columns));
    std::string bytes =
        RunOnTerminal({"bulk", Db(), "--year", "2025", "--out", out}, columns, &status);
    ASSERT_EQ(status, 0) << bytes;
    std::vector<std::string> pieces = Pieces(bytes);
    bool drew_a_step = false;
    for (const std::string& piece : pieces) {
      EXPECT_LT(DisplayColumns(piece), columns) << piece;
      drew_a_step = drew_a_step || piece.rfind("[3/3 スコア表 ", 0) == 0;
    }
    EXPECT_TRUE(drew_a_step) << bytes;
    // The completion message stands alone on its line, not after a bar.
    EXPECT_NE(std::find(pieces.begin(), pieces.end(), "一括出力が終了しました"), pieces.end())
        << bytes;
    // The last thing on the terminal is the summary, with no bar left under it.
    EXPECT_NE(pieces.back().find(" ページ："), std::string::npos) << pieces.back();
  }
}

}  // namespace
}  // namespace lanereport
