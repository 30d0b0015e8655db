#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// The line ends of the generated pages.
inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::string_view kCr = "\r";

// A page being built in memory: lines of text, each indented by a number of spaces and ended
// with a line end. The text is UTF-8 until it is written (PageLayout.h).
class PageText {
 public:
  // line_end: what ends a line unless the line says otherwise.
  explicit PageText(std::string_view line_end = kCrLf);

  // Appends indent spaces, the text and the line end.
  void Line(int indent, std::string_view text);
  void Line(int indent, std::string_view text, std::string_view line_end);
  // Appends a line of element text from a stored value, escaped as HtmlText (util/Markup.h).
  void TextLine(int indent, std::string_view text);
  // Appends the pieces as one line.
  void Line(int indent, std::initializer_list<std::string_view> pieces);

  const std::string& Text() const { return text_; }
  // Hands the text over; the object is empty afterwards.
  std::string Take();

 private:
  std::string text_;
  std::string_view line_end_;
};

}  // namespace lanereport
