#pragma once

#include <string>
#include <string_view>

#include "database/WindowSettings.h"
#include "pages/PageText.h"

namespace lanereport {

// The skeleton shared by the score table page and the monthly table page: the document type,
// the head, the body start tag, the name table at the top and the generator footer. Lines end
// with CR LF except the keywords and Generator meta lines, which end with CR.

// A look setting counts as empty when it is blank; a setting that is not is written exactly as
// it stands, blanks included.
bool IsSettingEmpty(std::string_view setting);

// Appends everything from the document type line down to the name table. title: the whole
// title text ("スコア表"); width: the width of the name table ("770", "100%"); bowler: the name
// shown. The style sheet and background of look are paths relative to the output folder.
void AppendPageStart(PageText& page, const WindowSettings& look, std::string_view title,
                     std::string_view width, std::string_view bowler);

// The way from a page up to the output folder, where the images and the style sheet named by
// the look settings are: the score, monthly and bowler year pages lie two folder levels below it.
inline constexpr std::string_view kUpToOutFolder = "../../";

// The two halves of AppendPageStart, for pages that need something of their own there.
// AppendPageHead appends the document type line, the head and the body start tag; head_comment
// (a whole "<!-- … -->" line, empty for none) follows the Generator line; up leads from the page
// to the output folder. AppendNameTable
// appends the name table of the given width: label ("投球者：") and value in bold.
void AppendPageHead(PageText& page, const WindowSettings& look, std::string_view title,
                    std::string_view head_comment, std::string_view up = kUpToOutFolder);
void AppendNameTable(PageText& page, std::string_view width, std::string_view label,
                     std::string_view value);

// The body start tag, "<body" with the background and text colour of look, without indentation
// or line end; up leads from the page to the output folder.
std::string BodyStartTag(const WindowSettings& look, std::string_view up = kUpToOutFolder);

// Appends the generator footer of the given width and the closing body and html tags.
void AppendPageEnd(PageText& page, std::string_view width);

}  // namespace lanereport
