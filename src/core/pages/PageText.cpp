#include "pages/PageText.h"

#include "util/Markup.h"

namespace lanereport {

PageText::PageText(std::string_view line_end) : line_end_(line_end) {
  text_.reserve(16384);
}

void PageText::Line(int indent, std::string_view text) {
  Line(indent, text, line_end_);
}

void PageText::Line(int indent, std::string_view text, std::string_view line_end) {
  text_.append(static_cast<std::size_t>(indent), ' ');
  text_.append(text);
  text_.append(line_end);
}

void PageText::TextLine(int indent, std::string_view text) {
  text_.append(static_cast<std::size_t>(indent), ' ');
  AppendHtmlText(text_, text);
  text_.append(line_end_);
}

void PageText::Line(int indent, std::initializer_list<std::string_view> pieces) {
  text_.append(static_cast<std::size_t>(indent), ' ');
  for (std::string_view piece : pieces) text_.append(piece);
  text_.append(line_end_);
}

std::string PageText::Take() {
  std::string text = std::move(text_);
  text_.clear();
  return text;
}

}  // namespace lanereport
