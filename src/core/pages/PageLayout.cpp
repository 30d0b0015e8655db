#include "pages/PageLayout.h"

#include "pages/PageContext.h"
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

void WritePage(PageContext& context, std::string_view path, std::string_view utf8_text) {
  if (context.writer) {
    context.writer->Submit(
        [path = std::string(path), text = std::string(utf8_text)] { WritePage(path, text); });
  } else {
    WritePage(path, utf8_text);
  }
  context.files.Written(path);
}

}  // namespace lanereport
