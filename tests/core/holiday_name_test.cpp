#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "calendar/HolidayName.h"

namespace lanereport {
namespace {

namespace chr = std::chrono;

// Monday = 1 ... Sunday = 7, from the standard library's calendar.
int IsoWeekday(int year, int month, int day) {
  const chr::year_month_day ymd{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                                chr::day{static_cast<unsigned>(day)}};
  return static_cast<int>(chr::weekday{chr::sys_days{ymd}}.iso_encoding());
}

// The routine's answer for a date, given the weekday the calendar grid would give.
std::string NameOn(int year, int month, int day) {
  return HolidayName(year, month, day, IsoWeekday(year, month, day));
}

// The Cabinet Office list of national holidays and holidays (tests/data/syukujitsu.csv), keyed
// by yyyymmdd.
std::map<int, std::string> ReadPublishedList() {
  std::map<int, std::string> list;
  std::ifstream in(std::string(LANEREPORT_TEST_DATA_DIR) + "/syukujitsu.csv");
  if (!in) {
    ADD_FAILURE() << "cannot open the published holiday list";
    return list;
  }
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "国民の祝日・休日月日,国民の祝日・休日名称");
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    int year = 0;
    int month = 0;
    int day = 0;
    char slash1 = 0;
    char slash2 = 0;
    char comma = 0;
    std::istringstream fields(line);
    fields >> year >> slash1 >> month >> slash2 >> day >> comma;
    std::string name;
    std::getline(fields, name);
    if (fields.fail() || slash1 != '/' || slash2 != '/' || comma != ',' || name.empty()) {
      ADD_FAILURE() << "unreadable row of the published list: " << line;
      continue;
    }
    const bool added = list.emplace(year * 10000 + month * 100 + day, name).second;
    EXPECT_TRUE(added) << "date listed twice: " << line;
  }
  return list;
}

// The names the routine may give for a name of the published list. The list calls every
// substitute and in-between day "休日", the enthronement days of 2019 "休日（祝日扱い）", and
// shortens the names of the ceremony days.
std::set<std::string> AcceptedNames(const std::string& listed) {
  if (listed == "休日") return {"振替休日", "国民の休日"};
  if (listed == "休日（祝日扱い）") return {"天皇の即位の日", "即位礼正殿の儀"};
  if (listed == "結婚の儀") return {"皇太子明仁親王の結婚の儀", "皇太子徳仁親王の結婚の儀"};
  if (listed == "大喪の礼") return {"昭和天皇の大喪の礼"};
  // 2019 lists the day under both names; the law renamed it from 2020.
  if (listed == "体育の日（スポーツの日）") return {"体育の日"};
  return {listed};
}

TEST(HolidayNameTest, EveryDayFrom1955To2027FollowsThePublishedList) {
  const std::map<int, std::string> list = ReadPublishedList();
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.begin()->first / 10000, 1955);
  EXPECT_EQ(list.rbegin()->first / 10000, 2027);

  std::size_t listedDaysSeen = 0;
  int wrongDays = 0;
  const chr::sys_days last{chr::year{2027} / 12 / 31};
  for (chr::sys_days day{chr::year{1955} / 1 / 1}; day <= last; day += chr::days{1}) {
    const chr::year_month_day ymd{day};
    const int y = static_cast<int>(ymd.year());
    const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
    const int weekday = static_cast<int>(chr::weekday{day}.iso_encoding());
    const std::string got = HolidayName(y, m, d, weekday);
    const auto listed = list.find(y * 10000 + m * 100 + d);
    bool right = false;
    if (listed == list.end()) {
      right = got.empty();
    } else {
      ++listedDaysSeen;
      right = AcceptedNames(listed->second).contains(got);
    }
    if (!right && ++wrongDays <= 50) {
      ADD_FAILURE() << y << "-" << m << "-" << d << " (weekday " << weekday << "): listed \""
                    << (listed == list.end() ? std::string() : listed->second) << "\", got \""
                    << got << "\"";
    }
  }
  EXPECT_EQ(wrongDays, 0);
  EXPECT_EQ(listedDaysSeen, list.size());
}

