#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace lanereport {

// Routines shared by the parts of a workbook package that are read and written as XML.
// Elements are matched by their local name, so a part that binds the spreadsheet namespace
// to a prefix ("x:c") reads like one that uses the default namespace.

// Parses one part. Comments, processing instructions, the declaration and a whitespace-only
// text that is an element's only child are kept, so a part written back differs from the one
// read only where it was changed. Raises AppError (kErrFile, source) naming the part when the
// text is not well-formed XML.
void ParseXmlPart(pugi::xml_document& doc, std::string_view xml, std::string_view part_name,
                  const char* source);

// The document as UTF-8 text, without added indentation.
std::string SerializeXml(const pugi::xml_document& doc);

// The element's name without its namespace prefix.
std::string_view XmlLocalName(const pugi::xml_node& node);
// The prefix of the element's name including the colon ("x:"), or "".
std::string_view XmlPrefix(const pugi::xml_node& node);
// The first child element, or the next sibling element, with the given local name.
pugi::xml_node XmlChild(const pugi::xml_node& parent, std::string_view local);
pugi::xml_node XmlNextSibling(const pugi::xml_node& node, std::string_view local);
// The attribute with the given local name whatever its prefix ("r:id" for "id").
pugi::xml_attribute XmlAttribute(const pugi::xml_node& node, std::string_view local);

// Makes a child element with the parent's prefix, before `before` (appended when `before` is
// empty).
pugi::xml_node XmlInsertChild(pugi::xml_node parent, std::string_view local,
                              const pugi::xml_node& before = pugi::xml_node());

// The text of a rich text element (a shared string "si" or an inline "is"): its plain text and
// the texts of its runs, without phonetic guides, with "_xHHHH_" escapes undone.
std::string XmlRichText(const pugi::xml_node& node);

// Cell texts: characters XML cannot carry (control characters other than tab and line feed)
// are written as "_xHHHH_", and a text that already holds such a pattern gets its underscore
// escaped ("_x005F_"), as spreadsheet applications do. Unescape reverses both.
std::string EscapeCellText(std::string_view text);
std::string UnescapeCellText(std::string_view text);

}  // namespace lanereport
