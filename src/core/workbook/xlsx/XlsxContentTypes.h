#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include <pugixml.hpp>

namespace lanereport {

// The content types part of a workbook package ("[Content_Types].xml"): the content type of
// every part, given by the part's own Override or by the Default of its extension.
class XlsxContentTypes {
 public:
  static constexpr const char* kPartName = "[Content_Types].xml";

  XlsxContentTypes() = default;
  XlsxContentTypes(const XlsxContentTypes&) = delete;
  XlsxContentTypes& operator=(const XlsxContentTypes&) = delete;

  // Reads the part's text. Raises AppError (kErrFile, source) naming the part when the text is
  // not well-formed XML.
  void Load(std::string_view xml, const char* source);

  // The content type of a part (named without a leading "/"; letter case ignored): its
  // Override, else the Default of its extension, else "".
  std::string_view TypeOf(std::string_view part) const;
  // True when the part holds XML: its name ends in ".xml" or ".rels", or its content type is
  // an XML one (see IsXmlContentType).
  bool IsXmlPart(std::string_view part) const;

  // The part as read, for the save to edit a copy of.
  const pugi::xml_document& Document() const { return doc_; }

 private:
  pugi::xml_document doc_;
  std::unordered_map<std::string, std::string> overrides_;  // lower-case part name -> type
  std::unordered_map<std::string, std::string> defaults_;   // lower-case extension -> type
};

// True for "application/xml", "text/xml" and every type with the "+xml" suffix, letter case
// and parameters ("; charset=...") ignored.
bool IsXmlContentType(std::string_view type);

}  // namespace lanereport
