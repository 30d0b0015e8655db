#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "XlsxTemplate.h"
#include "batch/MakeFlow.h"
#include "database/clsS_OUTPUT_Data.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Keeps every first message line in order, so the order of the steps can be checked.
class StepProgress : public CountingProgress {
 public:
  using CountingProgress::CountingProgress;
  void Message1(std::string_view text) override {
    CountingProgress::Message1(text);
    steps.emplace_back(text);
  }
  std::vector<std::string> steps;
};

constexpr const char* kMonthlyStep = "ただいま、月間表を作成中です";
constexpr const char* kScoreStep = "ただいま、スコア表を作成中です";
constexpr const char* kBulkDone = "一括出力が終了しました";

class MakeFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Whatever falls back to the desktop stays inside the test's folder.
    fs::create_directories(desktop_);
    MakeFile(fx_.Dir().File("home/.config/user-dirs.dirs"),
             "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    Database& db = fx_.Db();
    AddAlley(db, "ホーム", 1, true);
    AddAlley(db, "遠征先", 2, false);
    AddLevel(db, "League", 1, true);
    AddLevel(db, "Practice", 2, false);
    AddBowler(db, "山田", "yamada", 1);
    AddBowler(db, "佐藤", "sato", 2);
    AddBowler(db, "外野", "gaiya", 100);  // beyond the bowler table
    AddOpenGame(db, "山田", "ホーム", "League", "2002/12/28", 1, "8", "1");
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 1, "8", "1");
    AddOpenGame(db, "山田", "ホーム", "League", "2003/05/10", 2, "7", "2");
    AddOpenGame(db, "山田", "ホーム", "Practice", "2003/05/10", 1, "9", "0");
    AddOpenGame(db, "山田", "遠征先", "League", "2003/11/02", 1, "6", "3");
    AddOpenGame(db, "山田", "ホーム", "League", "2004/01/03", 1, "5", "4");
    AddOpenGame(db, "佐藤", "ホーム", "League", "2003/06/01", 1, "6", "2");
    AddOpenGame(db, "外野", "ホーム", "League", "2003/06/01", 1, "6", "2");
    clsS_OUTPUT_Data month(db);
    month.Sheetname("Month");
    month.AlleyName(kBlankChoice);
    month.LevelName(kBlankChoice);
    month.Condition(true);
    month.StartDate("2003/01/01");
    month.EndDate("2003/12/31");
    month.Gamecount(true);
    month.MonthAvg(true);
    month.Add();
    XlsxTemplate().AddSheet("Month", "").Write(Template());
    fs::create_directories(Out());
    settings_.OutFolder = " " + Out() + " ";
    settings_.OutSheet = Template();
  }

  std::string Template() const { return fx_.Dir().File("template.xlsx"); }
  std::string Out() const { return fx_.Dir().File("out"); }
  std::string OutFile(const std::string& name) const { return Out() + "/" + name; }

  MakeFlow Flow() { return MakeFlow(fx_.Db(), "score", settings_, progress_, messages_, chooser_); }

  static MakeRequest Bulk(const std::string& year) {
    MakeRequest request;
    request.mode = MakeMode::kBulk;
    request.year = year;
    return request;
  }

  // The files under the output folder, relative to it and sorted.
  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> files;
    if (!fs::exists(Out())) return files;
    for (const auto& entry : fs::recursive_directory_iterator(Out()))
      if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), Out()).string());
    std::sort(files.begin(), files.end());
    return files;
  }

  ScoreDbFixture fx_;
  HomeAt home_{fx_.Dir().File("home")};
  std::string desktop_ = fx_.Dir().File("home/Schreibtisch");
  WindowSettings settings_;
  StepProgress progress_;
  RecordingMessages messages_;
  FixedChooser chooser_{std::nullopt};
};

