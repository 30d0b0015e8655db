#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "CliRunner.h"
#include "CountingProgress.h"
#include "FakeWindows.h"
#include "GameBuilder.h"
#include "TempDir.h"
#include "XlsxTemplate.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "frmLanereport.h"
#include "sample/SampleDatabase.h"
#include "util/Clock.h"

using namespace lanereport;
using namespace lanereport::gui;
namespace fs = std::filesystem;

namespace {

// Every file under folder by its path relative to it, with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] =
          testing::ReadFileBytes(entry.path().string());
  return files;
}

std::set<std::string> Names(const std::map<std::string, std::string>& tree) {
  std::set<std::string> names;
  for (const auto& [name, bytes] : tree) names.insert(name);
  return names;
}

// A progress window that also notes whether the output window was enabled while it counted.
class WatchingProgress : public testing::CountingProgress {
 public:
  using CountingProgress::CountingProgress;
  void CountProgress(int bar, long step) override {
    CountingProgress::CountProgress(bar, step);
    if (window && window->isEnabled()) enabled_during_run = true;
  }
  QWidget* window = nullptr;
  bool enabled_during_run = false;
};

}  // namespace

// The output window on a sample database of the year 2025, with the message windows, the
// progress window, the choosers, the calendar and the workbook opener answered by the test.
class OutputWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempDir> home_;
  std::unique_ptr<testing::TempDir> work_;
  std::unique_ptr<Database> db_;
  std::unique_ptr<frmLanereport> window_;
  testing::RecordingMessages messages_;
  std::unique_ptr<WatchingProgress> progress_;
  std::unique_ptr<testing::FixedChooser> chooser_;
  std::vector<std::string> picked_fields_;
  std::optional<std::string> pick_answer_;
  std::vector<std::string> opened_;
  bool opener_present_ = true;
  int loads_ = 0;
  FixedClock clock_{{2025, 6, 15}};
  std::unique_ptr<ScopedClock> pinned_;

  std::string DbPath() const { return home_->File("score.db"); }

  void MakeWindow(long stop_after = -1) {
    window_.reset();
    progress_ = std::make_unique<WatchingProgress>(stop_after);
    window_ = std::make_unique<frmLanereport>(*db_, "score");
    progress_->window = window_.get();
    OutputWindowServices services;
    services.messages = &messages_;
    services.progress = progress_.get();
    services.folder_chooser = chooser_.get();
    services.load_progress = [this](QWidget*) { ++loads_; };
    services.unload_progress = [] {};
    services.choose_path = [](int mode, const std::string&, const std::string&,
                              const std::string& mask) -> std::optional<std::string> {
      return mode == 1 ? "/chosen/" : "/chosen/" + mask;
    };
    services.pick_date = [this](QWidget* field, const std::string&) {
      picked_fields_.push_back(field->objectName().toStdString());
      return pick_answer_;
    };
    services.open_workbook = [this](const std::string& path) {
      opened_.push_back(path);
      return opener_present_;
    };
    window_->SetServices(services);
  }

  template <class T>
  T* Find(const char* name) {
    T* found = window_->findChild<T*>(name);
    if (!found) qFatal("no control %s", name);
    return found;
  }
  QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  void Leave(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
  }
  long CountRows(const std::string& sql) {
    auto rs = db_->OpenRecordset(sql);
    long n = 0;
    for (; !rs->Eof(); rs->MoveNext()) ++n;
    return n;
  }
  std::string FirstBowler() {
    return db_->OpenRecordset("Select Name From Bowler_Data Order By Number")->Field("Name").Text();
  }
  // Makes in the window into a fresh folder and returns that folder.
  std::string MakeInWindow() {
    std::string out = work_->File("win" + std::to_string(++runs_));
    fs::create_directories(out);
    Edit("txtFolderPath")->setText(QString::fromStdString(out));
    messages_.shown.clear();
    Click("cmdMAKE");
    return out;
  }
  std::string CliOut() { return work_->File("cli" + std::to_string(runs_)); }
  void Cli(std::vector<std::string> words) {
    testing::CliResult r = testing::RunCli(std::move(words));
    QVERIFY2(r.status == 0, r.err.c_str());
  }
  void CompareTrees(const std::string& window, const std::string& cli) {
    auto a = Tree(window), b = Tree(cli);
    QVERIFY(!a.empty());
    QCOMPARE(Names(a), Names(b));
    for (const auto& [name, bytes] : a) {
      if (name.ends_with(".xlsx")) {
        // A workbook is compared part by part: the archive stamps each entry with the time of
        // the save, which differs between two runs a second apart.
        const std::string wa = window + "/" + name, wb = cli + "/" + name;
        const std::vector<std::string> parts = testing::ZipPartNames(wa);
        QVERIFY2(!parts.empty() && parts == testing::ZipPartNames(wb), name.c_str());
        for (const std::string& part : parts)
          QVERIFY2(testing::ReadZipPart(wa, part) == testing::ReadZipPart(wb, part),
                   (name + ":" + part).c_str());
        continue;
      }
      QVERIFY2(bytes == b[name], name.c_str());
    }
  }
  int runs_ = 0;

 private slots:
  void initTestCase() {
    pinned_ = std::make_unique<ScopedClock>(clock_);
    home_ = std::make_unique<testing::TempDir>();
    ::setenv("LANEREPORT_HOME", home_->Path().c_str(), 1);
    fs::copy_file(std::string(LANEREPORT_RESOURCES) + "/BowlerData.xlsx",
                  home_->File("BowlerData.xlsx"));
    SampleOptions options;
    options.bowlers = 3;
    options.years = 1;
    options.end_year = 2025;
    options.seed = 3;
    CreateSampleDatabase(DbPath(), options);
    db_ = OpenDataBase(DbPath(), kSuitePassword);
    QVERIFY(db_);
  }
  void init() {
    work_ = std::make_unique<testing::TempDir>();
    chooser_ = std::make_unique<testing::FixedChooser>(work_->Path() + "/one/");
    fs::create_directories(work_->File("one"));
    messages_ = {};
    picked_fields_.clear();
    pick_answer_.reset();
    opened_.clear();
    opener_present_ = true;
    loads_ = 0;
    MakeWindow();
  }
  void cleanup() { window_.reset(); }
  void cleanupTestCase() {
    db_.reset();
    pinned_.reset();
  }

  void OpensInBulkModeWithTheYear() {
    QCOMPARE(window_->windowTitle(), QString("一括出力処理"));
    QCOMPARE(window_->Mode(), 0);
    QCOMPARE(Find<QComboBox>("cboYearC")->currentText(), QString("2025"));
    QVERIFY(!Find<QWidget>("fraCollectively")->isHidden());
    QVERIFY(Find<QWidget>("fraBowler")->isHidden());
    QVERIFY(Find<QWidget>("fraUser")->isHidden());
    QVERIFY(!Find<QLabel>("lblZepa")->isHidden());
    QCOMPARE(Find<QLabel>("lblZepa")->text(), QString("score"));
    QCOMPARE(Find<QLabel>("lblMG")->text(),
             QString("年のボウラー情報 月間表 スコア表を作成します"));
    QCOMPARE(Find<QLabel>("lblName")->text(), QString::fromStdString(FirstBowler()));
    QCOMPARE(Find<QComboBox>("cboBowler")->count(), 3);
    QVERIFY(!Find<QComboBox>("cboBowler")->isEditable());
    // Year list on focus: ten years back up to this year.
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(Find<QComboBox>("cboYearC"), &in);
    QCOMPARE(Find<QComboBox>("cboYearC")->count(), 11);
    QCOMPARE(Find<QComboBox>("cboYearC")->itemText(0), QString("2015"));
    QCOMPARE(Find<QComboBox>("cboYearC")->currentText(), QString("2025"));
  }

  void EveryModeSetsItsCaptionsAndPresets() {
    Click("optChange_1");
    QCOMPARE(window_->windowTitle(), QString("ボウラー情報作成"));
    QVERIFY(!Find<QWidget>("fraBowler")->isHidden());
    QVERIFY(Find<QWidget>("fraCollectively")->isHidden());
    QVERIFY(!Find<QLabel>("lblZepa")->isHidden());
    QVERIFY(!Find<QCheckBox>("chkSCREEN")->isChecked());
    Click("optCondition_1");
    QVERIFY(Edit("txtSTTDT")->isHidden());
    QCOMPARE(Edit("txtENDDT")->text(), QString("2025/06/15"));
    QCOMPARE(Find<QLabel>("lblMessage1")->text(), QString("から過去"));
    QCOMPARE(Edit("txtGameCount")->text(), QString("30"));
    QCOMPARE(Find<QLabel>("lblMessage2")->text(), QString(" Game"));
    Click("optCondition_0");
    QVERIFY(!Edit("txtSTTDT")->isHidden());
    QCOMPARE(Edit("txtSTTDT")->text(), QString("2025/01/01"));
    QCOMPARE(Edit("txtENDDT")->text(), QString("2025/12/31"));
    QCOMPARE(Find<QLabel>("lblMessage1")->text(), QString("～"));
    QVERIFY(Edit("txtGameCount")->isHidden());

    Click("optChange_2");
    QCOMPARE(window_->windowTitle(), QString("月間表作成"));
    QVERIFY(!Find<QWidget>("fraUser")->isHidden());
    QVERIFY(Find<QLabel>("lblZepa")->isHidden());
    QCOMPARE(Find<QComboBox>("cboSTTDT")->currentText(), QString("2025/06"));
    QCOMPARE(Find<QLabel>("lblENDDT")->text(), QString("202506"));
    Find<QComboBox>("cboSTTDT")->setEditText("2024/11");
    QCOMPARE(Find<QLabel>("lblSTTDT")->text(), QString("202411"));

    Click("optChange_3");
    QCOMPARE(window_->windowTitle(), QString("スコア表作成"));
    QVERIFY(Find<QRadioButton>("OptSCORE")->isChecked());
    QCOMPARE(Edit("txtSTTDT1")->text(), QString("2025/06/15"));
    QVERIFY(!Edit("txtSTTDT1")->isEnabled());
    QVERIFY(Find<QListWidget>("lstChoose")->isEnabled());
    QCOMPARE(progress_->message1, std::string("ただいま、リストを作成中です"));
    QCOMPARE(loads_, 1);
    Click("OptHTML");
    QVERIFY(Edit("txtENDDT1")->isEnabled());
    QVERIFY(!Find<QListWidget>("lstChoose")->isEnabled());
  }

  void SeriesListHasOneLinePerPlay() {
    Click("optChange_3");
    std::string bowler = FirstBowler();
    long plays = CountRows(
        "Select Distinct Play_Date, Alley_Name, Level_Name From Result_Data Where Bowler_Name = '" +
        bowler +
        "' And Level_Name In (Select Name From Level_Data Where CalculationTarget = True)");
    QVERIFY(plays > 1);
    auto* list = Find<QListWidget>("lstChoose");
    QCOMPARE(list->count(), static_cast<int>(plays));
    QVERIFY(!list->isHidden());
    QVERIFY(window_->isEnabled());
    // Newest first.
    QVERIFY(list->item(0)->text().left(10) >= list->item(list->count() - 1)->text().left(10));
  }

  void CentreAndLevelListsStartWithTheSpecialEntries() {
    const QString blank = "----------------------";
    auto* alley = Find<QComboBox>("cboAlley");
    QCOMPARE(alley->itemText(0), blank);
    QCOMPARE(alley->itemText(1), QString("ホームレーン"));
    QCOMPARE(alley->itemText(2), QString("ホームレーン以外"));
    QCOMPARE(alley->itemText(3), blank);
    QCOMPARE(alley->count(), 4 + static_cast<int>(CountRows("Select * From Alley_Data")));
    auto* level = Find<QComboBox>("cboLevel");
    QCOMPARE(level->itemText(0), blank);
    QCOMPARE(level->itemText(1), QString("成績算出レベル外含むすべて"));
    QCOMPARE(level->itemText(2), blank);
    QCOMPARE(level->count(), 3 + static_cast<int>(CountRows("Select * From Level_Data")));
  }

  void EnteringAndLeavingSettingsRewritesAllElevenKeys() {
    Edit("txtLinkPath")->setText("  http://example.jp/  ");
    db_->Execute("Delete From S_SYSTEM");
    Click("cmbEstablish");
    QVERIFY(window_->SettingsMode());
    QCOMPARE(Find<QPushButton>("cmbEstablish")->text(), QString("設定完了"));
    QVERIFY(!Find<QPushButton>("cmdMAKE")->isEnabled());
    QVERIFY(Find<QWidget>("fraFromChange")->isHidden());
    QVERIFY(!Find<QWidget>("fraPrepare")->isHidden());
    Click("cmbEstablish");
    QVERIFY(!window_->SettingsMode());
    QCOMPARE(Find<QPushButton>("cmbEstablish")->text(), QString("設定"));
    QVERIFY(Find<QPushButton>("cmdMAKE")->isEnabled());
    QVERIFY(!Find<QWidget>("fraCollectively")->isHidden());
    QCOMPARE(CountRows("Select * From S_SYSTEM"), 11L);
    QCOMPARE(db_->OpenRecordset("Select SS_Contents From S_SYSTEM Where SS_ID = 'LinkPath'")
                 ->Field("SS_Contents")
                 .Text(),
             std::string("http://example.jp/"));
    // The choosers fill their fields.
    Click("cmdFolder");
    QCOMPARE(Edit("txtFolderPath")->text(), QString("/chosen/"));
    QCOMPARE(window_->mstrOutFolder(), std::string("/chosen/"));
    Click("cmdSheet");
    QCOMPARE(Edit("txtSheetPath")->text(), QString("/chosen/*.xlsx"));
  }

  void ClosingInSettingsModeSavesFirst() {
    Click("cmbEstablish");
    Edit("txtStyle")->setText("style.css");
    window_->close();
    QCOMPARE(db_->OpenRecordset("Select SS_Contents From S_SYSTEM Where SS_ID = 'StyleSheet'")
                 ->Field("SS_Contents")
                 .Text(),
             std::string("style.css"));
    db_->Execute("Update S_SYSTEM Set SS_Contents = '' Where SS_ID = 'StyleSheet'");
  }

  void ColourFieldsUpperCaseAndPreview() {
    Click("cmbEstablish");
    QLineEdit* cha = Edit("txtCHA");
    cha->clear();
    cha->setFocus();
    QTest::keyClicks(cha, "#ff0000");
    QCOMPARE(cha->text(), QString("#FF0000"));
    QCOMPARE(Find<QLabel>("lblColor")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QTest::keyClicks(cha, "z");
    QCOMPARE(cha->text(), QString("#FF0000Z"));
    QCOMPARE(Find<QLabel>("lblColor")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QLineEdit* bg = Edit("txtBG");
    bg->clear();
    QTest::keyClicks(bg, "#00ff00");
    QCOMPARE(Find<QWidget>("fraColor")->palette().color(QPalette::Window), QColor(0, 255, 0));
  }

  void SettingsThatNoPageCouldHoldAreRefusedOnTheirField() {
    Click("cmbEstablish");
    Edit("txtStyle")->setText("css/site.css");
    Edit("txtCHA")->setText("#GGGGGG");
    Edit("txtSPARE")->setText("jpg/sp\"are.jpg");
    Click("cmbEstablish");
    // The first refused field is named and keeps the focus; nothing is stored, nothing is lost.
    QVERIFY(window_->SettingsMode());
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QVERIFY(messages_.shown[0].message1.starts_with("文字色には色を"));
    QCOMPARE(window_->focusWidget(), Edit("txtCHA"));
    QCOMPARE(Edit("txtStyle")->text(), QString("css/site.css"));
    Edit("txtCHA")->setText("#00FF00");
    messages_.shown.clear();
    window_->close();
    QVERIFY(window_->SettingsMode());
    QVERIFY(messages_.shown[0].message1.starts_with("Spare画像には相対パスか"));
    QCOMPARE(window_->focusWidget(), Edit("txtSPARE"));
    QVERIFY(db_->OpenRecordset("Select SS_Contents From S_SYSTEM Where SS_ID = 'StyleSheet'")
                ->Field("SS_Contents")
                .Text() != "css/site.css");
    Edit("txtSPARE")->setText("jpg/spare.jpg");
    Click("cmbEstablish");
    QVERIFY(!window_->SettingsMode());
    QCOMPARE(db_->OpenRecordset("Select SS_Contents From S_SYSTEM Where SS_ID = 'CharacterColor'")
                 ->Field("SS_Contents")
                 .Text(),
             std::string("#00FF00"));
    db_->Execute("Update S_SYSTEM Set SS_Contents = '' Where SS_ID = 'StyleSheet'");
  }

  void DateAndNumberFieldsRefuseBadInput() {
    Click("optChange_1");
    QLineEdit* start = Edit("txtSTTDT");
    start->setText(" 2025/02/30 ");
    Leave(start);
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません！"});
    QCOMPARE(messages_.shown[0].timer_seconds, 10);
    QCOMPARE(picked_fields_, std::vector<std::string>{"txtSTTDT"});
    // A good date picked from the calendar is taken and no longer open.
    pick_answer_ = "2025/03/01";
    window_->DateField_Click(start);
    QCOMPARE(start->text(), QString("2025/03/01"));
    QCOMPARE(start->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    // Today is shown in the open colour.
    pick_answer_ = "2025/06/15";
    window_->DateField_Click(Edit("txtENDDT"));
    QCOMPARE(Edit("txtENDDT")->palette().color(QPalette::Base), QColor(0xC0, 0xFF, 0xFF));

    messages_.shown.clear();
    Click("optCondition_1");
    Edit("txtGameCount")->setText("1234567890");
    Leave(Edit("txtGameCount"));
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"入力した数字が大き過ぎます"});
    messages_.shown.clear();
    Edit("txtGameCount")->setText("123456789");
    Leave(Edit("txtGameCount"));
    QVERIFY(messages_.shown.empty());

    // Mode 3's dates are checked too.
    Click("optChange_3");
    Click("OptHTML");
    pick_answer_.reset();
    Edit("txtENDDT1")->setText("x");
    Leave(Edit("txtENDDT1"));
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません！"});
  }

  void WrongPeriodStopsTheWorkbook() {
    Click("optChange_1");
    Click("optCondition_0");
    Edit("txtSTTDT")->setText("2025/12/31");
    Edit("txtENDDT")->setText("2025/01/01");
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付の範囲指定が不正です"});
    QCOMPARE(picked_fields_, std::vector<std::string>{"txtENDDT"});
    QVERIFY(Tree(out).empty());
    Edit("txtENDDT")->setText("2025/12/31");
    QVERIFY(window_->CheckPeriod());
  }

  void SheetEditorAddsUpdatesRenamesAndDeletes() {
    Click("optChange_1");
    auto* list = Find<QListWidget>("lstSheets");
    int before = list->count();
    QVERIFY(before > 0);
    // The first definition is shown.
    QCOMPARE(Edit("txtSheetName")->text(), list->item(0)->text());

    Edit("txtSheetName")->setText("  ");
    Click("cmdSheetAdd");
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"シート名を入力してください"});
    messages_.shown.clear();
    Click("cmdSheetModify");
    Click("cmdSheetDel");
    QCOMPARE(messages_.FirstLines(),
             (std::vector<std::string>{"シート一覧からシートを選択してください",
                                       "シート一覧からシートを選択してください"}));

    // A new definition with untouched (open) dates and two switches.
    Click("optCondition_0");
    Edit("txtSheetName")->setText("ZZ");
    Edit("txtSTTDT")->setText("2025/01/01");
    Edit("txtENDDT")->setText("2025/12/31");
    for (int i = 0; i < 38; ++i)
      Find<QCheckBox>(("chkColumn_" + std::to_string(i)).c_str())->setChecked(i == 3 || i == 37);
    Click("cmdSheetAdd");
    QCOMPARE(list->count(), before + 1);
    auto rs = db_->OpenRecordset("Select * From S_OUTPUT Where SheetName = 'ZZ'");
    QVERIFY(!rs->Eof());
    // The dates were shown as open defaults by the first definition, so they stay empty.
    QCOMPARE(rs->Field("Start_Date").Text(), std::string(""));
    QVERIFY(rs->Field("Rankb").Number().value_or(0) != 0);
    QVERIFY(rs->Field("MonthAvg").Number().value_or(0) != 0);
    QVERIFY(rs->Field("Sex").Number().value_or(0) == 0);

    // A picked date is kept; renaming and 更新 adds a second definition.
    QListWidgetItem* zz = list->findItems("ZZ", Qt::MatchExactly).value(0);
    QVERIFY(zz);
    list->setCurrentItem(zz);
    emit list->itemClicked(zz);
    QCOMPARE(Edit("txtSheetName")->text(), QString("ZZ"));
    pick_answer_ = "2025/02/01";
    window_->DateField_Click(Edit("txtSTTDT"));
    Edit("txtSheetName")->setText("ZY");
    Click("cmdSheetModify");
    QCOMPARE(list->count(), before + 2);
    QCOMPARE(db_->OpenRecordset("Select Start_Date From S_OUTPUT Where SheetName = 'ZY'")
                 ->Field("Start_Date")
                 .Text(),
             std::string("20250201"));
    QCOMPARE(db_->OpenRecordset("Select Start_Date From S_OUTPUT Where SheetName = 'ZZ'")
                 ->Field("Start_Date")
                 .Text(),
             std::string(""));

    // Deleting asks first; no keeps the definition.
    messages_.answer = false;
    Edit("txtSheetName")->setText("ZY");
    Click("cmdSheetDel");
    QCOMPARE(messages_.asked.size(), std::size_t{1});
    QCOMPARE(list->count(), before + 2);
    messages_.answer = true;
    Edit("txtSheetName")->setText("ZY");
    Click("cmdSheetDel");
    QCOMPARE(list->count(), before + 1);
    QCOMPARE(Edit("txtSheetName")->text(), list->item(0)->text());
    Edit("txtSheetName")->setText("ZZ");
    Click("cmdSheetDel");
    QCOMPARE(list->count(), before);
  }

  void BulkMakesWhatTheCommandLineMakes() {
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"一括出力が終了しました"});
    QCOMPARE(messages_.shown[0].color, 0x800000L);
    QCOMPARE(messages_.shown[0].timer_seconds, 10);
    QVERIFY(window_->isEnabled());
    QVERIFY(!progress_->enabled_during_run);
    Cli({"bulk", DbPath(), "--year", "2025", "--out", CliOut()});
    CompareTrees(out, CliOut());
    auto tree = Tree(out);
    QVERIFY(tree.count("score2025/score2025.xlsx"));
    // Monthly and score tables of the bowlers are there too.
    QVERIFY(std::count_if(tree.begin(), tree.end(), [](const auto& f) {
              return std::count(f.first.begin(), f.first.end(), '/') == 2;
            }) > 10);
  }

  void StopDuringTheBulkWorkbookMakesNoTables() {
    MakeWindow(1);
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"一括出力が終了しました"});
    QVERIFY(window_->isEnabled());
    for (const auto& [name, bytes] : Tree(out))
      QVERIFY2(std::count(name.begin(), name.end(), '/') < 2, name.c_str());
  }

  void WorkbookWithPagesMakesWhatTheCommandLineMakes() {
    Click("optChange_1");
    Find<QCheckBox>("chkSCREEN")->setChecked(true);
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"ボウラー情報を作成しました"});
    QVERIFY(opened_.empty());
    Cli({"workbook", DbPath(), "--html", "--out", CliOut()});
    CompareTrees(out, CliOut());
  }

  void WorkbookAloneIsOpenedOrItsPlaceIsTold() {
    Click("optChange_1");
    std::string out = MakeInWindow();
    QCOMPARE(opened_, std::vector<std::string>{out + "/score/score.xlsx"});
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"ボウラー情報を作成しました"});
    QCOMPARE(messages_.shown[0].message2, std::string(""));
    Cli({"workbook", DbPath(), "--out", CliOut()});
    CompareTrees(out, CliOut());

    opener_present_ = false;
    out = MakeInWindow();
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].message2, "保存先：" + out + "/score/score.xlsx");
  }

  void MonthlyTablesMatchTheCommandLine() {
    Click("optChange_2");
    Find<QComboBox>("cboSTTDT")->setEditText("2025/01");
    Find<QComboBox>("cboENDDT")->setEditText("2025/06");
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"月間表を作成しました"});
    Cli({"monthly-pages", DbPath(), "--bowler", FirstBowler(), "--from", "2025/01", "--to",
         "2025/06", "--out", CliOut()});
    CompareTrees(out, CliOut());
  }

  void ScoreTablesOfAPeriodMatchTheCommandLine() {
    Click("optChange_3");
    Click("OptHTML");
    Edit("txtSTTDT1")->setText("2025/01/01");
    Edit("txtENDDT1")->setText("2025/06/15");
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"スコア表を作成しました"});
    QVERIFY(window_->isEnabled());
    Cli({"score-pages", DbPath(), "--bowler", FirstBowler(), "--from", "2025/01/01", "--to",
         "2025/06/15", "--out", CliOut()});
    CompareTrees(out, CliOut());
  }

  void ScoreTableOfAListedPlayMatchesTheCommandLine() {
    Click("optChange_3");
    auto* list = Find<QListWidget>("lstChoose");
    // Nothing chosen: refused, nothing made.
    list->clearSelection();
    list->setCurrentItem(nullptr);
    MakeInWindow();
    QCOMPARE(messages_.FirstLines(),
             std::vector<std::string>{"作成するデータが選択されていません！"});
    QCOMPARE(messages_.shown[0].color, 0L);
    QVERIFY(Tree(work_->File("one")).empty());

    QVERIFY(list->count() > 1);
    list->setCurrentRow(1);
    MakeInWindow();
    QStringList parts = list->item(1)->text().split('\t');
    Cli({"score-page", DbPath(), "--bowler", FirstBowler(), "--date",
         parts[0].trimmed().toStdString(), "--centre", parts[1].trimmed().toStdString(), "--level",
         parts[2].trimmed().toStdString(), "--dir", CliOut()});
    CompareTrees(work_->File("one"), CliOut());
    QCOMPARE(chooser_->calls, 1);
  }

  void ListedPlayAtACentreOfALongNameMakesItsPage() {
    // A centre name longer than the list's 20 bytes, played at the newest date of the list.
    const std::string centre = "グランドボウリングセンター";
    QVERIFY(centre.size() > 20);
    auto counted = db_->OpenRecordset(
        "Select Name From Level_Data Where CalculationTarget = True Order By Number");
    const std::string level = counted->Field("Name").Text();
    counted.reset();
    testing::AddAlley(*db_, centre, 900, false);
    testing::AddOpenGame(*db_, FirstBowler(), centre, level, "2025/06/15", 1, "8", "1");
    MakeWindow();
    Click("optChange_3");
    auto* list = Find<QListWidget>("lstChoose");
    QVERIFY(list->count() > 0);
    QVERIFY(!list->item(0)->text().contains(QString::fromStdString(centre)));
    list->setCurrentRow(0);
    MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{""});
    QCOMPARE(messages_.shown.at(0).message2, std::string("スコア表を作成しました"));
    QCOMPARE(Tree(work_->File("one")).size(), std::size_t{1});
    Cli({"score-page", DbPath(), "--bowler", FirstBowler(), "--date", "2025/06/15", "--centre",
         centre, "--level", level, "--dir", CliOut()});
    CompareTrees(work_->File("one"), CliOut());
  }
};

QTEST_MAIN(OutputWindowTest)
#include "output_window_test.moc"
