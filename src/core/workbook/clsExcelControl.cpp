#include "workbook/clsExcelControl.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <fstream>
#include <limits>

#include "util/AppError.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "clsExcelControl";

constexpr const char* kNoFile = "ファイルが存在しません";
constexpr const char* kCopyFailed = "テンプレートファイルのコピーに失敗しました！";
constexpr const char* kNoTemplatePath = "ﾃﾝﾌﾟﾚｰﾄのﾊﾟｽがｾｯﾄされていません";
constexpr const char* kNoFileName = "ﾌｧｲﾙの名前がｾｯﾄされていません";
constexpr const char* kWriteFailed = "データの書き込みに失敗しました！";
constexpr const char* kOutputFailed = "データの出力に失敗しました！";
constexpr const char* kNoSheet = "対象となるｼｰﾄのｲﾝｽﾀﾝｽがｾｯﾄされていません";
constexpr const char* kNoRows = "対象となるﾃﾞｰﾀｺﾚｸｼｮﾝのｲﾝｽﾀﾝｽがｾｯﾄされていません";
constexpr const char* kNotNumber = "数値を入力して下さい";
constexpr const char* kOutOfRange = "入力が不正です";

[[noreturn]] void Raise(const char* message) {
  throw AppError(kErrInvalidValue, kSource, message);
}

// The nearest 32-bit integer, halves to even (the conversion of a number to a long integer).
std::int32_t ToInt32(double value) {
  double rounded = std::nearbyint(value);
  if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max()) {
    Raise(kOutOfRange);
  }
  return static_cast<std::int32_t>(rounded);
}

// Opens the file for reading and closes it again; raises AppError when that fails.
void CanOpenFile(std::string_view path) {
  if (path.empty()) Raise(kNoFileName);
  std::string file(path);
  if (file.size() > 1 && file.back() == '/') file.pop_back();
  std::ifstream in(file, std::ios::binary);
  if (!in) throw AppError(kErrFile, kSource, "ファイルを開けません：" + file);
}

}  // namespace

clsExcelControl::clsExcelControl(ExcelControlEvents* events) : events_(events) {}

clsExcelControl::~clsExcelControl() {
  CloseRun();
}

void clsExcelControl::SetSheetCount(std::string_view text) {
  std::optional<double> number = ParseNumber(text);
  if (!number) Raise(kNotNumber);
  sheet_count_ = ToInt32(*number);
}

void clsExcelControl::SetBasePath(std::string_view path) {
  if (!IsExistFile(path)) Raise(kNoFile);
  base_path_ = std::string(path);
}

void clsExcelControl::CloseRun() {
  // The clipboard is not used by this layer, so there is nothing to empty before closing.
  workbook_.reset();
  if (application_) {
    application_ = false;
    visible_ = false;
  }
}

bool clsExcelControl::IsTemplateReadable() const {
  if (Trim(base_path_).empty()) Raise(kNoTemplatePath);
  try {
    CanOpenFile(base_path_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void clsExcelControl::OpenTemplate() {
  application_ = true;
  try {
    workbook_ = XlsxWorkbook::Open(base_path_);
  } catch (const std::exception&) {
    // A damaged or foreign file: the reason stays nested in the error.
    std::throw_with_nested(AppError(kErrInvalidValue, kSource, kCopyFailed));
  }
}

void clsExcelControl::ExecuteDocument(std::string_view folder_path, std::string_view file_name,
                                      std::int32_t mode) {
  CloseRun();
  if (!IsTemplateReadable()) Raise(kCopyFailed);
  OpenTemplate();

  std::vector<XlsxSheet*> sheets = workbook_->Worksheets();
  sheet_count_ = ToInt32(static_cast<double>(sheet_count_) + static_cast<double>(sheets.size()));
  sheet_count_ = ToInt32(static_cast<double>(sheet_count_) * magnification_);

  for (XlsxSheet* sheet : sheets) {
    bool cancel = false;
    if (events_) events_->SetWorksheet(*sheet, cancel);
    if (cancel) Raise(kWriteFailed);
  }

  saved_path_ = AddPathSeparator(folder_path) + std::string(file_name) + ".xlsx";
  workbook_->SaveAs(saved_path_);

  if (mode == 1) {
    visible_ = true;
    if (events_) events_->ShowWorkbook(saved_path_);
    return;
  }
  bool cancel = false;
  if (events_) events_->PrintWorkbook(*workbook_, cancel, std::string(folder_path));
  if (cancel) Raise(kOutputFailed);
  CloseRun();
}

void clsExcelControl::GetDocument() {
  CloseRun();
  if (!IsTemplateReadable()) Raise(kCopyFailed);
  OpenTemplate();

  std::vector<XlsxSheet*> sheets = workbook_->Worksheets();
  sheet_count_ = ToInt32(static_cast<double>(sheet_count_) + static_cast<double>(sheets.size()));
  for (XlsxSheet* sheet : sheets) {
    bool cancel = false;
    if (events_) events_->GetWorksheet(*sheet, cancel);
    if (cancel) Raise(kWriteFailed);
  }
  CloseRun();
}

void clsExcelControl::SetupRows(XlsxSheet* sheet, const std::vector<DataRow>* rows,
                                std::int32_t row_offset, std::int32_t column_offset) {
  if (!sheet) Raise(kNoSheet);
  if (!rows) Raise(kNoRows);
  // A position outside the sheet is reported by the sheet.
  auto clamp = [](long long v) {
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  };
  for (std::size_t i = 0; i < rows->size(); ++i) {
    const DataRow& cells = (*rows)[i];
    const int row = clamp(static_cast<long long>(i) + 1 + row_offset);
    for (std::size_t j = 0; j < cells.size(); ++j)
      sheet->SetValue(row, clamp(static_cast<long long>(j) + 1 + column_offset), cells[j]);
  }
}

void clsExcelControl::SetupData(XlsxSheet* sheet, const std::vector<std::string>* rows,
                                std::int32_t row_offset, std::int32_t column_offset) {
  if (!sheet) Raise(kNoSheet);
  if (!rows) Raise(kNoRows);
  std::vector<DataRow> split;
  split.reserve(rows->size());
  for (const std::string& line : *rows) split.push_back(SplitFields(line));
  SetupRows(sheet, &split, row_offset, column_offset);
}

DataRow clsExcelControl::SplitFields(std::string_view line) const {
  DataRow fields;
  if (sep_char_.empty()) return fields;
  std::size_t start = 0;
  while (true) {
    std::size_t p = line.find(sep_char_, start);
    if (p == std::string_view::npos) break;  // text after the last separator is no field
    fields.emplace_back(line.substr(start, p - start));
    start = p + sep_char_.size();
  }
  return fields;
}

}  // namespace lanereport
