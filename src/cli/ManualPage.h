#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport::cli {

// The manual page lanereport(1) and the bash completion, both made from the command table (and
// the windows' start options from StartModeTable), so neither can say other than --help.
// The build writes them with make_manual (src/cli/manual/).

// The options a usage text names ("--out", "--bowler"), in their first order, each once; the
// "--" that ends the options is none.
std::vector<std::string> OptionsOfUsage(std::string_view usage);

// The fixed words a usage text offers in brackets or as alternatives ("list" and "show" of
// "[list | show NAME]"): lower-case words right after "[" or "|".
std::vector<std::string> KeywordsOfUsage(std::string_view usage);

// Text as roff shows it: backslashes and hyphens escaped, a line starting with "." or "'" kept
// from being taken as a request.
std::string RoffText(std::string_view text);

// The manual page in roff (man macros); version for its header, date ("YYYY-MM-DD") for its
// footer.
void WriteManualPage(std::ostream& out, std::string_view version, std::string_view date);

// The bash completion of lanereport: the commands, each one's options and fixed words, the
// windows' start options.
void WriteBashCompletion(std::ostream& out);

}  // namespace lanereport::cli
