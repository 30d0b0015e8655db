#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XlsxSheet.h"
#include "workbook/xlsx/XlsxStyles.h"

namespace lanereport {

class XlsxContentTypes;
class XlsxPublishObjects;

// A defined name of the workbook.
struct XlsxDefinedName {
  std::string name;
  int local_sheet = -1;  // index into Worksheets() for a sheet-level name, -1 for the workbook
  std::string formula;   // what the name refers to, without "="
};

// An open workbook (.xlsx): every part read into memory when opened, the worksheets as
// editable trees. The file it was opened from is only read, never written. Saving writes a
// new package that keeps every part the run did not change byte for byte, drops the
// calculation chain, stores with every formula the result FormulaEvaluator gives it (none when
// it cannot compute one) and asks for a full recalculation when the file is next opened.
class XlsxWorkbook {
 public:
  // Workbooks.Open. Raises AppError (kErrFile, "[XlsxWorkbook]Open") when the file cannot be
  // read or is no workbook: not a zip archive, no content types or workbook part, a sheet whose
  // part is missing, or malformed XML in any XML part of the package (every part named "*.xml"
  // or "*.rels" and every part of an XML content type, whether the workbook reads it or only
  // copies it; media and other binary parts are not looked into). The description then names
  // the part: "ブックの部品のXMLが正しくありません：docProps/app.xml（...）".
  static std::unique_ptr<XlsxWorkbook> Open(const std::string& path);
  ~XlsxWorkbook();
  XlsxWorkbook(const XlsxWorkbook&) = delete;
  XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

  // The path the workbook was opened from or last saved to.
  const std::string& FullName() const { return full_name_; }

  // Worksheets, in the workbook's order (chart sheets are not among them). The pointers stay
  // valid while the workbook lives.
  std::vector<XlsxSheet*> Worksheets() const;
  // The worksheet of that name (letter case of ASCII letters ignored), or nullptr.
  XlsxSheet* FindWorksheet(std::string_view name) const;
  // Its position in Worksheets(), or -1.
  int WorksheetIndex(std::string_view name) const;
  const std::vector<XlsxDefinedName>& Names() const { return names_; }

  // SaveAs: writes the workbook to path as a whole (a temporary file that replaces the target
  // by a rename, so a failed save leaves no half-written file). The workbook stays open.
  // Raises AppError (kErrFile) when the file cannot be written.
  void SaveAs(const std::string& path);
  // The bytes SaveAs writes.
  std::string SaveToBytes();

  // PublishObjects: the sheets to publish as web pages (see XlsxPublishObjects).
  XlsxPublishObjects& PublishObjects();

  // What the sheets and the publisher read.
  XlsxStyles& Styles() { return styles_; }
  const XlsxStyles& Styles() const { return styles_; }
  // The shared string with that index, "" when there is none.
  const std::string& SharedString(int index) const;
  bool Date1904() const { return date1904_; }
  const XlsxPackage& Package() const { return package_; }
  // True when a cell of any sheet was written since the workbook was opened.
  bool HasWrites() const;

  // Called by a sheet when a cell that referred to a shared string was overwritten.
  void NoteSharedStringReleased() { shared_strings_released_ = true; }

 private:
  XlsxWorkbook();
  void Load(const std::string& path);
  // Brings the stored result of every formula up to what the cells now give.
  void StoreFormulaResults();

  std::string full_name_;
  XlsxPackage package_;
  std::unique_ptr<XlsxContentTypes> content_types_;
  std::string workbook_part_;
  pugi::xml_document workbook_doc_;
  std::vector<XlsxRelationship> workbook_rels_;
  std::vector<std::unique_ptr<XlsxSheet>> sheets_;
  std::vector<XlsxDefinedName> names_;
  XlsxStyles styles_;
  std::string styles_part_;
  std::string shared_strings_part_;
  pugi::xml_document shared_strings_doc_;
  std::vector<std::string> shared_strings_;
  bool shared_strings_released_ = false;
  bool date1904_ = false;
  std::unique_ptr<XlsxPublishObjects> publish_objects_;
};

}  // namespace lanereport
