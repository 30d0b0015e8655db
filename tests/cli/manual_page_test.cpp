#include "ManualPage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CommandTable.h"
#include "TempDir.h"
#include "start/StartUp.h"

namespace lanereport::cli {
namespace {

using Words = std::vector<std::string>;

std::string ManualPage() {
  std::ostringstream out;
  WriteManualPage(out, "9.8.7", "2026-01-02");
  return out.str();
}

// The lines of text split at line ends.
Words Lines(const std::string& text) {
  Words lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(UsageWords, OptionsAreTakenOnceInTheirOrder) {
  EXPECT_EQ(OptionsOfUsage("使い方: lanereport x DB --bowler NAME [--out DIR] [--keep]\n"
                           "          [--out DIR] [--jet3-code-page CP]"),
            (Words{"--bowler", "--out", "--keep", "--jet3-code-page"}));
  // The "--" that ends the options, and words that only hold "--", are no options.
  EXPECT_EQ(OptionsOfUsage("lanereport init -- -odd.db a--b ---x"), Words{});
  EXPECT_EQ(OptionsOfUsage("--period | --count N"), (Words{"--period", "--count"}));
  EXPECT_EQ(OptionsOfUsage("（--html でそのページも）"), Words{"--html"});
}

TEST(UsageWords, KeywordsAreTheLowerCaseWordsOfferedInBrackets) {
  EXPECT_EQ(KeywordsOfUsage(UsageOf("sheets")), (Words{"list", "show", "delete", "add", "update"}));
  // Placeholders are upper case, options start with "-", file names are no keywords.
  EXPECT_EQ(KeywordsOfUsage("lanereport x FILE.mdb [NEW.db] [--password PW] [KEY=VALUE ...] "
                            "[DIR] [オプション] | --count N [x.db]"),
            Words{});
  EXPECT_EQ(KeywordsOfUsage("[ list |\n  show ]"), (Words{"list", "show"}));
}

TEST(RoffText, EscapesWhatRoffWouldTakeForItsOwn) {
  EXPECT_EQ(RoffText("--out DIR"), "\\-\\-out DIR");
  EXPECT_EQ(RoffText("a\\b"), "a\\eb");
  EXPECT_EQ(RoffText(".hidden\n'quote\nmid.dle'"), "\\&.hidden\n\\&'quote\nmid.dle'");
  EXPECT_EQ(RoffText("ボウラー"), "ボウラー");
}

TEST(ManualPage, NamesEveryCommandWithItsSummaryAndWholeUsage) {
  std::string page = ManualPage();
  Words lines = Lines(page);
  for (const CommandEntry& entry : CommandTable()) {
    SCOPED_TRACE(entry.name);
    std::string tag = ".B " + RoffText(entry.name);
    auto at = std::find(lines.begin(), lines.end(), tag);
    ASSERT_NE(at, lines.end());
    ASSERT_LT(at + 1, lines.end());
    EXPECT_EQ(*(at + 1), RoffText(entry.summary));
    // The usage follows as written, line for line, as --help prints it.
    Words usage = Lines(entry.usage);
    auto first = std::search(
        lines.begin(), lines.end(), usage.begin(), usage.end(),
        [](const std::string& man, const std::string& help) { return man == RoffText(help); });
    EXPECT_NE(first, lines.end());
    for (const std::string& option : OptionsOfUsage(entry.usage))
      EXPECT_NE(page.find(RoffText(option)), std::string::npos) << option;
  }
}

TEST(ManualPage, HasTheSectionsAManualPageNeeds) {
  std::string page = ManualPage();
  EXPECT_NE(page.find(".TH LANEREPORT 1 \"2026-01-02\" \"lanereport 9.8.7\""), std::string::npos);
  EXPECT_NE(page.find(".SH NAME\nlanereport \\- "), std::string::npos);
  for (const char* section : {".SH SYNOPSIS", ".SH DESCRIPTION", ".SH コマンド",
                              ".SH 終了ステータス", ".SH FILES", ".SH ENVIRONMENT"})
    EXPECT_NE(page.find(section), std::string::npos) << section;
  Words lines = Lines(page);
  for (const char* status : {".B 0", ".B 1", ".B 2", ".B 3", ".B 130", ".B 143, 129"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), status), lines.end()) << status;
  for (const StartModeEntry& mode : StartModeTable())
    EXPECT_NE(std::find(lines.begin(), lines.end(), ".B /m" + std::to_string(mode.option)),
              lines.end());
  for (const char* name : {"LANEREPORT_HOME", "XDG_CONFIG_HOME", "ZEPA.INI", "DialogBox.ini"})
    EXPECT_NE(page.find(name), std::string::npos) << name;
  // No line of text starts as a request would.
  for (const std::string& line : lines)
    if (!line.empty() && line[0] == '\'') ADD_FAILURE() << line;
}

// Runs the completion in bash for the words typed so far (the last one being completed) and
// returns what it offers.
std::string Complete(const std::string& script, const Words& typed) {
  std::string words;
  for (const std::string& w : typed) words += " '" + w + "'";
  std::string command =
      "bash -c 'source \"$0\"; COMP_WORDS=(lanereport \"$@\"); COMP_CWORD=$#; _lanereport; "
      "echo \"${COMPREPLY[*]}\"' " +
      script + words;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "(no bash)";
  std::string out;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  ::pclose(pipe);
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

TEST(BashCompletion, OffersTheCommandsAndEachCommandsOptions) {
  testing::TempDir dir;
  std::string script = dir.File("lanereport");
  {
    std::ofstream out(script);
    WriteBashCompletion(out);
  }
  std::string all;
  for (const CommandEntry& entry : CommandTable()) {
    SCOPED_TRACE(entry.name);
    all += (all.empty() ? "" : " ") + std::string(entry.name);
    Words options = OptionsOfUsage(entry.usage);
    options.push_back("--help");
    std::string expected;
    for (const std::string& o : options) expected += (expected.empty() ? "" : " ") + o;
    EXPECT_EQ(Complete(script, {entry.name, "x.db", "--"}), expected);
    // After "--" nothing is an option any more.
    EXPECT_EQ(Complete(script, {entry.name, "--", "-"}), "");
  }
  EXPECT_EQ(Complete(script, {""}), all + " help --help --version");
  EXPECT_EQ(Complete(script, {"help", ""}), all);
  EXPECT_EQ(Complete(script, {"sheets", "x.db", "s"}), "show");
  EXPECT_EQ(Complete(script, {"sheets", "x.db", "show", "s"}), "");
  std::string modes;
  for (const StartModeEntry& mode : StartModeTable())
    modes += (modes.empty() ? "" : " ") + ("/m" + std::to_string(mode.option));
  EXPECT_EQ(Complete(script, {"/m"}), modes);
  EXPECT_EQ(Complete(script, {"/m1", "/"}), "/d");
}

}  // namespace
}  // namespace lanereport::cli
