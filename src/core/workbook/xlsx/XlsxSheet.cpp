#include "workbook/xlsx/XlsxSheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "util/AppError.h"
#include "util/StringUtil.h"
#include "workbook/xlsx/FormulaText.h"
#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XlsxWorkbook.h"
#include "workbook/xlsx/XmlUtil.h"

namespace lanereport {
namespace {

constexpr const char* kOpenSource = "[XlsxWorkbook]Open";

// Children of worksheet that come before sheetData, in schema order.
const char* const kBeforeSheetData[] = {"sheetPr", "dimension", "sheetViews", "sheetFormatPr",
                                        "cols"};

std::string NumberText(double value) {
  if (value == 0) return "0";  // also for -0
  char buf[32];
  auto result = std::to_chars(buf, buf + sizeof(buf), value);
  return std::string(buf, result.ptr);
}

bool HasContent(const pugi::xml_node& cell) {
  return XmlChild(cell, "v") || XmlChild(cell, "f") || XmlChild(cell, "is");
}

bool NeedsPreserve(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  return !text.empty() && (blank(text.front()) || blank(text.back()));
}

}  // namespace

TypedEntry ClassifyTypedText(std::string_view text) {
  TypedEntry entry;
  if (text.empty()) return entry;
  if (text.front() == '\'') {
    if (text.size() == 1) return entry;
    entry.kind = TypedEntry::Kind::kQuotedText;
    entry.text = std::string(text.substr(1));
    return entry;
  }
  std::string_view trimmed = Trim(text);
  bool digit = false;
  bool other = false;
  for (char c : trimmed) {
    if (c >= '0' && c <= '9')
      digit = true;
    else if (c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E')
      other = true;
  }
  if (digit && !other) {
    if (auto number = ParseNumber(trimmed); number && std::isfinite(*number)) {
      entry.kind = TypedEntry::Kind::kNumber;
      entry.number = *number;
      return entry;
    }
  }
  entry.kind = TypedEntry::Kind::kText;
  entry.text = std::string(text);
  return entry;
}

void XlsxCell::SetValue(std::string_view text) {
  sheet_->SetValue(row_, column_, text);
}

std::string XlsxCell::Value() const {
  CellContent content = sheet_->Content(row_, column_);
  switch (content.type) {
    case CellType::kNumber:
      return NumberText(content.number);
    case CellType::kBool:
      return content.number != 0 ? "TRUE" : "FALSE";
    case CellType::kText:
    case CellType::kError:
      return content.text;
    case CellType::kEmpty:
      break;
  }
  return "";
}

XlsxSheet::XlsxSheet(XlsxWorkbook& book, std::string name, std::string part_name,
                     std::string_view xml, std::string_view rels_xml)
    : book_(book), name_(std::move(name)), part_name_(std::move(part_name)) {
  ParseXmlPart(doc_, xml, part_name_, kOpenSource);
  if (XmlLocalName(doc_.document_element()) != "worksheet") {
    throw AppError(kErrFile, kOpenSource,
                   "ワークシートの部品ではありません：" + part_name_ + "（" + name_ + "）");
  }
  if (!rels_xml.empty()) {
    std::string rels_part = RelationshipsPartName(part_name_);
    std::vector<XlsxRelationship> rels = ParseRelationships(rels_xml, rels_part);
    pugi::xml_node drawing = XmlChild(doc_.document_element(), "drawing");
    std::string id = XmlAttribute(drawing, "id").value();
    for (const XlsxRelationship& rel : rels) {
      if (!id.empty() && rel.id == id && !rel.external) {
        drawing_part_ = ResolvePartTarget(part_name_, rel.target);
      }
    }
  }
  Index();
}

void XlsxSheet::Index() {
  pugi::xml_node root = doc_.document_element();
  sheet_data_ = XmlChild(root, "sheetData");
  if (!sheet_data_) {
    pugi::xml_node before = root.first_child();
    while (before) {
      bool earlier = before.type() != pugi::node_element;
      for (const char* name : kBeforeSheetData) earlier |= XmlLocalName(before) == name;
      if (!earlier) break;
      before = before.next_sibling();
    }
    sheet_data_ = XmlInsertChild(root, "sheetData", before);
  }

  int next_row = 1;
  for (pugi::xml_node row = XmlChild(sheet_data_, "row"); row; row = XmlNextSibling(row, "row")) {
    int r = row.attribute("r").as_int(0);
    if (r < 1 || r > kMaxRows) {
      r = std::min(next_row, kMaxRows);
      row.remove_attribute("r");
      row.append_attribute("r") = r;
    }
    next_row = r + 1;
    RowEntry& entry = rows_[r];
    if (!entry.node) {
      entry.node = row;
      entry.ext_lst = XmlChild(row, "extLst");
    }
    int next_column = 1;
    for (pugi::xml_node c = XmlChild(row, "c"); c; c = XmlNextSibling(c, "c")) {
      auto position = ParseCellName(c.attribute("r").value());
      int column = position ? position->second : std::min(next_column, kMaxColumns);
      if (!position || position->first != r) {
        c.remove_attribute("r");
        c.prepend_attribute("r") = CellName(r, column).c_str();
      }
      next_column = column + 1;
      entry.cells.Set(column, c);
      pugi::xml_node f = XmlChild(c, "f");
      if (f && std::string_view(f.attribute("t").value()) == "shared" && *f.text().get()) {
        SharedFormula shared;
        shared.row = r;
        shared.column = column;
        shared.text = f.text().get();
        shared.area =
            ParseArea(f.attribute("ref").value()).value_or(CellArea{r, column, r, column});
        shared_[f.attribute("si").as_int()] = std::move(shared);
      }
    }
  }

  for (pugi::xml_node merge = XmlChild(XmlChild(root, "mergeCells"), "mergeCell"); merge;
       merge = XmlNextSibling(merge, "mergeCell")) {
    if (auto area = ParseArea(merge.attribute("ref").value())) merges_.push_back(*area);
  }

  for (pugi::xml_node col = XmlChild(XmlChild(root, "cols"), "col"); col;
       col = XmlNextSibling(col, "col")) {
    ColumnInfo info;
    info.first = std::clamp(col.attribute("min").as_int(1), 1, kMaxColumns);
    info.last = std::clamp(col.attribute("max").as_int(info.first), info.first, kMaxColumns);
    info.has_width = static_cast<bool>(col.attribute("width"));
    info.width = col.attribute("width").as_double(0);
    info.hidden = col.attribute("hidden").as_bool(false);
    info.style = col.attribute("style").as_int(0);
    columns_.push_back(info);
  }
  std::sort(columns_.begin(), columns_.end(),
            [](const ColumnInfo& a, const ColumnInfo& b) { return a.first < b.first; });

  // The default width counts characters without the cell's padding, which stored widths
  // include: 8.43 characters are 64 pixels with a 7-pixel digit and 5 pixels of padding.
  pugi::xml_node format = XmlChild(root, "sheetFormatPr");
  double characters = 8.43;
  if (pugi::xml_attribute width = format.attribute("defaultColWidth")) {
    characters = width.as_double(8.43);
  } else if (pugi::xml_attribute base = format.attribute("baseColWidth")) {
    characters = base.as_double(8) + 0.43;
  }
  default_column_width_ = (std::round(characters * 7) + 5) / 7;
  default_row_height_ = format.attribute("defaultRowHeight").as_double(15);
}

XlsxCell XlsxSheet::Cells(int row, int column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) {
    throw AppError(kErrInvalidValue, "[XlsxSheet]Cells",
                   "セルの位置が正しくありません（行 " + std::to_string(row) + "、列 " +
                       std::to_string(column) + "）");
  }
  return XlsxCell(*this, row, column);
}

const XlsxSheet::ColumnInfo* XlsxSheet::Column(int column) const {
  auto it = std::upper_bound(columns_.begin(), columns_.end(), column,
                             [](int c, const ColumnInfo& info) { return c < info.first; });
  if (it == columns_.begin()) return nullptr;
  --it;
  return column <= it->last ? &*it : nullptr;
}

pugi::xml_node XlsxSheet::FindCell(int row, int column) const {
  auto r = rows_.find(row);
  if (r == rows_.end()) return pugi::xml_node();
  auto c = r->second.cells.find(column);
  return c == r->second.cells.end() ? pugi::xml_node() : c->second;
}

pugi::xml_node XlsxSheet::FindOrCreateCell(int row, int column) {
  auto [it, inserted] = rows_.try_emplace(row);
  RowEntry& entry = it->second;
  if (inserted) {
    auto next = std::next(it);
    entry.node = XmlInsertChild(sheet_data_, "row",
                                next != rows_.end() ? next->second.node : pugi::xml_node());
    entry.node.append_attribute("r") = row;
  }
  auto c = entry.cells.lower_bound(column);
  if (c != entry.cells.end() && c->first == column) return c->second;
  pugi::xml_node before = c != entry.cells.end() ? c->second : entry.ext_lst;
  pugi::xml_node cell = XmlInsertChild(entry.node, "c", before);
  cell.append_attribute("r") = CellName(row, column).c_str();
  if (int style = DefaultStyle(row, column); style != 0) cell.append_attribute("s") = style;
  // The row's span hint no longer covers every cell.
  entry.node.remove_attribute("spans");
  entry.cells.Set(column, cell);
  return cell;
}

void XlsxSheet::ReleaseSharedFormula(int index) {
  auto it = shared_.find(index);
  if (it == shared_.end()) return;
  SharedFormula master = std::move(it->second);
  shared_.erase(it);
  // The cells that shared the formula get it written out in full.
  ForEachCell(master.area, [&](int row, int column) {
    if (row == master.row && column == master.column) return;
    pugi::xml_node f = XmlChild(FindCell(row, column), "f");
    if (!f || std::string_view(f.attribute("t").value()) != "shared" ||
        f.attribute("si").as_int(-1) != index) {
      return;
    }
    std::string text = ShiftFormula(master.text, row - master.row, column - master.column);
    f.remove_attribute("t");
    f.remove_attribute("si");
    f.remove_attribute("ref");
    f.text().set(text.c_str());
  });
}

void XlsxSheet::ClearContent(pugi::xml_node cell) {
  if (std::string_view(cell.attribute("t").value()) == "s") book_.NoteSharedStringReleased();
  if (pugi::xml_node f = XmlChild(cell, "f")) {
    if (std::string_view(f.attribute("t").value()) == "shared" && *f.text().get()) {
      ReleaseSharedFormula(f.attribute("si").as_int(-1));
    }
    cell.remove_child(f);
  }
  while (pugi::xml_node v = XmlChild(cell, "v")) cell.remove_child(v);
  while (pugi::xml_node is = XmlChild(cell, "is")) cell.remove_child(is);
  cell.remove_attribute("t");
  cell.remove_attribute("cm");
  cell.remove_attribute("vm");
}

void XlsxSheet::SetValue(int row, int column, std::string_view text) {
  Cells(row, column);  // checks the position
  TypedEntry entry = ClassifyTypedText(text);
  pugi::xml_node cell = entry.kind == TypedEntry::Kind::kEmpty ? FindCell(row, column)
                                                               : FindOrCreateCell(row, column);
  written_.insert(CellKey(row, column));
  changed_ = true;
  if (!cell) return;

  ClearContent(cell);
  int style = cell.attribute("s").as_int(0);
  XlsxStyles& styles = book_.Styles();
  // A cell formatted as text keeps what is typed into it as text.
  if (entry.kind == TypedEntry::Kind::kNumber && styles.Format(style).number_format == "@") {
    entry.kind = TypedEntry::Kind::kText;
    entry.text = std::string(text);
  }
  if (entry.kind == TypedEntry::Kind::kEmpty) {
    if (!cell.attribute("s") && !XmlChild(cell, "extLst")) {
      rows_[row].node.remove_child(cell);
      rows_[row].cells.erase(column);
    }
    return;
  }
  int new_style = styles.WithQuotePrefix(style, entry.kind == TypedEntry::Kind::kQuotedText);
  if (new_style != style) {
    cell.remove_attribute("s");
    if (new_style != 0) cell.append_attribute("s") = new_style;
  }
  if (entry.kind == TypedEntry::Kind::kNumber) {
    XmlInsertChild(cell, "v").text().set(NumberText(entry.number).c_str());
    return;
  }
  cell.append_attribute("t") = "inlineStr";
  pugi::xml_node t = XmlInsertChild(XmlInsertChild(cell, "is"), "t");
  if (NeedsPreserve(entry.text)) t.append_attribute("xml:space") = "preserve";
  t.text().set(EscapeCellText(entry.text).c_str());
}

std::string XlsxSheet::FormulaOf(const pugi::xml_node& cell, int row, int column) const {
  pugi::xml_node f = XmlChild(cell, "f");
  if (!f) return "";
  std::string text = f.text().get();
  if (text.empty() && std::string_view(f.attribute("t").value()) == "shared") {
    auto master = shared_.find(f.attribute("si").as_int(-1));
    if (master != shared_.end()) {
      text = ShiftFormula(master->second.text, row - master->second.row,
                          column - master->second.column);
    }
  }
  return text;
}

CellContent XlsxSheet::Content(int row, int column) const {
  CellContent content;
  pugi::xml_node cell = FindCell(row, column);
  if (!cell) {
    content.style = DefaultStyle(row, column);
    return content;
  }
  content.style = cell.attribute("s").as_int(0);
  // One pass over the cell's children: the evaluator reads every cell of the areas it sums.
  pugi::xml_node f, v, is;
  for (pugi::xml_node child = cell.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view local = XmlLocalName(child);
    if (local == "f" && !f)
      f = child;
    else if (local == "v" && !v)
      v = child;
    else if (local == "is" && !is)
      is = child;
  }
  if (f) content.formula = FormulaOf(cell, row, column);
  std::string_view type = cell.attribute("t").value();
  if (type == "inlineStr") {
    content.type = CellType::kText;
    content.text = XmlRichText(is);
  } else if (!v) {
    content.type = CellType::kEmpty;
  } else if (type == "s") {
    content.type = CellType::kText;
    content.text = book_.SharedString(v.text().as_int(-1));
  } else if (type == "str" || type == "d") {
    content.type = CellType::kText;
    content.text = UnescapeCellText(v.text().get());
  } else if (type == "b") {
    content.type = CellType::kBool;
    std::string_view value = v.text().get();
    content.number = (value == "1" || value == "true") ? 1 : 0;
  } else if (type == "e") {
    content.type = CellType::kError;
    content.text = v.text().get();
  } else if (auto number = ParseNumber(v.text().get())) {
    content.type = CellType::kNumber;
    content.number = *number;
  } else {
    content.type = CellType::kText;
    content.text = v.text().get();
  }
  content.has_cached = !content.formula.empty() && content.type != CellType::kEmpty;
  content.array_formula = f && std::string_view(f.attribute("t").value()) == "array";
  return content;
}

bool XlsxSheet::SetFormulaResult(int row, int column, const CellContent& result) {
  pugi::xml_node cell = FindCell(row, column);
  pugi::xml_node f = XmlChild(cell, "f");
  if (!f) return false;
  CellContent stored = Content(row, column);
  if (stored.type == result.type) {
    switch (result.type) {
      case CellType::kEmpty:
        return false;
      case CellType::kNumber:
      case CellType::kBool:
        if (stored.number == result.number) return false;
        break;
      case CellType::kText:
      case CellType::kError:
        if (stored.text == result.text) return false;
        break;
    }
  }

  if (std::string_view(cell.attribute("t").value()) == "s") book_.NoteSharedStringReleased();
  cell.remove_attribute("t");
  while (pugi::xml_node is = XmlChild(cell, "is")) cell.remove_child(is);
  pugi::xml_node v = XmlChild(cell, "v");
  while (pugi::xml_node extra = v ? XmlNextSibling(v, "v") : pugi::xml_node())
    cell.remove_child(extra);
  changed_ = true;
  if (result.type == CellType::kEmpty) {
    if (v) cell.remove_child(v);
    return true;
  }
  // The result follows the formula, before anything else of the cell (extLst).
  if (!v) v = XmlInsertChild(cell, "v", f.next_sibling());
  v.remove_children();
  std::string text;
  switch (result.type) {
    case CellType::kNumber:
      text = NumberText(result.number);
      break;
    case CellType::kBool:
      cell.append_attribute("t") = "b";
      text = result.number != 0 ? "1" : "0";
      break;
    case CellType::kText:
      cell.append_attribute("t") = "str";
      text = EscapeCellText(result.text);
      break;
    case CellType::kError:
      cell.append_attribute("t") = "e";
      text = result.text;
      break;
    case CellType::kEmpty:
      break;
  }
  v.text().set(text.c_str());
  return true;
}

void XlsxSheet::ForEachCell(const CellArea& area,
                            const std::function<void(int row, int column)>& visit) const {
  for (auto r = rows_.lower_bound(area.first_row); r != rows_.end() && r->first <= area.last_row;
       ++r) {
    const auto& cells = r->second.cells;
    for (auto c = cells.lower_bound(area.first_column);
         c != cells.end() && c->first <= area.last_column; ++c) {
      visit(r->first, c->first);
    }
  }
}

std::vector<std::pair<int, int>> XlsxSheet::FormulaCells() const {
  std::vector<std::pair<int, int>> cells;
  for (const auto& [row, entry] : rows_) {
    for (const auto& [column, cell] : entry.cells) {
      if (XmlChild(cell, "f")) cells.emplace_back(row, column);
    }
  }
  return cells;
}

std::optional<CellArea> XlsxSheet::UsedRange() const {
  std::optional<CellArea> used;
  auto extend = [&](int row, int column) {
    if (!used) {
      used = CellArea{row, column, row, column};
      return;
    }
    used->first_row = std::min(used->first_row, row);
    used->last_row = std::max(used->last_row, row);
    used->first_column = std::min(used->first_column, column);
    used->last_column = std::max(used->last_column, column);
  };
  for (const auto& [row, entry] : rows_) {
    for (const auto& [column, cell] : entry.cells) {
      if (HasContent(cell) || cell.attribute("s").as_int(0) != 0) extend(row, column);
    }
  }
  for (const CellArea& merge : merges_) {
    extend(merge.first_row, merge.first_column);
    extend(merge.last_row, merge.last_column);
  }
  return used;
}

double XlsxSheet::ColumnWidth(int column) const {
  const ColumnInfo* info = Column(column);
  return info && info->has_width ? info->width : default_column_width_;
}

bool XlsxSheet::ColumnHidden(int column) const {
  const ColumnInfo* info = Column(column);
  return info && info->hidden;
}

double XlsxSheet::RowHeight(int row) const {
  auto r = rows_.find(row);
  if (r != rows_.end()) {
    if (pugi::xml_attribute ht = r->second.node.attribute("ht"))
      return ht.as_double(default_row_height_);
  }
  return default_row_height_;
}

bool XlsxSheet::RowHidden(int row) const {
  auto r = rows_.find(row);
  return r != rows_.end() && r->second.node.attribute("hidden").as_bool(false);
}

int XlsxSheet::DefaultStyle(int row, int column) const {
  auto r = rows_.find(row);
  if (r != rows_.end() && r->second.node.attribute("customFormat").as_bool(false)) {
    return r->second.node.attribute("s").as_int(0);
  }
  const ColumnInfo* info = Column(column);
  return info ? info->style : 0;
}

bool XlsxSheet::WrittenIn(const CellArea& area) const {
  std::uint64_t last = CellKey(area.last_row, area.last_column);
  for (auto it = written_.lower_bound(CellKey(area.first_row, area.first_column));
       it != written_.end() && *it <= last; ++it) {
    int column = static_cast<int>(*it & 0xFFFF);
    if (column >= area.first_column && column <= area.last_column) return true;
  }
  return false;
}

std::string XlsxSheet::Serialize() {
  if (pugi::xml_node dimension = XmlChild(doc_.document_element(), "dimension")) {
    std::optional<CellArea> used;
    for (const auto& [row, entry] : rows_) {
      for (const auto& [column, cell] : entry.cells) {
        if (!used) used = CellArea{row, column, row, column};
        used->first_row = std::min(used->first_row, row);
        used->last_row = std::max(used->last_row, row);
        used->first_column = std::min(used->first_column, column);
        used->last_column = std::max(used->last_column, column);
      }
    }
    dimension.remove_attribute("ref");
    dimension.append_attribute("ref") = used ? AreaName(*used).c_str() : "A1";
  }
  return SerializeXml(doc_);
}

}  // namespace lanereport