TEST_F(MakeFlowTest, OutputFolderFallsBackToTheDesktop) {
  EXPECT_EQ(FixOutFolder(""), desktop_);
  EXPECT_EQ(FixOutFolder("   "), desktop_);
  EXPECT_EQ(FixOutFolder(fx_.Dir().File("nowhere")), desktop_);
  EXPECT_EQ(FixOutFolder("  " + fx_.Dir().Path() + " "), fx_.Dir().Path());

  // An empty output folder sends the whole make to the desktop.
  settings_.OutFolder = "";
  MakeFlow flow = Flow();
  MakeRequest request;
  request.mode = MakeMode::kMonthly;
  request.bowler = "佐藤";
  request.first_month = "2003/06";
  request.last_month = "2003/06";
  EXPECT_EQ(flow.Make(request).monthly_pages, 1);
  EXPECT_EQ(flow.OutFolder(), desktop_);
  EXPECT_TRUE(fs::exists(desktop_ + "/score2003/sato/200306.html"));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].message2, "");

  // A named folder that is not there goes to the desktop too, and the completion says where.
  settings_.OutFolder = fx_.Dir().File("nowhere");
  MakeFlow missing = Flow();
  EXPECT_EQ(missing.Make(request).monthly_pages, 1);
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[1].message1, "月間表を作成しました");
  EXPECT_EQ(messages_.shown[1].message2, "出力先ﾌｫﾙﾀﾞ「" + fx_.Dir().File("nowhere") +
                                             "」がないため、デスクトップ（" + desktop_ +
                                             "）に作成しました");
  EXPECT_FALSE(fs::exists(fx_.Dir().File("nowhere")));
}

TEST_F(MakeFlowTest, TheCompletionNamesTheLookImagesCopiedIntoTheOutputFolder) {
  // The program folder of the fixture ships the two images.
  MakeFile(fx_.Dir().File("jpg/BG.jpg"), "background");
  MakeFile(fx_.Dir().File("jpg/waku0.jpg"), "frame");
  settings_.Background = "jpg/BG.jpg";
  settings_.Frame1 = "jpg/waku0.jpg";
  settings_.Strike = "jpg/none.jpg";  // not an image the program ships: left as it is
  MakeRequest request;
  request.mode = MakeMode::kMonthly;
  request.bowler = "佐藤";
  request.first_month = "2003/06";
  request.last_month = "2003/06";
  MakeFlow flow = Flow();
  MakeResult made = flow.Make(request);
  EXPECT_EQ(made.images_copied,
            (std::vector<std::string>{OutFile("jpg/BG.jpg"), OutFile("jpg/waku0.jpg")}));
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].message1, "月間表を作成しました");
  EXPECT_EQ(messages_.shown[0].message2,
            "出力先にない画像 2 個をコピーしました：" + Out() + "/jpg/");
  EXPECT_TRUE(fs::exists(OutFile("jpg/waku0.jpg")));
  EXPECT_FALSE(fs::exists(OutFile("jpg/none.jpg")));

  // They are there now: the next make copies nothing and says nothing of them.
  MakeFlow again = Flow();
  EXPECT_TRUE(again.Make(request).images_copied.empty());
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[1].message2, "");

  // Into a missing folder the output goes to the desktop, and the message says both.
  settings_.OutFolder = fx_.Dir().File("nowhere");
  MakeFlow missing = Flow();
  missing.Make(request);
  ASSERT_EQ(messages_.shown.size(), 3u);
  EXPECT_EQ(messages_.shown[2].message2,
            "出力先ﾌｫﾙﾀﾞ「" + fx_.Dir().File("nowhere") + "」がないため、デスクトップ（" +
                desktop_ + "）に作成しました\n出力先にない画像 2 個をコピーしました：" + desktop_ +
                "/jpg/");
}

TEST_F(MakeFlowTest, TheCompletionCountsAndNamesTheGamesTheRunLeftOut) {
  // Another program stored a roll that is no mark in one of the bowler's two games of June.
  AddOpenGame(fx_.Db(), "佐藤", "ホーム", "League", "2003/06/01", 2, "7", "1");
  fx_.Db().Execute(
      "Update Result_Data Set SecondFrame1 = '11' Where Bowler_Name = '佐藤' And Game_Number = "
      "1");
  MakeRequest request;
  request.mode = MakeMode::kMonthly;
  request.bowler = "佐藤";
  request.first_month = "2003/06";
  request.last_month = "2003/06";
  MakeFlow flow = Flow();
  EXPECT_EQ(flow.Make(request).monthly_pages, 1);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].message1, "月間表を作成しました");
  const std::string said = messages_.shown[0].message2;
  EXPECT_TRUE(
      said.starts_with("読めないゲーム 1 件を除きました\n読めないゲームを除きました：ボウ"
                       "ラー「佐藤」 2003/06/"))
      << said;
  EXPECT_NE(said.find("SecondFrame1「11」"), std::string::npos) << said;
  // The next run reads the same and says it again.
  MakeFlow again = Flow();
  again.Make(request);
  ASSERT_EQ(messages_.shown.size(), 2u);
  EXPECT_EQ(messages_.shown[1].message2, said);
}

