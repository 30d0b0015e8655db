#include "workbook/xlsx/XlsxWorkbook.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <unordered_set>

#include "util/AppError.h"
#include "util/Make.h"
#include "util/StringUtil.h"
#include "workbook/xlsx/FormulaEvaluator.h"
#include "workbook/xlsx/XlsxContentTypes.h"
#include "workbook/xlsx/XlsxPublishObjects.h"
#include "workbook/xlsx/XmlUtil.h"

namespace lanereport {
namespace {

constexpr const char* kSource = "[XlsxWorkbook]Open";
constexpr const char* kContentTypesPart = XlsxContentTypes::kPartName;
constexpr const char* kStylesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr const char* kStylesContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

// Children of workbook that come after calcPr, in schema order.
const char* const kAfterCalcPr[] = {"oleSize",        "customWorkbookViews", "pivotCaches",
                                    "smartTagPr",     "smartTagTypes",       "webPublishing",
                                    "fileRecoveryPr", "webPublishObjects",   "extLst"};

[[noreturn]] void RaiseDamaged(const std::string& what) {
  throw AppError(kErrFile, kSource, what);
}

std::string FolderOf(std::string_view part) {
  auto slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

}  // namespace

XlsxWorkbook::XlsxWorkbook() = default;
XlsxWorkbook::~XlsxWorkbook() = default;

std::unique_ptr<XlsxWorkbook> XlsxWorkbook::Open(const std::string& path) {
  std::unique_ptr<XlsxWorkbook> book(new XlsxWorkbook());
  try {
    book->Load(path);
  } catch (const AppError& error) {
    // Whatever part of the package failed, the caller sees the opening fail.
    if (error.Source() == kSource) throw;
    throw AppError(error.Number(), kSource, error.Description());
  }
  return book;
}

void XlsxWorkbook::Load(const std::string& path) {
  full_name_ = path;
  std::ifstream in(path, std::ios::binary);
  if (!in) RaiseDamaged("ブックを開けません：" + path);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) RaiseDamaged("ブックを読み込めません：" + path);
  package_ = XlsxPackage::FromBytes(bytes, path);

  // Every XML part is parsed once on opening: the parts the workbook reads below as they are
  // read, every other one afterwards, so that a damaged part is refused before the run writes
  // anything rather than copied into the output workbook.
  std::unordered_set<std::string> parsed;  // lower-case part names
  auto note_parsed = [&parsed](std::string_view part) { parsed.insert(ToLowerAscii(part)); };

  const std::string* types = package_.Find(kContentTypesPart);
  if (!types) RaiseDamaged("ブックの部品がありません：" + std::string(kContentTypesPart));
  content_types_ = std::make_unique<XlsxContentTypes>();
  content_types_->Load(*types, kSource);
  note_parsed(kContentTypesPart);

  workbook_part_ = "xl/workbook.xml";
  if (const std::string* rels = package_.Find("_rels/.rels")) {
    note_parsed("_rels/.rels");
    for (const XlsxRelationship& rel : ParseRelationships(*rels, "_rels/.rels")) {
      if (RelationshipIs(rel, "officeDocument") && !rel.external) {
        workbook_part_ = ResolvePartTarget("", rel.target);
      }
    }
  }
  const std::string* workbook = package_.Find(workbook_part_);
  if (!workbook) RaiseDamaged("ブックの部品がありません：" + workbook_part_);
  ParseXmlPart(workbook_doc_, *workbook, workbook_part_, kSource);
  note_parsed(workbook_part_);
  pugi::xml_node root = workbook_doc_.document_element();
  if (XmlLocalName(root) != "workbook")
    RaiseDamaged("ブックの部品ではありません：" + workbook_part_);
  date1904_ = XmlChild(root, "workbookPr").attribute("date1904").as_bool(false);

  std::string rels_part = RelationshipsPartName(workbook_part_);
  if (const std::string* rels = package_.Find(rels_part)) {
    workbook_rels_ = ParseRelationships(*rels, rels_part);
    note_parsed(rels_part);
  }
  auto part_of = [&](std::string_view kind) -> std::string {
    for (const XlsxRelationship& rel : workbook_rels_) {
      if (RelationshipIs(rel, kind) && !rel.external)
        return ResolvePartTarget(workbook_part_, rel.target);
    }
    return "";
  };

  styles_part_ = part_of("styles");
  std::string theme_part = part_of("theme");
  const std::string* styles = styles_part_.empty() ? nullptr : package_.Find(styles_part_);
  const std::string* theme = theme_part.empty() ? nullptr : package_.Find(theme_part);
  styles_.Load(styles ? *styles : std::string_view(), theme ? *theme : std::string_view(),
               styles_part_, theme_part);
  // An empty part is taken for none there; as a part it is still no XML.
  if (styles && !styles->empty()) note_parsed(styles_part_);
  if (theme && !theme->empty()) note_parsed(theme_part);

