#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport::cli {

// One subcommand: its name and the function that runs it with the words after the name.
// A subcommand returns the exit status; AppError escaping it becomes exit status 1 with the
// error's description on standard error.
using CommandFunction = int (*)(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

struct CommandEntry {
  const char* name;
  CommandFunction run;
  const char* summary;  // one line on what the command does, for the command list
  const char* usage;    // "使い方: lanereport NAME ...", possibly several lines
};

// The subcommands in the order the command list shows them.
const std::vector<CommandEntry>& CommandTable();
// The entry of the subcommand of that name, or null.
const CommandEntry* FindCommand(std::string_view name);
// The usage text of the subcommand of that name ("" for an unknown name).
const char* UsageOf(std::string_view name);

// The subcommands, each in its own file pair.
int RunInit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunImportMdb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunBowlers(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunSampleDb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunScorePages(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunScorePage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunMonthlyPages(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunIndexPages(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunProfilePages(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunWorkbook(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunBulk(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunSheets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunImportGames(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunExportGames(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace lanereport::cli