TEST_F(MakeFlowTest, BulkMakesTheWorkbookThenTheYearsTablesOfTheTablesBowlers) {
  // Pages already there are kept: the bulk run never overwrites.
  MakeFile(OutFile("score2003/yamada/200311.html"), "old month");
  MakeFile(OutFile("score2003/yamada/2003110221.html"), "old play");
  MakeFlow flow = Flow();
  MakeResult result = flow.Make(Bulk("2003"));
  EXPECT_FALSE(result.stopped);
  EXPECT_FALSE(result.template_missing);
  EXPECT_EQ(result.workbook_path, OutFile("score2003/score2003.xlsx"));
  EXPECT_EQ(result.pages, std::vector<std::string>{OutFile("score2003/Month-2003.html")});
  EXPECT_EQ(result.monthly_pages, 2);
  EXPECT_EQ(result.score_pages, 2);
  EXPECT_EQ(result.index_pages, 3);
  // Only the year's months and plays, only the counted levels, only bowlers 1..99; then the
  // index pages of those bowlers and of the year.
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{
                               "score2003/Month-2003.html",
                               "score2003/index.html",
                               "score2003/sato/200306.html",
                               "score2003/sato/2003060111.html",
                               "score2003/sato/index.html",
                               "score2003/score2003.xlsx",
                               "score2003/yamada/200305.html",
                               "score2003/yamada/2003051011.html",
                               "score2003/yamada/200311.html",
                               "score2003/yamada/2003110221.html",
                               "score2003/yamada/index.html",
                           }));
  // The year page lists the bowler beyond the table too, without a page of its own.
  std::string year_page = ReadFileBytes(OutFile("score2003/index.html"));
  EXPECT_NE(year_page.find(R"(<a href="yamada/index.html">)"), std::string::npos);
  EXPECT_NE(year_page.find(R"(<a href="Month-2003.html">)"), std::string::npos);
  EXPECT_NE(year_page.find(Utf8ToCp932("外野")), std::string::npos);
  EXPECT_FALSE(fs::exists(OutFile("score2003/gaiya")));
  EXPECT_EQ(ReadFileBytes(OutFile("score2003/yamada/200311.html")), "old month");
  EXPECT_EQ(ReadFileBytes(OutFile("score2003/yamada/2003110221.html")), "old play");
  // Workbook first, then the monthly tables, then the score tables.
  std::vector<std::string> steps = progress_.steps;
  auto at = [&](const std::string& step) {
    return std::find(steps.begin(), steps.end(), step) - steps.begin();
  };
  EXPECT_EQ(steps.front(), "ＥＸＣＥＬ処理準備中です");
  EXPECT_LT(at(kMonthlyStep), at(kScoreStep));
  EXPECT_LT(at(kScoreStep), static_cast<long>(steps.size()));
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{kBulkDone});
  EXPECT_EQ(messages_.Colors(), std::vector<long>{kCompletionColor});
}

TEST_F(MakeFlowTest, StopDuringTheWorkbookMakesNoTablesButStillEnds) {
  StepProgress stopping(1);
  MakeFlow flow(fx_.Db(), "score", settings_, stopping, messages_, chooser_);
  MakeResult result = flow.Make(Bulk("2003"));
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.monthly_pages, 0);
  EXPECT_EQ(result.score_pages, 0);
  EXPECT_FALSE(fs::exists(OutFile("score2003/yamada")));
  EXPECT_FALSE(fs::exists(OutFile("score2003/sato")));
  EXPECT_EQ(std::count(stopping.steps.begin(), stopping.steps.end(), kMonthlyStep), 0);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{kBulkDone});
}

TEST_F(MakeFlowTest, PagesMadeAheadForATableTheWorkbookDoesNotLeaveAreNotKept) {
  // A template without statistics sheets leaves the bowler table as it was: empty on a first
  // run, so no table is made, whatever was made ahead for the bowlers of the database.
  XlsxTemplate().AddSheet("Notes", "").Write(Template());
  MakeFlow flow = Flow();
  MakeResult result = flow.Make(Bulk("2003"));
  EXPECT_EQ(result.monthly_pages + result.score_pages, 0);
  EXPECT_EQ(OutputFiles(),
            (std::vector<std::string>{"score2003/Notes-2003.html", "score2003/score2003.xlsx"}));
  EXPECT_FALSE(fs::exists(OutFile("score2003/yamada")));
  EXPECT_FALSE(fs::exists(OutFile("score2003/sato")));
}

// Presses STOP once the step of the given first message line has counted so many steps.
class StopInStep : public StepProgress {
 public:
  StopInStep(std::string step, long counts) : step_(std::move(step)), counts_(counts) {}
  void CountProgress(int bar, long step) override {
    StepProgress::CountProgress(bar, step);
    if (message1 == step_ && ++seen_ >= counts_) stop_requested = true;
  }

