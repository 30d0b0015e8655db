#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

class Database;

// The eleven look and path settings of the output window, as plain texts.
struct WindowSettings {
  std::string CharacterColor;  // text colour of the pages, "#rrggbb"
  std::string Background;      // page background: a colour or an image path
  std::string StyleSheet;      // style sheet the pages link to
  std::string Frame1;          // image of the first kind of frame box
  std::string Frame2;          // image of the second kind of frame box
  std::string Space;           // image of an empty mark cell
  std::string Spare;           // image of a spare mark
  std::string Strike;          // image of a strike mark
  std::string LinkPath;        // address the pages' links lead to
  std::string OutFolder;       // output folder; empty means the desktop
  std::string OutSheet;        // template workbook

  // The S_SYSTEM keys in the order the window shows them.
  static const std::array<const char*, 11>& Keys();
  // The value of a key by name; nullptr for an unknown key.
  std::string* Find(std::string_view key);
  const std::string* Find(std::string_view key) const;
};

// The template used when the OutSheet setting is empty: the program folder's BowlerData.xlsx.
std::string DefaultTemplatePath();

// Whether reading the settings may write the default template into the database.
enum class TemplateDefaultStore {
  kNo,   // the default is only returned: the database is left as it was
  kYes,  // the output window's opening: the default is stored for the next opening
};

// Reads the eleven settings; a missing row or any error leaves that value empty. When the
// template setting is empty it becomes DefaultTemplatePath(); only with store kYes are all
// settings then saved (a save that fails is ignored). A run that only reads the database
// leaves store at kNo, so that it neither changes the shared file nor waits for its write lock.
WindowSettings LoadWindowSettings(Database& db,
                                  TemplateDefaultStore store = TemplateDefaultStore::kNo);

// Stores the eleven settings, each trimmed; an empty template setting is stored as
// DefaultTemplatePath(). A look setting that LookSettingProblem refuses raises AppError
// kErrInvalidValue with that message, and nothing is stored.
void SaveWindowSettings(Database& db, const WindowSettings& settings);

// The look settings go into the pages' attributes, so each must be what its place can hold:
// the text colour (and a background without ".") a colour HtmlColorToVb reads; the background
// image, style sheet and images a path or an http(s) address (IsSafeLinkTarget). Why value,
// trimmed, cannot be stored under key, in Japanese ("" when it can: an empty value always
// can, and so can every value of the settings that no page holds).
std::string LookSettingProblem(std::string_view key, std::string_view value);

// What a look setting's page value is when the stored one cannot be written into a page: the
// value the output window first shows.
std::string LookSettingDefault(std::string_view key);

// The settings as the pages are made from them: each look setting that LookSettingProblem
// refuses replaced by its default. One line per replaced setting, naming it and its stored
// value, is added to replaced, for the run to say once.
WindowSettings PageLook(const WindowSettings& settings, std::vector<std::string>& replaced);

}  // namespace lanereport
