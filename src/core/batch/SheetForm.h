#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "database/clsS_OUTPUT_Data.h"
#include "util/AppError.h"
#include "util/Clock.h"

namespace lanereport {

class Database;
class clsS_OUTPUT_List;

// What the sheet editor of the output window shows of one statistics-sheet definition, as the
// texts and ticks of its controls.
struct SheetForm {
  std::string id;          // lblID: the definition's Id ("" when none is shown)
  std::string name;        // txtSheetName
  std::string alley;       // cboAlley text
  std::string level;       // cboLevel text
  bool by_count = false;   // optCondition 1 "GAME数" (else 0 "期間"); only set for a found one
  std::string past_count;  // txtGameCount
  std::string start_date;  // txtSTTDT, "YYYY/MM/DD"
  std::string end_date;    // txtENDDT, "YYYY/MM/DD"
  // The date fields show the floating default (1 January, 31 December of the current year)
  // rather than a date the user picked.
  bool start_open = false;
  bool end_open = false;
  std::array<bool, clsS_OUTPUT_Data::kSwitchCount> switches{};
};

// The definition named name in the list as the editor shows it; found tells whether the list
// has it. A definition that is not there gives empty texts apart from the defaults: the blank
// marker for an empty centre or level, and the open dates of today's year for empty dates.
SheetForm SheetToForm(clsS_OUTPUT_List& list, std::string_view name, CivilDate today,
                      bool* found = nullptr);

// Stores the form under the name it shows (trimmed): the definition of that name in the list is
// changed, or a new one is added with the next number of counter "Sheets". A refused value is
// skipped and the remaining fields are still taken. An open date, or a date equal to today, is
// stored empty so that it keeps floating. Returns the record class's refusal of the add or
// update (an empty or duplicate name), or nothing when the definition was stored.
std::optional<AppError> FormToSheet(Database& db, clsS_OUTPUT_List& list, const SheetForm& form,
                                    CivilDate today);

}  // namespace lanereport
