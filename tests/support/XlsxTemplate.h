#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lanereport::testing {

// Zip archives and small workbook templates for the spreadsheet tests, written and read with
// libzip directly so that the tests do not depend on the package code they test.

using ZipParts = std::vector<std::pair<std::string, std::string>>;

// Writes the parts, in order and deflated, as a zip archive to path. Throws on failure.
void WriteZip(const std::string& path, const ZipParts& parts);
// One part of the archive at path; nothing when the archive cannot be read or lacks the part.
std::optional<std::string> ReadZipPart(const std::string& path, const std::string& name);
// The part names of the archive, in order; empty when it cannot be read.
std::vector<std::string> ZipPartNames(const std::string& path);

// A cell element of a sheet part's text, for checking what a save wrote.
struct SavedCell {
  bool found = false;
  std::string t;          // attribute t of <c>
  std::string s;          // attribute s of <c>
  std::string v;          // text of <v>
  std::string f;          // text of <f>
  std::string f_type;     // attribute t of <f>
  std::string is;         // text of <is><t>
  bool preserve = false;  // <is><t xml:space="preserve">
};
SavedCell FindSavedCell(const std::string& sheet_xml, const std::string& ref);

// Cell formats of the default styles part of XlsxTemplate (indexes into cellXfs).
namespace xf {
inline constexpr int kDefault = 0;
inline constexpr int kBold = 1;         // bold font
inline constexpr int kTwoDecimals = 2;  // built-in "0.00"
inline constexpr int kPercent1 = 3;     // custom "0.0%"
inline constexpr int kDate = 4;         // built-in 14, "yyyy/m/d" on a Japanese system
inline constexpr int kText = 5;         // built-in 49, "@"
inline constexpr int kBoxed = 6;        // yellow fill, thin black borders, centred
inline constexpr int kItalicRed = 7;    // italic font in red
inline constexpr int kThousands = 8;    // built-in "#,##0"
}  // namespace xf

// A workbook template built part by part: content types, package and workbook relationships,
// workbook, styles, optional shared strings, calculation chain and defined names, one part
// per sheet, and any extra parts.
class XlsxTemplate {
 public:
  // A worksheet whose sheetData holds rows_xml; before goes between the dimension and
  // sheetData (cols, ...), after behind sheetData (mergeCells, drawing, ...).
  XlsxTemplate& AddSheet(const std::string& name, const std::string& rows_xml,
                         const std::string& after = "", const std::string& before = "");
  // A worksheet given as its whole part text.
  XlsxTemplate& AddSheetXml(const std::string& name, const std::string& xml);
  XlsxTemplate& SetStyles(const std::string& xml);
  XlsxTemplate& WithoutStyles();
  XlsxTemplate& SetSharedStrings(const std::vector<std::string>& strings);
  XlsxTemplate& AddDefinedName(const std::string& name, const std::string& formula,
                               int local_sheet = -1);
  XlsxTemplate& WithCalcChain();
  // Any other part (drawings, media, relationships of a sheet); "[Content_Types].xml" gets an
  // Override for it when content_type is not empty.
  XlsxTemplate& AddPart(const std::string& name, const std::string& bytes,
                        const std::string& content_type = "");
  // Leaves out a part of the finished template (to make it damaged).
  XlsxTemplate& Omit(const std::string& name);
  // Replaces a part of the finished template with other bytes.
  XlsxTemplate& Replace(const std::string& name, const std::string& bytes);

  ZipParts Parts() const;
  void Write(const std::string& path) const;

 private:
  struct Sheet {
    std::string name;
    std::string xml;
  };
  std::vector<Sheet> sheets_;
  std::string styles_;
  bool has_styles_ = true;
  std::optional<std::vector<std::string>> shared_strings_;
  std::vector<std::pair<std::string, std::pair<std::string, int>>> names_;
  bool calc_chain_ = false;
  ZipParts extra_;
  std::vector<std::pair<std::string, std::string>> overrides_;
  std::vector<std::string> omitted_;
  ZipParts replaced_;
};

}  // namespace lanereport::testing
