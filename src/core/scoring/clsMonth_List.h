#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "database/KeyedList.h"

namespace lanereport {

// One month of a bowler's monthly averages: "YYYYMM" and whether a monthly table page exists
// for it (the bowler has games in that month).
class clsMonth_Data {
 public:
  const std::string& Month() const { return month_; }
  void Month(std::string_view value) { month_ = std::string(value); }
  bool Link() const { return link_; }
  void Link(bool value) { link_ = value; }

 private:
  std::string month_;
  bool link_ = false;
};

// The months of one bowler, keyed by month, with the earliest and latest month ever given and
// the bowler's number. Positions count from 0.
class clsMonth_List {
 public:
  // Adds the month under the key. When the key is present already the new record is dropped,
  // and its Link is carried over to the present one unless that is linked already (a month
  // once linked stays linked).
  void Additem(std::unique_ptr<clsMonth_Data> record, std::string key);
  clsMonth_Data& Item(std::size_t index) { return list_.Item(index); }
  // Raises kErrNoData when no month has the key.
  clsMonth_Data& Item(std::string_view key) { return list_.Item(key); }
  clsMonth_Data* Find(std::string_view key) { return list_.Find(key); }
  KeyedList<clsMonth_Data>& LIST() { return list_; }
  std::size_t Count() const { return list_.Count(); }
  void Remove(std::size_t index) { list_.Remove(index); }
  void Remove(std::string_view key) { list_.Remove(key); }

  long Number() const { return number_; }
  void Number(long value) { number_ = value; }
  // "YYYY/MM". The setters take "YYYYMM": Sttdt keeps the smallest month given (starting from
  // 999999), Enddt the largest (starting from 000000); a value that is not a number is ignored.
  std::string Sttdt() const;
  void Sttdt(std::string_view yyyymm);
  std::string Enddt() const;
  void Enddt(std::string_view yyyymm);

 private:
  KeyedList<clsMonth_Data> list_;
  long number_ = 0;
  std::string sttdt_ = "999999";
  std::string enddt_ = "000000";
};

}  // namespace lanereport
