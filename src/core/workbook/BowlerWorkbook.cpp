#include "workbook/BowlerWorkbook.h"

#include <exception>

#include "database/MasterLists.h"
#include "database/clsS_OUTPUT_List.h"
#include "ui/MessageWindow.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "util/PlainName.h"
#include "util/StringUtil.h"
#include "workbook/PageFinisher.h"
#include "workbook/StatisticsSheet.h"
#include "workbook/StatisticsSummary.h"
#include "workbook/xlsx/SheetPublisher.h"
#include "workbook/xlsx/XlsxPublishObjects.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {

BowlerWorkbook::BowlerWorkbook(Database& db, std::string db_name, WorkbookState& state,
                               ProgressWindow& progress, MessageWindow& messages)
    : db_(db),
      db_name_(std::move(db_name)),
      state_(state),
      progress_(progress),
      messages_(messages) {}

BowlerWorkbook::~BowlerWorkbook() = default;

void BowlerWorkbook::SetWorksheet(XlsxSheet& sheet, bool& /*cancel*/) {
  if (progress_.StopFlag()) return;
  clsS_OUTPUT_Data* definition = definitions_ ? definitions_->Find(sheet.Name()) : nullptr;
  if (!definition) return;  // a sheet of the template's own
  try {
    std::vector<DataRow> rows =
        BuildStatisticsRows(*statistics_, *definition, *bowlers_, state_, progress_);
    control_->SetupRows(&sheet, &rows, 0, 0);
  } catch (const AppError& e) {
    RethrowEngineError(e);
    // A sheet that fails is left as it stands; the run goes on with the next one.
  }
  progress_.CountProgress(0, 1);
}

void BowlerWorkbook::PrintWorkbook(XlsxWorkbook& book, bool& /*cancel*/,
                                   const std::string& folder_path) {
  result_.pages.clear();
  std::vector<XlsxSheet*> published;
  for (XlsxSheet* sheet : book.Worksheets())
    if (!StartsWith(sheet->Name(), "@")) published.push_back(sheet);
  // Each page is published and finished in memory and reaches its name whole, by one rename: a
  // run that fails or stops leaves the pages before it finished and the pages after it as an
  // earlier run left them.
  progress_.Message1("ただいま、ボウラー情報を作成中です");
  progress_.Message2("しばらくお待ちください...");
  FinishingContext context{&state_, db_name_, style_sheet_};
  // Each page counts its finishing steps and then itself.
  progress_.StartProgress(1, static_cast<long>(published.size()) * (FinishingSteps(context) + 1));
  for (XlsxSheet* sheet : published) {
    if (progress_.StopFlag()) break;  // STOP ends the run after the page in hand
    const std::string name = sheet->Name();
    const std::string file = name + "-" + state_.bulk_year + ".html";
    try {
      RequirePlainFileName(name, "シート名", name, "[BowlerWorkbook]PrintWorkbook");
      RequirePlainFileName(file, "シート名", name, "[BowlerWorkbook]PrintWorkbook");
    } catch (const UnsafeNameError& e) {
      // A sheet whose name cannot name a page file is not published; the others are.
      messages_.ShowWarning({e.Description(), "", 0, 10});
      continue;
    }
    std::string path = AddPathSeparator(folder_path) + file;
    XlsxPublishObject& object =
        book.PublishObjects().Add(kSourceSheet, path, name, "", kHtmlStatic, "", "");
    PublishedPage page = RenderSheetPage(book, *sheet, GetFileName(path), object.Title());
    progress_.CountProgress(0, 1);
    try {
      page.html = FinishPageBytes(page.html, context, progress_);
    } catch (const std::exception&) {
      // A page that cannot be finished is not written; the old one stays, and so do the rest.
      messages_.ShowWarning({"置換に失敗しました！", "", 0, 10});
      result_.finishing_failed = true;
      break;
    }
    WritePublishedPage(page, object.Filename());
    result_.pages.push_back(path);
    progress_.CountProgress(1, 1);
  }
  progress_.StartProgress(1, 0);
}

void BowlerWorkbook::ShowWorkbook(const std::string& path) {
  result_.workbook_path = path;
}

WorkbookRunResult BowlerWorkbook::Run(const WorkbookRunOptions& options) {
  result_ = {};
  std::string template_path(Trim(options.template_path));
  if (!IsExistFile(template_path)) {
    // The second line names the file looked for, so the user knows what to put where.
    messages_.ShowWarning({"ボウラー情報用テンプレートファイルが存在しません！",
                           template_path.empty() ? "" : "（" + template_path + "）", 0, 10});
    result_.template_missing = true;
    return result_;
  }
  control_ = std::make_unique<clsExcelControl>(this);
  definitions_ = std::make_unique<clsS_OUTPUT_List>(db_);
  try {
    definitions_->Load("");
  } catch (const AppError& e) {
    if (e.Number() != kErrNoData) throw;  // no definitions: every sheet stays as it is
  }
  bowlers_ = std::make_unique<clsBowler_List>(db_);
  try {
    bowlers_->SelectRecord("");
  } catch (const AppError& e) {
    if (e.Number() != kErrNoData) throw;
  }

  statistics_ = std::make_unique<StatisticsCache>(db_, year_games_);
  statistics_->UsePeriodsAhead(periods_ahead_);

  control_->SetBasePath(template_path);
  control_->GetDocument();
  long sheets = std::stol(control_->SheetCount());
  std::string w = db_name_ + state_.bulk_year;
  RequirePlainFileName(w, "データベース名", db_name_, "[BowlerWorkbook]Run");
  RequirePlainFileName(w + ".xlsx", "データベース名", db_name_, "[BowlerWorkbook]Run");
  std::string f = AddPathSeparator(options.out_folder) + w;
  MakeFolders(f);
  long extra = state_.bulk_year.empty() ? 0 : 2;
  style_sheet_ = options.style_sheet;
  if (options.html) {
    // Bar 0 counts every sheet twice with pages: once filled, once published.
    progress_.StartProgress(0, 2 * sheets + extra);
    control_->ExecuteDocument(f, w, 2);
    result_.workbook_path = AddPathSeparator(f) + w + ".xlsx";
  } else {
    progress_.StartProgress(0, sheets + extra);
    control_->ExecuteDocument(f, w, 1);
  }
  control_.reset();
  statistics_.reset();
  return result_;
}

}  // namespace lanereport
