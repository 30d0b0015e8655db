#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// Cell number formats as a spreadsheet application shows values with them. Covered: General,
// digit placeholders (0 # ?), decimals, thousands separators and scaling commas, percent,
// scientific notation, literal text ("…", \x, _x, currency brackets), colours ([Red] …), up to
// four sections (positive; negative; zero; text) with simple conditions, and dates and times
// (y m d h s, AM/PM, elapsed [h], Japanese weekdays aaa and eras g e). Fractions are shown as
// General. Rounding is half away from zero on the value cut to 15 significant digits.

struct FormattedText {
  std::string text;
  std::string color;  // "#rrggbb" from a colour section, or ""
};

// The format code of a built-in format id as a Japanese installation shows it (14 is
// "yyyy/m/d"); "General" for 0 and for ids without a code of their own.
std::string BuiltinNumberFormat(int id);

// True when the code formats numbers as dates or times.
bool IsDateFormat(std::string_view code);

// A number as a cell with the code shows it. date1904: the workbook counts days from 1904.
FormattedText FormatCellNumber(double value, std::string_view code, bool date1904 = false);

// A text as a cell with the code shows it: the text section ("@") applies; otherwise the text
// stands as it is.
FormattedText FormatCellText(std::string_view text, std::string_view code);

// The General display of a number: whole numbers as they are, others in at most eleven
// characters, very large and very small ones in scientific notation ("1.23457E+11").
std::string FormatGeneral(double value);

}  // namespace lanereport
