#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct GumboInternalNode;
struct GumboInternalOutput;

namespace lanereport::testing {

// Pages read the way a browser reads them: parsed by gumbo with the parsing rules of HTML5, so
// a test sees the elements, attribute values and texts a reader would get, references decoded,
// whatever bytes the page holds.

// One element of an HtmlTree; valid while the tree lives.
class HtmlElement {
 public:
  explicit HtmlElement(const GumboInternalNode* node) : node_(node) {}

  // The tag name in lower case ("td", "svg", "rect"), also for tags gumbo does not know.
  std::string Tag() const;
  // The names of the attributes, sorted.
  std::vector<std::string> AttributeNames() const;
  // An attribute's value as the parser decodes it; nothing when the element lacks it.
  std::optional<std::string> Attribute(std::string_view name) const;
  // Every text inside the element, in order, as the DOM's textContent gives it.
  std::string Text() const;
  // Text() without the blanks, tabs and line ends the page's indentation puts around it.
  std::string TrimmedText() const;
  // The element's element children, in order.
  std::vector<HtmlElement> Children() const;
  // The elements inside this one with the tag (every element for ""), in document order.
  std::vector<HtmlElement> Descendants(std::string_view tag = "") const;
  // True when an ancestor of the element has the tag.
  bool IsInside(std::string_view tag) const;
  // The texts of the element split at its <br> elements: the text before the first, between
  // two, and after the last (empty when the element ends with one). The tags of any other
  // element inside go into others.
  std::vector<std::string> LinesAtBreaks(std::vector<std::string>& others) const;

 private:
  const GumboInternalNode* node_;
};

// A page parsed whole. Not copyable: the elements point into the parser's tree.
class HtmlTree {
 public:
  // page is the text as the generators return it (UTF-8).
  explicit HtmlTree(std::string_view page);
  ~HtmlTree();
  HtmlTree(const HtmlTree&) = delete;
  HtmlTree& operator=(const HtmlTree&) = delete;

  // The <html> element (the parser always makes one).
  HtmlElement Root() const;
  // The <body> element (also always made).
  HtmlElement Body() const;
  // Every element with the tag (every element for ""), in document order.
  std::vector<HtmlElement> All(std::string_view tag = "") const { return Root().Descendants(tag); }
  // The shape of the page: one line per element in document order, the depth as two blanks
  // each, the tag name and the sorted attribute names in brackets ("    td [rowspan style]").
  // Texts and attribute values are left out, so two pages made from different stored values
  // have the same signature exactly when the values changed no markup. With values, each
  // attribute's decoded value follows its name ("td [rowspan=\"2\" style=\"width:60;\"]").
  std::string Signature(bool with_values = false) const;

 private:
  std::string text_;  // the parser's tree points into it
  GumboInternalOutput* output_;
};

// Parses text as the inside of an element of a page's body (what a script puts into
// innerHTML) and returns the texts at its <br> elements, as HtmlElement::LinesAtBreaks.
std::vector<std::string> FragmentLinesAtBreaks(std::string_view text,
                                               std::vector<std::string>& others);

// A JavaScript string literal read from the start of code, which must begin with its quote
// (' or "). Escapes \\ \' \" \n \r \t \b \f \v \0 \xHH \uHHHH (pairs of surrogates joined) and
// a backslash before any other character are decoded as JavaScript decodes them; the value is
// UTF-8. length is the literal's length in code, quotes included. Nothing when the literal is
// not closed or holds a raw line end (line feed, carriage return, U+2028, U+2029: older
// engines end the line there, so a page may not rely on them).
struct JsStringLiteral {
  std::string value;
  std::size_t length = 0;
};
std::optional<JsStringLiteral> ReadJsStringLiteral(std::string_view code);

// The text of a call f(literal) or f(literal); with one string literal as its only argument:
// the literal's value, or nothing when code is not such a call of f.
std::optional<std::string> JsCallArgument(std::string_view code, std::string_view function);

}  // namespace lanereport::testing
