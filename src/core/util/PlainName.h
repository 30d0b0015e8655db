#pragma once

#include <string>
#include <string_view>

#include "util/AppError.h"

namespace lanereport {

// Folder and file names the program makes from stored values (a bowler's Aname, a play date,
// a sheet name, the database name). The score database is shared with other programs and may
// hold anything, so each such name must stay one plain name inside the output folder.

// The longest file or folder name the file systems the program writes to take, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// Why name is not one plain file name, in Japanese ("" when it is one): it must not be empty,
// "." or "..", hold "/" or "\" or a control character, or be longer than kMaxFileNameBytes.
std::string PlainFileNameProblem(std::string_view name);
inline bool IsPlainFileName(std::string_view name) {
  return PlainFileNameProblem(name).empty();
}

// The refusal of a name that cannot be one plain file name. It is an AppError numbered
// kErrInvalidValue, so it is shown like any refused value; runs over many bowlers catch this
// type to skip the bowler and go on.
class UnsafeNameError : public AppError {
 public:
  using AppError::AppError;
};

// Raises UnsafeNameError unless name is one plain file name. subject says whose value it is
// ("ボウラー「山田」のフォルダ名"), value is the stored value the message names (shown through
// VisibleText, so its control characters appear as \t or \xNN), and source is the operation.
void RequirePlainFileName(std::string_view name, std::string_view subject, std::string_view value,
                          std::string_view source);

}  // namespace lanereport
