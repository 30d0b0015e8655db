#include "util/StringDevide.h"

#include "util/Cp932.h"
#include "util/StringUtil.h"

namespace lanereport {

void DividedParts::Add(std::optional<std::string> key, std::string value) {
  if (key && Find(*key)) key.reset();
  parts_.push_back({std::move(key), std::move(value)});
}

std::optional<std::string> DividedParts::Find(std::string_view key) const {
  for (const auto& part : parts_) {
    if (part.key && *part.key == key) return part.value;
  }
  return std::nullopt;
}

DividedParts DivideString(std::string_view text_view, std::string_view separator,
                          std::string_view enclosure) {
  std::string sep(separator);
  if (sep.empty()) {
    if (text_view.find('-') != std::string_view::npos)
      sep = "-";
    else if (text_view.find('/') != std::string_view::npos)
      sep = "/";
    else if (text_view.find('\\') != std::string_view::npos)
      sep = "\\";
    else
      sep = " ";
  }
  std::string text(text_view);
  if (!StartsWith(text, sep)) text = sep + text;

  DividedParts parts;
  while (text.find(sep) != std::string::npos) {
    std::size_t next = text.find(sep, 1);
    std::string piece = next == std::string::npos ? text : text.substr(0, next);
    std::string body = piece.substr(std::min(sep.size(), piece.size()));
    std::string key;
    std::string rest;
    if (enclosure.empty()) {
      // Without an enclosure the key is the first character after the separator.
      std::u32string chars = DecodeUtf8(body);
      key = chars.empty() ? "" : EncodeUtf8(chars.front());
      rest = body.substr(key.size());
    } else {
      std::size_t end = body.find(enclosure);
      key = body.substr(0, end);
      rest = end == std::string::npos ? "" : body.substr(end + enclosure.size());
    }
    parts.Add(key.empty() ? std::nullopt : std::optional<std::string>(key),
              std::string(Trim(rest)));
    text.erase(0, piece.size());
  }
  parts.Add(std::nullopt, "");
  return parts;
}

}  // namespace lanereport
