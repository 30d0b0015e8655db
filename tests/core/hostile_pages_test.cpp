#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "HostileValues.h"
#include "HtmlTree.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "batch/MakeFlow.h"
#include "database/WindowSettings.h"
#include "pages/ProfilePage.h"
#include "pages/ProfilePageOutput.h"
#include "util/Cp932.h"
#include "workbook/PageFinisher.h"

// The score database is shared with other programs and edited by hand, so any stored text may
// hold markup, script or characters no page can hold as they are. Every page is made here from
// such values and from their plain twins: the two pages must have the same elements and
// attributes, and each text must show as stored.

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// A long text cut down for a failure message.
std::string Abbreviated(const std::string& text) {
  return text.size() <= 200 ? text : text.substr(0, 200) + "…(" + std::to_string(text.size()) + ")";
}

#define EXPECT_SAME_TEXT(actual, expected)                                                      \
  do {                                                                                          \
    const std::string actual_text = (actual);                                                   \
    const std::string expected_text = (expected);                                               \
    EXPECT_TRUE(actual_text == expected_text)                                                   \
        << "shown: " << Abbreviated(actual_text) << "\nstored: " << Abbreviated(expected_text); \
  } while (false)

// The first line where two signatures part, with both versions of it; "" when they are equal.
std::string SignatureDifference(const std::string& page, const std::string& twin,
                                bool with_values = false) {
  std::string a = HtmlTree(page).Signature(with_values);
  std::string b = HtmlTree(twin).Signature(with_values);
  if (a == b) return "";
  std::size_t line = 1, at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) {
    if (a[at] == '\n') ++line;
    ++at;
  }
  auto line_at = [&](const std::string& s) {
    std::size_t start = s.rfind('\n', at == 0 ? 0 : at - 1);
    start = start == std::string::npos || at == 0 ? 0 : start + 1;
    return s.substr(start, s.find('\n', start) - start);
  };
  return "element " + std::to_string(line) + ": from the values «" + line_at(a) +
         "», from their twins «" + line_at(b) + "»";
}

