#include "workbook/xlsx/XlsxStyles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "util/StringUtil.h"
#include "workbook/xlsx/NumberFormat.h"
#include "workbook/xlsx/XmlUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "[XlsxStyles]Load";

// The styles part a workbook without one gets: the Japanese default font and the formats a
// spreadsheet application writes for an empty workbook.
constexpr const char* kMinimalStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"ＭＳ Ｐゴシック\"/><family val=\"3\"/>"
    "<charset val=\"128\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "</cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"標準\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

const char* const kDefaultTheme[] = {"FFFFFF", "000000", "E7E6E6", "44546A", "4472C4", "ED7D31",
                                     "A5A5A5", "FFC000", "5B9BD5", "70AD47", "0563C1", "954F72"};

const char* const kDefaultIndexed[] = {
    "000000", "FFFFFF", "FF0000", "00FF00", "0000FF", "FFFF00", "FF00FF", "00FFFF",
    "000000", "FFFFFF", "FF0000", "00FF00", "0000FF", "FFFF00", "FF00FF", "00FFFF",
    "800000", "008000", "000080", "808000", "800080", "008080", "C0C0C0", "808080",
    "9999FF", "993366", "FFFFCC", "CCFFFF", "660066", "FF8080", "0066CC", "CCCCFF",
    "000080", "FF00FF", "FFFF00", "00FFFF", "800080", "800000", "008080", "0000FF",
    "00CCFF", "CCFFFF", "CCFFCC", "FFFF99", "99CCFF", "FF99CC", "CC99FF", "FFCC99",
    "3366FF", "33CCCC", "99CC00", "FFCC00", "FF9900", "FF6600", "666699", "969696",
    "003366", "339966", "003300", "333300", "993300", "993366", "333399", "333333"};

// Children of styleSheet in schema order; a new element goes before the first later one.
const char* const kStyleSheetOrder[] = {"numFmts",      "fonts",   "fills",      "borders",
                                        "cellStyleXfs", "cellXfs", "cellStyles", "dxfs",
                                        "tableStyles",  "colors",  "extLst"};

int IntAttr(const pugi::xml_node& node, const char* name, int fallback) {
  pugi::xml_attribute attr = node.attribute(name);
  return attr ? attr.as_int(fallback) : fallback;
}

// <b/> is on; <b val="0"/> and <b val="false"/> are off.
bool FlagElement(const pugi::xml_node& parent, std::string_view local) {
  pugi::xml_node node = XmlChild(parent, local);
  if (!node) return false;
  pugi::xml_attribute val = node.attribute("val");
  if (!val) return true;
  std::string_view v = val.value();
  return !(v == "0" || v == "false" || v == "none");
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& parent, std::string_view local) {
  std::vector<pugi::xml_node> nodes;
  for (pugi::xml_node n = XmlChild(parent, local); n; n = XmlNextSibling(n, local))
    nodes.push_back(n);
  return nodes;
}

std::string NormalizeRgb(std::string_view rgb) {
  if (rgb.size() == 8) rgb = rgb.substr(2);
  if (rgb.size() != 6) return "";
  return ToUpperAscii(rgb);
}

void RgbToHsl(double r, double g, double b, double& h, double& s, double& l) {
  double max = std::max({r, g, b});
  double min = std::min({r, g, b});
  l = (max + min) / 2;
  if (max == min) {
    h = s = 0;
    return;
  }
  double d = max - min;
  s = l > 0.5 ? d / (2 - max - min) : d / (max + min);
  if (max == r)
    h = (g - b) / d + (g < b ? 6 : 0);
  else if (max == g)
    h = (b - r) / d + 2;
  else
    h = (r - g) / d + 4;
  h /= 6;
}

double HueToRgb(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

// Lightens (tint > 0) or darkens (tint < 0) a colour the way theme tints do.
std::string ApplyTint(const std::string& rgb, double tint) {
  if (tint == 0 || rgb.size() != 6) return rgb;
  auto channel = [&](int i) {
    return std::strtol(rgb.substr(i * 2, 2).c_str(), nullptr, 16) / 255.0;
  };
  double h, s, l;
  RgbToHsl(channel(0), channel(1), channel(2), h, s, l);
  l = tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint;
  double r, g, b;
  if (s == 0) {
    r = g = b = l;
  } else {
    double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    double p = 2 * l - q;
    r = HueToRgb(p, q, h + 1.0 / 3);
    g = HueToRgb(p, q, h);
    b = HueToRgb(p, q, h - 1.0 / 3);
  }
  char buf[8];
  std::snprintf(buf, sizeof(buf), "%02X%02X%02X", static_cast<int>(std::lround(r * 255)),
                static_cast<int>(std::lround(g * 255)), static_cast<int>(std::lround(b * 255)));
  return buf;
}

std::string BorderWidthAndStyle(std::string_view style) {
  if (style == "thin") return "0.5pt solid";
  if (style == "medium") return "1.0pt solid";
  if (style == "thick") return "1.5pt solid";
  if (style == "double") return "2.0pt double";
  if (style == "dotted" || style == "hair") return "0.5pt dotted";
  if (style == "dashed" || style == "dashDot" || style == "dashDotDot") return "0.5pt dashed";
  if (style == "mediumDashed" || style == "mediumDashDot" || style == "mediumDashDotDot" ||
      style == "slantDashDot") {
    return "1.0pt dashed";
  }
  return "";
}

}  // namespace

