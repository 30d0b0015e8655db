#include "XlsxTemplate.h"

#include <zip.h>
#include <pugixml.hpp>

#include <algorithm>
#include <stdexcept>

namespace lanereport::testing {
namespace {

constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

const char* const kDefaultStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.0%\"/></numFmts>"
    "<fonts count=\"3\">"
    "<font><sz val=\"11\"/><name val=\"ＭＳ Ｐゴシック\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"ＭＳ Ｐゴシック\"/></font>"
    "<font><i/><sz val=\"11\"/><color rgb=\"FFFF0000\"/><name val=\"ＭＳ Ｐゴシック\"/></font>"
    "</fonts>"
    "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFFF00\"/><bgColor indexed=\"64\"/>"
    "</patternFill></fill></fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"thin\"><color "
    "indexed=\"64\"/></right><top style=\"thin\"><color indexed=\"64\"/></top><bottom "
    "style=\"thin\"><color indexed=\"64\"/></bottom><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
    "borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"9\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "<xf numFmtId=\"2\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
    "applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
    "applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
    "applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
    "applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"2\" borderId=\"1\" xfId=\"0\" applyFill=\"1\" "
    "applyBorder=\"1\" applyAlignment=\"1\"><alignment horizontal=\"center\"/></xf>"
    "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "<xf numFmtId=\"3\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
    "applyNumberFormat=\"1\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"標準\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

struct ArchiveReader {
  explicit ArchiveReader(const std::string& path) {
    int error = 0;
    archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  }
  ~ArchiveReader() {
    if (archive) zip_discard(archive);
  }
  zip_t* archive = nullptr;
};

}  // namespace

void WriteZip(const std::string& path, const ZipParts& parts) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) throw std::runtime_error("zip_open failed: " + path);
  for (const auto& [name, bytes] : parts) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
      if (source) zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("zip_file_add failed: " + name);
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("zip_close failed: " + path);
  }
}

std::optional<std::string> ReadZipPart(const std::string& path, const std::string& name) {
  ArchiveReader reader(path);
  if (!reader.archive) return std::nullopt;
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat(reader.archive, name.c_str(), 0, &stat) != 0) return std::nullopt;
  zip_file_t* file = zip_fopen(reader.archive, name.c_str(), 0);
  if (!file) return std::nullopt;
  std::string bytes(stat.size, '\0');
  zip_int64_t got = bytes.empty() ? 0 : zip_fread(file, bytes.data(), bytes.size());
  zip_fclose(file);
  if (got != static_cast<zip_int64_t>(bytes.size())) return std::nullopt;
  return bytes;
}

std::vector<std::string> ZipPartNames(const std::string& path) {
  std::vector<std::string> names;
  ArchiveReader reader(path);
  if (!reader.archive) return names;
  zip_int64_t count = zip_get_num_entries(reader.archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) names.push_back(zip_get_name(reader.archive, i, 0));
  return names;
}

SavedCell FindSavedCell(const std::string& sheet_xml, const std::string& ref) {
  SavedCell cell;
  pugi::xml_document doc;
  if (!doc.load_buffer(sheet_xml.data(), sheet_xml.size(),
                       pugi::parse_default | pugi::parse_ws_pcdata_single)) {
    return cell;
  }
  pugi::xpath_node found = doc.select_node(("//*[local-name()='c'][@r='" + ref + "']").c_str());
  if (!found) return cell;
  pugi::xml_node c = found.node();
  cell.found = true;
  cell.t = c.attribute("t").value();
  cell.s = c.attribute("s").value();
  cell.v = c.child("v").text().get();
  cell.f = c.child("f").text().get();
  cell.f_type = c.child("f").attribute("t").value();
  pugi::xml_node t = c.child("is").child("t");
  cell.is = t.text().get();
  cell.preserve = std::string(t.attribute("xml:space").value()) == "preserve";
  return cell;
}

XlsxTemplate& XlsxTemplate::AddSheet(const std::string& name, const std::string& rows_xml,
                                     const std::string& after, const std::string& before) {
  std::string xml = std::string(kDecl) + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel +
                    "\"><dimension ref=\"A1\"/>" + before + "<sheetData>" + rows_xml +
                    "</sheetData>" + after + "</worksheet>";
  return AddSheetXml(name, xml);
}

XlsxTemplate& XlsxTemplate::AddSheetXml(const std::string& name, const std::string& xml) {
  sheets_.push_back({name, xml});
  return *this;
}

XlsxTemplate& XlsxTemplate::SetStyles(const std::string& xml) {
  styles_ = xml;
  has_styles_ = true;
  return *this;
}

XlsxTemplate& XlsxTemplate::WithoutStyles() {
  has_styles_ = false;
  return *this;
}

XlsxTemplate& XlsxTemplate::SetSharedStrings(const std::vector<std::string>& strings) {
  shared_strings_ = strings;
  return *this;
}

XlsxTemplate& XlsxTemplate::AddDefinedName(const std::string& name, const std::string& formula,
                                           int local_sheet) {
  names_.push_back({name, {formula, local_sheet}});
  return *this;
}