// True when text may stand as it is in an address attribute: no control character, blank or
// character a URL cannot hold ('"', "<", ">", "^", "`", "{", "|", "}"), and every "%" the start
// of an escape. A path segment holds no "/", "\", "?" or "#" either.
bool IsUrlText(std::string_view text, bool segment = false) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c <= 0x20 || c == 0x7F) return false;
    if (std::string_view("\"<>^`{|}").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
    if (segment && std::string_view("/\\?#").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
    if (c == '%' &&
        (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
         !std::isxdigit(static_cast<unsigned char>(text[i + 2]))))
      return false;
  }
  return true;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() &&
        std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// What no stored value may add to a page: a script in the body, an event handler (the profile
// page's body has its own onload), an address a URL cannot hold.
void ExpectNoMarkupFromValues(const std::string& page, bool own_onload = false) {
  HtmlTree tree(page);
  for (const HtmlElement& e : tree.All()) {
    const std::string tag = e.Tag();
    if (tag == "script") {
      EXPECT_FALSE(e.IsInside("body")) << "a script in the body";
    }
    for (const std::string& name : e.AttributeNames()) {
      if (name.starts_with("on")) {
        EXPECT_TRUE(own_onload && tag == "body" && name == "onload") << tag << " " << name;
      }
      if (name == "href" || name == "src") {
        EXPECT_TRUE(IsUrlText(*e.Attribute(name)))
            << tag << " " << name << "=" << Abbreviated(*e.Attribute(name));
      }
    }
  }
}

// No stored text of these pages goes into an attribute but the look settings and the level's
// colour: where the value cannot be one, the page is the one of the defaults, attribute values
// and all.
void ExpectSettingsReplaced(const HostileValue& value, const std::string& page,
                            const std::string& twin) {
  if (!value.address) {
    EXPECT_EQ(SignatureDifference(page, twin, true), "");
  }
}

// The texts of the cells of the table with that summary, in order.
std::vector<std::string> CellTexts(const std::string& page, std::string_view summary) {
  HtmlTree tree(page);
  std::vector<std::string> cells;
  for (const HtmlElement& table : tree.All("table")) {
    if (table.Attribute("summary") != std::string(summary)) continue;
    for (const HtmlElement& td : table.Descendants("td")) cells.push_back(td.TrimmedText());
  }
  return cells;
}

bool HasCell(const std::vector<std::string>& cells, const std::string& text) {
  return std::find(cells.begin(), cells.end(), text) != cells.end();
}

// The pages made from one database.
struct MadePages {
  long score_pages = 0;
  long monthly_pages = 0;
  std::string score;          // the page of the play
  std::string monthly;        // the page of 2024/05
  std::string bowler_index;   // the bowler's page of 2024
  std::string year_index;     // the page of 2024
  std::string profile;        // the bowler's profile page
  std::string ticker_script;  // profiles.js
};

std::string ReadPage(const std::string& path) {
  return Cp932ToUtf8(ReadFileBytes(path));
}

// Makes the pages as the output window makes them: the look settings read from the database
// and handed to the make flow, the score and monthly tables of the bowler (with the index
// pages they touch), then the profile pages.
MadePages MakePages(const StoredTexts& texts) {
  ScoreDbFixture fx;
  TempDir out;
  StoreTexts(fx.Db(), texts, out.Path());
  CountingProgress progress;
  RecordingMessages messages;
  FixedChooser chooser(std::nullopt);
  MadePages pages;
  {
    MakeFlow flow(fx.Db(), "score", LoadWindowSettings(fx.Db()), progress, messages, chooser);
    MakeRequest score;
    score.mode = MakeMode::kScore;
    score.bowler = texts.bowler;
    score.start_date = "2024/05/01";
    score.end_date = "2024/05/31";
    pages.score_pages = flow.Make(score).score_pages;
    MakeRequest monthly;
    monthly.mode = MakeMode::kMonthly;
    monthly.bowler = texts.bowler;
    monthly.first_month = "2024/05";
    monthly.last_month = "2024/05";
    pages.monthly_pages = flow.Make(monthly).monthly_pages;
  }
  const std::string folder = out.File("score2024/bowler");
  if (fs::is_directory(folder)) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      std::string name = entry.path().filename().string();
      if (name.starts_with("20240506")) pages.score = ReadPage(entry.path().string());
    }
  }
  pages.monthly = ReadPage(folder + "/202405.html");
  pages.bowler_index = ReadPage(folder + "/index.html");
  pages.year_index = ReadPage(out.File("score2024/index.html"));
  const std::string profiles = out.File("profiles/");
  fs::create_directories(profiles);
  CreateProfilePages(fx.Db(), "score", profiles, "", progress, messages);
  pages.profile = ReadPage(profiles + "bowler.html");
  pages.ticker_script = ReadPage(profiles + kTickerScriptName);
  return pages;
}

struct World {
  const HostileValue* value;
  StoredTexts hostile_texts;
  StoredTexts plain_texts;
  MadePages hostile;
  MadePages plain;
};

class HostilePagesTest : public ::testing::Test {
 protected:
  // Every value's pages and its twin's, made once for all cases.
  static void SetUpTestSuite() {
    worlds_ = new std::vector<World>;
    for (const HostileValue& v : HostileValues()) {
      World w{&v, HostileTexts(v), PlainTexts(v), {}, {}};
      w.hostile = MakePages(w.hostile_texts);
      w.plain = MakePages(w.plain_texts);
      worlds_->push_back(std::move(w));
    }
  }
  static void TearDownTestSuite() {
    delete worlds_;
    worlds_ = nullptr;
  }

  static const std::vector<World>& Worlds() { return *worlds_; }

 private:
  static std::vector<World>* worlds_;
};

std::vector<World>* HostilePagesTest::worlds_ = nullptr;

// Calls body(world, page, twin) with one page of every value and of its twin, once both are
// there.
template <typename Body>
void ForEachPage(const std::vector<World>& worlds, std::string MadePages::*member, const char* what,
                 Body body) {
  for (const World& w : worlds) {
    SCOPED_TRACE(w.value->label);
    const std::string& page = w.hostile.*member;
    const std::string& twin = w.plain.*member;
    if (page.empty() || twin.empty()) {
      ADD_FAILURE() << "no " << what << " was made" << (page.empty() ? " from the value" : "")
                    << (twin.empty() ? " from the twin" : "");
      continue;
    }
    body(w, page, twin);
  }
}