XlsxStyles::XlsxStyles() {
  Load("", "");
}

void XlsxStyles::Load(std::string_view styles_xml, std::string_view theme_xml,
                      std::string_view styles_part, std::string_view theme_part) {
  had_part_ = !styles_xml.empty();
  changed_ = false;
  variants_.clear();
  doc_.reset();
  if (had_part_) {
    ParseXmlPart(doc_, styles_xml, styles_part, kSource);
  } else {
    ParseXmlPart(doc_, kMinimalStyles, "xl/styles.xml", kSource);
  }

  theme_.assign(std::begin(kDefaultTheme), std::end(kDefaultTheme));
  if (!theme_xml.empty()) {
    pugi::xml_document theme;
    ParseXmlPart(theme, theme_xml, theme_part, kSource);
    pugi::xml_node scheme =
        XmlChild(XmlChild(theme.document_element(), "themeElements"), "clrScheme");
    std::vector<std::string> scheme_colors;
    for (pugi::xml_node c = scheme.first_child(); c; c = c.next_sibling()) {
      if (c.type() != pugi::node_element) continue;
      pugi::xml_node value = c.first_child();
      while (value && value.type() != pugi::node_element) value = value.next_sibling();
      std::string rgb;
      if (value && XmlLocalName(value) == "srgbClr")
        rgb = NormalizeRgb(value.attribute("val").value());
      if (value && XmlLocalName(value) == "sysClr")
        rgb = NormalizeRgb(value.attribute("lastClr").value());
      scheme_colors.push_back(rgb);
    }
    // The scheme lists dk1, lt1, dk2, lt2, ...; colour indexes swap the light and dark pairs.
    static const int kOrder[] = {1, 0, 3, 2, 4, 5, 6, 7, 8, 9, 10, 11};
    for (int i = 0; i < 12; ++i) {
      std::size_t from = static_cast<std::size_t>(kOrder[i]);
      if (from < scheme_colors.size() && !scheme_colors[from].empty())
        theme_[i] = scheme_colors[from];
    }
  }

  pugi::xml_node root = doc_.document_element();
  indexed_.assign(std::begin(kDefaultIndexed), std::end(kDefaultIndexed));
  std::vector<pugi::xml_node> custom =
      Children(XmlChild(XmlChild(root, "colors"), "indexedColors"), "rgbColor");
  for (std::size_t i = 0; i < custom.size() && i < indexed_.size(); ++i) {
    std::string rgb = NormalizeRgb(custom[i].attribute("rgb").value());
    if (!rgb.empty()) indexed_[i] = rgb;
  }

  number_formats_.clear();
  for (pugi::xml_node nf : Children(XmlChild(root, "numFmts"), "numFmt")) {
    number_formats_[nf.attribute("numFmtId").as_int()] = nf.attribute("formatCode").value();
  }
  fonts_ = Children(XmlChild(root, "fonts"), "font");
  fills_ = Children(XmlChild(root, "fills"), "fill");
  borders_ = Children(XmlChild(root, "borders"), "border");

  cell_xfs_ = XmlChild(root, "cellXfs");
  if (!cell_xfs_) {
    pugi::xml_node before;
    bool later = false;
    for (const char* name : kStyleSheetOrder) {
      if (std::string_view(name) == "cellXfs")
        later = true;
      else if (later && !before)
        before = XmlChild(root, name);
    }
    cell_xfs_ = XmlInsertChild(root, "cellXfs", before);
  }
  if (!XmlChild(cell_xfs_, "xf")) {
    pugi::xml_node xf = XmlInsertChild(cell_xfs_, "xf");
    xf.append_attribute("numFmtId") = 0;
    xf.append_attribute("fontId") = 0;
    xf.append_attribute("fillId") = 0;
    xf.append_attribute("borderId") = 0;
  }
  BuildFormats();
}

void XlsxStyles::BuildFormats() {
  xf_nodes_ = Children(cell_xfs_, "xf");
  formats_.clear();
  formats_.reserve(xf_nodes_.size());
  for (const pugi::xml_node& xf : xf_nodes_) formats_.push_back(Resolve(xf));
}

const CellFormat& XlsxStyles::Format(int xf) const {
  if (xf < 0 || xf >= Count()) return formats_.front();
  return formats_[static_cast<std::size_t>(xf)];
}

