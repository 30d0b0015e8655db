#pragma once

#include <stdexcept>
#include <string>

namespace lanereport {

// The object-error base of the error numbers the program raises.
inline constexpr long kObjectErrorBase = -2147221504;
// A value refused by a property, a missing required field, a row that cannot be read.
inline constexpr long kErrInvalidValue = kObjectErrorBase + 1001;  // -2147220503
// A row that is missing, duplicated or ambiguous.
inline constexpr long kErrNoData = kObjectErrorBase + 1002;  // -2147220502
// Failures of the database engine, the file system and the spreadsheet files.
inline constexpr long kErrEngine = 3000;
inline constexpr long kErrFile = 75;

// The one error type of the program: a number, a source ("[clsBowler_Data]Update") and a
// Japanese description that the front end shows to the user as it stands.
class AppError : public std::runtime_error {
 public:
  AppError(long number, std::string source, std::string description)
      : std::runtime_error(description),
        number_(number),
        source_(std::move(source)),
        description_(std::move(description)) {}

  long Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  long number_;
  std::string source_;
  std::string description_;
};

// For a caller that takes a failed selection as none: rethrows the error in hand when it is the
// database engine's. A damaged, unreadable or locked database is a failure of the run, never
// "no data". Call only inside a catch handler.
inline void RethrowEngineError(const AppError& error) {
  if (error.Number() == kErrEngine) throw;
}

}  // namespace lanereport