TEST_F(HostilePagesTest, ScorePageShowsTheStoredTextsAndTakesNoMarkupFromThem) {
  for (const World& w : Worlds()) {
    SCOPED_TRACE(w.value->label);
    EXPECT_EQ(w.hostile.score_pages, 1);
    EXPECT_EQ(w.plain.score_pages, 1);
  }
  ForEachPage(Worlds(), &MadePages::score, "score page",
              [&](const World& w, const std::string& page, const std::string& twin) {
                EXPECT_EQ(SignatureDifference(page, twin), "");
                ExpectSettingsReplaced(*w.value, page, twin);
                ExpectNoMarkupFromValues(page);
                const StoredTexts& t = w.hostile_texts;
                std::vector<std::string> name = CellTexts(page, "name");
                ASSERT_FALSE(name.empty());
                EXPECT_SAME_TEXT(name.back(), Shown(t.bowler));
                std::vector<std::string> centre = CellTexts(page, "allay");
                ASSERT_FALSE(centre.empty());
                EXPECT_SAME_TEXT(centre[0], Shown(t.centre));
                std::vector<std::string> level = CellTexts(page, "level");
                ASSERT_GE(level.size(), 2u);
                EXPECT_SAME_TEXT(level[1], Shown(t.level));
                std::vector<std::string> score = CellTexts(page, "score");
                auto memo = std::find(score.begin(), score.end(), "Memo");
                ASSERT_TRUE(memo != score.end() && memo + 1 != score.end());
                EXPECT_SAME_TEXT(*(memo + 1), Shown(t.memo));
              });
}

TEST_F(HostilePagesTest, MonthlyPageShowsTheStoredTextsAndTakesNoMarkupFromThem) {
  for (const World& w : Worlds()) {
    SCOPED_TRACE(w.value->label);
    EXPECT_EQ(w.hostile.monthly_pages, 1);
    EXPECT_EQ(w.plain.monthly_pages, 1);
  }
  ForEachPage(Worlds(), &MadePages::monthly, "monthly page",
              [&](const World& w, const std::string& page, const std::string& twin) {
                EXPECT_EQ(SignatureDifference(page, twin), "");
                ExpectSettingsReplaced(*w.value, page, twin);
                ExpectNoMarkupFromValues(page);
                std::vector<std::string> name = CellTexts(page, "name");
                ASSERT_FALSE(name.empty());
                EXPECT_SAME_TEXT(name.back(), Shown(w.hostile_texts.bowler));
                EXPECT_TRUE(HasCell(CellTexts(page, "grade"), Shown(w.hostile_texts.centre)))
                    << "no cell shows the centre " << Abbreviated(Shown(w.hostile_texts.centre));
              });
}

TEST_F(HostilePagesTest, IndexPagesShowTheStoredTextsAndTakeNoMarkupFromThem) {
  ForEachPage(Worlds(), &MadePages::bowler_index, "bowler index page",
              [&](const World& w, const std::string& page, const std::string& twin) {
                EXPECT_EQ(SignatureDifference(page, twin), "");
                ExpectSettingsReplaced(*w.value, page, twin);
                ExpectNoMarkupFromValues(page);
                const StoredTexts& t = w.hostile_texts;
                std::vector<std::string> name = CellTexts(page, "name");
                ASSERT_FALSE(name.empty());
                EXPECT_SAME_TEXT(name.back(), Shown(t.bowler));
                std::vector<std::string> plays = CellTexts(page, "plays");
                EXPECT_TRUE(HasCell(plays, Shown(t.centre))) << Abbreviated(Shown(t.centre));
                EXPECT_TRUE(HasCell(plays, Shown(t.level))) << Abbreviated(Shown(t.level));
              });
  ForEachPage(Worlds(), &MadePages::year_index, "year index page",
              [&](const World& w, const std::string& page, const std::string& twin) {
                EXPECT_EQ(SignatureDifference(page, twin), "");
                ExpectSettingsReplaced(*w.value, page, twin);
                ExpectNoMarkupFromValues(page);
                // The bowler's name links the bowler's page of the year.
                HtmlTree tree(page);
                std::optional<std::string> link;
                for (const HtmlElement& a : tree.All("a"))
                  if (a.TrimmedText() == Shown(w.hostile_texts.bowler)) link = a.Attribute("href");
                EXPECT_EQ(link, std::optional<std::string>("bowler/index.html"));
              });
}

