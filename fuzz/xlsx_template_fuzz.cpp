// Opening and publishing a template of arbitrary bytes, as the workbook run does.
//
// The input is either the template file itself (a zip archive, "PK..."), or its parts as text:
// "@@ part name" lines, each followed by that part's bytes up to the next such line, put into
// an archive with XlsxPackage (so that the parts' XML, not only the archive, gets mutated).
// A template that opens has every worksheet published as a page, before and after cells are
// written; saved, it must open again with the same worksheets.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "util/AppError.h"
#include "workbook/xlsx/SheetPublisher.h"
#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {
namespace {

constexpr std::string_view kPartMark = "@@ ";

// The archive of the parts written as text.
std::string ArchiveOfParts(std::string_view text) {
  XlsxPackage package;
  while (text.substr(0, kPartMark.size()) == kPartMark) {
    text.remove_prefix(kPartMark.size());
    auto name_end = text.find('\n');
    std::string_view name = text.substr(0, name_end);
    text.remove_prefix(name_end == std::string_view::npos ? text.size() : name_end + 1);
    auto next = text.find("\n@@ ");
    std::string_view bytes = text.substr(0, next);
    text.remove_prefix(next == std::string_view::npos ? text.size() : next + 1);
    if (!name.empty()) package.Put(name, std::string(bytes));
  }
  return package.ToBytes();
}

std::vector<std::string> SheetNames(const XlsxWorkbook& book) {
  std::vector<std::string> names;
  for (const XlsxSheet* sheet : book.Worksheets()) names.push_back(sheet->Name());
  return names;
}

void Publish(const XlsxWorkbook& book, const XlsxSheet& sheet) {
  try {
    PublishedPage page = RenderSheetPage(book, sheet, "page.html", "title");
    FUZZ_CHECK(page.html.find(kPublishedMetaLine) != std::string::npos, sheet.Name());
  } catch (const AppError&) {
    // A used range too large to publish is refused.
  }
}

void Exercise(const std::string& bytes) {
  std::string file = fuzz::WriteFuzzFile("template.xlsx", bytes);
  std::unique_ptr<XlsxWorkbook> book;
  try {
    XlsxPackage::FromBytes(bytes, "template.xlsx");
    book = XlsxWorkbook::Open(file);
  } catch (const AppError&) {
    return;  // a damaged template is refused
  }
  std::vector<XlsxSheet*> sheets = book->Worksheets();
  for (const XlsxSheet* sheet : sheets) Publish(*book, *sheet);
  if (!sheets.empty()) {
    XlsxSheet& sheet = *sheets.front();
    try {
      std::optional<CellArea> used = sheet.UsedRange();
      sheet.SetValue(1, 1, "12.5");
      if (used) sheet.SetValue(used->first_row, used->first_column, "ﾃﾞｰﾀ <&>");
      if (used) sheet.SetValue(used->last_row, used->last_column, "'0123");
    } catch (const AppError&) {
    }
    Publish(*book, sheet);
  }

  std::string saved;
  try {
    saved = book->SaveToBytes();
  } catch (const AppError& error) {
    fuzz::Broken("an open workbook can be saved", error.Description());
  }
  std::string again = fuzz::WriteFuzzFile("saved.xlsx", saved);
  try {
    std::unique_ptr<XlsxWorkbook> reopened = XlsxWorkbook::Open(again);
    FUZZ_CHECK(SheetNames(*reopened) == SheetNames(*book), "worksheets of the saved workbook");
  } catch (const AppError& error) {
    fuzz::Broken("a saved workbook opens again", error.Description());
  }
}

}  // namespace
}  // namespace lanereport

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lanereport;
  std::string_view input = fuzz::AsText(data, size);
  if (input.substr(0, kPartMark.size()) == kPartMark) {
    std::string bytes;
    try {
      bytes = ArchiveOfParts(input);
    } catch (const AppError&) {
      return 0;
    }
    Exercise(bytes);
  } else {
    Exercise(std::string(input));
  }
  return 0;
}