TEST(HolidayNameTest, OverloadWithoutWeekdayTakesItFromTheCalendar) {
  const chr::sys_days last{chr::year{2030} / 12 / 31};
  for (chr::sys_days day{chr::year{1870} / 1 / 1}; day <= last; day += chr::days{1}) {
    const chr::year_month_day ymd{day};
    const int y = static_cast<int>(ymd.year());
    const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    const int d = static_cast<int>(static_cast<unsigned>(ymd.day()));
    const int weekday = static_cast<int>(chr::weekday{day}.iso_encoding());
    ASSERT_EQ(HolidayName(y, m, d), HolidayName(y, m, d, weekday)) << y << "-" << m << "-" << d;
  }
}

TEST(HolidayNameTest, DayBetweenRespectForTheAgedDayAndTheEquinoxIsACitizensHoliday) {
  EXPECT_EQ(NameOn(2009, 9, 21), "敬老の日");
  EXPECT_EQ(NameOn(2009, 9, 22), "国民の休日");
  EXPECT_EQ(NameOn(2009, 9, 23), "秋分の日");
  EXPECT_EQ(NameOn(2015, 9, 22), "国民の休日");
  EXPECT_EQ(NameOn(2026, 9, 22), "国民の休日");
}

TEST(HolidayNameTest, NoCitizensHolidayWhenTheDaysDoNotLineUp) {
  EXPECT_EQ(NameOn(2004, 9, 20), "敬老の日");
  EXPECT_EQ(NameOn(2004, 9, 21), "");
  EXPECT_EQ(NameOn(2004, 9, 22), "");
  EXPECT_EQ(NameOn(2004, 9, 23), "秋分の日");
}

TEST(HolidayNameTest, ResultDoesNotDependOnTheOrderOfCalls) {
  std::vector<std::string> descending;
  for (int day = 30; day >= 1; --day) descending.push_back(NameOn(2009, 9, day));
  std::vector<std::string> ascending;
  for (int day = 1; day <= 30; ++day) ascending.push_back(NameOn(2009, 9, day));
  ASSERT_EQ(descending.size(), ascending.size());
  for (std::size_t i = 0; i < ascending.size(); ++i) {
    EXPECT_EQ(ascending[i], descending[descending.size() - 1 - i]) << "day " << i + 1;
  }
  EXPECT_EQ(descending[30 - 22], "国民の休日");
  // Asked alone, after days of other months.
  EXPECT_EQ(NameOn(2004, 9, 21), "");
  EXPECT_EQ(NameOn(2009, 9, 22), "国民の休日");
}

TEST(HolidayNameTest, SundayHolidayInMayGivesSubstituteOnMaySixth) {
  EXPECT_EQ(NameOn(2008, 5, 4), "みどりの日");  // a Sunday
  EXPECT_EQ(NameOn(2008, 5, 5), "こどもの日");
  EXPECT_EQ(NameOn(2008, 5, 6), "振替休日");
  EXPECT_EQ(NameOn(2009, 5, 6), "振替休日");  // after May 3 on a Sunday
  EXPECT_EQ(NameOn(2024, 5, 6), "振替休日");  // after May 5 on a Sunday
  EXPECT_EQ(NameOn(2023, 5, 6), "");
}

TEST(HolidayNameTest, CeremonyDays) {
  EXPECT_EQ(NameOn(1959, 4, 10), "皇太子明仁親王の結婚の儀");
  EXPECT_EQ(NameOn(1989, 2, 24), "昭和天皇の大喪の礼");
  EXPECT_EQ(NameOn(1990, 11, 12), "即位礼正殿の儀");
  EXPECT_EQ(NameOn(1993, 6, 9), "皇太子徳仁親王の結婚の儀");
  EXPECT_EQ(NameOn(1990, 2, 24), "");
  EXPECT_EQ(NameOn(1991, 11, 12), "");
}

TEST(HolidayNameTest, ComingOfAgeDayMovedToTheSecondMondayIn2000) {
  EXPECT_EQ(NameOn(2000, 1, 10), "成人の日");
  EXPECT_EQ(NameOn(2000, 1, 15), "");
  EXPECT_EQ(NameOn(1999, 1, 15), "成人の日");
}