TEST_F(HostilePagesTest, ProfilePageShowsTheStoredTextsAndTakesNoMarkupFromThem) {
  ForEachPage(Worlds(), &MadePages::profile, "profile page",
              [&](const World& w, const std::string& page, const std::string& twin) {
                EXPECT_EQ(SignatureDifference(page, twin), "");
                ExpectNoMarkupFromValues(page, true);
                const StoredTexts& t = w.hostile_texts;
                HtmlTree tree(page);
                std::vector<HtmlElement> strong = tree.Body().Descendants("strong");
                ASSERT_FALSE(strong.empty());
                EXPECT_SAME_TEXT(strong[0].TrimmedText(), Shown(t.profile));  // RankA
                // The mail link leads to the stored address and shows it.
                std::optional<std::string> mail;
                for (const HtmlElement& a : tree.All("a")) {
                  std::string href = a.Attribute("href").value_or("");
                  if (!href.starts_with("mailto:")) continue;
                  mail = href;
                  EXPECT_SAME_TEXT(PercentDecoded(href), "mailto:" + t.profile);
                  EXPECT_SAME_TEXT(a.TrimmedText(), Shown(t.profile));
                }
                EXPECT_TRUE(mail.has_value());
                // The photograph and the style sheet, where the page keeps them, are the stored
                // addresses.
                for (const HtmlElement& img : tree.All("img"))
                  EXPECT_SAME_TEXT(PercentDecoded(img.Attribute("src").value_or("")), t.photo);
                for (const HtmlElement& link : tree.All("link"))
                  if (link.Attribute("rel") == std::optional<std::string>("stylesheet"))
                    EXPECT_SAME_TEXT(PercentDecoded(link.Attribute("href").value_or("")),
                                     t.path_style);
              });
}

// The ticker's message goes through four readers before it shows: the page's parser (the
// onload attribute), JavaScript (the showmsg("...") call), JavaScript again (profiles.js
// evaluates the text "terop('" + mes + "')") and the HTML parser of innerHTML. What the last
// one makes of it must be the stored fields, one line each.
std::vector<std::string> TickerLines(const std::string& page, std::vector<std::string>& others,
                                     std::string& failure) {
  HtmlTree tree(page);
  std::optional<std::string> onload = tree.Body().Attribute("onload");
  if (!onload) {
    failure = "the body has no onload";
    return {};
  }
  std::optional<std::string> mes = JsCallArgument(*onload, "showmsg");
  if (!mes) {
    failure = "onload is not one call of showmsg with a string: " + Abbreviated(*onload);
    return {};
  }
  std::optional<std::string> shown = JsCallArgument("terop('" + *mes + "')", "terop");
  if (!shown) {
    failure = "the evaluated terop call is not one call with a string: " + Abbreviated(*mes);
    return {};
  }
  return FragmentLinesAtBreaks(*shown, others);
}

TEST_F(HostilePagesTest, ProfileTickerTypesEachStoredFieldAsItsText) {
  ForEachPage(
      Worlds(), &MadePages::profile, "profile page",
      [&](const World& w, const std::string& page, const std::string& twin) {
        // The decoding below follows what profiles.js does with the message.
        EXPECT_EQ(w.hostile.ticker_script, w.plain.ticker_script);
        EXPECT_NE(w.hostile.ticker_script.find(R"js(setInterval("terop('"+mes+"')",100))js"),
                  std::string::npos);
        EXPECT_NE(w.hostile.ticker_script.find("innerHTML="), std::string::npos);
        for (const StoredTexts* t : {&w.hostile_texts, &w.plain_texts}) {
          const std::string p = Shown(t->profile);
          const std::vector<std::string> expected = {"[" + p + "]",    "名前：" + Shown(t->bowler),
                                                     "年齢：秘密♪",    "身長：秘密♪",
                                                     "体重：秘密♪",    "利き腕：" + p,
                                                     "ボール：" + p,   "リスタイ：" + p,
                                                     "シューズ：" + p, "バック：" + p,
                                                     "座右の銘：" + p, ""};
          std::vector<std::string> others;
          std::string failure;
          std::vector<std::string> lines =
              TickerLines(t == &w.hostile_texts ? page : twin, others, failure);
          EXPECT_EQ(failure, "");
          EXPECT_EQ(others, std::vector<std::string>{}) << "elements in the ticker";
          EXPECT_EQ(lines.size(), expected.size());
          for (std::size_t i = 0; i < std::min(lines.size(), expected.size()); ++i)
            EXPECT_SAME_TEXT(lines[i], expected[i]);
        }
      });
}

