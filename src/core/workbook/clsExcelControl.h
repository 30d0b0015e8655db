#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxWorkbook.h"

namespace lanereport {

// The events clsExcelControl raises to its owner. The owner implements the ones it handles;
// the others do nothing. Handlers may raise AppError; it passes through the running operation.
class ExcelControlEvents {
 public:
  virtual ~ExcelControlEvents() = default;
  // Raised by GetDocument once per sheet in order; setting cancel aborts the run.
  virtual void GetWorksheet(XlsxSheet& /*sheet*/, bool& /*cancel*/) {}
  // Raised by ExecuteDocument once per sheet in order; the handler fills the sheet (usually
  // with SetupData). Setting cancel aborts the run.
  virtual void SetWorksheet(XlsxSheet& /*sheet*/, bool& /*cancel*/) {}
  // Raised by ExecuteDocument after saving when the mode is not 1: the handler publishes the
  // sheets through book.PublishObjects(). folder_path is ExecuteDocument's first argument.
  virtual void PrintWorkbook(XlsxWorkbook& /*book*/, bool& /*cancel*/,
                             const std::string& /*folder_path*/) {}
  // Mode 1: the saved workbook is to be shown to the user; the front end gets its path.
  virtual void ShowWorkbook(const std::string& /*path*/) {}
};

// The character with code 31 that separates the fields of a data row given as one text line.
inline constexpr std::string_view kSepChar = "\x1f";

// The cell texts of one data row, from its first column on.
using DataRow = std::vector<std::string>;

// Runs a template workbook: opens it (the template itself is only read), lets the owner fill
// every sheet through SetWorksheet, saves the result as FolderPath/FileName.xlsx, then shows it
// (mode 1) or hands it to PrintWorkbook for publishing. Every failure is raised as AppError
// with number kErrInvalidValue, source "clsExcelControl" and one of this class's messages; when
// a lower layer gave the reason (a damaged template, for example), that error is nested in it
// (std::rethrow_if_nested). A failed save raises the file error of MakeFile as it is.
class clsExcelControl {
 public:
  explicit clsExcelControl(ExcelControlEvents* events = nullptr);
  // Closes whatever the last run left open.
  ~clsExcelControl();
  clsExcelControl(const clsExcelControl&) = delete;
  clsExcelControl& operator=(const clsExcelControl&) = delete;

  // The owner that receives the events; may be null. It must outlive every run.
  void SetEvents(ExcelControlEvents* events) { events_ = events; }

  double Magnification() const { return magnification_; }
  void SetMagnification(double value) { magnification_ = value; }
  // The sheet counter as decimal text. A written text is converted to a 32-bit integer
  // (rounded to the nearest, halves to even); a text that is no number raises
  // "数値を入力して下さい", one out of range "入力が不正です".
  std::string SheetCount() const { return std::to_string(sheet_count_); }
  void SetSheetCount(std::string_view text);
  const std::string& BasePath() const { return base_path_; }
  // The file must exist (its name found in its folder, letter case ignored), else
  // "ファイルが存在しません" is raised and the old value stays.
  void SetBasePath(std::string_view path);
  const std::string& SepChar() const { return sep_char_; }
  void SetSepChar(std::string_view text) { sep_char_ = std::string(text); }

  // Mode 1 shows the saved workbook; any other mode raises PrintWorkbook. SheetCount grows by
  // the number of sheets and is then multiplied by Magnification (nearest, halves to even).
  void ExecuteDocument(std::string_view folder_path, std::string_view file_name, std::int32_t mode);
  // Adds the template's number of sheets to SheetCount and raises GetWorksheet per sheet.
  void GetDocument();
  // Writes rows into the sheet: cell j of row i (both counted from 1) goes to the cell at row
  // i + row_offset, column j + column_offset, stored as typed text; an empty row writes nothing.
  // A text is written whole whatever characters it holds (kSepChar too). A null sheet or rows
  // raises the message naming it.
  void SetupRows(XlsxSheet* sheet, const std::vector<DataRow>* rows, std::int32_t row_offset,
                 std::int32_t column_offset);
  // The same for rows given as text lines: each line is split with SepChar into its fields, every
  // field followed by it (text after the last separator is no field), and written as SetupRows
  // writes a row.
  void SetupData(XlsxSheet* sheet, const std::vector<std::string>* rows, std::int32_t row_offset,
                 std::int32_t column_offset);

  // The workbook of the last run while it is open (after mode 1, or after a failed run).
  XlsxWorkbook* Workbook() const { return workbook_.get(); }
  // True after a mode-1 run until the next run or destruction.
  bool Visible() const { return visible_; }
  // The path the last run saved to, or "".
  const std::string& SavedPath() const { return saved_path_; }

 private:
  void CloseRun();
  bool IsTemplateReadable() const;
  void OpenTemplate();
  DataRow SplitFields(std::string_view line) const;

  ExcelControlEvents* events_;
  std::unique_ptr<XlsxWorkbook> workbook_;
  bool application_ = false;
  bool visible_ = false;
  std::string base_path_;
  std::string sep_char_{kSepChar};
  std::int32_t sheet_count_ = 0;
  double magnification_ = 1.0;
  std::string saved_path_;
};

}  // namespace lanereport
