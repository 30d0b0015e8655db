#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lanereport {

// The parts of a workbook package (a zip archive of XML parts and media), held in memory in
// their archive order. Part names have no leading "/" and are looked up ignoring letter case,
// as the package format asks.
class XlsxPackage {
 public:
  XlsxPackage() = default;

  // Reads every part of the zip archive in bytes. label names the file in messages. Raises
  // AppError (kErrFile, "[XlsxPackage]Open") when the bytes are not a zip archive or a part
  // cannot be read whole.
  static XlsxPackage FromBytes(std::string_view bytes, std::string_view label);

  // The part's bytes, or nullptr when the package has no such part.
  const std::string* Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  // Replaces a part's bytes, or adds the part at the end.
  void Put(std::string_view name, std::string bytes);
  void Remove(std::string_view name);
  // Part names in archive order.
  std::vector<std::string> Names() const;

  // The package as a zip archive (every part deflated). Raises AppError (kErrFile,
  // "[XlsxPackage]Save") when the archive cannot be made.
  std::string ToBytes() const;

 private:
  struct Part {
    std::string name;
    std::string bytes;
  };
  void Reindex();

  std::vector<Part> parts_;
  std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> position
};

// One relationship of a package relationships part.
struct XlsxRelationship {
  std::string id;
  std::string type;    // the full type URI
  std::string target;  // as written
  bool external = false;
};

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; "" -> "_rels/.rels".
std::string RelationshipsPartName(std::string_view part);
// The relationships of a relationships part's text. Raises AppError (kErrFile) on malformed
// XML, naming part_name.
std::vector<XlsxRelationship> ParseRelationships(std::string_view xml, std::string_view part_name);
// True when the type URI ends with "/" + kind ("worksheet", "styles", ...), whichever
// namespace (transitional or strict) it comes from.
bool RelationshipIs(const XlsxRelationship& rel, std::string_view kind);
// The part a relative (or absolute, "/xl/...") target of source_part names, with "." and ".."
// resolved and %-escapes decoded: ("xl/workbook.xml", "worksheets/sheet1.xml") gives
// "xl/worksheets/sheet1.xml".
std::string ResolvePartTarget(std::string_view source_part, std::string_view target);

}  // namespace lanereport
