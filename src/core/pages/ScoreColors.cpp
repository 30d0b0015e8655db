#include "pages/ScoreColors.h"

#include <cstdlib>

#include "util/NumberFormat.h"

namespace lanereport {
namespace {

struct ColorRow {
  const char* back;
  const char* text;
};

const ColorRow& RowOf(double score) {
  static const ColorRow kPerfect = {"#ffccff", "#ff00ff"};
  static const ColorRow kRows[] = {
      {"#ffcccc", "#cc0000"},  // 250 or more
      {"#ffffcc", "#ffff00"},  // 200 or more
      {"#ccffcc", "#009933"},  // 150 or more
      {"#ffffff", "#000000"},  // 100 or more
      {"#ccffff", "#006699"},  // 50 or more
      {"#ccccff", "#3333ff"},  // below 50
  };
  static const double kLower[] = {250, 200, 150, 100, 50};
  if (score == 300) return kPerfect;
  for (int i = 0; i < 5; ++i) {
    if (score >= kLower[i]) return kRows[i];
  }
  return kRows[5];
}

}  // namespace

std::string ScoreBackColor(double score) {
  return RowOf(score).back;
}

std::string ScoreTextColor(double score) {
  return RowOf(score).text;
}

double ShownAverage(double average) {
  return std::strtod(FormatFixed1(average).c_str(), nullptr);
}

}  // namespace lanereport
