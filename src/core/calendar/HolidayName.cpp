#include "calendar/HolidayName.h"

#include <chrono>
#include <cmath>
#include <string_view>

namespace lanereport {
namespace {

namespace chr = std::chrono;

constexpr int kMonday = 1;
constexpr int kSunday = 7;

constexpr std::string_view kSubstituteHoliday = "振替休日";
constexpr std::string_view kCitizensHoliday = "国民の休日";

// A date with the weekday the rules see for it (Monday = 1 ... Sunday = 7).
struct CalendarDay {
  int year = 0;
  int month = 0;
  int day = 0;
  int weekday = 0;

  // The date as one number that orders like the date (yyyymmdd).
  int Key() const { return year * 10000 + month * 100 + day; }
};

chr::year_month_day ToYmd(int year, int month, int day) {
  return chr::year_month_day{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                             chr::day{static_cast<unsigned>(day)}};
}

// The day that lies days after d (before it when negative); its weekday is counted from d's.
CalendarDay Shifted(const CalendarDay& d, int days) {
  const chr::year_month_day moved{chr::sys_days{ToYmd(d.year, d.month, d.day)} + chr::days{days}};
  return {static_cast<int>(moved.year()), static_cast<int>(static_cast<unsigned>(moved.month())),
          static_cast<int>(static_cast<unsigned>(moved.day())),
          ((d.weekday - 1 + days) % 7 + 7) % 7 + 1};
}

// Division rounding towards minus infinity.
int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Day of March of the vernal equinox.
int SpringEquinoxDay(int year) {
  const int d = year - 1980;
  return static_cast<int>(std::floor(0.242194 * d - FloorDiv(d, 4) + 20.8431));
}

// Day of September of the autumnal equinox.
int AutumnEquinoxDay(int year) {
  const int d = year - 1980;
  return static_cast<int>(std::floor(0.242194 * d - FloorDiv(d, 4) + 23.2488));
}

// True when from <= year < to.
bool InYears(int year, int from, int to) {
  return from <= year && year < to;
}

bool IsMondayBetween(const CalendarDay& d, int first, int last) {
  return d.weekday == kMonday && first <= d.day && d.day <= last;
}

// The name of the holiday that d is in its own right (a national holiday, an imperial feast or
// a ceremony day kept as a national holiday), or "". Within a month the rules are tried in order
// and the last one that matches names the day. The substitute holiday and the day between two
// holidays depend on the neighbouring days and are worked out by the caller.
std::string_view OwnHolidayName(const CalendarDay& d) {
  const int y = d.year;
  std::string_view name;
  switch (d.month) {
    case 1:
      if (y >= 1949 && d.day == 1) name = "元日";
      if (InYears(y, 1874, 1949) && d.day == 3) name = "元始祭";
      if (InYears(y, 1874, 1949) && d.day == 5) name = "新年宴会";
      if (InYears(y, 1949, 2000) && d.day == 15) name = "成人の日";
      if (y >= 2000 && IsMondayBetween(d, 8, 14)) name = "成人の日";
      if (InYears(y, 1874, 1913) && d.day == 30) name = "孝明天皇祭";
      break;
    case 2:
      if (InYears(y, 1874, 1949) && d.day == 11) name = "紀元節";
      // The date was fixed by the order of December 1966, so the first 建国記念の日 was kept in
      // 1967; 1966-02-11 was an ordinary day.
      if (y >= 1967 && d.day == 11) name = "建国記念の日";
      if (y == 1989 && d.day == 24) name = "昭和天皇の大喪の礼";
      if (y >= 2020 && d.day == 23) name = "天皇誕生日";
      break;
    case 3:
      if (InYears(y, 1874, 1949) && d.day == SpringEquinoxDay(y)) name = "春季皇霊祭";
      if (y >= 1949 && d.day == SpringEquinoxDay(y)) name = "春分の日";
      break;
    case 4:
      if (InYears(y, 1874, 1949) && d.day == 3) name = "神武天皇祭";
      if (y == 1959 && d.day == 10) name = "皇太子明仁親王の結婚の儀";
      if (InYears(y, 1927, 1949) && d.day == 29) name = "天長節";
      if (InYears(y, 1949, 1989) && d.day == 29) name = "天皇誕生日";
      if (InYears(y, 1989, 2007) && d.day == 29) name = "みどりの日";
      if (y >= 2007 && d.day == 29) name = "昭和の日";
      break;
    case 5:
      if (y == 2019 && d.day == 1) name = "天皇の即位の日";
      if (y >= 1949 && d.day == 3) name = "憲法記念日";
      // From 1986 to 2006 May 4 is a holiday only as the day between two holidays.
      if (y >= 2007 && d.day == 4) name = "みどりの日";
      if (y >= 1949 && d.day == 5) name = "こどもの日";
      break;
    case 6:
      if (y == 1993 && d.day == 9) name = "皇太子徳仁親王の結婚の儀";
      break;
    case 7:
      if (InYears(y, 1996, 2003) && d.day == 20) name = "海の日";
      // In 2020 and 2021 the Olympic year law moved 海の日 and スポーツの日 next to the opening
      // of the games.
      if (y >= 2003 && y != 2020 && y != 2021 && IsMondayBetween(d, 15, 21)) name = "海の日";
      if ((y == 2020 && d.day == 23) || (y == 2021 && d.day == 22)) name = "海の日";
      if ((y == 2020 && d.day == 24) || (y == 2021 && d.day == 23)) name = "スポーツの日";
      if (InYears(y, 1913, 1927) && d.day == 30) name = "明治天皇祭";
      break;
    case 8:
      if (y >= 2016 && y != 2020 && y != 2021 && d.day == 11) name = "山の日";
      if ((y == 2020 && d.day == 10) || (y == 2021 && d.day == 8)) name = "山の日";
      break;
    case 9:
      if (InYears(y, 1966, 2003) && d.day == 15) name = "敬老の日";
      if (y >= 2003 && IsMondayBetween(d, 15, 21)) name = "敬老の日";
      if (InYears(y, 1878, 1948) && d.day == AutumnEquinoxDay(y)) name = "秋季皇霊祭";
      if (y >= 1948 && d.day == AutumnEquinoxDay(y)) name = "秋分の日";
      if (InYears(y, 1874, 1879) && d.day == 17) name = "神嘗祭";
      break;
    case 10:
      if (InYears(y, 1966, 2000) && d.day == 10) name = "体育の日";
      if (InYears(y, 2000, 2020) && IsMondayBetween(d, 8, 14)) name = "体育の日";
      if (y >= 2022 && IsMondayBetween(d, 8, 14)) name = "スポーツの日";
      if (InYears(y, 1878, 1948) && d.day == 17) name = "神嘗祭";
      if (y == 2019 && d.day == 22) name = "即位礼正殿の儀";
      if (InYears(y, 1913, 1927) && d.day == 31) name = "天長節祝日";
      break;
    case 11:
      if (InYears(y, 1873, 1927) && d.day == 3) name = "天長節";
      if (InYears(y, 1927, 1948) && d.day == 3) name = "明治節";
      if (y >= 1948 && d.day == 3) name = "文化の日";
      if ((y == 1915 || y == 1928) && d.day == 10) name = "即位ノ禮";
      if (y == 1990 && d.day == 12) name = "即位礼正殿の儀";
      if ((y == 1915 || y == 1928) && d.day == 14) name = "大嘗祭";
      if ((y == 1915 || y == 1928) && d.day == 16) name = "即位禮及大嘗祭後大饗第一日";
      if (InYears(y, 1873, 1948) && d.day == 23) name = "新嘗祭";
      if (y >= 1948 && d.day == 23) name = "勤労感謝の日";
      break;
    case 12:
      if (InYears(y, 1989, 2019) && d.day == 23) name = "天皇誕生日";
      if (InYears(y, 1927, 1948) && d.day == 25) name = "大正天皇祭";
      break;
    default:
      break;
  }
  return name;
}

bool IsOwnHoliday(const CalendarDay& d) {
  return !OwnHolidayName(d).empty();
}

// True when d, not a holiday itself, is the substitute holiday of a holiday on a Sunday. The rule
// took effect on 1973-04-12, so a Sunday holiday before that day (1973-02-11) gives none; until
// 2006 the substitute is the next day only, lost when that day is a holiday itself (May 5 after
// May 4 on a Sunday); from 2007 it is the first following day that is not a holiday, which after
// May 3 or May 4 on a Sunday is May 6. The rule also gives the substitutes after 元日 (1978-01-02)
// and after 憲法記念日 (1981-05-04, May 4 on a Monday from 1986 to 2006).
bool IsSubstituteHoliday(const CalendarDay& d) {
  if (d.year >= 2007) {
    for (int back = 1; back <= 7; ++back) {
      const CalendarDay before = Shifted(d, -back);
      if (!IsOwnHoliday(before)) return false;
      if (before.weekday == kSunday) return true;
    }
    return false;
  }
  const CalendarDay before = Shifted(d, -1);
  return before.Key() >= 19730412 && before.weekday == kSunday && IsOwnHoliday(before);
}

// True when d, not a holiday itself, lies between two holidays (the rule took effect on
// 1985-12-27). Until 2006 a Sunday or a substitute holiday is not such a day, so May 4 from 1986
// to 2006 is one only when it is neither a Sunday nor a Monday. This is also the day between
// 敬老の日 and 秋分の日 (2009-09-22) and the days around 2019-05-01.
bool IsDayBetweenHolidays(const CalendarDay& d) {
  if (d.Key() < 19851227) return false;
  if (!IsOwnHoliday(Shifted(d, -1)) || !IsOwnHoliday(Shifted(d, 1))) return false;
  if (d.year >= 2007) return true;
  return d.weekday != kSunday && !IsSubstituteHoliday(d);
}

}  // namespace

std::string HolidayName(int year, int month, int day, int weekday) {
  if (month < 1 || month > 12 || day < 1 || day > 31 || weekday < kMonday || weekday > kSunday ||
      !ToYmd(year, month, day).ok()) {
    return "";
  }
  const CalendarDay d{year, month, day, weekday};
  if (const std::string_view own = OwnHolidayName(d); !own.empty()) return std::string(own);
  if (IsSubstituteHoliday(d)) return std::string(kSubstituteHoliday);
  if (IsDayBetweenHolidays(d)) return std::string(kCitizensHoliday);
  return "";
}

std::string HolidayName(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > 31 || !ToYmd(year, month, day).ok()) return "";
  const chr::weekday weekday{chr::sys_days{ToYmd(year, month, day)}};
  return HolidayName(year, month, day, static_cast<int>(weekday.iso_encoding()));
}

}  // namespace lanereport
