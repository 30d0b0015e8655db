// What the output window does with what a user types: years, months and dates that are none,
// periods the wrong way round or without games, paths in the colour fields, and every field of
// every mode given texts no field expects.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "database/basDataBase.h"
#include "frmLanereport.h"
#include "sample/SampleDatabase.h"
#include "ui/MessageWindow.h"
#include "util/Clock.h"

using namespace lanereport;
using namespace lanereport::gui;
namespace fs = std::filesystem;

namespace {

const char* const kTables[] = {"Bowler_Data", "Alley_Data", "Level_Data",       "Result_Data",
                               "S_SYSTEM",    "S_OUTPUT",   "DataNumberControl"};

// Every file under folder, relative to it.
std::set<std::string> Files(const std::string& folder) {
  std::set<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files.insert(fs::relative(entry.path(), folder).string());
  return files;
}

// The texts a user can put into any field.
std::vector<QString> HostileTexts() {
  return {"", "abcd", "2026/02/30", "-1", "９９", QString(300, QChar('x')), "<>&\"'"};
}

}  // namespace

// The output window on a sample database of the year 2026, with the message windows, the
// progress window, the chooser and the calendar answered by the test.
class OutputWindowInputTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempDir> home_;
  std::unique_ptr<testing::TempDir> work_;
  std::unique_ptr<Database> db_;
  std::unique_ptr<frmLanereport> window_;
  testing::RecordingMessages messages_;
  std::unique_ptr<testing::CountingProgress> progress_;
  std::unique_ptr<testing::FixedChooser> chooser_;
  std::optional<std::string> pick_answer_;
  FixedClock clock_{{2026, 6, 15}};
  std::unique_ptr<ScopedClock> pinned_;
  int runs_ = 0;

  void MakeWindow() {
    window_.reset();
    progress_ = std::make_unique<testing::CountingProgress>();
    window_ = std::make_unique<frmLanereport>(*db_, "sample");
    OutputWindowServices services;
    services.messages = &messages_;
    services.progress = progress_.get();
    services.folder_chooser = chooser_.get();
    services.load_progress = [](QWidget*) {};
    services.unload_progress = [] {};
    services.choose_path = [](int, const std::string&, const std::string&,
                              const std::string&) -> std::optional<std::string> {
      return std::nullopt;
    };
    services.pick_date = [this](QWidget*, const std::string&) { return pick_answer_; };
    services.open_workbook = [](const std::string&) { return true; };
    window_->SetServices(services);
  }

  template <class T>
  T* Find(const char* name) {
    T* found = window_->findChild<T*>(name);
    if (!found) qFatal("no control %s", name);
    return found;
  }
  QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
  QComboBox* Box(const char* name) { return Find<QComboBox>(name); }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  void Leave(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
  }
  void Enter(QWidget* field) {
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(field, &in);
  }
  std::string Out() const { return work_->File("win" + std::to_string(runs_)); }
  // Makes into a fresh folder and returns it.
  std::string MakeInWindow() {
    ++runs_;
    fs::create_directories(Out());
    Edit("txtFolderPath")->setText(QString::fromStdString(Out()));
    messages_.shown.clear();
    Click("cmdMAKE");
    return Out();
  }
  std::string Stored(const std::string& sql, const std::string& field) {
    auto rs = db_->OpenRecordset(sql);
    return rs->Eof() ? "(none)" : rs->Field(field).Text();
  }
  // Every row of every table, but the ones named, as text.
  std::map<std::string, std::string> Tables(std::initializer_list<std::string> except = {}) {
    std::map<std::string, std::string> tables;
    for (const char* table : kTables) {
      if (std::find(except.begin(), except.end(), table) != except.end()) continue;
      auto rs = db_->OpenRecordset(std::string("Select * From ") + table);
      std::string rows;
      for (; !rs->Eof(); rs->MoveNext()) {
        for (const std::string& column : rs->Columns()) rows += rs->Field(column).Text() + "\t";
        rows += "\n";
      }
      tables[table] = rows;
    }
    return tables;
  }
  bool CompletionShown() const {
    for (const MessageText& m : messages_.shown)
      if (m.color == kCompletionColor) return true;
    return false;
  }
  // Presses a button; an exception that leaves its handler fails the test.
  bool Press(const char* name) {
    try {
      Click(name);
    } catch (const std::exception& e) {
      qWarning("%s: %s", name, e.what());
      return false;
    } catch (...) {
      return false;
    }
    return true;
  }

 private slots:
  void initTestCase() {
    pinned_ = std::make_unique<ScopedClock>(clock_);
    home_ = std::make_unique<testing::TempDir>();
    ::setenv("LANEREPORT_HOME", home_->Path().c_str(), 1);
    fs::copy_file(std::string(LANEREPORT_RESOURCES) + "/BowlerData.xlsx",
                  home_->File("BowlerData.xlsx"));
    SampleOptions options;
    options.bowlers = 2;
    options.years = 1;
    options.end_year = 2026;
    options.seed = 5;
    CreateSampleDatabase(home_->File("sample.db"), options);
    db_ = OpenDataBase(home_->File("sample.db"), kSuitePassword);
    QVERIFY(db_);
  }
  void init() {
    work_ = std::make_unique<testing::TempDir>();
    chooser_ = std::make_unique<testing::FixedChooser>(work_->Path() + "/one/");
    messages_ = {};
    pick_answer_.reset();
    MakeWindow();
  }
  void cleanup() { window_.reset(); }
  void cleanupTestCase() {
    db_.reset();
    pinned_.reset();
  }

  void BulkYearThatIsNoYearIsRefusedBeforeAnythingIsMade() {
    for (const char* year : {"abcd", "", "20266", "26", "２０２６", "-100"}) {
      Box("cboYearC")->setEditText(year);
      std::string out = MakeInWindow();
      QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません"});
      QVERIFY2(Files(out).empty(), year);
      QCOMPARE(window_->focusWidget(), Box("cboYearC"));
    }
    QVERIFY(window_->isEnabled());
  }

  void ChoosingAMonthFromTheListPutsItIntoTheField() {
    Find<QRadioButton>("optChange_2")->click();
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    for (const char* name : {"cboSTTDT", "cboENDDT"}) {
      QComboBox* box = Box(name);
      QLabel* label = Find<QLabel>(name == std::string("cboSTTDT") ? "lblSTTDT" : "lblENDDT");
      window_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(window_.get()));
      box->setFocus();
      QTRY_COMPARE(box->count(), 11);
      // The list opens on the field's month.
      QCOMPARE(box->currentText(), QString("2026/06"));
      QCOMPARE(box->currentIndex(), 10);
      // With the mouse's list: open it, move up two, take the entry.
      box->showPopup();
      QTRY_VERIFY(box->view()->isVisible());
      QCOMPARE(box->view()->currentIndex().row(), 10);
      QTest::keyClick(box->view(), Qt::Key_Up);
      QTest::keyClick(box->view(), Qt::Key_Up);
      QTest::keyClick(box->view(), Qt::Key_Return);
      QTRY_VERIFY(!box->view()->isVisible());
      QCoreApplication::processEvents();
      QCOMPARE(box->currentText(), QString("2026/04"));
      QCOMPARE(label->text(), QString("202604"));
      // With the keyboard in the field itself.
      QTest::keyClick(box, Qt::Key_Up);
      QCOMPARE(box->currentText(), QString("2026/03"));
      QCOMPARE(label->text(), QString("202603"));
      // Leaving and coming back keeps the choice and shows it as the list's entry.
      Find<QWidget>("cmdMAKE")->setFocus();
      box->setFocus();
      QCoreApplication::processEvents();
      QCOMPARE(box->currentText(), QString("2026/03"));
      QCOMPARE(box->currentIndex(), 7);
    }
    MakeInWindow();
    QVERIFY(messages_.FirstLines() != std::vector<std::string>{"日付が正しくありません"});
  }

  void YearListOpensOnTheYearShown() {
    QComboBox* box = Box("cboYearC");
    Enter(box);
    QCOMPARE(box->count(), 11);
    QCOMPARE(box->itemText(0), QString("2016"));
    QCOMPARE(box->currentIndex(), 10);
    QCOMPARE(box->currentText(), QString("2026"));
    box->setEditText("2020");
    Leave(box);
    Enter(box);
    QCOMPARE(box->currentIndex(), 4);
    QCOMPARE(box->currentText(), QString("2020"));
  }

  void SheetEditorKeepsTypedDatesAndRefusesBadOnes() {
    Click("optChange_1");
    Click("optCondition_0");
    QLineEdit* start = Edit("txtSTTDT");
    QLineEdit* end = Edit("txtENDDT");
    Edit("txtSheetName")->setText("Typed");
    for (auto [field, date] : {std::pair{start, "2026/03/01"}, std::pair{end, "2026/03/31"}}) {
      field->selectAll();
      QTest::keyClicks(field, date);
      Leave(field);
      // A typed date is the user's, shown in the normal colour.
      QCOMPARE(field->palette().color(QPalette::Base),
               QApplication::palette().color(QPalette::Base));
    }
    Click("cmdSheetAdd");
    QCOMPARE(Stored("Select Start_Date From S_OUTPUT Where SheetName = 'Typed'", "Start_Date"),
             std::string("20260301"));
    QCOMPARE(Stored("Select End_Date From S_OUTPUT Where SheetName = 'Typed'", "End_Date"),
             std::string("20260331"));

    // A date that is none is refused on its field; nothing is stored.
    messages_.shown.clear();
    Edit("txtSheetName")->setText("Bad");
    start->selectAll();
    QTest::keyClicks(start, "2026/02/30");
    Click("cmdSheetAdd");
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません"});
    QCOMPARE(window_->focusWidget(), start);
    QCOMPARE(Stored("Select SheetName From S_OUTPUT Where SheetName = 'Bad'", "SheetName"),
             std::string("(none)"));
    Edit("txtSheetName")->setText("Typed");
    Click("cmdSheetModify");
    QCOMPARE(Stored("Select Start_Date From S_OUTPUT Where SheetName = 'Typed'", "Start_Date"),
             std::string("20260301"));

    // A game count that is no number.
    messages_.shown.clear();
    Click("optCondition_1");
    Edit("txtGameCount")->setText("abc");
    Edit("txtSheetName")->setText("Count");
    Click("cmdSheetAdd");
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"数値を入力して下さい"});
    QCOMPARE(window_->focusWidget(), Edit("txtGameCount"));
    QCOMPARE(Stored("Select SheetName From S_OUTPUT Where SheetName = 'Count'", "SheetName"),
             std::string("(none)"));
    Edit("txtGameCount")->setText("25");
    Click("cmdSheetAdd");
    QCOMPARE(Stored("Select Pastcount From S_OUTPUT Where SheetName = 'Count'", "Pastcount"),
             std::string("25"));
    db_->Execute("Delete From S_OUTPUT Where SheetName In ('Typed', 'Count')");
  }

  void ImagePathsKeepTheirCase() {
    Click("cmbEstablish");
    QLineEdit* bg = Edit("txtBG");
    bg->clear();
    bg->setFocus();
    QTest::keyClicks(bg, "jpg/BG.jpg");
    QCOMPARE(bg->text(), QString("jpg/BG.jpg"));
    bg->clear();
    QTest::keyClicks(bg, "#00ff00");
    QCOMPARE(bg->text(), QString("#00FF00"));
    bg->clear();
    QTest::keyClicks(bg, "img/Back.PNG");
    QCOMPARE(bg->text(), QString("img/Back.PNG"));
    QLineEdit* cha = Edit("txtCHA");
    cha->clear();
    QTest::keyClicks(cha, "#ab00cd");
    QCOMPARE(cha->text(), QString("#AB00CD"));
    Click("cmbEstablish");
    QVERIFY(!window_->SettingsMode());
    QCOMPARE(Stored("Select SS_Contents From S_SYSTEM Where SS_ID = 'Background'", "SS_Contents"),
             std::string("img/Back.PNG"));
  }

  void ReversedRangesAreRefusedBeforeAnythingIsWritten() {
    Click("optChange_2");
    Box("cboSTTDT")->setEditText("2026/08");
    Box("cboENDDT")->setEditText("2026/05");
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付の範囲指定が不正です"});
    QVERIFY(Files(out).empty());

    Click("optChange_3");
    Click("OptHTML");
    Edit("txtSTTDT1")->setText("2026/08/01");
    Edit("txtENDDT1")->setText("2026/05/01");
    out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付の範囲指定が不正です"});
    QVERIFY(Files(out).empty());

    Click("optChange_1");
    Click("optCondition_0");
    Edit("txtSTTDT")->setText("2026/08/01");
    Edit("txtENDDT")->setText("2026/05/01");
    out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付の範囲指定が不正です"});
    QVERIFY(Files(out).empty());
  }

  void RangesWithoutGamesSayThereIsNothing() {
    Click("optChange_2");
    Box("cboSTTDT")->setEditText("2019/01");
    Box("cboENDDT")->setEditText("2019/03");
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"該当するﾃﾞｰﾀは存在しません"});
    QVERIFY(!CompletionShown());
    QVERIFY(Files(out).empty());

    Click("optChange_3");
    Click("OptHTML");
    Edit("txtSTTDT1")->setText("2019/01/01");
    Edit("txtENDDT1")->setText("2019/01/31");
    out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"該当するﾃﾞｰﾀは存在しません"});
    QVERIFY(!CompletionShown());
    QVERIFY(Files(out).empty());
  }

  void ARefusedDateDoesNotStayInItsField() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    Click("optChange_3");
    Click("OptHTML");
    QLineEdit* start = Edit("txtSTTDT1");
    QCOMPARE(start->text(), QString("2026/06/15"));
    start->setFocus();
    start->selectAll();
    QTest::keyClicks(start, "2026/02/30");
    Edit("txtENDDT1")->setFocus();  // leaving: the warning, then the calendar, cancelled
    QCoreApplication::processEvents();
    QCOMPARE(messages_.FirstLines(), std::vector<std::string>{"日付が正しくありません！"});
    QCOMPARE(start->text(), QString("2026/06/15"));
    QTRY_COMPARE(QApplication::focusWidget(), start);

    Click("optChange_1");
    Click("optCondition_0");
    QLineEdit* workbook_start = Edit("txtSTTDT");
    workbook_start->setText("2026/13/01");
    Leave(workbook_start);
    QCOMPARE(workbook_start->text(), QString("2026/01/01"));
  }

  void ADamagedTemplateNamesTheFileAndTheCause() {
    std::string damaged = work_->File("damaged.xlsx");
    {
      std::ofstream file(damaged, std::ios::binary);
      file << "this is no workbook";
    }
    Edit("txtSheetPath")->setText(QString::fromStdString(damaged));
    Click("optChange_1");
    std::string out = MakeInWindow();
    QCOMPARE(messages_.FirstLines(),
             std::vector<std::string>{"テンプレートファイルのコピーに失敗しました！"});
    QVERIFY2(messages_.shown[0].message2.starts_with(damaged + "："),
             messages_.shown[0].message2.c_str());
    QVERIFY(messages_.shown[0].message2.size() > damaged.size() + 4);
    QVERIFY(window_->isEnabled());
  }

  void CentreAndLevelTakeTheFocusColour() {
    Click("optChange_1");
    const QColor focus(0xFF, 0xFF, 0xC0);
    for (const char* name : {"cboAlley", "cboLevel"}) {
      QComboBox* box = Box(name);
      Enter(box);
      QCOMPARE(box->palette().color(QPalette::Button), focus);
      Leave(box);
      QCOMPARE(box->palette().color(QPalette::Button),
               QApplication::palette().color(QPalette::Button));
    }
    QLineEdit* count = Edit("txtGameCount");
    Enter(count);
    QCOMPARE(count->palette().color(QPalette::Base), focus);
  }

  void EveryFieldTakesAnyTextWithoutHarm() {
    // The make buttons of the modes, each with the fields it reads.
    struct Case {
      int mode;
      const char* field;
      std::vector<const char*> buttons;
    };
    const std::vector<Case> cases = {
        {0, "cboYearC", {"cmdMAKE"}},
        {1, "txtSTTDT", {"cmdMAKE", "cmdSheetAdd", "cmdSheetModify"}},
        {1, "txtENDDT", {"cmdMAKE", "cmdSheetAdd", "cmdSheetModify"}},
        {1, "txtGameCount", {"cmdSheetAdd", "cmdSheetModify"}},
        {1, "txtSheetName", {"cmdSheetAdd", "cmdSheetModify"}},
        {2, "cboSTTDT", {"cmdMAKE"}},
        {2, "cboENDDT", {"cmdMAKE"}},
        {3, "txtSTTDT1", {"cmdMAKE"}},
        {3, "txtENDDT1", {"cmdMAKE"}},
    };
    for (const Case& c : cases) {
      for (const QString& text : HostileTexts()) {
        MakeWindow();
        Find<QRadioButton>(("optChange_" + std::to_string(c.mode)).c_str())->click();
        if (c.mode == 3) Click("OptHTML");
        if (std::string(c.field) == "txtGameCount") Click("optCondition_1");
        if (auto* box = window_->findChild<QComboBox*>(c.field))
          box->setEditText(text);
        else
          Edit(c.field)->setText(text);
        for (const char* button : c.buttons) {
          bool sheet = std::string(button) != "cmdMAKE";
          auto before =
              Tables(sheet ? std::initializer_list<std::string>{"S_OUTPUT", "DataNumberControl"}
                           : std::initializer_list<std::string>{});
          std::string out;
          if (sheet) {
            messages_.shown.clear();
            QVERIFY2(Press(button), c.field);
          } else {
            ++runs_;
            fs::create_directories(Out());
            out = Out();
            Edit("txtFolderPath")->setText(QString::fromStdString(out));
            messages_.shown.clear();
            QVERIFY2(Press(button), c.field);
            if (CompletionShown()) QVERIFY2(!Files(out).empty(), c.field);
          }
          auto after =
              Tables(sheet ? std::initializer_list<std::string>{"S_OUTPUT", "DataNumberControl"}
                           : std::initializer_list<std::string>{});
          QVERIFY2(before == after, (std::string(c.field) + " " + button).c_str());
          QVERIFY(window_->isEnabled());
        }
      }
    }

    // The settings: each field in turn, then 設定完了; a refused one is put right and left.
    MakeWindow();
    Click("cmbEstablish");
    const char* const settings[] = {"txtCHA",      "txtBG",         "txtStyle",    "txtWAKU1",
                                    "txtWAKU2",    "txtSPACE",      "txtSPARE",    "txtSTRIKE",
                                    "txtLinkPath", "txtFolderPath", "txtSheetPath"};
    std::map<std::string, QString> kept;
    for (const char* name : settings) kept[name] = Edit(name)->text();
    for (const char* name : settings) {
      for (const QString& text : HostileTexts()) {
        if (!window_->SettingsMode()) Click("cmbEstablish");
        QVERIFY(window_->SettingsMode());
        Edit(name)->setText(text);
        auto before = Tables({"S_SYSTEM"});
        QVERIFY2(Press("cmbEstablish"), name);
        QVERIFY(!CompletionShown());
        QVERIFY2(before == Tables({"S_SYSTEM"}), name);
        if (window_->SettingsMode()) {
          Edit(name)->setText(kept[name]);
          QVERIFY2(Press("cmbEstablish"), name);
        }
        QVERIFY2(!window_->SettingsMode(), name);
      }
    }
  }
};

QTEST_MAIN(OutputWindowInputTest)
#include "output_window_input_test.moc"
