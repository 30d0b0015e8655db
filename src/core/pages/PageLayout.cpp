#include "pages/PageLayout.h"

#include <memory>

#include "pages/PageContext.h"
#include "pages/PageStage.h"
#include "util/AsyncFileWriter.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "util/PlainName.h"

namespace lanereport {

std::string YearFolder(std::string_view out_folder, std::string_view db_name, std::string_view yyyy,
                       std::string_view sub_folder) {
  std::string folder = AddPathSeparator(out_folder);
  folder.append(db_name).append(yyyy).append("/").append(sub_folder);
  return folder;
}

std::string ScorePageFileName(std::string_view yyyymmdd, long alley_id, long level_id) {
  return std::string(yyyymmdd) + std::to_string(alley_id) + std::to_string(level_id) + ".html";
}

std::string MonthlyPageFileName(std::string_view yyyymm) {
  return std::string(yyyymm) + ".html";
}

void RequireBowlerFolder(std::string_view bowler, std::string_view sub_folder) {
  RequirePlainFileName(sub_folder, "ボウラー「" + std::string(bowler) + "」のフォルダ名",
                       sub_folder, "[PageLayout]BowlerFolder");
}

void RequireYearFolder(std::string_view db_name) {
  RequirePlainFileName(std::string(db_name) + "0000", "データベース名", db_name,
                       "[PageLayout]YearFolder");
}

void WritePage(std::string_view path, std::string_view utf8_text) {
  MakeFile(path, Utf8ToCp932(utf8_text));
}

void WritePage(PageContext& context, std::string_view path, std::string_view utf8_text,
               long drawn) {
  if (context.make_ahead) {
    context.make_ahead->Put(std::string(path), Utf8ToCp932(utf8_text), drawn);
  } else if (context.writer) {
    context.writer->Submit(
        [path = std::string(path), text = std::string(utf8_text)] { WritePage(path, text); });
  } else {
    WritePage(path, utf8_text);
  }
  context.files.Written(path);
}

const StagedPage* MadeAhead(const PageContext& context, const std::string& path) {
  return context.made_ahead ? context.made_ahead->Find(path) : nullptr;
}

namespace {

// A page made ahead on its way into place: removed again when the writer drops the job unrun
// (a write before it failed).
struct PendingPage {
  StagedFile file;
  bool done = false;
  ~PendingPage() {
    if (!done) DiscardStagedFile(file);
  }
};

}  // namespace

void WriteMadeAhead(PageContext& context, const std::string& path) {
  auto pending = std::make_shared<PendingPage>();
  pending->file = context.made_ahead->Take(path).file;
  // A target the run's listing of its folder showed free needs no look before the rename.
  const bool free = context.files.IsSeenFree(path);
  auto commit = [pending, free] {
    pending->done = true;  // a failed commit removes the temporary file itself
    CommitStagedFile(pending->file, free);
  };
  if (context.writer)
    context.writer->Submit(std::move(commit));
  else
    commit();
  context.files.Written(path);
}

}  // namespace lanereport