TEST(HolidayNameTest, EquinoxDays) {
  EXPECT_EQ(NameOn(2002, 3, 20), "");
  EXPECT_EQ(NameOn(2002, 3, 21), "春分の日");
  EXPECT_EQ(NameOn(2002, 9, 23), "秋分の日");
  EXPECT_EQ(NameOn(2002, 9, 24), "");
}

TEST(HolidayNameTest, MountainDayFrom2016) {
  EXPECT_EQ(NameOn(2015, 8, 11), "");
  EXPECT_EQ(NameOn(2016, 8, 11), "山の日");
  EXPECT_EQ(NameOn(2020, 8, 10), "山の日");
  EXPECT_EQ(NameOn(2020, 8, 11), "");
  EXPECT_EQ(NameOn(2021, 8, 8), "山の日");
  EXPECT_EQ(NameOn(2021, 8, 9), "振替休日");
  EXPECT_EQ(NameOn(2021, 8, 11), "");
  EXPECT_EQ(NameOn(2024, 8, 12), "振替休日");
}

TEST(HolidayNameTest, EmperorsBirthdayMovedToFebruaryIn2020) {
  EXPECT_EQ(NameOn(2018, 12, 23), "天皇誕生日");
  EXPECT_EQ(NameOn(2018, 12, 24), "振替休日");
  EXPECT_EQ(NameOn(2019, 12, 23), "");
  EXPECT_EQ(NameOn(2019, 2, 23), "");
  EXPECT_EQ(NameOn(2020, 2, 23), "天皇誕生日");
  EXPECT_EQ(NameOn(2020, 2, 24), "振替休日");
  EXPECT_EQ(NameOn(2020, 12, 23), "");
}

TEST(HolidayNameTest, SportsDayAndMarineDayOfTheOlympicYears) {
  EXPECT_EQ(NameOn(2019, 10, 14), "体育の日");
  EXPECT_EQ(NameOn(2020, 7, 23), "海の日");
  EXPECT_EQ(NameOn(2020, 7, 24), "スポーツの日");
  EXPECT_EQ(NameOn(2020, 7, 20), "");
  EXPECT_EQ(NameOn(2020, 10, 12), "");
  EXPECT_EQ(NameOn(2021, 7, 22), "海の日");
  EXPECT_EQ(NameOn(2021, 7, 23), "スポーツの日");
  EXPECT_EQ(NameOn(2021, 7, 19), "");
  EXPECT_EQ(NameOn(2021, 10, 11), "");
  EXPECT_EQ(NameOn(2022, 7, 18), "海の日");
  EXPECT_EQ(NameOn(2022, 10, 10), "スポーツの日");
}

TEST(HolidayNameTest, EnthronementYear2019) {
  EXPECT_EQ(NameOn(2019, 4, 29), "昭和の日");
  EXPECT_EQ(NameOn(2019, 4, 30), "国民の休日");
  EXPECT_EQ(NameOn(2019, 5, 1), "天皇の即位の日");
  EXPECT_EQ(NameOn(2019, 5, 2), "国民の休日");
  EXPECT_EQ(NameOn(2019, 5, 6), "振替休日");
  EXPECT_EQ(NameOn(2019, 10, 22), "即位礼正殿の儀");
  EXPECT_EQ(NameOn(2020, 5, 1), "");
  EXPECT_EQ(NameOn(2020, 10, 22), "");
}

TEST(HolidayNameTest, SubstituteHolidaysStartOnTheTwelfthOfApril1973) {
  EXPECT_EQ(NameOn(1973, 2, 11), "建国記念の日");  // a Sunday before the rule
  EXPECT_EQ(NameOn(1973, 2, 12), "");
  EXPECT_EQ(NameOn(1973, 4, 30), "振替休日");
  EXPECT_EQ(NameOn(1978, 1, 2), "振替休日");  // after 元日 on a Sunday
  EXPECT_EQ(NameOn(1981, 5, 4), "振替休日");  // after 憲法記念日 on a Sunday
  EXPECT_EQ(NameOn(1966, 2, 11), "");
  EXPECT_EQ(NameOn(1967, 2, 11), "建国記念の日");
}

