#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// Stored values on their way into a page. The score database is shared with other programs and
// edited by hand, so a value may hold anything; these routines make each value mean, where it
// lands, exactly the text that is stored. A value holding none of the characters they treat
// comes back unchanged, so pages of ordinary values keep their bytes.

// The text a control character of a stored value is shown as: U+FFFD, the replacement
// character, as a reference. Tab is no control character here; it is written as it is.
inline constexpr std::string_view kControlReference = "&#65533;";

// True for the characters no page gets raw: U+0000 to U+001F except tab, and U+007F.
constexpr bool IsControlByte(unsigned char c) {
  return (c < 0x20 && c != '\t') || c == 0x7f;
}

// Element text: "&", "<" and ">" as references, control characters as kControlReference.
std::string HtmlText(std::string_view text);
void AppendHtmlText(std::string& out, std::string_view text);

// An attribute value between double quotes: as HtmlText, and '"' as "&quot;"; with apostrophes
// also "'" as "&#39;", for a value between apostrophes.
std::string HtmlAttr(std::string_view text, bool apostrophes = false);
void AppendHtmlAttr(std::string& out, std::string_view text, bool apostrophes = false);

// The inside of a JavaScript string literal in either kind of quotes: "\", "'", '"', line
// feed, carriage return, U+2028 and U+2029 as escapes, "<" as "\x3C" (so no "</script>" or
// "<!--" can form), control characters as "\uFFFD". The literal then holds the text.
std::string JsString(std::string_view text);

// A file or folder name as one segment of a URL path: every character that a URL cannot hold
// as it is, or that would mean something else there, written as "%" and two hexadecimal
// digits: controls, space, '"', "#", "%", "'", "/", "<", ">", "?", "\", "^", "`", "{", "|", "}".
// Other characters, Japanese letters among them, stay as they are (the browser encodes them).
std::string UrlSegment(std::string_view name);

// An address as the user typed it (a path, an http(s) or mail address): only the characters a
// URL cannot hold at all written as "%" and two hexadecimal digits (controls, space, '"', "<",
// ">", "^", "`", "{", "|", "}"); "%", "?", "#" and "/" keep their meaning.
std::string UrlAddress(std::string_view address);

// True when text may be written as the address of an image or style sheet: a path (no scheme
// before it, so no "javascript:" or "data:") or an http: or https: address, without quotes,
// "<", ">" or control characters.
bool IsSafeLinkTarget(std::string_view text);

// True when text may be written as a value in a style attribute ("#ff0000", "silver",
// "url('back.jpg')"): nothing that could end the attribute or the declaration (quotes, "<",
// ">", ";", "{", "}", "\" or control characters). Apostrophes are taken only when allowed, for
// a value that may quote an address inside it.
bool IsSafeStyleValue(std::string_view text, bool apostrophes = false);

}  // namespace lanereport
