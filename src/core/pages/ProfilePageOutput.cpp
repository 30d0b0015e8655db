#include "pages/ProfilePageOutput.h"

#include "database/MasterLists.h"
#include "pages/PageLayout.h"
#include "pages/ProfilePage.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/PathControl.h"
#include "util/PlainName.h"
#include "util/StringUtil.h"
#include "util/VisibleText.h"

namespace lanereport {
namespace {

// Raises UnsafeNameError, writing nothing, when the bowler's Aname cannot name a page file.
void WriteProfile(const std::string& folder, const clsBowler_Data& bowler, std::string_view db_name,
                  std::vector<std::string>& replaced) {
  const std::string file = bowler.Aname() + ".html";
  const std::string subject = "ボウラー「" + VisibleText(bowler.Name()) + "」のフォルダ名";
  RequirePlainFileName(bowler.Aname(), subject, bowler.Aname(), "[ProfilePage]Create");
  RequirePlainFileName(file, subject, bowler.Aname(), "[ProfilePage]Create");
  WritePage(folder + file, MakeProfilePage(bowler, db_name, &replaced));
}

// What the run left out of the pages, said once before the completion message.
void SayReplaced(const std::vector<std::string>& replaced, MessageWindow& messages) {
  if (replaced.empty()) return;
  std::string text;
  for (const std::string& line : replaced) text += (text.empty() ? "" : "\n") + line;
  messages.ShowWarning({text, "", 0, 10});
}

}  // namespace

ProfileRunResult CreateProfilePages(Database& db, std::string_view db_name,
                                    std::string_view out_path, std::string_view bowler_name,
                                    ProgressWindow& progress, MessageWindow& messages) {
  ProfileRunResult result;
  std::string path(Trim(out_path));
  if (path.empty()) {
    messages.ShowWarning({"", "出力先を指定してください", 0, 10});
    return result;
  }
  // A path naming an existing folder is that folder even without the closing "/"; any other
  // path is a file's, whose folder is used.
  if (path.back() != '/') path = IsExistFolder(path) ? path + "/" : GetParentFolder(path);
  result.folder = path;
  if (!IsExistFolder(path)) {
    if (!messages.AskYesNo(
            {"「" + path + "」は存在しません", "「" + path + "」を作成しますか？", 0, 10}))
      return result;
    MakeFolders(GetParentFolder(path));
  }
  // One run at a time writes into the folder; STOP while waiting for another makes nothing.
  OutputFolderLock lock;
  if (!lock.Acquire(path, progress)) {
    result.stopped = true;
    return result;
  }
  result.done = true;
  progress.Message2("Ｂｏｗｌｅｒ紹介作成中...");

  clsBowler_List bowlers(db);
  try {
    bowlers.SelectRecord("");
  } catch (const AppError& e) {
    RethrowEngineError(e);
    // No bowler: only the script is written.
  }
  const std::string folder = AddPathSeparator(path);
  const std::string script = folder + kTickerScriptName;
  std::vector<std::string> replaced;
  if (Trim(bowler_name).empty()) {
    progress.StartProgress(0, static_cast<long>(bowlers.Count()));
    WritePage(script, MakeTickerScript());
    for (std::size_t i = 0; i < bowlers.Count(); ++i) {
      try {
        WriteProfile(folder, bowlers.Item(i), db_name, replaced);
        ++result.pages;
      } catch (const UnsafeNameError& e) {
        // One bowler whose name cannot be a file is skipped; the others still get their page.
        messages.ShowWarning({e.Description(), "", 0, 10});
      }
      progress.CountProgress(0, 1);
      if (progress.StopFlag()) {
        result.stopped = true;
        break;
      }
    }
  } else {
    progress.StartProgress(0, 1);
    WriteProfile(folder, bowlers.Item(Trim(bowler_name)), db_name, replaced);
    ++result.pages;
    WritePage(script, MakeTickerScript());
    progress.CountProgress(0, 1);
  }
  FlushWrittenFiles();
  lock.Release();  // the messages below may wait for the user
  SayReplaced(replaced, messages);
  messages.ShowWarning({"", "Ｂｏｗｌｅｒ紹介を作成しました", kCompletionColor, 10});
  return result;
}

}  // namespace lanereport
