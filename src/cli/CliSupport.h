#pragma once

#include <csignal>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "Args.h"
#include "ui/FolderChooser.h"
#include "ui/MessageWindow.h"

#include "database/BowlerLookup.h"

namespace lanereport {
class Database;
struct WindowSettings;
}  // namespace lanereport

namespace lanereport::cli {

// What the subcommands that open a score database and make output share.

// Parses the words of a subcommand that takes exactly one positional word (the database) and
// requires the options listed in required. On a usage error writes what is wrong and the usage
// line to err and returns nothing (the caller exits with kExitUsage).
std::optional<Args> ParseDbCommand(const std::vector<std::string>& words,
                                   const std::set<std::string>& options,
                                   const std::set<std::string>& switches,
                                   const std::set<std::string>& required, const char* usage,
                                   std::ostream& err);

// Parses the words of a subcommand that takes only positional words, from min_words to
// max_words of them. On a usage error (an option, a word starting with "-" before "--", too few
// or too many words) writes what is wrong and the usage line to err and returns nothing.
std::optional<std::vector<std::string>> ParseWordsOnly(const std::vector<std::string>& words,
                                                       std::size_t min_words, std::size_t max_words,
                                                       const char* usage, std::ostream& err);

// Opens the score database and checks it (Database::QuickCheck); when it cannot be opened or is
// damaged writes one line naming the path and the reason to err and returns null (the caller
// exits with kExitFailed).
std::unique_ptr<Database> OpenScoreDatabase(const std::string& path, std::ostream& err);

// The bowler named on the command line (--bowler): its Name, else its folder name (AName).
// When none matches writes one line naming the text, and the closest names when there are
// any, to err and returns nothing (the caller exits with kExitFailed).
std::optional<BowlerListing> FindBowlerOrSay(Database& db, const std::string& text,
                                             std::ostream& err);

// The output folder of a make run: out when given (created when missing; AppError kErrFile
// when it cannot be), else the OutFolder setting when it names an existing folder, else the
// desktop folder.
std::string ResolveOutFolder(const std::optional<std::string>& out, const WindowSettings& settings);

// The look settings for a run that makes pages: as stored, each look setting that cannot go
// into a page replaced by its default (PageLook), with one line per replaced setting on err.
WindowSettings LoadPageLookSaying(Database& db, std::ostream& err);

// Ctrl-C as the STOP button, and the ends that kill, systemd and timeouts ask for (SIGTERM,
// SIGHUP) alike: while an object lives, these signals set a flag instead of ending the process,
// so the run finishes the unit in hand and writes nothing partial; a second signal of the same
// kind ends the process. The flag starts clear with every object. One object at a time.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  bool Raised() const;
  // The exit status of a run the signal stopped, 128 + the signal's number as the shell
  // reports it: 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP (130 when none came).
  int ExitStatus() const;

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction previous_[3]{};
};

// The message windows on the command line: completion messages (kCompletionColor) go to out,
// all others to err; a question is answered yes, since the command line asks nobody. When
// stop is given and has been raised, completion messages are left out.
class CliMessages : public MessageWindow {
 public:
  CliMessages(std::ostream& out, std::ostream& err, const StopSignal* stop = nullptr)
      : out_(out), err_(err), stop_(stop) {}
  void ShowWarning(const MessageText& message) override;
  bool AskYesNo(const MessageText& message) override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  const StopSignal* stop_;
};

// The folder chooser answered by a folder given on the command line.
class GivenFolder : public FolderChooser {
 public:
  explicit GivenFolder(std::string folder) : folder_(std::move(folder)) {}
  std::optional<std::string> ChooseFolder(std::string_view user, std::string_view caption) override;

 private:
  std::string folder_;
};

// Why a run wrote nothing: "該当するﾃﾞｰﾀは存在しません" when the period holds no game, and
// that none could be read when the run left every game of it out.
std::string NoDataMessage();

// True once Ctrl-C, SIGTERM or SIGHUP came while a StopSignal lived.
bool StopRequested();

// The message of a run ended by Ctrl-C, for standard error.
inline constexpr const char* kStoppedMessage = "処理を中断しました";

}  // namespace lanereport::cli
