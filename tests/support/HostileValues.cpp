#include "HostileValues.h"

#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "database/Database.h"

namespace lanereport::testing {
namespace {

std::size_t CharacterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

HostileValue Hostile(std::string label, std::string text, bool address = false) {
  HostileValue v;
  v.label = std::move(label);
  v.plain = std::string(CharacterCount(text), 'a');
  v.address = address;
  v.fits_game_record = text.size() < 256;
  v.text = std::move(text);
  return v;
}

std::string LongText() {
  std::string text;
  while (CharacterCount(text) < 100000) text += "<script>alert(1)</script>";
  return text;
}

// The placeholders the record classes make the rows with, before the stored texts go in.
constexpr const char* kPlaceholderBowler = "仮の名前";
constexpr const char* kPlaceholderCentre = "仮のセンター";
constexpr const char* kPlaceholderLevel = "仮のレベル";

}  // namespace

const std::vector<HostileValue>& HostileValues() {
  static const std::vector<HostileValue> values = {
      Hostile("script", "<script>alert(1)</script>"),
      Hostile("attribute end", "\"><img src=x onerror=alert(2)>"),
      Hostile("apostrophe", "'"),
      Hostile("quotation mark", "\""),
      Hostile("script end", "</script>"),
      Hostile("comment end", "-->"),
      Hostile("backslash", "\\", true),
      Hostile("reference", "&amp;", true),
      Hostile("line separator U+2028", "\u2028", true),
      Hostile("character 31", "\x1f"),
      Hostile("NUL", std::string(1, '\0')),
      Hostile("ESC", "\x1b"),
      Hostile("line feed", "\n"),
      Hostile("100000 characters", LongText()),
  };
  return values;
}

std::string Shown(std::string_view stored) {
  std::string shown;
  for (char c : stored) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F)
      shown += "\uFFFD";
    else
      shown += c;
  }
  return shown;
}

const std::map<std::string, std::string>& LookSettingDefaults() {
  static const std::map<std::string, std::string> defaults = {
      {"CharacterColor", "#FFFFFF"}, {"Background", "jpg/BG.jpg"}, {"StyleSheet", ""},
      {"Frame1", "jpg/waku0.jpg"},   {"Frame2", "jpg/waku.jpg"},   {"Space", "jpg/space.jpg"},
      {"Spare", "jpg/spare.jpg"},    {"Strike", "jpg/strike.jpg"},
  };
  return defaults;
}

StoredTexts HostileTexts(const HostileValue& value) {
  StoredTexts t;
  const std::string& v = value.text;
  if (value.fits_game_record) {
    t.bowler = t.centre = t.level = t.memo = v;
  } else {
    t.bowler = "山田太郎";
    t.centre = "中央レーン";
    t.level = "公式戦";
    t.memo = "初ゲーム";
  }
  t.level_colour = v;
  t.profile = v;
  t.photo = t.path_style = t.path_back = t.path_char = v;
  for (const auto& [key, fallback] : LookSettingDefaults()) t.settings[key] = v;
  return t;
}

StoredTexts PlainTexts(const HostileValue& value) {
  StoredTexts t = HostileTexts(value);
  const std::string& plain = value.plain;
  if (value.fits_game_record) t.bowler = t.centre = t.level = t.memo = plain;
  t.profile = plain;
  // Colours: none of the values is one, so each is left out.
  t.level_colour = t.path_char = t.path_back = "";
  t.photo = t.path_style = value.address ? plain : "";
  for (const auto& [key, fallback] : LookSettingDefaults()) {
    bool colour = key == "CharacterColor" || key == "Background";
    t.settings[key] = value.address && !colour ? plain : fallback;
  }
  return t;
}

void StoreTexts(Database& db, const StoredTexts& texts, const std::string& out_folder) {
  AddBowler(db, kPlaceholderBowler, "bowler", 1);
  AddAlley(db, kPlaceholderCentre, 2, true);
  AddLevel(db, kPlaceholderLevel, 2, true);
  AddNotatedGame(db, kPlaceholderBowler, kPlaceholderCentre, kPlaceholderLevel, "2024/05/06", 1,
                 "X Y 7/ 9- X -8 8/ -6 X XY8");

  db.Write(
      "UPDATE Bowler_Data SET Name = ?, RankA = ?, RankB = ?, Birth = ?, Height = ?, Weight = ?, "
      "Arm = ?, Ball = ?, Wrist = ?, Shoes = ?, Bag = ?, Maxim = ?, MailAddress = ?, Photo = ?, "
      "PathStyle = ?, PathBack = ?, PathChar = ?",
      {texts.bowler, texts.profile, texts.profile, texts.profile, texts.profile, texts.profile,
       texts.profile, texts.profile, texts.profile, texts.profile, texts.profile, texts.profile,
       texts.profile, texts.photo, texts.path_style, texts.path_back, texts.path_char});
  db.Write("UPDATE Alley_Data SET Name = ?", {texts.centre});
  db.Write("UPDATE Level_Data SET Name = ?, FColor = ?", {texts.level, texts.level_colour});
  db.Write(
      "UPDATE Result_Data SET Bowler_Name = ?, Alley_Name = ?, Level_Name = ?, "
      "Result_Memo = ?",
      {texts.bowler, texts.centre, texts.level, texts.memo});

  std::map<std::string, std::string> settings = texts.settings;
  settings["OutFolder"] = out_folder;
  settings["OutSheet"] = out_folder + "/BowlerData.xlsx";
  for (const auto& [key, value] : settings)
    db.Write("INSERT INTO S_SYSTEM (SS_ID, SS_Contents) VALUES (?, ?)", {key, value});
}

}  // namespace lanereport::testing
