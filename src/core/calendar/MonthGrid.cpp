#include "calendar/MonthGrid.h"

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "calendar/HolidayName.h"
#include "util/DateText.h"
#include "util/StringUtil.h"

namespace lanereport {
namespace {

namespace chr = std::chrono;

constexpr int kSaturday = 6;
constexpr int kSunday = 7;

bool InCalendarYears(int year) {
  return kFirstCalendarYear <= year && year <= kLastCalendarYear;
}

// A text of one to max_digits digits, blanks around it ignored, as a number.
std::optional<int> SmallNumber(std::string_view text, std::size_t max_digits) {
  text = Trim(text);
  if (text.empty() || text.size() > max_digits ||
      text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  int value = 0;
  for (const char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  const chr::year_month_day_last last{chr::year{year} / chr::month{static_cast<unsigned>(month)} /
                                      chr::last};
  return static_cast<int>(static_cast<unsigned>(last.day()));
}

int WeekdayOf(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return 0;
  const chr::year_month_day ymd{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                                chr::day{static_cast<unsigned>(day)}};
  return static_cast<int>(chr::weekday{chr::sys_days{ymd}}.iso_encoding());
}

std::optional<CivilDate> AddMonths(const CivilDate& date, int months) {
  if (!IsValidDate(date.year, date.month, date.day)) return std::nullopt;
  // Months counted from January of year 0, so that the sum divides cleanly into year and month.
  const long long index = static_cast<long long>(date.year) * 12 + (date.month - 1) + months;
  if (index < 0) return std::nullopt;
  const long long year = index / 12;
  if (year < kFirstCalendarYear || year > kLastCalendarYear) return std::nullopt;
  const int y = static_cast<int>(year);
  const int m = static_cast<int>(index % 12) + 1;
  const int last = DaysInMonth(y, m);
  return CivilDate{y, m, date.day < last ? date.day : last};
}

std::string DateToYmd(const CivilDate& date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.year, date.month, date.day);
  return buffer;
}

std::optional<CivilDate> YmdToDate(std::string_view ymd) {
  if (ymd.size() != 8 || ymd.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const CivilDate date{*SmallNumber(ymd.substr(0, 4), 4), *SmallNumber(ymd.substr(4, 2), 2),
                       *SmallNumber(ymd.substr(6, 2), 2)};
  if (!InCalendarYears(date.year) || !IsValidDate(date.year, date.month, date.day)) {
    return std::nullopt;
  }
  return date;
}

std::optional<int> ParseCalendarYear(std::string_view text) {
  const std::optional<int> year = SmallNumber(text, 4);
  if (!year || !InCalendarYears(*year)) return std::nullopt;
  return year;
}

std::optional<int> ParseCalendarMonth(std::string_view text) {
  const std::optional<int> month = SmallNumber(text, 2);
  if (!month || *month < 1 || *month > 12) return std::nullopt;
  return month;
}

MonthGrid::MonthGrid(int year, int month) : year_(year), month_(month) {
  if (!InCalendarYears(year) || month < 1 || month > 12) {
    throw std::invalid_argument("MonthGrid: no such month in the calendar");
  }
  days_ = DaysInMonth(year, month);
  const int first_weekday = WeekdayOf(year, month, 1);
  first_cell_ = first_weekday % 7;  // Sunday (7) is the first column
  for (int index = 0; index < kCells; ++index) {
    GridCell& cell = cells_[index];
    // Cell 0 is a Sunday; the weekday runs on from there.
    cell.weekday = (index + 6) % 7 + 1;
    const int day = index - first_cell_ + 1;
    if (day < 1 || day > days_) continue;
    cell.day = day;
    cell.holiday = HolidayName(year, month, day, cell.weekday);
    if (!cell.holiday.empty()) {
      cell.kind = DayKind::kHoliday;
    } else if (cell.weekday == kSunday) {
      cell.kind = DayKind::kSunday;
    } else if (cell.weekday == kSaturday) {
      cell.kind = DayKind::kSaturday;
    }
  }
}

int MonthGrid::CellOfDay(int day) const {
  if (day < 1 || day > days_) return -1;
  return first_cell_ + day - 1;
}

const GridCell& MonthGrid::Cell(int index) const {
  if (index < 0 || index >= kCells) throw std::out_of_range("MonthGrid: no such cell");
  return cells_[index];
}

}  // namespace lanereport
