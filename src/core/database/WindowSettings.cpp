#include "database/WindowSettings.h"

#include "database/clsS_SYSTEM.h"
#include "util/AppError.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"

namespace lanereport {

const std::array<const char*, 11>& WindowSettings::Keys() {
  static const std::array<const char*, 11> keys = {
      "CharacterColor", "Background", "StyleSheet", "Frame1",    "Frame2",  "Space",
      "Spare",          "Strike",     "LinkPath",   "OutFolder", "OutSheet"};
  return keys;
}

const std::string* WindowSettings::Find(std::string_view key) const {
  return const_cast<WindowSettings*>(this)->Find(key);
}

std::string* WindowSettings::Find(std::string_view key) {
  std::array<std::string*, 11> fields = {&CharacterColor, &Background, &StyleSheet, &Frame1,
                                         &Frame2,         &Space,      &Spare,      &Strike,
                                         &LinkPath,       &OutFolder,  &OutSheet};
  for (std::size_t i = 0; i < Keys().size(); ++i) {
    if (EqualsIgnoreCase(Keys()[i], key)) return fields[i];
  }
  return nullptr;
}

std::string DefaultTemplatePath() {
  return GetProgramFolder() + "BowlerData.xlsx";
}

WindowSettings LoadWindowSettings(Database& db) {
  WindowSettings settings;
  clsS_SYSTEM record(db);
  for (const char* key : WindowSettings::Keys()) {
    std::string* field = settings.Find(key);
    try {
      record.SsContents("");
      record.SsId(key);
      record.Load();
      *field = record.SsContents();
    } catch (const AppError&) {
      // A missing setting simply stays empty.
    }
  }
  if (Trim(settings.OutSheet).empty()) {
    settings.OutSheet = DefaultTemplatePath();
    try {
      SaveWindowSettings(db, settings);
    } catch (const AppError&) {
    }
  }
  return settings;
}

void SaveWindowSettings(Database& db, const WindowSettings& settings) {
  clsS_SYSTEM record(db);
  for (const char* key : WindowSettings::Keys()) {
    std::string value(Trim(*settings.Find(key)));
    if (std::string_view(key) == "OutSheet" && value.empty()) value = DefaultTemplatePath();
    record.SsId(key);
    record.SsContents(value);
    record.Update();
  }
}

}  // namespace lanereport
