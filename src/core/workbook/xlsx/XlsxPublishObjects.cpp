#include "workbook/xlsx/XlsxPublishObjects.h"

#include "util/AppError.h"
#include "workbook/xlsx/SheetPublisher.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {

void XlsxPublishObject::Publish(bool create) {
  if (!create) {
    throw AppError(kErrInvalidValue, "[XlsxPublishObject]Publish",
                   "既存のページへの追加はできません：" + filename_);
  }
  const XlsxSheet* sheet = book_.FindWorksheet(sheet_);
  if (!sheet) {
    throw AppError(kErrInvalidValue, "[XlsxPublishObject]Publish", "シートがありません：" + sheet_);
  }
  PublishSheet(book_, *sheet, filename_, title_);
}

XlsxPublishObject& XlsxPublishObjects::Add(int source_type, const std::string& filename,
                                           const std::string& sheet, const std::string& source,
                                           int html_type, const std::string& /*div_id*/,
                                           const std::string& title) {
  const char* refusal = nullptr;
  if (source_type != kSourceSheet)
    refusal = "シート以外は公開できません";
  else if (html_type != kHtmlStatic)
    refusal = "静的なページ以外は作成できません";
  else if (!source.empty())
    refusal = "シートの一部は公開できません";
  else if (!book_.FindWorksheet(sheet))
    refusal = "シートがありません";
  else if (filename.empty())
    refusal = "ファイル名がありません";
  if (refusal) {
    throw AppError(kErrInvalidValue, "[XlsxPublishObjects]Add",
                   std::string(refusal) + "：" + sheet);
  }
  items_.push_back(std::make_unique<XlsxPublishObject>(book_, filename, sheet, title));
  return *items_.back();
}

XlsxPublishObject& XlsxPublishObjects::Item(int index) {
  if (index < 1 || index > Count()) {
    throw AppError(kErrInvalidValue, "[XlsxPublishObjects]Item",
                   "公開オブジェクトがありません：" + std::to_string(index));
  }
  return *items_[static_cast<std::size_t>(index - 1)];
}

}  // namespace lanereport
