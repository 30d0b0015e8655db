#include "database/WindowSettings.h"

#include "database/clsS_SYSTEM.h"
#include "util/AppError.h"
#include "util/DataChange.h"
#include "util/Markup.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"
#include "util/VisibleText.h"

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

WindowSettings LoadWindowSettings(Database& db, TemplateDefaultStore store) {
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
    if (store == TemplateDefaultStore::kYes) {
      try {
        SaveWindowSettings(db, settings);
      } catch (const AppError&) {
      }
    }
  }
  return settings;
}

namespace {

// The look settings that pages hold, with the name the output window gives each and the
// value it first shows.
struct LookKey {
  const char* key;
  const char* label;
  const char* initial;
};
constexpr LookKey kLookKeys[] = {
    {"CharacterColor", "文字色", "#FFFFFF"}, {"Background", "背景色（画像）", "jpg/BG.jpg"},
    {"StyleSheet", "ｽﾀｲﾙｼｰﾄ", ""},           {"Frame1", "枠１画像", "jpg/waku0.jpg"},
    {"Frame2", "枠２画像", "jpg/waku.jpg"},  {"Space", "Space画像", "jpg/space.jpg"},
    {"Spare", "Spare画像", "jpg/spare.jpg"}, {"Strike", "Strike画像", "jpg/strike.jpg"},
};

const LookKey* FindLookKey(std::string_view key) {
  for (const LookKey& k : kLookKeys) {
    if (EqualsIgnoreCase(k.key, key)) return &k;
  }
  return nullptr;
}

}  // namespace

std::string LookSettingProblem(std::string_view key, std::string_view value) {
  const LookKey* look = FindLookKey(key);
  std::string_view trimmed = Trim(value);
  if (!look || trimmed.empty()) return "";
  std::string label = look->label;
  bool colour =
      EqualsIgnoreCase(look->key, "CharacterColor") ||
      (EqualsIgnoreCase(look->key, "Background") && trimmed.find('.') == std::string_view::npos);
  if (colour) {
    if (!HtmlColorToVb(trimmed).empty()) return "";
    return label + "には色を「#」と16進数6桁で指定してください（例 #FFFFFF）：" +
           VisibleText(trimmed);
  }
  if (IsSafeLinkTarget(trimmed)) return "";
  return label +
         "には相対パスか http(s) のアドレスを指定してください（引用符、<、>、制御文字は使えま"
         "せん）：" +
         VisibleText(trimmed);
}

std::string LookSettingDefault(std::string_view key) {
  const LookKey* look = FindLookKey(key);
  return look ? look->initial : "";
}

WindowSettings PageLook(const WindowSettings& settings, std::vector<std::string>& replaced) {
  WindowSettings look = settings;
  for (const LookKey& k : kLookKeys) {
    std::string* value = look.Find(k.key);
    std::string problem = LookSettingProblem(k.key, *value);
    if (problem.empty()) continue;
    *value = k.initial;
    replaced.push_back("設定「" + std::string(k.key) + "」の値はページに書けないため、既定値「" +
                       std::string(k.initial) + "」で作成しました：" + problem);
  }
  return look;
}

void SaveWindowSettings(Database& db, const WindowSettings& settings) {
  for (const char* key : WindowSettings::Keys()) {
    std::string problem = LookSettingProblem(key, *settings.Find(key));
    if (!problem.empty()) throw AppError(kErrInvalidValue, "[S_SYSTEM]Update", problem);
  }
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
