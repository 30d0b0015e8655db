#include "workbook/xlsx/XlsxContentTypes.h"

#include "util/StringUtil.h"
#include "workbook/xlsx/XlsxPackage.h"
#include "workbook/xlsx/XmlUtil.h"

namespace lanereport {
namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// "xl/media/image1.PNG" -> "png"; "" when the last segment has no dot.
std::string ExtensionOf(std::string_view part) {
  auto slash = part.rfind('/');
  std::string_view last = slash == std::string_view::npos ? part : part.substr(slash + 1);
  auto dot = last.rfind('.');
  return dot == std::string_view::npos ? std::string() : ToLowerAscii(last.substr(dot + 1));
}

}  // namespace

void XlsxContentTypes::Load(std::string_view xml, const char* source) {
  overrides_.clear();
  defaults_.clear();
  ParseXmlPart(doc_, xml, kPartName, source);
  for (pugi::xml_node node = doc_.document_element().first_child(); node;
       node = node.next_sibling()) {
    if (node.type() != pugi::node_element) continue;
    std::string_view local = XmlLocalName(node);
    std::string type = node.attribute("ContentType").value();
    if (local == "Override") {
      // Part names are URIs ("/xl/%E8%A1%A8.xml"); the package holds them decoded.
      overrides_[ToLowerAscii(ResolvePartTarget("", node.attribute("PartName").value()))] =
          std::move(type);
    } else if (local == "Default") {
      std::string_view extension = node.attribute("Extension").value();
      if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
      defaults_[ToLowerAscii(extension)] = std::move(type);
    }
  }
}

std::string_view XlsxContentTypes::TypeOf(std::string_view part) const {
  if (auto it = overrides_.find(ToLowerAscii(part)); it != overrides_.end()) return it->second;
  if (auto it = defaults_.find(ExtensionOf(part)); it != defaults_.end()) return it->second;
  return {};
}

bool XlsxContentTypes::IsXmlPart(std::string_view part) const {
  std::string extension = ExtensionOf(part);
  return extension == "xml" || extension == "rels" || IsXmlContentType(TypeOf(part));
}

bool IsXmlContentType(std::string_view type) {
  auto semicolon = type.find(';');
  std::string lower = ToLowerAscii(Trim(type.substr(0, semicolon)));
  return lower == "application/xml" || lower == "text/xml" || EndsWith(lower, "+xml");
}

}  // namespace lanereport
