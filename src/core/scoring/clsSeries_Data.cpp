#include "scoring/clsSeries_Data.h"

#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/DateText.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

void SetText(std::string& field, std::string_view value, const char* property) {
  if (ByteLength(value) >= 256)
    throw AppError(kErrInvalidValue, std::string("[clsSeries_Data]") + property,
                   "文字列が長すぎます");
  if (Trim(field) != value) field = std::string(value);
}

long CheckedLong(const Value& value, const char* property) {
  std::optional<double> number = value.Number();
  if (!number || *number < -2147483648.0 || *number > 2147483647.0)
    throw AppError(kErrInvalidValue, std::string("[clsSeries_Data]") + property,
                   "数値を入力して下さい");
  return static_cast<long>(Value(*number).ToInt());
}

}  // namespace

std::string clsSeries_Data::AlleyName() const {
  return std::string(Trim(alley_name_));
}
void clsSeries_Data::AlleyName(std::string_view value) {
  SetText(alley_name_, value, "AlleyName");
}

std::string clsSeries_Data::LevelName() const {
  return std::string(Trim(level_name_));
}
void clsSeries_Data::LevelName(std::string_view value) {
  SetText(level_name_, value, "LevelName");
}

std::string clsSeries_Data::PlayDate() const {
  return std::string(Trim(play_date_));
}
void clsSeries_Data::PlayDate(std::string_view value) {
  SetText(play_date_, value, "PlayDate");
}

std::string clsSeries_Data::GameNumber() const {
  return std::string(Trim(game_number_));
}
void clsSeries_Data::GameNumber(std::string_view value) {
  SetText(game_number_, value, "GameNumber");
}

void clsSeries_Data::Count(const Value& value) {
  count_ = CheckedLong(value, "Count");
}
void clsSeries_Data::Total(const Value& value) {
  total_ = CheckedLong(value, "Total");
}

std::string clsSeries_Data::Description() const {
  return YmdToSlashed(PlayDate()) + " " + AlleyName() + " " + LevelName() + " " + GameNumber();
}

}  // namespace lanereport
