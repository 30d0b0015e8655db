#include "HtmlTree.h"

#include <gumbo.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace lanereport::testing {
namespace {

GumboOptions Options() {
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;  // the tests look at the tree, not at the parser's complaints
  return options;
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsElement(const GumboNode* node) {
  return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

bool IsText(const GumboNode* node) {
  return node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
         node->type == GUMBO_NODE_CDATA;
}

// Calls each for every element under node (node itself left out), in document order.
void ForEachElement(const GumboNode* node, const std::function<void(const GumboNode*, int)>& each,
                    int depth = 0) {
  if (!IsElement(node) && node->type != GUMBO_NODE_DOCUMENT) return;
  const GumboVector& children =
      node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i) {
    auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (!IsElement(child)) continue;
    each(child, depth);
    ForEachElement(child, each, depth + 1);
  }
}

void AppendText(const GumboNode* node, std::string& out) {
  if (IsText(node)) {
    out += node->v.text.text;
    return;
  }
  if (!IsElement(node)) return;
  const GumboVector& children = node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i)
    AppendText(static_cast<const GumboNode*>(children.data[i]), out);
}

void CollectLines(const GumboNode* node, std::vector<std::string>& lines,
                  std::vector<std::string>& others, bool top) {
  if (IsText(node)) {
    lines.back() += node->v.text.text;
    return;
  }
  if (!IsElement(node)) return;
  if (!top) {
    HtmlElement element(node);
    if (node->v.element.tag == GUMBO_TAG_BR) {
      lines.emplace_back();
      return;
    }
    others.push_back(element.Tag());
  }
  const GumboVector& children = node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i)
    CollectLines(static_cast<const GumboNode*>(children.data[i]), lines, others, false);
}

const GumboNode* ChildOf(const GumboNode* node, GumboTag tag) {
  const GumboVector& children = node->v.element.children;
  for (unsigned i = 0; i < children.length; ++i) {
    auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (IsElement(child) && child->v.element.tag == tag) return child;
  }
  throw std::logic_error("the parser made no such element");
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::optional<unsigned> HexValue(std::string_view digits) {
  unsigned value = 0;
  for (char c : digits) {
    value <<= 4;
    if (c >= '0' && c <= '9')
      value |= static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
      value |= static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      value |= static_cast<unsigned>(c - 'A' + 10);
    else
      return std::nullopt;
  }
  return value;
}

}  // namespace

std::string HtmlElement::Tag() const {
  const GumboElement& e = node_->v.element;
  if (e.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e.tag);
  GumboStringPiece name = e.original_tag;
  gumbo_tag_from_original_text(&name);
  std::string tag(name.data, name.length);
  std::size_t end = tag.find_first_of(" \t\r\n\f/>");
  return Lower(tag.substr(0, end));
}

