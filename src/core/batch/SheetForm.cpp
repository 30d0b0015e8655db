#include "batch/SheetForm.h"

#include <memory>

#include "batch/OutputChoices.h"
#include "database/clsS_OUTPUT_List.h"
#include "util/DateText.h"
#include "util/StringUtil.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {
namespace {

// The leading number of a text as a number field reads it ("30 Game" is 30); 0 for none.
long LeadingNumber(std::string_view text) {
  text = Trim(text);
  std::size_t end = 0;
  if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  auto number = ParseInteger(text.substr(0, end));
  return number ? static_cast<long>(*number) : 0;
}

// A stored date field: empty while it floats, or when the date is today's.
std::string StoredDate(bool open, const std::string& text, CivilDate today) {
  if (open) return "";
  std::optional<std::string> ymd = ParseDateToYmd(text);
  if (ymd && YmdToSlashed(*ymd) == SlashedDate(today)) return "";
  return ymd ? YmdToSlashed(*ymd) : std::string(Trim(text));
}

template <class F>
void Ignoring(F&& step) {
  try {
    step();
  } catch (const AppError&) {
  }
}

}  // namespace

SheetForm SheetToForm(clsS_OUTPUT_List& list, std::string_view name, CivilDate today, bool* found) {
  SheetForm form;
  clsS_OUTPUT_Data* d = list.Find(name);
  if (found) *found = d != nullptr;
  if (d) {
    form.id = std::to_string(d->Id());
    form.name = d->Sheetname();
    form.alley = d->AlleyName();
    form.level = d->LevelName();
    form.by_count = d->Pastcount() > 0;
    form.past_count = std::to_string(d->Pastcount());
    form.start_date = d->StartDate().empty() ? "" : YmdToSlashed(d->StartDate());
    form.end_date = d->EndDate().empty() ? "" : YmdToSlashed(d->EndDate());
    for (std::size_t i = 0; i < form.switches.size(); ++i) form.switches[i] = d->SwitchValue(i);
  }
  if (Trim(form.alley).empty()) form.alley = kBlankChoice;
  if (Trim(form.level).empty()) form.level = kBlankChoice;
  if (form.start_date.empty()) {
    form.start_date = YearText(today) + "/01/01";
    form.start_open = true;
  }
  if (form.end_date.empty()) {
    form.end_date = YearText(today) + "/12/31";
    form.end_open = true;
  }
  return form;
}

std::optional<AppError> FormToSheet(Database& db, clsS_OUTPUT_List& list, const SheetForm& form,
                                    CivilDate today) {
  std::string name(Trim(form.name));
  clsS_OUTPUT_Data* found = list.Find(name);
  std::unique_ptr<clsS_OUTPUT_Data> fresh;
  if (!found) fresh = std::make_unique<clsS_OUTPUT_Data>(db);
  clsS_OUTPUT_Data& d = found ? *found : *fresh;

  Ignoring([&] { d.Id(LeadingNumber(form.id)); });
  Ignoring([&] { d.Sheetname(name); });
  Ignoring([&] { d.AlleyName(std::string(Trim(form.alley))); });
  Ignoring([&] { d.LevelName(std::string(Trim(form.level))); });
  long past_count = LeadingNumber(form.past_count);
  Ignoring([&] { d.Pastcount(past_count); });
  Ignoring([&] { d.Condition(past_count <= 0); });
  Ignoring([&] { d.StartDate(StoredDate(form.start_open, form.start_date, today)); });
  Ignoring([&] { d.EndDate(StoredDate(form.end_open, form.end_date, today)); });
  for (std::size_t i = 0; i < form.switches.size(); ++i)
    Ignoring([&] { d.SwitchValue(i, form.switches[i]); });
  try {
    if (found)
      d.Update();
    else
      d.Add();
  } catch (const AppError& e) {
    return e;
  }
  return std::nullopt;
}

}  // namespace lanereport