int XlsxStyles::WithQuotePrefix(int xf, bool on) {
  if (xf < 0 || xf >= Count()) xf = 0;
  if (Format(xf).quote_prefix == on) return xf;
  auto key = std::make_pair(xf, on);
  auto found = variants_.find(key);
  if (found != variants_.end()) return found->second;

  pugi::xml_node copy = cell_xfs_.append_copy(xf_nodes_[static_cast<std::size_t>(xf)]);
  copy.remove_attribute("quotePrefix");
  if (on) copy.append_attribute("quotePrefix") = "1";
  xf_nodes_.push_back(copy);
  formats_.push_back(Resolve(copy));
  int index = Count() - 1;
  if (pugi::xml_attribute count = cell_xfs_.attribute("count")) count = index + 1;
  variants_[key] = index;
  variants_[std::make_pair(index, !on)] = xf;  // switching back gives the original
  changed_ = true;
  return index;
}

std::string XlsxStyles::Serialize() const {
  return SerializeXml(doc_);
}

std::string XlsxStyles::Color(const pugi::xml_node& color) const {
  if (!color) return "";
  std::string rgb;
  if (pugi::xml_attribute attr = color.attribute("rgb")) {
    rgb = NormalizeRgb(attr.value());
  } else if (pugi::xml_attribute theme = color.attribute("theme")) {
    int index = theme.as_int(-1);
    if (index >= 0 && index < static_cast<int>(theme_.size()))
      rgb = theme_[static_cast<std::size_t>(index)];
  } else if (pugi::xml_attribute indexed = color.attribute("indexed")) {
    int index = indexed.as_int(-1);
    // 64 and 65 are the system's text and window colours: automatic.
    if (index >= 0 && index < static_cast<int>(indexed_.size()))
      rgb = indexed_[static_cast<std::size_t>(index)];
  }
  if (rgb.empty()) return "";
  rgb = ApplyTint(rgb, color.attribute("tint").as_double(0));
  return "#" + rgb;
}

CellFormat XlsxStyles::Resolve(const pugi::xml_node& xf) const {
  CellFormat f;
  int num_fmt = IntAttr(xf, "numFmtId", 0);
  auto custom = number_formats_.find(num_fmt);
  f.number_format = custom != number_formats_.end() ? custom->second : BuiltinNumberFormat(num_fmt);
  f.quote_prefix = xf.attribute("quotePrefix").as_bool(false);

  int font_id = IntAttr(xf, "fontId", 0);
  if (font_id >= 0 && font_id < static_cast<int>(fonts_.size())) {
    const pugi::xml_node& font = fonts_[static_cast<std::size_t>(font_id)];
    f.bold = FlagElement(font, "b");
    f.italic = FlagElement(font, "i");
    f.underline = FlagElement(font, "u");
    f.strike = FlagElement(font, "strike");
    f.font_color = Color(XmlChild(font, "color"));
    f.font_size = XmlChild(font, "sz").attribute("val").as_double(11);
    f.font_name = XmlChild(font, "name").attribute("val").value();
  }
  int fill_id = IntAttr(xf, "fillId", 0);
  if (fill_id >= 0 && fill_id < static_cast<int>(fills_.size())) {
    pugi::xml_node pattern = XmlChild(fills_[static_cast<std::size_t>(fill_id)], "patternFill");
    std::string_view type = pattern.attribute("patternType").value();
    if (pattern && type != "none" && !type.empty()) {
      // Patterns other than solid are shown in their foreground colour.
      f.fill_color = Color(XmlChild(pattern, "fgColor"));
      if (f.fill_color.empty() && type == "solid") f.fill_color = "#000000";
      if (type == "gray125" && !XmlChild(pattern, "fgColor")) f.fill_color.clear();
    }
  }
  int border_id = IntAttr(xf, "borderId", 0);
  if (border_id >= 0 && border_id < static_cast<int>(borders_.size())) {
    const pugi::xml_node& border = borders_[static_cast<std::size_t>(border_id)];
    auto edge = [&](std::string_view name, std::string_view alias) {
      pugi::xml_node side = XmlChild(border, name);
      if (!side) side = XmlChild(border, alias);
      std::string css = BorderWidthAndStyle(side.attribute("style").value());
      if (css.empty()) return css;
      std::string color = Color(XmlChild(side, "color"));
      return css + " " + (color.empty() ? "#000000" : color);
    };
    f.border_left = edge("left", "start");
    f.border_right = edge("right", "end");
    f.border_top = edge("top", "top");
    f.border_bottom = edge("bottom", "bottom");
  }
  if (pugi::xml_node align = XmlChild(xf, "alignment")) {
    std::string_view h = align.attribute("horizontal").value();
    if (h == "left" || h == "fill")
      f.horizontal = "left";
    else if (h == "center" || h == "centerContinuous")
      f.horizontal = "center";
    else if (h == "right")
      f.horizontal = "right";
    else if (h == "justify" || h == "distributed")
      f.horizontal = "justify";
    std::string_view v = align.attribute("vertical").value();
    if (v == "top")
      f.vertical = "top";
    else if (v == "center" || v == "justify" || v == "distributed")
      f.vertical = "middle";
    f.wrap = align.attribute("wrapText").as_bool(false);
    f.indent = align.attribute("indent").as_int(0);
  }
  return f;
}

}  // namespace lanereport