// Bowler 7 with 2003/04 to 2003/06 on the sheet and games only in May, its folder name aname.
WorkbookState StateWithFolder(const std::string& aname) {
  WorkbookState state;
  state.bowlers[7] = {"太郎", aname};
  clsMonth_List& list = state.month_lists[7];
  list.Number(7);
  for (const char* m : {"200304", "200305", "200306"}) {
    list.Sttdt(m);
    list.Enddt(m);
    auto month = std::make_unique<clsMonth_Data>();
    month->Month(m);
    month->Link(std::string(m) == "200305");
    list.Additem(std::move(month), m);
  }
  return state;
}

std::string FinishedPage(const std::string& aname) {
  WorkbookState state = StateWithFolder(aname);
  FinishingContext context{&state, "sample", ""};
  CountingProgress progress;
  const std::string published =
      "<html>\n<head>\n</head>\n<body>\n"
      "<td>&lt;ZEPA_Link_7_0&gt;</td><td>&lt;ZEPA_Link_7_1&gt;</td>\n"
      "</body>\n</html>\n";
  return Cp932ToUtf8(FinishPageBytes(Utf8ToCp932(published), context, progress));
}

TEST_F(HostilePagesTest, PublishedWorkbookPagesLinkTheMonthsOfAnyFolderName) {
  for (const HostileValue& v : HostileValues()) {
    SCOPED_TRACE(v.label);
    const std::string page = FinishedPage(v.text);
    EXPECT_EQ(SignatureDifference(page, FinishedPage(v.plain)), "");
    ExpectNoMarkupFromValues(page);
    HtmlTree tree(page);
    std::vector<HtmlElement> links;
    for (const HtmlElement& a : tree.All("a"))
      if (a.Attribute("accesskey") == std::optional<std::string>("l")) links.push_back(a);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_SAME_TEXT(links[0].Attribute("title").value_or(""), Shown(v.text) + "_1");
    // The folder name is one segment of the address, whatever it holds.
    const std::string href = links[0].Attribute("href").value_or("");
    const std::string before = "../sample2003/", after = "/200305.html";
    ASSERT_TRUE(href.starts_with(before) && href.ends_with(after)) << Abbreviated(href);
    const std::string segment =
        href.substr(before.size(), href.size() - before.size() - after.size());
    EXPECT_TRUE(IsUrlText(segment, true)) << Abbreviated(segment);
    EXPECT_SAME_TEXT(PercentDecoded(segment), v.text);
  }
}

// The readers the cases rely on tell a literal that holds the value from one the value ends.
TEST(HostilePagesReadersTest, AScriptLiteralEndsWhereJavaScriptEndsIt) {
  EXPECT_EQ(JsCallArgument(R"(f("a\"b\\c\x3C\u00e9\'"))", "f"), "a\"b\\c<é'");
  EXPECT_EQ(JsCallArgument(R"(f('\uD83C\uDFB3'))", "f"), "🎳");
  // An apostrophe of the value closes the literal early: the call is then another one.
  EXPECT_EQ(JsCallArgument("terop('a'+alert(1)+'')", "terop"), std::nullopt);
  EXPECT_EQ(JsCallArgument("f(\"a\nb\")", "f"), std::nullopt);
  std::vector<std::string> others;
  EXPECT_EQ(FragmentLinesAtBreaks("a&lt;b<br>c<b>d</b><br>", others),
            (std::vector<std::string>{"a<b", "cd", ""}));
  EXPECT_EQ(others, std::vector<std::string>{"b"});
  EXPECT_EQ(HtmlTree("<p class=x id=y>t</p>").Signature(),
            HtmlTree("<p id=\"&quot;\" class=z>u</p>").Signature());
  EXPECT_NE(HtmlTree("<p>&lt;b&gt;</p>").Signature(), HtmlTree("<p><b></b></p>").Signature());
}

}  // namespace
}  // namespace lanereport
