#include "workbook/xlsx/XmlUtil.h"

#include <cstddef>
#include <cstring>

#include "util/AppError.h"

namespace lanereport {
namespace {

constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol |
                                   pugi::parse_pi | pugi::parse_comments | pugi::parse_declaration |
                                   pugi::parse_doctype | pugi::parse_ws_pcdata_single;

class StringWriter : public pugi::xml_writer {
 public:
  explicit StringWriter(std::string& out) : out_(out) {}
  void write(const void* data, size_t size) override {
    out_.append(static_cast<const char*>(data), size);
  }

 private:
  std::string& out_;
};

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// True when text[pos] starts a "_xHHHH_" pattern.
bool IsEscapePattern(std::string_view text, std::size_t pos) {
  if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') {
    return false;
  }
  for (std::size_t i = pos + 2; i < pos + 6; ++i) {
    if (!IsHex(text[i])) return false;
  }
  return true;
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

[[noreturn]] void RaiseMalformed(std::string_view part_name, const char* source,
                                 std::string_view reason, std::ptrdiff_t offset) {
  throw AppError(kErrFile, source,
                 "ブックの部品のXMLが正しくありません：" + std::string(part_name) + "（" +
                     std::string(reason) + "、位置 " + std::to_string(offset) + "）");
}

bool IsXmlSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What well-formed XML asks of the document as a whole and the parser lets pass: nothing but
// white space and markup before the first node and after the last, the declaration only at the
// very start and with its version, one document element. Returns the fault, or nullptr, and
// where it lies. The text is looked at only when it is in an ASCII-compatible encoding.
const char* DocumentFault(const pugi::xml_document& doc, std::string_view xml,
                          std::ptrdiff_t& offset) {
  std::size_t begin = 0;
  bool ascii_compatible = true;
  if (xml.substr(0, 3) == "\xEF\xBB\xBF") {
    begin = 3;
  } else if (xml.size() >= 2 &&
             (xml[0] == '\0' || xml[1] == '\0' || xml.substr(0, 2) == "\xFF\xFE" ||
              xml.substr(0, 2) == "\xFE\xFF")) {
    ascii_compatible = false;  // UTF-16 or UTF-32
  }

  pugi::xml_node first = doc.first_child();
  bool declared = first.type() == pugi::node_declaration;
  if (ascii_compatible) {
    if (declared && xml.substr(begin, 5) != "<?xml") {
      offset = static_cast<std::ptrdiff_t>(begin);
      return "The document declaration does not open the document";
    }
    std::size_t lead = begin;
    while (lead < xml.size() && IsXmlSpace(xml[lead])) ++lead;
    if (lead < xml.size() && xml[lead] != '<') {
      offset = static_cast<std::ptrdiff_t>(lead);
      return "Text before the document element";
    }
    std::size_t end = xml.size();
    while (end > lead && IsXmlSpace(xml[end - 1])) --end;
    if (end > lead && xml[end - 1] != '>') {
      offset = static_cast<std::ptrdiff_t>(end - 1);
      return "Text after the document element";
    }
  }
  if (declared && std::string_view(first.first_attribute().name()) != "version") {
    offset = first.offset_debug();
    return "The document declaration has no version";
  }
  int elements = 0;
  for (pugi::xml_node node = first; node; node = node.next_sibling()) {
    if (node.type() == pugi::node_declaration && node != first) {
      offset = node.offset_debug();
      return "A document declaration after the start of the document";
    }
    if (node.type() == pugi::node_element && ++elements > 1) {
      offset = node.offset_debug();
      return "A second document element";
    }
  }
  return nullptr;
}

}  // namespace

void ParseXmlPart(pugi::xml_document& doc, std::string_view xml, std::string_view part_name,
                  const char* source) {
  pugi::xml_parse_result result =
      doc.load_buffer(xml.data(), xml.size(), kParseOptions, pugi::encoding_auto);
  if (!result || !doc.document_element()) {
    RaiseMalformed(part_name, source, result.description(), result.offset);
  }
  std::ptrdiff_t offset = 0;
  if (const char* fault = DocumentFault(doc, xml, offset)) {
    RaiseMalformed(part_name, source, fault, offset);
  }
}

std::string SerializeXml(const pugi::xml_document& doc) {
  std::string out;
  StringWriter writer(out);
  doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
  return out;
}

std::string_view XmlLocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  auto colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view XmlPrefix(const pugi::xml_node& node) {
  std::string_view name = node.name();
  auto colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon + 1);
}

pugi::xml_node XmlChild(const pugi::xml_node& parent, std::string_view local) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_element && XmlLocalName(child) == local) return child;
  }
  return pugi::xml_node();
}

pugi::xml_node XmlNextSibling(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_node next = node.next_sibling(); next; next = next.next_sibling()) {
    if (next.type() == pugi::node_element && XmlLocalName(next) == local) return next;
  }
  return pugi::xml_node();
}

pugi::xml_attribute XmlAttribute(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_attribute attr = node.first_attribute(); attr; attr = attr.next_attribute()) {
    std::string_view name = attr.name();
    auto colon = name.find(':');
    if (colon != std::string_view::npos) name = name.substr(colon + 1);
    if (name == local) return attr;
  }
  return pugi::xml_attribute();
}

pugi::xml_node XmlInsertChild(pugi::xml_node parent, std::string_view local,
                              const pugi::xml_node& before) {
  std::string name(XmlPrefix(parent));
  name += local;
  return before ? parent.insert_child_before(name.c_str(), before)
                : parent.append_child(name.c_str());
}

std::string XmlRichText(const pugi::xml_node& node) {
  std::string text;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view local = XmlLocalName(child);
    if (local == "t") {
      text += child.text().get();
    } else if (local == "r") {
      if (pugi::xml_node t = XmlChild(child, "t")) text += t.text().get();
    }
  }
  return UnescapeCellText(text);
}

std::string EscapeCellText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
      static const char kHex[] = "0123456789ABCDEF";
      out += "_x00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
      out += '_';
    } else if (IsEscapePattern(text, i)) {
      out += "_x005F_";
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string UnescapeCellText(std::string_view text) {
  if (text.find("_x") == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (IsEscapePattern(text, i)) {
      unsigned code = 0;
      for (std::size_t k = i + 2; k < i + 6; ++k) code = code * 16 + HexValue(text[k]);
      AppendUtf8(out, code);
      i += 7;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace lanereport
