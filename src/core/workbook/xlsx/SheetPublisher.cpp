#include "workbook/xlsx/SheetPublisher.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "workbook/xlsx/FormulaEvaluator.h"
#include "workbook/xlsx/NumberFormat.h"
#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XlsxWorkbook.h"
#include "workbook/xlsx/XmlUtil.h"

namespace lanereport {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr double kEmuPerPixel = 9525;

int ColumnPixels(double width) {
  return std::max(0, static_cast<int>(width * 7 + 0.5));
}
int RowPixels(double points) {
  return std::max(0, static_cast<int>(std::lround(points * 4 / 3)));
}

std::string Points(double value) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%.1fpt", value);
  return buf;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  bool after_space = true;  // a leading blank is kept as well
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\n':
        out += "<br>";
        break;
      case '\r':
        break;
      case ' ':
        out += after_space ? "&nbsp;" : " ";
        break;
      default:
        out += c;
    }
    after_space = c == ' ' || c == '\n';
  }
  return out;
}

// A path for a src attribute: bytes outside plain ASCII letters, digits and "-._~/" as %XX.
std::string UrlPath(std::string_view path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~' || c == '/') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

std::string FileStem(std::string_view name) {
  auto dot = name.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

std::string Extension(std::string_view name) {
  auto slash = name.rfind('/');
  auto dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return "";
  return std::string(name.substr(dot));
}

struct Picture {
  int row = 1;
  int column = 1;
  int left = 0;  // pixels from the cell's left edge
  int top = 0;
  int width = 0;
  int height = 0;
  std::string media_part;
};

std::vector<Picture> ReadPictures(const XlsxWorkbook& book, const XlsxSheet& sheet) {
  std::vector<Picture> pictures;
  const std::string& drawing_part = sheet.DrawingPart();
  if (drawing_part.empty()) return pictures;
  const XlsxPackage& package = book.Package();
  const std::string* xml = package.Find(drawing_part);
  if (!xml) return pictures;
  pugi::xml_document doc;
  ParseXmlPart(doc, *xml, drawing_part, "[SheetPublisher]Publish");
  std::vector<XlsxRelationship> rels;
  std::string rels_part = RelationshipsPartName(drawing_part);
  if (const std::string* rels_xml = package.Find(rels_part))
    rels = ParseRelationships(*rels_xml, rels_part);

  auto column_span = [&](int from, int to) {  // pixels of columns from..to-1 (1-based)
    int px = 0;
    for (int c = from; c < to && c <= kMaxColumns; ++c)
      px += sheet.ColumnHidden(c) ? 0 : ColumnPixels(sheet.ColumnWidth(c));
    return px;
  };
  auto row_span = [&](int from, int to) {
    int px = 0;
    for (int r = from; r < to && r <= kMaxRows; ++r)
      px += sheet.RowHidden(r) ? 0 : RowPixels(sheet.RowHeight(r));
    return px;
  };
  auto marker = [](const pugi::xml_node& node, int& row, int& column, int& dx, int& dy) {
    column = XmlChild(node, "col").text().as_int(0) + 1;
    row = XmlChild(node, "row").text().as_int(0) + 1;
    dx = static_cast<int>(XmlChild(node, "colOff").text().as_llong(0) / kEmuPerPixel);
    dy = static_cast<int>(XmlChild(node, "rowOff").text().as_llong(0) / kEmuPerPixel);
  };

  for (pugi::xml_node anchor = doc.document_element().first_child(); anchor;
       anchor = anchor.next_sibling()) {
    std::string_view kind = XmlLocalName(anchor);
    if (kind != "twoCellAnchor" && kind != "oneCellAnchor" && kind != "absoluteAnchor") continue;
    pugi::xml_node pic = XmlChild(anchor, "pic");
    if (!pic) continue;  // charts, shapes and groups are not published
    std::string embed = XmlAttribute(XmlChild(XmlChild(pic, "blipFill"), "blip"), "embed").value();
    Picture picture;
    for (const XlsxRelationship& rel : rels) {
      if (rel.id == embed && !rel.external)
        picture.media_part = ResolvePartTarget(drawing_part, rel.target);
    }
    if (picture.media_part.empty() || !package.Has(picture.media_part)) continue;

    if (kind == "absoluteAnchor") {
      pugi::xml_node pos = XmlChild(anchor, "pos");
      picture.left = static_cast<int>(pos.attribute("x").as_llong(0) / kEmuPerPixel);
      picture.top = static_cast<int>(pos.attribute("y").as_llong(0) / kEmuPerPixel);
    } else {
      marker(XmlChild(anchor, "from"), picture.row, picture.column, picture.left, picture.top);
    }
    pugi::xml_node ext = XmlChild(XmlChild(XmlChild(pic, "spPr"), "xfrm"), "ext");
    if (!ext) ext = XmlChild(anchor, "ext");
    if (ext) {
      picture.width = static_cast<int>(ext.attribute("cx").as_llong(0) / kEmuPerPixel);
      picture.height = static_cast<int>(ext.attribute("cy").as_llong(0) / kEmuPerPixel);
    } else if (kind == "twoCellAnchor") {
      int to_row = 1, to_column = 1, dx = 0, dy = 0;
      marker(XmlChild(anchor, "to"), to_row, to_column, dx, dy);
      picture.width = column_span(picture.column, to_column) - picture.left + dx;
      picture.height = row_span(picture.row, to_row) - picture.top + dy;
    }
    picture.width = std::max(picture.width, 1);
    picture.height = std::max(picture.height, 1);
    picture.row = std::clamp(picture.row, 1, kMaxRows);
    picture.column = std::clamp(picture.column, 1, kMaxColumns);
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

// The CSS of a cell format, given the default font of the sheet's td rule.
std::string FormatCss(const CellFormat& f, const CellFormat& base) {
  std::string css;
  if (f.bold) css += "font-weight:700;";
  if (f.italic) css += "font-style:italic;";
  if (f.underline || f.strike) {
    css += "text-decoration:";
    css += f.underline && f.strike ? "underline line-through;"
           : f.underline           ? "underline;"
                                   : "line-through;";
  }
  if (!f.font_color.empty()) css += "color:" + f.font_color + ";";
  if (f.font_size != base.font_size) css += "font-size:" + Points(f.font_size) + ";";
  if (!f.font_name.empty() && f.font_name != base.font_name)
    css += "font-family:\"" + f.font_name + "\";";
  if (!f.fill_color.empty()) css += "background:" + f.fill_color + ";";
  if (!f.horizontal.empty()) css += "text-align:" + f.horizontal + ";";
  if (f.vertical != "bottom") css += "vertical-align:" + f.vertical + ";";
  if (f.wrap) css += "white-space:normal;";
  if (f.indent > 0) css += "padding-left:" + std::to_string(f.indent * 9 + 2) + "px;";
  if (!f.border_top.empty()) css += "border-top:" + f.border_top + ";";
  if (!f.border_right.empty()) css += "border-right:" + f.border_right + ";";
  if (!f.border_bottom.empty()) css += "border-bottom:" + f.border_bottom + ";";
  if (!f.border_left.empty()) css += "border-left:" + f.border_left + ";";
  return css;
}

struct Shown {
  std::string text;
  std::string color;
  const char* general_align = nullptr;  // where General alignment puts this kind of value
};

Shown ShowValue(const FormulaValue& value, const CellFormat& format, bool date1904) {
  Shown shown;
  switch (value.type) {
    case FormulaValue::Type::kNumber: {
      FormattedText f = FormatCellNumber(value.number, format.number_format, date1904);
      shown.text = std::move(f.text);
      shown.color = std::move(f.color);
      shown.general_align = "right";
      break;
    }
    case FormulaValue::Type::kText: {
      FormattedText f = FormatCellText(value.text, format.number_format);
      shown.text = std::move(f.text);
      shown.color = std::move(f.color);
      break;
    }
    case FormulaValue::Type::kBool:
      shown.text = value.number != 0 ? "TRUE" : "FALSE";
      shown.general_align = "center";
      break;
    case FormulaValue::Type::kError:
      shown.text = value.text;
      shown.general_align = "center";
      break;
    default:
      break;
  }
  return shown;
}

FormulaValue ConstantValue(const CellContent& content) {
  switch (content.type) {
    case CellType::kNumber:
      return FormulaValue::Number(content.number);
    case CellType::kText:
      return FormulaValue::Text(content.text);
    case CellType::kBool:
      return FormulaValue::Bool(content.number != 0);
    case CellType::kError:
      return FormulaValue::Error(content.text);
    default:
      return FormulaValue();
  }
}

}  // namespace

PublishedPage RenderSheetPage(const XlsxWorkbook& book, const XlsxSheet& sheet,
                              std::string_view page_name, std::string_view title) {
  PublishedPage page;
  const XlsxStyles& styles = book.Styles();
  const CellFormat& base = styles.Format(0);
  int sheet_index = book.WorksheetIndex(sheet.Name());
  FormulaEvaluator evaluator(book);

  std::vector<Picture> pictures = ReadPictures(book, sheet);
  CellArea range = sheet.UsedRange().value_or(CellArea{1, 1, 1, 1});
  for (const Picture& p : pictures) {
    range.first_row = std::min(range.first_row, p.row);
    range.last_row = std::max(range.last_row, p.row);
    range.first_column = std::min(range.first_column, p.column);
    range.last_column = std::max(range.last_column, p.column);
  }
  long long cells = static_cast<long long>(range.last_row - range.first_row + 1) *
                    (range.last_column - range.first_column + 1);
  if (cells > kMaxPublishedCells) {
    throw AppError(
        kErrInvalidValue, "[SheetPublisher]Publish",
        "公開するシートの範囲が大きすぎます：" + sheet.Name() + "（" + AreaName(range) + "）");
  }

  std::vector<int> columns;
  for (int c = range.first_column; c <= range.last_column; ++c) {
    if (!sheet.ColumnHidden(c)) columns.push_back(c);
  }
  std::vector<CellArea> merges;
  for (const CellArea& m : sheet.MergedCells()) {
    CellArea clipped{
        std::max(m.first_row, range.first_row), std::max(m.first_column, range.first_column),
        std::min(m.last_row, range.last_row), std::min(m.last_column, range.last_column)};
    if (clipped.first_row <= clipped.last_row && clipped.first_column <= clipped.last_column) {
      merges.push_back(clipped);
    }
  }

  // Pictures go into the cell they are anchored to, or the merged cell that covers it.
  std::multimap<std::uint64_t, std::size_t> pictures_at;
  std::map<std::string, std::string> image_files;  // media part -> relative path
  std::string folder = FileStem(page_name) + "_files/";
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    int row = pictures[i].row;
    int column = pictures[i].column;
    for (const CellArea& m : merges) {
      if (m.Contains(row, column)) row = m.first_row, column = m.first_column;
    }
    pictures_at.emplace(CellKey(row, column), i);
    if (!image_files.count(pictures[i].media_part)) {
      char name[32];
      std::snprintf(name, sizeof(name), "image%03zu", image_files.size() + 1);
      std::string relative = folder + name + Extension(pictures[i].media_part);
      image_files[pictures[i].media_part] = relative;
      page.images.push_back({relative, *book.Package().Find(pictures[i].media_part)});
    }
  }

  std::string body;
  std::set<int> used_styles;
  int table_width = 0;
  for (int c : columns) table_width += ColumnPixels(sheet.ColumnWidth(c));
  body += "<table border=0 cellpadding=0 cellspacing=0 width=" + std::to_string(table_width) +
          " style='width:" + Points(table_width * 0.75) + "'>" + kCrLf;
  for (int c : columns) {
    int px = ColumnPixels(sheet.ColumnWidth(c));
    body +=
        "<col width=" + std::to_string(px) + " style='width:" + Points(px * 0.75) + "'>" + kCrLf;
  }

  for (int r = range.first_row; r <= range.last_row; ++r) {
    if (sheet.RowHidden(r)) continue;
    double height = sheet.RowHeight(r);
    body += "<tr height=" + std::to_string(RowPixels(height)) + " style='height:" + Points(height) +
            "'>" + kCrLf;
    std::vector<const CellArea*> row_merges;
    for (const CellArea& m : merges) {
      if (r >= m.first_row && r <= m.last_row) row_merges.push_back(&m);
    }
    for (std::size_t k = 0; k < columns.size(); ++k) {
      int c = columns[k];
      const CellArea* merge = nullptr;
      for (const CellArea* m : row_merges) {
        if (c >= m->first_column && c <= m->last_column) merge = m;
      }
      if (merge && (r != merge->first_row || c != merge->first_column)) continue;

      CellContent content = sheet.Content(r, c);
      FormulaValue value =
          content.formula.empty() ? ConstantValue(content) : evaluator.CellValue(sheet_index, r, c);
      const CellFormat& format = styles.Format(content.style);
      Shown shown = ShowValue(value, format, book.Date1904());
      used_styles.insert(content.style < styles.Count() ? content.style : 0);

      std::string td =
          " <td class=x" + std::to_string(content.style < styles.Count() ? content.style : 0);
      std::string inline_css;
      if (merge) {
        int colspan = 0;
        for (int mc : columns) colspan += mc >= merge->first_column && mc <= merge->last_column;
        int rowspan = 0;
        for (int mr = merge->first_row; mr <= merge->last_row; ++mr)
          rowspan += !sheet.RowHidden(mr);
        if (colspan > 1) td += " colspan=" + std::to_string(colspan);
        if (rowspan > 1) td += " rowspan=" + std::to_string(rowspan);
        // The far edges of a merged cell are drawn by the cells on them.
        const CellFormat& right =
            styles.Format(sheet.Content(merge->first_row, merge->last_column).style);
        const CellFormat& bottom =
            styles.Format(sheet.Content(merge->last_row, merge->first_column).style);
        if (right.border_right != format.border_right) {
          inline_css += "border-right:" +
                        (right.border_right.empty() ? std::string("none") : right.border_right) +
                        ";";
        }
        if (bottom.border_bottom != format.border_bottom) {
          inline_css +=
              "border-bottom:" +
              (bottom.border_bottom.empty() ? std::string("none") : bottom.border_bottom) + ";";
        }
      }
      if (format.horizontal.empty() && shown.general_align)
        td += std::string(" align=") + shown.general_align;
      if (!shown.color.empty()) inline_css += "color:" + shown.color + ";";
      if (!inline_css.empty()) td += " style='" + inline_css + "'";
      td += ">";
      auto [first, last] = pictures_at.equal_range(CellKey(r, c));
      for (auto it = first; it != last; ++it) {
        const Picture& p = pictures[it->second];
        std::string size =
            " width=" + std::to_string(p.width) + " height=" + std::to_string(p.height);
        td += "<span style='position:absolute;z-index:1;margin-left:" + std::to_string(p.left) +
              "px;margin-top:" + std::to_string(p.top) + "px;width:" + std::to_string(p.width) +
              "px;height:" + std::to_string(p.height) + "px'><img" + size + " src=\"" +
              UrlPath(image_files[p.media_part]) + "\"></span>";
      }
      td += EscapeHtml(shown.text);
      td += "</td>";
      body += td + kCrLf;
    }
    body += "</tr>";
    body += kCrLf;
  }
  body += "</table>";
  body += kCrLf;

  std::string html;
  html.reserve(body.size() + 4096);
  html += "<html>";
  html += kCrLf;
  html += "<head>";
  html += kCrLf;
  html += kPublishedMetaLine;
  html += kCrLf;
  if (!title.empty()) html += "<title>" + EscapeHtml(title) + "</title>" + kCrLf;
  html += "<style>";
  html += kCrLf;
  html += "<!--";
  html += kCrLf;
  html += "table {border-collapse:collapse;table-layout:fixed;}";
  html += kCrLf;
  html += "td {padding:0px 2px;font-size:" + Points(base.font_size) + ";" +
          (base.font_name.empty() ? std::string() : "font-family:\"" + base.font_name + "\";") +
          "color:#000000;white-space:nowrap;vertical-align:bottom;overflow:hidden;}";
  html += kCrLf;
  for (int style : used_styles) {
    html += ".x" + std::to_string(style) + " {" + FormatCss(styles.Format(style), base) + "}";
    html += kCrLf;
  }
  html += "-->";
  html += kCrLf;
  html += "</style>";
  html += kCrLf;
  html += "</head>";
  html += kCrLf;
  html += "<body>";
  html += kCrLf;
  html += body;
  html += "</body>";
  html += kCrLf;
  html += "</html>";
  html += kCrLf;
  page.html = Utf8ToCp932(html);
  return page;
}

void WritePublishedPage(const PublishedPage& page, const std::string& path) {
  const std::string folder = GetParentFolder(path);
  std::vector<StagedFile> staged;
  staged.reserve(page.images.size() + 1);
  // The temporary files not put in place yet start here; a file that fails to go in place
  // removes its own.
  std::size_t pending = 0;
  try {
    for (const PublishedImage& image : page.images)
      staged.push_back(StageFile(folder + image.relative_path, image.bytes));
    staged.push_back(StageFile(path, page.html));
    while (pending < staged.size()) CommitStagedFile(staged[pending++]);
  } catch (...) {
    for (std::size_t i = pending; i < staged.size(); ++i) DiscardStagedFile(staged[i]);
    throw;
  }
}

void PublishSheet(const XlsxWorkbook& book, const XlsxSheet& sheet, const std::string& path,
                  std::string_view title) {
  WritePublishedPage(RenderSheetPage(book, sheet, GetFileName(path), title), path);
}

}  // namespace lanereport