 private:
  std::string step_;
  long counts_;
  long seen_ = 0;
};

TEST_F(MakeFlowTest, StopAmongTheTablesStillLinksWhatWasMade) {
  // STOP once the first bowler's May is counted: his months to May are made, nothing else.
  StopInStep stopping(kMonthlyStep, 5);
  MakeFlow flow(fx_.Db(), "score", settings_, stopping, messages_, chooser_);
  MakeResult result = flow.Make(Bulk("2003"));
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.monthly_pages, 1);
  EXPECT_EQ(result.index_pages, 2);
  EXPECT_TRUE(fs::exists(OutFile("score2003/yamada/200305.html")));
  EXPECT_TRUE(fs::exists(OutFile("score2003/yamada/index.html")));
  EXPECT_TRUE(fs::exists(OutFile("score2003/index.html")));
  EXPECT_FALSE(fs::exists(OutFile("score2003/sato")));
  // The index page links the month that was made and no play.
  std::string page = ReadFileBytes(OutFile("score2003/yamada/index.html"));
  EXPECT_NE(page.find(R"(<a href="200305.html">)"), std::string::npos);
  EXPECT_EQ(page.find(R"(<a href="2003051011.html">)"), std::string::npos);
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{kBulkDone});
}

TEST_F(MakeFlowTest, MissingTemplateEndsOnlyTheWorkbookStep) {
  fs::remove(Template());
  // A first run has no bowler table to walk: nothing is made, and no completion is said.
  {
    MakeFlow flow = Flow();
    MakeResult result = flow.Make(Bulk("2003"));
    EXPECT_TRUE(result.template_missing);
    EXPECT_EQ(result.monthly_pages + result.score_pages, 0);
    EXPECT_TRUE(OutputFiles().empty());
    EXPECT_EQ(messages_.FirstLines(),
              (std::vector<std::string>{"ボウラー情報用テンプレートファイルが存在しません！"}));
  }
  // After a workbook run, the same flow makes the tables of the bowlers that run left.
  XlsxTemplate().AddSheet("Month", "").Write(Template());
  MakeFlow flow = Flow();
  ASSERT_EQ(flow.Make(Bulk("2003")).score_pages, 3);
  fs::remove_all(Out());
  fs::create_directories(Out());
  fs::remove(Template());
  MakeResult again = flow.Make(Bulk("2003"));
  EXPECT_TRUE(again.template_missing);
  EXPECT_EQ(again.monthly_pages, 3);
  EXPECT_EQ(again.score_pages, 3);
  EXPECT_TRUE(fs::exists(OutFile("score2003/yamada/2003051011.html")));
  EXPECT_FALSE(fs::exists(OutFile("score2003/score2003.xlsx")));
}

TEST_F(MakeFlowTest, SingleModesOverwriteAndSayWhatTheyMade) {
  MakeFile(OutFile("score2003/yamada/200305.html"), "old month");
  MakeFile(OutFile("score2003/yamada/2003051011.html"), "old play");
  MakeFlow flow = Flow();

  MakeRequest monthly;
  monthly.mode = MakeMode::kMonthly;
  monthly.bowler = " 山田 ";
  monthly.first_month = "2003/05";
  monthly.last_month = "2003/06";
  EXPECT_EQ(flow.Make(monthly).monthly_pages, 1);
  EXPECT_NE(ReadFileBytes(OutFile("score2003/yamada/200305.html")), "old month");

  MakeRequest period;
  period.mode = MakeMode::kScore;
  period.bowler = "山田";
  period.start_date = "2003/05/10";
  period.end_date = "2003/05/10";
  MakeResult made = flow.Make(period);
  EXPECT_EQ(made.score_pages, 1);
  EXPECT_NE(ReadFileBytes(OutFile("score2003/yamada/2003051011.html")), "old play");
  // Both modes make the bowler's index page of the year and the year's page; one of the
  // user's is left alone and said so.
  EXPECT_EQ(made.index_pages, 2);
  EXPECT_TRUE(fs::exists(OutFile("score2003/yamada/index.html")));
  EXPECT_FALSE(fs::exists(OutFile("score2003/sato/index.html")));
  MakeFile(OutFile("score2003/index.html"), "our club");
  EXPECT_EQ(flow.Make(period).index_pages, 1);
  EXPECT_EQ(ReadFileBytes(OutFile("score2003/index.html")), "our club");
  ASSERT_EQ(messages_.shown.size(), 4u);
  EXPECT_EQ(messages_.shown[2].message2, OutFile("score2003/index.html"));
  messages_.shown.erase(messages_.shown.begin() + 2, messages_.shown.end());
  EXPECT_EQ(messages_.FirstLines(),
            (std::vector<std::string>{"月間表を作成しました", "スコア表を作成しました"}));

  // An unknown bowler is refused before anything is written.
  monthly.bowler = "誰か";
  EXPECT_THROW(flow.Make(monthly), AppError);
  EXPECT_FALSE(fs::exists(OutFile("score2003/誰か")));
}

