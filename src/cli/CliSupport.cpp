#include "CliSupport.h"

#include "TerminalProgress.h"

#include "database/Database.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "util/ReadProblems.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"
#include "util/VisibleText.h"

namespace lanereport::cli {
namespace {

volatile std::sig_atomic_t g_stop_raised = 0;

extern "C" void OnInterrupt(int signal) {
  g_stop_raised = signal;
}

}  // namespace

std::optional<Args> ParseDbCommand(const std::vector<std::string>& words,
                                   const std::set<std::string>& options,
                                   const std::set<std::string>& switches,
                                   const std::set<std::string>& required, const char* usage,
                                   std::ostream& err) {
  std::string error;
  std::optional<Args> args = Args::Parse(words, options, switches, error);
  if (args && args->Positional().size() != 1) {
    error = args->Positional().empty() ? "データベースが指定されていません"
                                       : "余分な引数があります：" + args->Positional()[1];
    args.reset();
  }
  if (args) {
    for (const std::string& name : required) {
      if (!args->Option(name)) {
        error = "オプションが指定されていません：--" + name;
        args.reset();
        break;
      }
    }
  }
  if (!args) err << error << "\n" << usage << "\n";
  return args;
}

std::optional<std::vector<std::string>> ParseWordsOnly(const std::vector<std::string>& words,
                                                       std::size_t min_words, std::size_t max_words,
                                                       const char* usage, std::ostream& err) {
  std::string error;
  std::optional<Args> args = Args::Parse(words, {}, {}, error);
  if (args && args->Positional().size() < min_words) error = "引数が足りません";
  if (args && args->Positional().size() > max_words)
    error = "余分な引数があります：" + args->Positional()[max_words];
  if (!args || !error.empty()) {
    err << error << "\n" << usage << "\n";
    return std::nullopt;
  }
  return args->Positional();
}

std::unique_ptr<Database> OpenScoreDatabase(const std::string& path, std::ostream& err) {
  std::string why;
  std::unique_ptr<Database> db = OpenDataBase(path, kSuitePassword, &why);
  if (!db) {
    err << "データベースを開けません：" << path;
    if (!why.empty()) err << "（" << why << "）";
    err << "\n";
    return db;
  }
  // A damaged file can hide games from a read without any error: it is refused before a run
  // publishes an incomplete site from it.
  std::string damage = db->QuickCheck();
  if (!damage.empty()) {
    err << "データベースが壊れています：" << path << "（" << VisibleText(damage) << "）\n";
    return nullptr;
  }
  return db;
}

std::optional<BowlerListing> FindBowlerOrSay(Database& db, const std::string& text,
                                             std::ostream& err) {
  std::optional<BowlerListing> found = FindBowler(db, text);
  if (found) return found;
  err << "ボウラーが見つかりません：" << VisibleText(text) << "\n";
  std::vector<std::string> near = ClosestBowlerNames(db, text);
  if (!near.empty()) {
    err << "近い名前：";
    for (std::size_t i = 0; i < near.size(); ++i)
      err << (i ? "、「" : "「") << VisibleText(near[i]) << "」";
    err << "\n";
  }
  return std::nullopt;
}

std::string ResolveOutFolder(const std::optional<std::string>& out,
                             const WindowSettings& settings) {
  if (out) {
    MakeFolders(*out);
    return *out;
  }
  std::string setting(Trim(settings.OutFolder));
  if (!setting.empty() && IsExistFolder(setting)) return setting;
  return GetSpecialFolder(0);
}

StopSignal::StopSignal() {
  g_stop_raised = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &action, &previous_[i]);
}

StopSignal::~StopSignal() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &previous_[i], nullptr);
}

int StopSignal::ExitStatus() const {
  return 128 + (g_stop_raised != 0 ? static_cast<int>(g_stop_raised) : SIGINT);
}

std::string NoDataMessage() {
  if (ReadProblemLog::CurrentCount() > 0) return "読めるゲームがないため、作成しませんでした";
  return "該当するﾃﾞｰﾀは存在しません";
}

bool StopRequested() {
  return g_stop_raised != 0;
}

bool StopSignal::Raised() const {
  return g_stop_raised != 0;
}

void CliMessages::ShowWarning(const MessageText& message) {
  bool completion = message.color == kCompletionColor;
  if (completion && stop_ && stop_->Raised()) return;
  std::ostream& to = completion ? out_ : err_;
  // A message never shares its line with the progress bar.
  TerminalProgress::ClearActive();
  if (!message.message1.empty()) to << message.message1 << "\n";
  if (!message.message2.empty()) to << message.message2 << "\n";
}

bool CliMessages::AskYesNo(const MessageText&) {
  return true;
}

std::optional<std::string> GivenFolder::ChooseFolder(std::string_view, std::string_view) {
  return AddPathSeparator(folder_);
}

WindowSettings LoadPageLookSaying(Database& db, std::ostream& err) {
  std::vector<std::string> replaced;
  WindowSettings look = PageLook(LoadWindowSettings(db), replaced);
  for (const std::string& line : replaced) err << line << "\n";
  return look;
}

}  // namespace lanereport::cli
