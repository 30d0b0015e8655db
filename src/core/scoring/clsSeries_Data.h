#pragma once

#include <string>
#include <string_view>

#include "database/Value.h"

namespace lanereport {

// One three-game series while the high and low series are worked out: where and when it was
// bowled, its game range ("4～6ゲーム目"), how many of its games have been seen and their score
// sum. Text setters refuse 256 or more code page 932 bytes ("文字列が長すぎます"); Count and
// Total refuse a value that is not a number ("数値を入力して下さい"); the source is
// "[clsSeries_Data]" + property.
class clsSeries_Data {
 public:
  std::string AlleyName() const;
  void AlleyName(std::string_view value);
  std::string LevelName() const;
  void LevelName(std::string_view value);
  // "YYYYMMDD".
  std::string PlayDate() const;
  void PlayDate(std::string_view value);
  std::string GameNumber() const;
  void GameNumber(std::string_view value);
  long Count() const { return count_; }
  void Count(const Value& value);
  long Total() const { return total_; }
  void Total(const Value& value);

  // "2004/03/15 A B 1～3ゲーム目": date, centre, level and game range separated by blanks.
  std::string Description() const;

 private:
  std::string alley_name_;
  std::string level_name_;
  std::string play_date_;
  std::string game_number_;
  long count_ = 0;
  long total_ = 0;
};

}  // namespace lanereport
