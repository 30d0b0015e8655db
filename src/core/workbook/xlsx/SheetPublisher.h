#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

class XlsxWorkbook;
class XlsxSheet;

// Publishing a worksheet as one static web page, as "save as web page" of a single sheet does.

// The line every published page has in its head, as the page finishing looks for it.
inline constexpr std::string_view kPublishedMetaLine =
    "<meta http-equiv=Content-Type content=\"text/html; charset=shift_jis\">";

// A picture of the sheet, written beside the page.
struct PublishedImage {
  std::string relative_path;  // from the page's folder: "{page name}_files/image001.png"
  std::string bytes;
};

struct PublishedPage {
  std::string html;  // the page in code page 932, lines ending in CR LF
  std::vector<PublishedImage> images;
};

// Renders a sheet of the workbook. The page has the head line kPublishedMetaLine, the title
// when one is given, a style sheet of the cell formats used, and the sheet's used range (with
// the cells pictures are anchored to) as one table: values as the cells show them (numbers in
// their number format, formulas as FormulaEvaluator gives them, empty when they cannot be
// computed), merged cells as colspan/rowspan, column widths and row heights, hidden rows and
// columns left out, bold, italic, underline, strike-through, font, fill and number-format
// colours, alignment, wrapping and borders. Cell texts are HTML-escaped ("<" becomes "&lt;").
// Pictures are shown with <img> in the cell they are anchored to; charts and shapes are left
// out. page_name is the page's file name (pictures go into its "_files" folder).
// Raises AppError (kErrInvalidValue, "[SheetPublisher]Publish") when the used range has more
// than kMaxPublishedCells cells.
PublishedPage RenderSheetPage(const XlsxWorkbook& book, const XlsxSheet& sheet,
                              std::string_view page_name, std::string_view title);

inline constexpr long long kMaxPublishedCells = 4'000'000;

// Writes a rendered page to path and its pictures beside it (folders are made). Every file is
// first written whole under a temporary name (StageFile); only when all of them are there does
// each replace its target by one rename, the pictures first and the page last, so the page never
// appears before its pictures. A failed write (a full disk, a folder that cannot be made) leaves
// the page and the pictures there as they were and no temporary file behind. Raises AppError
// (kErrFile) naming the file.
void WritePublishedPage(const PublishedPage& page, const std::string& path);

// Renders the sheet and writes it as WritePublishedPage does. Raises AppError as RenderSheetPage
// and WritePublishedPage do; a page that cannot be rendered writes nothing.
void PublishSheet(const XlsxWorkbook& book, const XlsxSheet& sheet, const std::string& path,
                  std::string_view title);

}  // namespace lanereport