  shared_strings_part_ = part_of("sharedStrings");
  if (const std::string* sst =
          shared_strings_part_.empty() ? nullptr : package_.Find(shared_strings_part_)) {
    ParseXmlPart(shared_strings_doc_, *sst, shared_strings_part_, kSource);
    note_parsed(shared_strings_part_);
    pugi::xml_node list = shared_strings_doc_.document_element();
    for (pugi::xml_node si = XmlChild(list, "si"); si; si = XmlNextSibling(si, "si")) {
      shared_strings_.push_back(XmlRichText(si));
    }
  }

  // Sheets: worksheets are opened; chart and dialog sheets stay in the package untouched.
  std::vector<int> worksheet_of_sheet;  // position in <sheets> -> index in sheets_, or -1
  for (pugi::xml_node sheet = XmlChild(XmlChild(root, "sheets"), "sheet"); sheet;
       sheet = XmlNextSibling(sheet, "sheet")) {
    std::string name = sheet.attribute("name").value();
    std::string id = XmlAttribute(sheet, "id").value();
    const XlsxRelationship* rel = nullptr;
    for (const XlsxRelationship& candidate : workbook_rels_) {
      if (candidate.id == id) rel = &candidate;
    }
    if (!rel || rel->external) RaiseDamaged("シートの部品がありません：" + name);
    if (!RelationshipIs(*rel, "worksheet")) {
      worksheet_of_sheet.push_back(-1);
      continue;
    }
    std::string part = ResolvePartTarget(workbook_part_, rel->target);
    const std::string* xml = package_.Find(part);
    if (!xml) RaiseDamaged("シートの部品がありません：" + name + "（" + part + "）");
    std::string sheet_rels_part = RelationshipsPartName(part);
    const std::string* sheet_rels = package_.Find(sheet_rels_part);
    worksheet_of_sheet.push_back(static_cast<int>(sheets_.size()));
    sheets_.push_back(std::make_unique<XlsxSheet>(*this, name, part, *xml,
                                                  sheet_rels ? *sheet_rels : std::string_view()));
    note_parsed(part);
    if (sheet_rels && !sheet_rels->empty()) note_parsed(sheet_rels_part);
  }

  for (pugi::xml_node dn = XmlChild(XmlChild(root, "definedNames"), "definedName"); dn;
       dn = XmlNextSibling(dn, "definedName")) {
    XlsxDefinedName name;
    name.name = dn.attribute("name").value();
    name.formula = dn.text().get();
    if (pugi::xml_attribute local = dn.attribute("localSheetId")) {
      int position = local.as_int(-1);
      if (position < 0 || position >= static_cast<int>(worksheet_of_sheet.size())) continue;
      name.local_sheet = worksheet_of_sheet[static_cast<std::size_t>(position)];
      if (name.local_sheet < 0) continue;
    }
    names_.push_back(std::move(name));
  }

  // The parts nobody reads (properties, drawings, charts, chart sheets, relationships of other
  // parts, ...) are copied into the output workbook as they are: each must be XML all the same.
  for (const std::string& part : package_.Names()) {
    if (parsed.count(ToLowerAscii(part)) || !content_types_->IsXmlPart(part)) continue;
    pugi::xml_document doc;
    ParseXmlPart(doc, *package_.Find(part), part, kSource);
  }
}

std::vector<XlsxSheet*> XlsxWorkbook::Worksheets() const {
  std::vector<XlsxSheet*> sheets;
  sheets.reserve(sheets_.size());
  for (const auto& sheet : sheets_) sheets.push_back(sheet.get());
  return sheets;
}

XlsxSheet* XlsxWorkbook::FindWorksheet(std::string_view name) const {
  int index = WorksheetIndex(name);
  return index < 0 ? nullptr : sheets_[static_cast<std::size_t>(index)].get();
}

int XlsxWorkbook::WorksheetIndex(std::string_view name) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    if (EqualsIgnoreCase(sheets_[i]->Name(), name)) return static_cast<int>(i);
  }
  return -1;
}

const std::string& XlsxWorkbook::SharedString(int index) const {
  static const std::string kEmpty;
  if (index < 0 || index >= static_cast<int>(shared_strings_.size())) return kEmpty;
  return shared_strings_[static_cast<std::size_t>(index)];
}

bool XlsxWorkbook::HasWrites() const {
  for (const auto& sheet : sheets_) {
    if (sheet->HasWrites()) return true;
  }
  return false;
}

XlsxPublishObjects& XlsxWorkbook::PublishObjects() {
  if (!publish_objects_) publish_objects_ = std::make_unique<XlsxPublishObjects>(*this);
  return *publish_objects_;
}

