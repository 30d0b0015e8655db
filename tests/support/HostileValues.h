#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {
class Database;
}

namespace lanereport::testing {

// Stored values that try to become markup or script in a page, or that a page could not hold
// as they are, each with a plain twin: the same number of characters, none of them one a page
// treats. A page made from a value and the page made from its twin must have the same shape.
struct HostileValue {
  std::string label;  // names the value in a test's trace
  std::string text;   // what is stored
  std::string plain;  // its twin
  // True when the value may be written as an image or style sheet address: no quote, "<",
  // ">", control character or scheme. None of the values is a colour, and none that is an
  // address holds a ".", so as a background each is read as a colour, and refused.
  bool address = false;
  // True when the value is short enough for a game record (under 256 bytes); the others go
  // only where a longer text is read.
  bool fits_game_record = true;
};

// The values, the same list for every test.
const std::vector<HostileValue>& HostileValues();

// The text a reader sees of a stored text: every control character (U+0000 to U+001F except
// tab, and U+007F) as U+FFFD.
std::string Shown(std::string_view stored);

// The texts of one bowler's database: the bowler, one centre, one level, one play of one game
// on 2024/05/06 in that level (which counts in statistics), the bowler's profile and the look
// settings. The bowler's folder name (Aname) is "bowler".
struct StoredTexts {
  std::string bowler;        // the name, in the bowler table and the game
  std::string centre;        // the centre's name, in the centre table and the game
  std::string level;         // the level's name, in the level table and the game
  std::string level_colour;  // Level_Data.FColor
  std::string memo;          // the game's memo
  std::string profile;       // every text of the profile (ranks, birth, ..., maxim, mail)
  std::string photo;         // the profile's look: Photo, PathStyle, PathBack, PathChar
  std::string path_style;
  std::string path_back;
  std::string path_char;
  std::map<std::string, std::string> settings;  // S_SYSTEM rows by key
};

// The look settings that pages hold, with the value each stands for when it cannot be used.
const std::map<std::string, std::string>& LookSettingDefaults();

// Every text of the database the value itself; the game record's texts only when the value
// fits one (plain names otherwise).
StoredTexts HostileTexts(const HostileValue& value);
// The database the pages of HostileTexts(value) must look like: each text the twin, and
// where the value cannot be used (a colour, or an address that is not one) what stands for it
// instead, the default of the setting or nothing.
StoredTexts PlainTexts(const HostileValue& value);

// Writes texts into an empty score database the way another program would, with plain SQL,
// so nothing is trimmed, refused or changed on the way: the record classes make the rows
// with placeholder texts and an UPDATE then stores the texts. out_folder becomes the
// output folder setting.
void StoreTexts(Database& db, const StoredTexts& texts, const std::string& out_folder);

}  // namespace lanereport::testing
