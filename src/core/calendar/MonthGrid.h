#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "util/Clock.h"

namespace lanereport {

// The years the calendar offers: from the first year the holiday routine knows to the last year
// written with four digits.
inline constexpr int kFirstCalendarYear = 1873;
inline constexpr int kLastCalendarYear = 9999;

// The number of days of month (1 to 12) in year; 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);

// The weekday of a real date, Monday = 1 ... Sunday = 7 (the numbering HolidayName takes); 0 for
// a date that does not exist.
int WeekdayOf(int year, int month, int day);

// The date months later (earlier when months is negative). The day stays the same unless the
// month reached is shorter, when it becomes that month's last day (01/31 plus one month is the
// last day of February). Nothing when date is not a real date or the result would lie outside
// kFirstCalendarYear to kLastCalendarYear.
std::optional<CivilDate> AddMonths(const CivilDate& date, int months);

// The date as eight digits "YYYYMMDD".
std::string DateToYmd(const CivilDate& date);

// Eight digits "YYYYMMDD" as a date; nothing unless they make a real date within
// kFirstCalendarYear to kLastCalendarYear.
std::optional<CivilDate> YmdToDate(std::string_view ymd);

// A year as typed into the calendar's year box: one to four digits, blanks around them ignored,
// within kFirstCalendarYear to kLastCalendarYear; nothing for anything else.
std::optional<int> ParseCalendarYear(std::string_view text);

// A month as typed into the calendar's month box: one or two digits, blanks around them
// ignored, 1 to 12; nothing for anything else.
std::optional<int> ParseCalendarMonth(std::string_view text);

// What kind of day a cell of the month grid shows. A holiday is kHoliday whatever its weekday.
enum class DayKind { kWeekday, kSaturday, kSunday, kHoliday };

// One cell of the month grid.
struct GridCell {
  int day = 0;      // day of the month; 0 for a cell before the 1st or after the last day
  int weekday = 0;  // Monday = 1 ... Sunday = 7, also for the empty cells
  DayKind kind = DayKind::kWeekday;
  std::string holiday;  // the holiday's name (UTF-8), or "" for an ordinary day
};

// One month laid out as six weeks of seven days, Sunday first: cell 0 is the Sunday of the week
// holding the 1st, cell 41 the Saturday five weeks later. The cells of the month carry their
// day, kind and holiday name; the others are empty.
class MonthGrid {
 public:
  static constexpr int kColumns = 7;
  static constexpr int kWeeks = 6;
  static constexpr int kCells = kColumns * kWeeks;

  // The grid of month (1 to 12) of year (kFirstCalendarYear to kLastCalendarYear). Throws
  // std::invalid_argument for anything else.
  MonthGrid(int year, int month);

  int Year() const { return year_; }
  int Month() const { return month_; }
  // The number of days of the month.
  int Days() const { return days_; }
  // The cell of the 1st: 0 when the month starts on a Sunday, 6 on a Saturday.
  int FirstCell() const { return first_cell_; }
  // The cell of day, or -1 when the month has no such day.
  int CellOfDay(int day) const;
  // Cell index, 0 to kCells - 1; throws std::out_of_range for any other index.
  const GridCell& Cell(int index) const;

 private:
  int year_;
  int month_;
  int days_;
  int first_cell_;
  std::array<GridCell, kCells> cells_;
};

}  // namespace lanereport