XlsxTemplate& XlsxTemplate::WithCalcChain() {
  calc_chain_ = true;
  return *this;
}

XlsxTemplate& XlsxTemplate::AddPart(const std::string& name, const std::string& bytes,
                                    const std::string& content_type) {
  extra_.push_back({name, bytes});
  if (!content_type.empty()) overrides_.push_back({"/" + name, content_type});
  return *this;
}

XlsxTemplate& XlsxTemplate::Omit(const std::string& name) {
  omitted_.push_back(name);
  return *this;
}

XlsxTemplate& XlsxTemplate::Replace(const std::string& name, const std::string& bytes) {
  replaced_.push_back({name, bytes});
  return *this;
}

ZipParts XlsxTemplate::Parts() const {
  const std::string ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
  std::string types =
      std::string(kDecl) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Default Extension=\"png\" ContentType=\"image/png\"/>"
      "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
      ct + "sheet.main+xml\"/>";
  std::string workbook_rels =
      std::string(kDecl) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
  std::string sheets;
  ZipParts sheet_parts;
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    std::string n = std::to_string(i + 1);
    types += "<Override PartName=\"/xl/worksheets/sheet" + n + ".xml\" ContentType=\"" + ct +
             "worksheet+xml\"/>";
    workbook_rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + kRel +
                     "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
    sheets += "<sheet name=\"" + Escape(sheets_[i].name) + "\" sheetId=\"" + n + "\" r:id=\"rId" +
              n + "\"/>";
    sheet_parts.push_back({"xl/worksheets/sheet" + n + ".xml", sheets_[i].xml});
  }
  ZipParts parts;
  if (has_styles_) {
    types += "<Override PartName=\"/xl/styles.xml\" ContentType=\"" + ct + "styles+xml\"/>";
    workbook_rels += "<Relationship Id=\"rIdS\" Type=\"" + std::string(kRel) +
                     "/styles\" Target=\"styles.xml\"/>";
    parts.push_back(
        {"xl/styles.xml", std::string(kDecl) + (styles_.empty() ? kDefaultStyles : styles_)});
  }
  if (shared_strings_) {
    types += "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"" + ct +
             "sharedStrings+xml\"/>";
    workbook_rels += "<Relationship Id=\"rIdT\" Type=\"" + std::string(kRel) +
                     "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    std::string sst = std::string(kDecl) + "<sst xmlns=\"" + kMain + "\" count=\"" +
                      std::to_string(shared_strings_->size()) + "\" uniqueCount=\"" +
                      std::to_string(shared_strings_->size()) + "\">";
    for (const std::string& s : *shared_strings_) sst += "<si><t>" + Escape(s) + "</t></si>";
    parts.push_back({"xl/sharedStrings.xml", sst + "</sst>"});
  }
  if (calc_chain_) {
    types += "<Override PartName=\"/xl/calcChain.xml\" ContentType=\"" + ct + "calcChain+xml\"/>";
    workbook_rels += "<Relationship Id=\"rIdC\" Type=\"" + std::string(kRel) +
                     "/calcChain\" Target=\"calcChain.xml\"/>";
    parts.push_back({"xl/calcChain.xml", std::string(kDecl) + "<calcChain xmlns=\"" + kMain +
                                             "\"><c r=\"A1\" i=\"1\"/></calcChain>"});
  }
  for (const auto& [name, type] : overrides_) {
    types += "<Override PartName=\"" + name + "\" ContentType=\"" + type + "\"/>";
  }
  types += "</Types>";
  workbook_rels += "</Relationships>";

  std::string names;
  if (!names_.empty()) {
    names = "<definedNames>";
    for (const auto& [name, value] : names_) {
      names += "<definedName name=\"" + Escape(name) + "\"";
      if (value.second >= 0) names += " localSheetId=\"" + std::to_string(value.second) + "\"";
      names += ">" + Escape(value.first) + "</definedName>";
    }
    names += "</definedNames>";
  }
  std::string workbook = std::string(kDecl) + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" +
                         kRel + "\"><workbookPr/><bookViews><workbookView/></bookViews><sheets>" +
                         sheets + "</sheets>" + names + "<calcPr calcId=\"191029\"/></workbook>";

  ZipParts all;
  all.push_back({"[Content_Types].xml", types});
  all.push_back(
      {"_rels/.rels",
       std::string(kDecl) +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           kRel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
  all.push_back({"xl/workbook.xml", workbook});
  all.push_back({"xl/_rels/workbook.xml.rels", workbook_rels});
  for (auto& part : sheet_parts) all.push_back(std::move(part));
  for (auto& part : parts) all.push_back(std::move(part));
  for (const auto& part : extra_) all.push_back(part);

  ZipParts result;
  for (auto& [name, bytes] : all) {
    if (std::find(omitted_.begin(), omitted_.end(), name) != omitted_.end()) continue;
    for (const auto& [replaced, with] : replaced_) {
      if (replaced == name) bytes = with;
    }
    result.push_back({name, bytes});
  }
  return result;
}

void XlsxTemplate::Write(const std::string& path) const {
  WriteZip(path, Parts());
}

}  // namespace lanereport::testing
