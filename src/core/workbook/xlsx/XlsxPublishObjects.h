#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lanereport {

class XlsxWorkbook;

// PublishObjects source types and HTML types; only a whole sheet as a static page is offered.
inline constexpr int kSourceSheet = 1;  // a worksheet
inline constexpr int kHtmlStatic = 0;   // a static page

// One web page to be made from a sheet of a workbook (PublishObjects.Add).
class XlsxPublishObject {
 public:
  XlsxPublishObject(XlsxWorkbook& book, std::string filename, std::string sheet, std::string title)
      : book_(book),
        filename_(std::move(filename)),
        sheet_(std::move(sheet)),
        title_(std::move(title)) {}

  // Publish: writes the sheet as a static page to Filename() in code page 932, pictures
  // beside it (see SheetPublisher). create must be true: the page replaces any file there.
  // Raises AppError (kErrInvalidValue, "[XlsxPublishObject]Publish") when create is false
  // or the sheet no longer exists, AppError (kErrFile) when a file cannot be written.
  void Publish(bool create);

  const std::string& Filename() const { return filename_; }
  const std::string& Sheet() const { return sheet_; }
  const std::string& Title() const { return title_; }

 private:
  XlsxWorkbook& book_;
  std::string filename_;
  std::string sheet_;
  std::string title_;
};

// The workbook's list of pages to publish. Owned by the workbook.
class XlsxPublishObjects {
 public:
  explicit XlsxPublishObjects(XlsxWorkbook& book) : book_(book) {}
  XlsxPublishObjects(const XlsxPublishObjects&) = delete;
  XlsxPublishObjects& operator=(const XlsxPublishObjects&) = delete;

  // Add(SourceType, Filename, Sheet, Source, HtmlType, DivID, Title): a page of the whole
  // sheet. Raises AppError (kErrInvalidValue, "[XlsxPublishObjects]Add") for a source type
  // other than kSourceSheet, an HTML type other than kHtmlStatic, a non-empty source range or
  // a sheet the workbook does not have. The object stays valid while the workbook lives.
  XlsxPublishObject& Add(int source_type, const std::string& filename, const std::string& sheet,
                         const std::string& source, int html_type, const std::string& div_id,
                         const std::string& title);
  int Count() const { return static_cast<int>(items_.size()); }
  // The object at a 1-based position.
  XlsxPublishObject& Item(int index);

 private:
  XlsxWorkbook& book_;
  std::vector<std::unique_ptr<XlsxPublishObject>> items_;
};

}  // namespace lanereport