void XlsxWorkbook::StoreFormulaResults() {
  // Every result is computed before the first is stored, so that each is computed from the
  // workbook as the run left it.
  struct Result {
    int row;
    int column;
    FormulaValue value;
  };
  FormulaEvaluator evaluator(*this);
  std::vector<std::vector<Result>> results(sheets_.size());
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    for (const auto& [row, column] : sheets_[i]->FormulaCells()) {
      results[i].push_back({row, column, evaluator.CellValue(static_cast<int>(i), row, column)});
    }
  }
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    for (Result& result : results[i]) {
      CellContent content;
      switch (result.value.type) {
        case FormulaValue::Type::kNumber:
          content.type = CellType::kNumber;
          break;
        case FormulaValue::Type::kText:
          content.type = CellType::kText;
          break;
        case FormulaValue::Type::kBool:
          content.type = CellType::kBool;
          break;
        case FormulaValue::Type::kError:
          content.type = CellType::kError;
          break;
        case FormulaValue::Type::kEmpty:
        case FormulaValue::Type::kUnknown:
          // A result that is no longer known goes, rather than stay stale.
          content.type = CellType::kEmpty;
          break;
      }
      content.number = result.value.number;
      content.text = std::move(result.value.text);
      sheets_[i]->SetFormulaResult(result.row, result.column, content);
    }
  }
}

std::string XlsxWorkbook::SaveToBytes() {
  StoreFormulaResults();
  XlsxPackage out = package_;
  for (const auto& sheet : sheets_) {
    if (sheet->Changed()) out.Put(sheet->PartName(), sheet->Serialize());
  }

  // Relationships and content types are edited from the template's text on every save.
  std::string rels_part = RelationshipsPartName(workbook_part_);
  pugi::xml_document rels;
  if (const std::string* text = package_.Find(rels_part)) {
    ParseXmlPart(rels, *text, rels_part, "[XlsxWorkbook]SaveAs");
  } else {
    rels.load_string(
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>");
  }
  pugi::xml_document types;
  types.reset(content_types_->Document());
  bool rels_changed = false;
  bool types_changed = false;
  auto remove_override = [&](const std::string& part) {
    pugi::xml_node root = types.document_element();
    for (pugi::xml_node o = XmlChild(root, "Override"); o;) {
      pugi::xml_node next = XmlNextSibling(o, "Override");
      if (EqualsIgnoreCase(o.attribute("PartName").value(), "/" + part)) {
        root.remove_child(o);
        types_changed = true;
      }
      o = next;
    }
  };

  if (styles_.Changed()) {
    if (!styles_.HadPart()) {
      styles_part_ = FolderOf(workbook_part_) + "styles.xml";
      std::string id;
      for (int n = 1; id.empty(); ++n) {
        std::string candidate = "rIdStyles" + std::to_string(n);
        bool used = false;
        for (const XlsxRelationship& rel : workbook_rels_) used |= rel.id == candidate;
        if (!used) id = candidate;
      }
      pugi::xml_node rel = rels.document_element().append_child("Relationship");
      rel.append_attribute("Id") = id.c_str();
      rel.append_attribute("Type") = kStylesType;
      rel.append_attribute("Target") = "styles.xml";
      rels_changed = true;
      remove_override(styles_part_);
      pugi::xml_node o = types.document_element().append_child("Override");
      o.append_attribute("PartName") = ("/" + styles_part_).c_str();
      o.append_attribute("ContentType") = kStylesContentType;
      types_changed = true;
    }
    out.Put(styles_part_, styles_.Serialize());
  }

  if (shared_strings_released_ && shared_strings_doc_.document_element()) {
    // Cells that used shared strings now hold other values: the use count is no longer known.
    shared_strings_doc_.document_element().remove_attribute("count");
    out.Put(shared_strings_part_, SerializeXml(shared_strings_doc_));
  }

  // The calculation chain lists the formula cells of the template; a spreadsheet application
  // rebuilds it, so it goes.
  pugi::xml_node rels_root = rels.document_element();
  for (pugi::xml_node rel = XmlChild(rels_root, "Relationship"); rel;) {
    pugi::xml_node next = XmlNextSibling(rel, "Relationship");
    XlsxRelationship info{rel.attribute("Id").value(), rel.attribute("Type").value(),
                          rel.attribute("Target").value(), false};
    if (RelationshipIs(info, "calcChain")) {
      std::string part = ResolvePartTarget(workbook_part_, info.target);
      out.Remove(part);
      remove_override(part);
      rels_root.remove_child(rel);
      rels_changed = true;
    }
    rel = next;
  }

  // Every formula is recalculated when the workbook is next opened.
  pugi::xml_node root = workbook_doc_.document_element();
  pugi::xml_node calc = XmlChild(root, "calcPr");
  if (!calc) {
    pugi::xml_node before;
    for (pugi::xml_node child = root.first_child(); child && !before;
         child = child.next_sibling()) {
      for (const char* name : kAfterCalcPr) {
        if (child.type() == pugi::node_element && XmlLocalName(child) == name) before = child;
      }
    }
    calc = XmlInsertChild(root, "calcPr", before);
  }
  calc.remove_attribute("fullCalcOnLoad");
  calc.append_attribute("fullCalcOnLoad") = "1";
  out.Put(workbook_part_, SerializeXml(workbook_doc_));

  if (rels_changed) out.Put(rels_part, SerializeXml(rels));
  if (types_changed) out.Put(kContentTypesPart, SerializeXml(types));
  return out.ToBytes();
}

void XlsxWorkbook::SaveAs(const std::string& path) {
  std::string bytes = SaveToBytes();
  MakeFile(path, bytes);
  full_name_ = path;
}

}  // namespace lanereport
