#include "scoring/clsMonth_List.h"

#include "util/StringUtil.h"

namespace lanereport {
namespace {

std::string Slashed(const std::string& yyyymm) {
  return yyyymm.substr(0, 4) + "/" + (yyyymm.size() > 4 ? yyyymm.substr(4, 2) : std::string());
}

}  // namespace

void clsMonth_List::Additem(std::unique_ptr<clsMonth_Data> record, std::string key) {
  if (clsMonth_Data* present = list_.Find(key)) {
    if (!present->Link()) present->Link(record->Link());
    return;
  }
  list_.Additem(std::move(record), std::move(key));
}

std::string clsMonth_List::Sttdt() const {
  return Slashed(sttdt_);
}

void clsMonth_List::Sttdt(std::string_view yyyymm) {
  auto value = ParseNumber(yyyymm);
  auto stored = ParseNumber(sttdt_);
  if (value && (!stored || *value <= *stored)) sttdt_ = std::string(yyyymm);
}

std::string clsMonth_List::Enddt() const {
  return Slashed(enddt_);
}

void clsMonth_List::Enddt(std::string_view yyyymm) {
  auto value = ParseNumber(yyyymm);
  auto stored = ParseNumber(enddt_);
  if (value && (!stored || *value >= *stored)) enddt_ = std::string(yyyymm);
}

}  // namespace lanereport