std::vector<std::string> HtmlElement::AttributeNames() const {
  std::vector<std::string> names;
  const GumboVector& attributes = node_->v.element.attributes;
  for (unsigned i = 0; i < attributes.length; ++i)
    names.emplace_back(static_cast<const GumboAttribute*>(attributes.data[i])->name);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> HtmlElement::Attribute(std::string_view name) const {
  const GumboVector& attributes = node_->v.element.attributes;
  for (unsigned i = 0; i < attributes.length; ++i) {
    auto* a = static_cast<const GumboAttribute*>(attributes.data[i]);
    if (name == a->name) return std::string(a->value);
  }
  return std::nullopt;
}

std::string HtmlElement::Text() const {
  std::string text;
  AppendText(node_, text);
  return text;
}

std::string HtmlElement::TrimmedText() const {
  std::string text = Text();
  const char* blanks = " \t\r\n\f";
  std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<HtmlElement> HtmlElement::Children() const {
  std::vector<HtmlElement> children;
  const GumboVector& nodes = node_->v.element.children;
  for (unsigned i = 0; i < nodes.length; ++i) {
    auto* child = static_cast<const GumboNode*>(nodes.data[i]);
    if (IsElement(child)) children.emplace_back(child);
  }
  return children;
}

std::vector<HtmlElement> HtmlElement::Descendants(std::string_view tag) const {
  std::vector<HtmlElement> found;
  ForEachElement(node_, [&](const GumboNode* node, int) {
    HtmlElement element(node);
    if (tag.empty() || element.Tag() == tag) found.push_back(element);
  });
  return found;
}

bool HtmlElement::IsInside(std::string_view tag) const {
  for (const GumboNode* up = node_->parent; up && IsElement(up); up = up->parent)
    if (HtmlElement(up).Tag() == tag) return true;
  return false;
}

std::vector<std::string> HtmlElement::LinesAtBreaks(std::vector<std::string>& others) const {
  std::vector<std::string> lines(1);
  CollectLines(node_, lines, others, true);
  return lines;
}

HtmlTree::HtmlTree(std::string_view page) : text_(page) {
  GumboOptions options = Options();
  output_ = gumbo_parse_with_options(&options, text_.data(), text_.size());
}

HtmlTree::~HtmlTree() {
  GumboOptions options = Options();
  gumbo_destroy_output(&options, output_);
}

HtmlElement HtmlTree::Root() const {
  return HtmlElement(output_->root);
}

HtmlElement HtmlTree::Body() const {
  return HtmlElement(ChildOf(output_->root, GUMBO_TAG_BODY));
}

std::string HtmlTree::Signature(bool with_values) const {
  std::string signature;
  auto line = [&](const GumboNode* node, int depth) {
    HtmlElement element(node);
    signature += std::string(2 * depth, ' ') + element.Tag() + " [";
    std::vector<std::string> names = element.AttributeNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
      signature += (i ? " " : "") + names[i];
      if (with_values) signature += "=\"" + element.Attribute(names[i]).value_or("") + "\"";
    }
    signature += "]\n";
  };
  line(output_->root, 0);
  ForEachElement(output_->root, line, 1);
  return signature;
}

std::vector<std::string> FragmentLinesAtBreaks(std::string_view text,
                                               std::vector<std::string>& others) {
  // The body of a page holding nothing else stands for the element the text is put into.
  HtmlTree tree("<!DOCTYPE html><html><head></head><body>" + std::string(text));
  return tree.Body().LinesAtBreaks(others);
}

std::optional<JsStringLiteral> ReadJsStringLiteral(std::string_view code) {
  if (code.empty() || (code[0] != '\'' && code[0] != '"')) return std::nullopt;
  const char quote = code[0];
  const std::string_view kLineSeparator = "\xE2\x80\xA8";
  const std::string_view kParagraphSeparator = "\xE2\x80\xA9";
  JsStringLiteral literal;
  std::string& out = literal.value;
  char32_t high_surrogate = 0;  // the high half of a pair waiting for its low one, or 0
  auto put = [&](char32_t unit) {
    if (high_surrogate && unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((high_surrogate - 0xD800) << 10) + (unit - 0xDC00));
      high_surrogate = 0;
      return;
    }
    if (high_surrogate) AppendUtf8(out, 0xFFFD);  // a lone half shows as the replacement
    high_surrogate = 0;
    if (unit >= 0xD800 && unit <= 0xDBFF)
      high_surrogate = unit;
    else if (unit >= 0xDC00 && unit <= 0xDFFF)
      AppendUtf8(out, 0xFFFD);
    else
      AppendUtf8(out, unit);
  };
  auto flush = [&] {
    if (high_surrogate) AppendUtf8(out, 0xFFFD);
    high_surrogate = 0;
  };
  std::size_t i = 1;
  while (i < code.size()) {
    char c = code[i];
    std::string_view rest = code.substr(i);
    if (c == '\n' || c == '\r' || rest.starts_with(kLineSeparator) ||
        rest.starts_with(kParagraphSeparator))
      return std::nullopt;
    if (c == quote) {
      flush();
      literal.length = i + 1;
      return literal;
    }
    if (c != '\\') {
      flush();
      out += c;
      ++i;
      continue;
    }
    if (i + 1 >= code.size()) return std::nullopt;
    char e = code[i + 1];
    i += 2;
    switch (e) {
      case 'n':
        put('\n');
        break;
      case 'r':
        put('\r');
        break;
      case 't':
        put('\t');
        break;
      case 'b':
        put('\b');
        break;
      case 'f':
        put('\f');
        break;
      case 'v':
        put('\v');
        break;
      case '0':
        if (i < code.size() && code[i] >= '0' && code[i] <= '9') return std::nullopt;  // octal
        put(0);
        break;
      case 'x':
      case 'u': {
        std::size_t digits = e == 'x' ? 2 : 4;
        std::optional<unsigned> value =
            i + digits <= code.size() ? HexValue(code.substr(i, digits)) : std::nullopt;
        if (!value) return std::nullopt;
        i += digits;
        put(*value);
        break;
      }
      case '\n':  // a line continued: nothing
        flush();
        break;
      case '\r':
        flush();
        if (i < code.size() && code[i] == '\n') ++i;
        break;
      default:
        // Any other character stands for itself, a multi-byte one whole.
        flush();
        out += e;
        while (i < code.size() && (static_cast<unsigned char>(code[i]) & 0xC0) == 0x80)
          out += code[i++];
        break;
    }
  }
  return std::nullopt;
}

std::optional<std::string> JsCallArgument(std::string_view code, std::string_view function) {
  std::string opening = std::string(function) + "(";
  if (!code.starts_with(opening)) return std::nullopt;
  std::optional<JsStringLiteral> literal = ReadJsStringLiteral(code.substr(opening.size()));
  if (!literal) return std::nullopt;
  std::string_view rest = code.substr(opening.size() + literal->length);
  if (rest != ")" && rest != ");") return std::nullopt;
  return literal->value;
}

}  // namespace lanereport::testing