TEST(HolidayNameTest, MayFourthBetweenTwoHolidaysFrom1986To2006) {
  EXPECT_EQ(NameOn(1985, 5, 4), "");            // a Saturday, before the rule
  EXPECT_EQ(NameOn(1988, 5, 4), "国民の休日");  // a Wednesday
  EXPECT_EQ(NameOn(1992, 5, 4), "振替休日");    // a Monday after May 3 on a Sunday
  EXPECT_EQ(NameOn(1997, 5, 4), "");            // a Sunday
  EXPECT_EQ(NameOn(2006, 5, 4), "国民の休日");
  EXPECT_EQ(NameOn(2007, 5, 4), "みどりの日");
}

TEST(HolidayNameTest, ImperialFeastsBefore1948) {
  EXPECT_EQ(NameOn(1930, 1, 1), "");
  EXPECT_EQ(NameOn(1930, 1, 3), "元始祭");
  EXPECT_EQ(NameOn(1930, 1, 5), "新年宴会");
  EXPECT_EQ(NameOn(1910, 1, 30), "孝明天皇祭");
  EXPECT_EQ(NameOn(1913, 1, 30), "");
  EXPECT_EQ(NameOn(1940, 2, 11), "紀元節");
  EXPECT_EQ(NameOn(1930, 3, 21), "春季皇霊祭");
  EXPECT_EQ(NameOn(1930, 4, 3), "神武天皇祭");
  EXPECT_EQ(NameOn(1930, 4, 29), "天長節");
  EXPECT_EQ(NameOn(1920, 7, 30), "明治天皇祭");
  EXPECT_EQ(NameOn(1876, 9, 17), "神嘗祭");
  EXPECT_EQ(NameOn(1930, 9, 24), "秋季皇霊祭");
  EXPECT_EQ(NameOn(1930, 10, 17), "神嘗祭");
  EXPECT_EQ(NameOn(1920, 10, 31), "天長節祝日");
  EXPECT_EQ(NameOn(1920, 11, 3), "天長節");
  EXPECT_EQ(NameOn(1930, 11, 3), "明治節");
  EXPECT_EQ(NameOn(1928, 11, 10), "即位ノ禮");
  EXPECT_EQ(NameOn(1915, 11, 14), "大嘗祭");
  EXPECT_EQ(NameOn(1928, 11, 16), "即位禮及大嘗祭後大饗第一日");
  EXPECT_EQ(NameOn(1947, 11, 23), "新嘗祭");
  EXPECT_EQ(NameOn(1935, 12, 25), "大正天皇祭");
  EXPECT_EQ(NameOn(1930, 8, 11), "");
}

TEST(HolidayNameTest, NationalHolidaysOfTheLawOf1948) {
  EXPECT_EQ(NameOn(1948, 1, 3), "元始祭");
  EXPECT_EQ(NameOn(1948, 9, 23), "秋分の日");
  EXPECT_EQ(NameOn(1948, 11, 3), "文化の日");
  EXPECT_EQ(NameOn(1948, 11, 23), "勤労感謝の日");
  EXPECT_EQ(NameOn(1949, 1, 1), "元日");
  EXPECT_EQ(NameOn(1950, 4, 29), "天皇誕生日");
  EXPECT_EQ(NameOn(1950, 3, 21), "春分の日");
}

TEST(HolidayNameTest, ImpossibleDatesAndWeekdaysAreNoHoliday) {
  EXPECT_EQ(HolidayName(2023, 2, 30), "");
  EXPECT_EQ(HolidayName(2023, 13, 1), "");
  EXPECT_EQ(HolidayName(2023, 0, 1), "");
  EXPECT_EQ(HolidayName(2023, 1, 0), "");
  EXPECT_EQ(HolidayName(2023, 1, 1, 0), "");
  EXPECT_EQ(HolidayName(2023, 1, 1, 8), "");
  EXPECT_EQ(HolidayName(2023, 1, 1, 7), "元日");
}

}  // namespace
}  // namespace lanereport
