#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lanereport::fuzz {

// What the fuzz targets share: a private folder for the files they hand to the code under test,
// and a way to report a broken promise so that libFuzzer keeps the input as a crash.

// The process's own folder, made on first use (under /dev/shm when there is one, so database
// and workbook files cost no disk writes) and removed with its files by the next run at the
// latest.
const std::string& FuzzFolder();

// Writes bytes whole to the file name inside FuzzFolder() through MakeFile and returns its
// path. The file may exist already (the previous input) and may be read-only.
std::string WriteFuzzFile(std::string_view name, std::string_view bytes);

// The fuzzer's input as text.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Prints what promise of the code under test the input broke and aborts, which libFuzzer
// reports as a crash and keeps the input for.
[[noreturn]] void Broken(std::string_view what, std::string_view detail = "");

}  // namespace lanereport::fuzz

// Checks a promise of the code under test; a broken one ends the run as a crash.
#define FUZZ_CHECK(condition, detail)                                   \
  do {                                                                  \
    if (!(condition)) ::lanereport::fuzz::Broken(#condition, (detail)); \
  } while (false)
