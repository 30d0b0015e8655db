#pragma once

#include <string>
#include <string_view>

namespace lanereport {

// Where the score and monthly pages of a bowler go, and how a page reaches the disk.
//
//   {output folder}/{database name}{yyyy}/{sub folder}/{yyyymmdd}{centre Id}{level Id}.html
//   {output folder}/{database name}{yyyy}/{sub folder}/{yyyymm}.html
//
// The database name is DbNameOf of the score database, the year that of the page's date, the
// sub folder the bowler's Aname. A page therefore lies two levels below the output folder, and
// "../../" in it leads back to the output folder.

// The folder of a bowler's pages of one year, without a trailing "/".
std::string YearFolder(std::string_view out_folder, std::string_view db_name, std::string_view yyyy,
                       std::string_view sub_folder);

// "{yyyymmdd}{alley_id}{level_id}.html": the score table page of a play; monthly pages link to
// it by this name.
std::string ScorePageFileName(std::string_view yyyymmdd, long alley_id, long level_id);

// "{yyyymm}.html": the monthly table page of a month.
std::string MonthlyPageFileName(std::string_view yyyymm);

// Raises UnsafeNameError (util/PlainName.h), naming the bowler and the value, unless the
// bowler's Aname can be the sub folder of the pages: one plain folder name.
void RequireBowlerFolder(std::string_view bowler, std::string_view sub_folder);

// Raises UnsafeNameError unless "{db_name}{yyyy}" can be a year folder, one plain folder name,
// for every year of four digits.
void RequireYearFolder(std::string_view db_name);

// Writes a page given as UTF-8 text to path in code page 932, characters the code page cannot
// hold as numeric character references, with MakeFile: the folders are made, the file is
// replaced whole (also a read-only one) or left as it was. Raises AppError (kErrFile) naming
// the path when it cannot be written.
void WritePage(std::string_view path, std::string_view utf8_text);
// The same for a page of a run, recorded as written in the run's file existence; on the run's
// writer thread when it has one (errors then come with a later page or the writer's Finish).
// When the context makes pages ahead, the page goes into its stage instead, with the games it
// draws (drawn).
struct PageContext;
void WritePage(PageContext& context, std::string_view path, std::string_view utf8_text,
               long drawn = 0);

// The page of path that the run's stage holds made ahead, or null (also without a stage).
struct StagedPage;
const StagedPage* MadeAhead(const PageContext& context, const std::string& path);
// Puts the page made ahead for path in place, as WritePage writes a page of the run (on the
// writer thread when the run has one), and takes it out of the stage.
void WriteMadeAhead(PageContext& context, const std::string& path);

}  // namespace lanereport
