#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "TerminalProgress.h"
#include "batch/MakeFlow.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/WindowSettings.h"
#include "database/basDataBase.h"
#include "pages/PageLayout.h"
#include "pages/PageSkeleton.h"
#include "pages/ProfilePageOutput.h"
#include "sample/SampleDatabase.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/OutputFolderLock.h"
#include "util/PathControl.h"
#include "util/UserFolders.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("demo");

// Copies a file of the program folder to target unless target is there already.
void CopyFromProgramFolder(const std::string& name, const std::string& target) {
  if (IsExistFile(target)) return;
  std::string source = GetProgramFolder() + name;
  std::ifstream in(source, std::ios::binary);
  if (!in) throw AppError(kErrFile, "demo", "プログラムフォルダにファイルがありません：" + source);
  std::stringstream bytes;
  bytes << in.rdbuf();
  MakeFile(target, bytes.str());
}

// The year of the newest game.
std::string LatestYear(Database& db) {
  auto rs = db.OpenRecordset("Select Max(Play_Date) As Latest From Result_Data");
  std::string latest = rs->Eof() ? "" : rs->Field("Latest").Text();
  if (latest.size() < 4) throw AppError(kErrNoData, "demo", "サンプルデータにゲームがありません");
  return latest.substr(0, 4);
}

// The profile pages lie in the site folder itself and link its index.html as their start
// page, which on a user's site is the user's own home page. The demo's site is the demo's own,
// so it gets a small one that leads to the year page, unless one is there. The look's images
// and style sheet are named relative to the output folder, so this page, which lies in it,
// names them as they stand.
void WriteSiteStartPage(const std::string& site, const std::string& db_name,
                        const std::string& year, const WindowSettings& look) {
  std::string path = site + "/index.html";
  if (IsExistFile(path)) return;
  PageText page;
  AppendPageHead(page, look, "サンプルサイト", "", "");
  AppendNameTable(page, "100%", "サイト：", "サンプルサイト");
  page.Line(7, "<p>");
  page.Line(11, "<a href=\"" + db_name + year + "/index.html\">" + year + "年のボウラー一覧</a>");
  page.Line(7, "</p>");
  AppendPageEnd(page, "100%");
  WritePage(path, page.Text());
}

}  // namespace

int RunDemo(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
  std::optional<std::vector<std::string>> parsed = ParseWordsOnly(given, 0, 1, kUsage, err);
  if (!parsed) return kExitUsage;
  const std::vector<std::string>& words = *parsed;
  std::string dir = std::filesystem::absolute(words.empty() ? "demo" : words[0]).lexically_normal();
  if (!dir.empty() && dir.back() == '/') dir.pop_back();
  std::string site = dir + "/site";
  std::string db_path = dir + "/sample.db";
  MakeFolders(site);

  StopSignal stop;
  CliMessages messages(out, err, &stop);
  TerminalProgress progress(err, stop);
  // The site is written by several runs in turn; no other run comes between them.
  OutputFolderLock lock;
  if (!lock.Acquire(site, progress)) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  if (!IsExistFile(db_path)) {
    progress.Message1("サンプルデータベースを作成中です");
    SampleSummary made = CreateSampleDatabase(db_path, SampleOptions{}, &progress);
    out << "サンプルデータベースを作成しました：" << db_path << "（ボウラー " << made.bowlers
        << " 人、ゲーム " << made.games << " 件）\n";
  }
  CopyFromProgramFolder("BowlerData.xlsx", dir + "/BowlerData.xlsx");
  // The look's images are copied into the site by the page runs, which copy what it lacks.

  std::unique_ptr<Database> db = OpenScoreDatabase(db_path, err);
  if (!db) return kExitFailed;
  WindowSettings settings = LoadWindowSettings(*db);
  settings.OutFolder = site;
  settings.OutSheet = dir + "/BowlerData.xlsx";
  SaveWindowSettings(*db, settings);
  std::string year = LatestYear(*db);
  std::string db_name = DbNameOf(db_path);

  // The profile pages come first, so the year page of the bulk run links them.
  CreateProfilePages(*db, db_name, site + "/", "", progress, messages);
  MakeResult result;
  if (!stop.Raised()) {
    GivenFolder chooser(site);
    MakeFlow flow(*db, db_name, settings, progress, messages, chooser);
    MakeRequest request;
    request.mode = MakeMode::kBulk;
    request.year = year;
    result = flow.Make(request);
  }
  if (result.stopped || stop.Raised()) {
    err << kStoppedMessage << "\n";
    return stop.ExitStatus();
  }
  WriteSiteStartPage(site, db_name, year, settings);
  FlushWrittenFiles();
  std::string first = site + "/" + db_name + year + "/index.html";
  out << "最初に開くページ：" << first << "\n";
  return kExitOk;
}

}  // namespace lanereport::cli
