#pragma once

#include <string>

#include "util/AppError.h"

namespace lanereport {

class RowView;
struct ResultColumns;

// A row of Result_Data that could not be read as a game (error is what the record raised):
// reports it to the run's ReadProblemLog with one line naming the bowler, date, centre, level,
// game number, the column at fault and its value (control characters shown, long texts cut).
// False when no log is in force: the caller then refuses the whole selection.
bool ReportUnreadableGame(const RowView& row, const ResultColumns& columns, const AppError& error);

}  // namespace lanereport