TEST_F(MakeFlowTest, ListOutputNeedsAChosenLine) {
  MakeRequest request;
  request.mode = MakeMode::kScore;
  request.list_output = true;
  request.bowler = "山田";
  MakeFlow flow = Flow();
  MakeResult result = flow.Make(request);
  EXPECT_TRUE(result.nothing_chosen);
  EXPECT_EQ(messages_.FirstLines(),
            std::vector<std::string>{"作成するデータが選択されていません！"});
  EXPECT_EQ(messages_.Colors(), std::vector<long>{0});
  EXPECT_EQ(chooser_.calls, 0);
  EXPECT_TRUE(OutputFiles().empty());

  // A chosen line writes that play's page into the folder the user picks.
  FixedChooser picked(Out() + "/picked/");
  MakeFlow with_folder(fx_.Db(), "score", settings_, progress_, messages_, picked);
  request.list_line = FillSeriesList(fx_.Db(), "山田", progress_).at(1).key;
  EXPECT_EQ(with_folder.Make(request).score_pages, 1);
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{"picked/2003110221.html"});
}

TEST_F(MakeFlowTest, SeriesListHasOnePlayPerLineNewestFirst) {
  Database& db = fx_.Db();
  AddLevel(db, "Cup", 3, true);
  AddOpenGame(db, "山田", "ホーム", "Cup", "2003/05/10", 1, "8", "0");
  auto line = [](const std::string& date, const std::string& alley, int alley_pad,
                 const std::string& level) {
    return SeriesLine{date + "  \t" + alley + std::string(alley_pad, ' ') + "\t" + level +
                          std::string(20 - level.size(), ' '),
                      date + "\t" + alley + "\t" + level};
  };
  // Japanese centre names take two bytes a character in the fitted width.
  EXPECT_EQ(FillSeriesList(db, "山田", progress_), (std::vector<SeriesLine>{
                                                       line("2004/01/03", "ホーム", 14, "League"),
                                                       line("2003/11/02", "遠征先", 14, "League"),
                                                       line("2003/05/10", "ホーム", 14, "Cup"),
                                                       line("2003/05/10", "ホーム", 14, "League"),
                                                       line("2002/12/28", "ホーム", 14, "League"),
                                                   }));
  EXPECT_EQ(progress_.last_maximum, 6);  // the counted games only

  // A bowler without counted games has an empty list; STOP ends the list early.
  AddBowler(db, "練習生", "trainee", 3);
  AddOpenGame(db, "練習生", "ホーム", "Practice", "2003/05/10", 1, "8", "0");
  EXPECT_TRUE(FillSeriesList(db, "練習生", progress_).empty());
  StepProgress stopping(1);
  EXPECT_EQ(FillSeriesList(db, "山田", stopping).size(), 1u);
}

TEST_F(MakeFlowTest, SeriesLineKeepsALongCentreWholeBehindItsCutText) {
  Database& db = fx_.Db();
  const std::string centre = "グランドボウリングセンター";  // 13 characters, 39 bytes
  ASSERT_GT(centre.size(), 20u);
  AddAlley(db, centre, 3, false);
  AddOpenGame(db, "山田", centre, "League", "2004/02/01", 1, "8", "1");
  std::vector<SeriesLine> lines = FillSeriesList(db, "山田", progress_);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].key, "2004/02/01\t" + centre + "\tLeague");
  // The list shows the first ten characters, which take the 20 bytes of the centre's width.
  EXPECT_EQ(lines[0].text, "2004/02/01  \tグランドボウリングセ\tLeague" + std::string(14, ' '));

  // The key chosen from the list makes that play's page.
  FixedChooser picked(Out() + "/picked/");
  MakeFlow flow(db, "score", settings_, progress_, messages_, picked);
  MakeRequest request;
  request.mode = MakeMode::kScore;
  request.list_output = true;
  request.bowler = "山田";
  request.list_line = lines[0].key;
  EXPECT_EQ(flow.Make(request).score_pages, 1);
  EXPECT_EQ(OutputFiles(), std::vector<std::string>{"picked/2004020131.html"});
  EXPECT_EQ(messages_.FirstLines(), std::vector<std::string>{""});
}

}  // namespace
}  // namespace lanereport
