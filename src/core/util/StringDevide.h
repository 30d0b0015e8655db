#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

// One part of a divided text: its value, and its key when it has one.
struct DividedPart {
  std::optional<std::string> key;
  std::string value;
};

// The parts of a text split at a separator, looked up by key or by position.
class DividedParts {
 public:
  void Add(std::optional<std::string> key, std::string value);
  std::size_t Count() const { return parts_.size(); }
  const DividedPart& Item(std::size_t index) const { return parts_.at(index); }
  // The value under the key, or nothing when no part has that key.
  std::optional<std::string> Find(std::string_view key) const;

 private:
  std::vector<DividedPart> parts_;
};

// Splits text at the separator. Each part runs from one separator to the next; its key is the
// text after the separator up to the enclosure (with an empty enclosure, the whole part) and its
// value the trimmed rest after the key and enclosure. With an empty separator one is chosen from
// the text: "-", else "/", else "\", else a space. A final unkeyed empty part closes the list.
// A key that is already present keeps its first part; the later one is added without a key.
DividedParts DivideString(std::string_view text, std::string_view separator,
                          std::string_view enclosure);

}  // namespace lanereport
