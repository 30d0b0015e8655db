#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace lanereport {

// What a published page needs of one cell format (an entry of the workbook's cellXfs).
struct CellFormat {
  std::string number_format = "General";
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  std::string font_color;  // "#rrggbb", or "" for the automatic colour
  double font_size = 11;
  std::string font_name;
  std::string fill_color;  // "#rrggbb", or "" when the cell has no fill
  // CSS border values ("0.5pt solid #000000"), "" for no border.
  std::string border_left, border_right, border_top, border_bottom;
  std::string horizontal;           // "left", "center", "right", "justify", or "" for General
  std::string vertical = "bottom";  // "top", "middle" or "bottom"
  bool wrap = false;
  int indent = 0;
  bool quote_prefix = false;
};

// The workbook's cell formats: read from the styles part (and the theme part for theme
// colours), extended when a cell needs a variant of its format with the quote prefix switched,
// and written back only when so extended. A workbook without a styles part gets a minimal one
// the first time a format is added.
class XlsxStyles {
 public:
  // Default formats only (no styles part).
  XlsxStyles();
  XlsxStyles(const XlsxStyles&) = delete;
  XlsxStyles& operator=(const XlsxStyles&) = delete;

  // Reads the styles part (styles_xml may be empty when the package has none) and the theme
  // part (may be empty). Raises AppError (kErrFile) when either is malformed XML, naming the
  // part by the name given for it.
  void Load(std::string_view styles_xml, std::string_view theme_xml,
            std::string_view styles_part = "xl/styles.xml",
            std::string_view theme_part = "xl/theme/theme1.xml");

  int Count() const { return static_cast<int>(formats_.size()); }
  // The format with index xf; the default format (index 0) for an index out of range.
  const CellFormat& Format(int xf) const;

  // The index of a format equal to xf but with the quote prefix on or off; xf itself when it
  // already is so, otherwise a variant added once per run and reused.
  int WithQuotePrefix(int xf, bool on);

  // True when formats were added, so the styles part must be written.
  bool Changed() const { return changed_; }
  // False when the workbook had no styles part (the part, its relationship and its content
  // type must then be added on saving).
  bool HadPart() const { return had_part_; }
  std::string Serialize() const;

 private:
  void BuildFormats();
  CellFormat Resolve(const pugi::xml_node& xf) const;
  std::string Color(const pugi::xml_node& color) const;

  pugi::xml_document doc_;
  pugi::xml_node cell_xfs_;
  std::vector<pugi::xml_node> xf_nodes_;
  std::vector<CellFormat> formats_;
  std::map<int, std::string> number_formats_;
  std::vector<pugi::xml_node> fonts_, fills_, borders_;
  std::vector<std::string> theme_;    // "RRGGBB" by theme colour index
  std::vector<std::string> indexed_;  // "RRGGBB" by palette index
  std::map<std::pair<int, bool>, int> variants_;
  bool changed_ = false;
  bool had_part_ = false;
};

}  // namespace lanereport
