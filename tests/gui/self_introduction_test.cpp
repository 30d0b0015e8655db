#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CountingProgress.h"
#include "FakeWindows.h"
#include "Msg_Waiting.h"
#include "TempDir.h"
#include "database/Database.h"
#include "database/MasterLists.h"
#include "frmSelfIntroduction.h"
#include "pages/ProfilePageOutput.h"
#include "sample/SampleDatabase.h"
#include "util/AppError.h"
#include "util/Clock.h"
#include "util/FileChooserRules.h"
#include "util/IniControl.h"
#include "util/Make.h"

using namespace lanereport;
using namespace lanereport::gui;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDbName = "ZepaMasters";
constexpr const char* kDone = "Ｂｏｗｌｅｒ紹介を作成しました";

// Every file under root by its path relative to root, with its bytes.
std::map<std::string, std::string> Tree(const std::string& root) {
  std::map<std::string, std::string> files;
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    files[fs::relative(entry.path(), root).string()] =
        testing::ReadFileBytes(entry.path().string());
  }
  return files;
}

std::vector<std::string> Names(const std::map<std::string, std::string>& tree) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : tree) names.push_back(name);
  return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// Records, with every message and question, whether the progress window was on the screen and
// whether the profile window took input at that moment.
class WatchingMessages : public testing::RecordingMessages {
 public:
  void ShowWarning(const MessageText& message) override {
    Watch();
    RecordingMessages::ShowWarning(message);
  }
  bool AskYesNo(const MessageText& message) override {
    Watch();
    return RecordingMessages::AskYesNo(message);
  }

  QPointer<QWidget> window;
  std::vector<bool> waiting_visible;
  std::vector<bool> window_enabled;

 private:
  void Watch() {
    waiting_visible.push_back(Msg_Waiting::Instance().isVisible());
    window_enabled.push_back(window && window->isEnabled());
  }
};

}  // namespace

// The profile window on a sample database: what it shows, the folder chooser, and the create
// run compared file by file with the profile run of the command line.
class SelfIntroductionTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempDir> dir_;
  std::unique_ptr<Database> db_;
  std::vector<std::string> names_;  // the bowlers' names in list order
  std::vector<std::string> pages_;  // their page files, {Aname}.html
  FixedClock clock_{CivilDate{2025, 6, 15}};
  std::unique_ptr<ScopedClock> pinned_;
  int case_ = 0;

  // A new empty folder path of this test case, not yet created.
  std::string Fresh(const std::string& name) {
    return dir_->File("case" + std::to_string(case_) + "/" + name);
  }

  // What the command line's profile-pages writes for the bowler ("" for all) into a new folder.
  std::map<std::string, std::string> Reference(const std::string& bowler) {
    const std::string folder = Fresh("reference");
    fs::create_directories(folder);
    SilentProgress progress;
    testing::RecordingMessages messages;
    ProfileRunResult result =
        CreateProfilePages(*db_, kDbName, folder + "/", bowler, progress, messages);
    if (!result.done) qFatal("the reference run made nothing");
    return Tree(folder);
  }

  std::unique_ptr<frmSelfIntroduction> Window(MessageWindow& messages, FolderChooser& chooser,
                                              ProgressWindow* progress) {
    auto window = std::make_unique<frmSelfIntroduction>(
        *db_, kDbName, frmSelfIntroduction::Windows{&messages, &chooser, progress});
    window->show();
    return window;
  }

  static QLineEdit* OutPath(QWidget* w) { return w->findChild<QLineEdit*>("txtOutPath"); }
  static QRadioButton* Option(QWidget* w, int i) {
    return w->findChild<QRadioButton*>(QString("optSelect_%1").arg(i));
  }
  static QComboBox* Bowlers(QWidget* w) { return w->findChild<QComboBox*>("cboBowler"); }
  static void Create(QWidget* w) { w->findChild<QPushButton*>("cmdCreate")->click(); }

 private slots:
  void initTestCase() {
    dir_ = std::make_unique<testing::TempDir>();
    ::setenv("LANEREPORT_HOME", dir_->Path().c_str(), 1);
    pinned_ = std::make_unique<ScopedClock>(clock_);
    const std::string path = dir_->File(std::string(kDbName) + ".db");
    SampleOptions options;
    options.bowlers = 5;
    options.years = 1;
    options.end_year = 2025;
    CreateSampleDatabase(path, options);
    db_ = Database::Open(path);
    clsBowler_List bowlers(*db_);
    bowlers.SelectRecord("");
    for (std::size_t i = 0; i < bowlers.Count(); ++i) {
      names_.push_back(bowlers.Item(i).Name());
      pages_.push_back(bowlers.Item(i).Aname() + ".html");
    }
    QCOMPARE(names_.size(), std::size_t{5});
  }

  void init() { ++case_; }

  void cleanupTestCase() {
    db_.reset();
    pinned_.reset();
  }

  void theWindowShowsTheBowlersAndTheChoosersLastCommonFolder() {
    QVERIFY(WriteIni(DialogBoxIniFile(), "COMMON", "PREV_USER", "/srv/common/"));
    QVERIFY(WriteIni(DialogBoxIniFile(), "COMMON", "PREV_SelfIntroduction", "/srv/profiles/"));
    testing::RecordingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    testing::CountingProgress progress;
    auto w = Window(messages, chooser, &progress);

    QCOMPARE(w->objectName(), QString("frmSelfIntroduction"));
    QCOMPARE(w->windowTitle(), QString::fromUtf8("Bowler紹介 HTML作成"));
    QStringList frames;
    for (QGroupBox* frame : w->findChildren<QGroupBox*>()) frames << frame->title();
    frames.sort();
    QStringList expected_frames{QString::fromUtf8("出力先指定"), QString::fromUtf8("選択")};
    expected_frames.sort();
    QCOMPARE(frames, expected_frames);
    QCOMPARE(Option(w.get(), 0)->text(), QString::fromUtf8("全Ｂｏｗｌｅｒ"));
    QCOMPARE(Option(w.get(), 1)->text(), QString::fromUtf8("Ｂｏｗｌｅｒ指定"));
    QCOMPARE(w->findChild<QPushButton*>("cmdDialog")->text(), QString::fromUtf8("参照"));
    QCOMPARE(w->findChild<QPushButton*>("cmdCreate")->text(), QString::fromUtf8("作成"));
    QCOMPARE(OutPath(w.get())->text(), QString("/srv/common/"));

    QComboBox* combo = Bowlers(w.get());
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->count(), static_cast<int>(names_.size()));
    for (int i = 0; i < combo->count(); ++i)
      QCOMPARE(combo->itemText(i).toStdString(), names_[static_cast<std::size_t>(i)]);
    QCOMPARE(combo->currentIndex(), 0);

    // The bowler can be chosen exactly while "Ｂｏｗｌｅｒ指定" is selected.
    QVERIFY(Option(w.get(), 0)->isChecked());
    QVERIFY(!combo->isEnabled());
    QTest::mouseClick(Option(w.get(), 1), Qt::LeftButton);
    QVERIFY(Option(w.get(), 1)->isChecked());
    QVERIFY(combo->isEnabled());
    QTest::mouseClick(Option(w.get(), 0), Qt::LeftButton);
    QVERIFY(!combo->isEnabled());
    QVERIFY(messages.shown.empty());
  }

  void theChooserPutsTheChosenFolderIntoThePathAndACancelKeepsIt() {
    testing::RecordingMessages messages;
    testing::FixedChooser chosen(std::string("/data/profiles/"));
    testing::CountingProgress progress;
    auto w = Window(messages, chosen, &progress);
    OutPath(w.get())->setText("/before/");
    QTest::mouseClick(w->findChild<QPushButton*>("cmdDialog"), Qt::LeftButton);
    QCOMPARE(chosen.calls, 1);
    QCOMPARE(chosen.user, std::string("SelfIntroduction"));
    QCOMPARE(chosen.caption, std::string("出力先フォルダ選択"));
    QCOMPARE(OutPath(w.get())->text(), QString("/data/profiles/"));

    testing::FixedChooser cancelled(std::nullopt);
    auto w2 = Window(messages, cancelled, &progress);
    OutPath(w2.get())->setText("/before/");
    w2->cmdDialog_Click();
    QCOMPARE(cancelled.calls, 1);
    QCOMPARE(OutPath(w2.get())->text(), QString("/before/"));
  }

  void allBowlersWriteWhatTheCommandLineWrites() {
    const auto reference = Reference("");
    QCOMPARE(reference.size(), names_.size() + 1);
    QVERIFY(reference.count("profiles.js"));

    const std::string out = Fresh("out");
    fs::create_directories(out);
    testing::RecordingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    testing::CountingProgress progress;
    auto w = Window(messages, chooser, &progress);
    OutPath(w.get())->setText(QString::fromStdString("  " + out + "/  "));
    QTest::mouseClick(w->findChild<QPushButton*>("cmdCreate"), Qt::LeftButton);

    QCOMPARE(Tree(out), reference);
    QVERIFY(messages.asked.empty());
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message2, std::string(kDone));
    QCOMPARE(messages.shown[0].color, kCompletionColor);
    QCOMPARE(messages.shown[0].timer_seconds, 10);
    QCOMPARE(progress.message2, std::string("Ｂｏｗｌｅｒ紹介作成中..."));
    QCOMPARE(progress.last_maximum, static_cast<long>(names_.size()));
    QCOMPARE(progress.counted, static_cast<long>(names_.size()));
    QCOMPARE(OutPath(w.get())->text().toStdString(), out + "/");
    QVERIFY(!w->Running());
  }

  void oneBowlerWritesThatBowlersPageAndTheScript() {
    const std::string name = names_[2];
    const auto reference = Reference(name);
    QCOMPARE(reference.size(), std::size_t{2});
    QVERIFY(reference.count("profiles.js"));

    const std::string out = Fresh("out");
    fs::create_directories(out);
    testing::RecordingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    testing::CountingProgress progress;
    auto w = Window(messages, chooser, &progress);
    Option(w.get(), 1)->click();
    Bowlers(w.get())->setCurrentIndex(2);
    OutPath(w.get())->setText(QString::fromStdString(out + "/"));
    Create(w.get());

    QCOMPARE(Tree(out), reference);
    QCOMPARE(progress.last_maximum, 1L);
    QCOMPARE(progress.counted, 1L);
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message2, std::string(kDone));

    // Back to all bowlers with the same bowler still shown in the list.
    const std::string all = Fresh("all");
    fs::create_directories(all);
    Option(w.get(), 0)->click();
    OutPath(w.get())->setText(QString::fromStdString(all + "/"));
    Create(w.get());
    QCOMPARE(Tree(all).size(), names_.size() + 1);
  }

  void aPathNamingAFileUsesItsFolderAndShowsIt() {
    const std::string out = Fresh("out");
    fs::create_directories(out);
    testing::RecordingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    testing::CountingProgress progress;
    auto w = Window(messages, chooser, &progress);
    OutPath(w.get())->setText(QString::fromStdString(out + "/index.html"));
    Create(w.get());
    QCOMPARE(OutPath(w.get())->text().toStdString(), out + "/");
    QCOMPARE(Tree(out).size(), names_.size() + 1);
    QVERIFY(!fs::exists(out + "/index.html"));
  }

  void aMissingFolderIsCreatedOnYesAndNothingIsWrittenOnNo() {
    const auto reference = Reference("");
    WatchingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    auto w = Window(messages, chooser, nullptr);  // the program's own progress window
    messages.window = w.get();

    const std::string declined = Fresh("declined/sub") + "/";
    messages.answer = false;
    OutPath(w.get())->setText(QString::fromStdString(declined));
    Create(w.get());
    QCOMPARE(messages.asked.size(), std::size_t{1});
    QCOMPARE(messages.asked[0].message1, "「" + declined + "」は存在しません");
    QCOMPARE(messages.asked[0].message2, "「" + declined + "」を作成しますか？");
    QCOMPARE(messages.asked[0].timer_seconds, 10);
    QVERIFY(messages.shown.empty());
    QVERIFY(!fs::exists(Fresh("declined")));
    QVERIFY(!Msg_Waiting::Instance().isVisible());
    QVERIFY(w->isEnabled());

    const std::string created = Fresh("created/sub") + "/";
    messages.answer = true;
    OutPath(w.get())->setText(QString::fromStdString(created));
    Create(w.get());
    QCOMPARE(messages.asked.size(), std::size_t{2});
    QCOMPARE(messages.asked[1].message1, "「" + created + "」は存在しません");
    QCOMPARE(Tree(created), reference);
    // The question comes before the progress window opens, the completion message after it
    // has closed and given the window back.
    QCOMPARE(messages.waiting_visible, (std::vector<bool>{false, false, false}));
    QCOMPARE(messages.window_enabled, (std::vector<bool>{true, true, true}));
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message2, std::string(kDone));
  }

  void anEmptyPathIsRefusedWithoutAnythingElse() {
    WatchingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    testing::CountingProgress progress;
    auto w = Window(messages, chooser, &progress);
    OutPath(w.get())->setText("   ");
    Create(w.get());
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message2, std::string("出力先を指定してください"));
    QCOMPARE(messages.shown[0].timer_seconds, 10);
    QVERIFY(messages.asked.empty());
    QCOMPARE(progress.message2, std::string());
    QCOMPARE(progress.counted, 0L);
    QCOMPARE(OutPath(w.get())->text(), QString("   "));

    // With the program's progress window it does not show up either.
    auto w2 = Window(messages, chooser, nullptr);
    OutPath(w2.get())->setText("");
    Create(w2.get());
    QCOMPARE(messages.shown.size(), std::size_t{2});
    QCOMPARE(messages.waiting_visible, (std::vector<bool>{false, false}));
    QVERIFY(!Msg_Waiting::Instance().isVisible());
  }

  void stopEndsTheRunAfterThePageInHand() {
    const auto reference = Reference("");
    const std::string out = Fresh("out");
    fs::create_directories(out);
    testing::RecordingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    testing::CountingProgress progress(2);
    auto w = Window(messages, chooser, &progress);
    OutPath(w.get())->setText(QString::fromStdString(out + "/"));
    Create(w.get());

    const auto written = Tree(out);
    QCOMPARE(Names(written), Sorted({pages_[0], pages_[1], "profiles.js"}));
    for (const auto& [name, bytes] : written) QCOMPARE(bytes, reference.at(name));
    QCOMPARE(progress.counted, 2L);
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message2, std::string(kDone));
  }

  void stopOnTheProgressWindowEndsTheRunAndTheWindowStaysOpen() {
    const auto reference = Reference("");
    const std::string out = Fresh("out");
    fs::create_directories(out);
    WatchingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    auto w = Window(messages, chooser, nullptr);
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<frmSelfIntroduction> window = w.release();
    messages.window = window;
    OutPath(window)->setText(QString::fromStdString(out + "/"));

    // While the progress window is up, the user presses STOP and tries to close the window.
    Msg_Waiting& waiting = Msg_Waiting::Instance();
    std::vector<bool> enabled_during_run;
    QString waiting_text;
    QTimer user;
    user.setInterval(0);
    connect(&user, &QTimer::timeout, this, [&] {
      auto* stop = waiting.findChild<QPushButton*>("cmdStop");
      if (!waiting.isVisible() || !stop->isEnabled()) return;
      waiting_text = waiting.findChild<QLabel*>("lblMessage_1")->text();
      enabled_during_run.push_back(window->isEnabled());
      QTest::mouseClick(stop, Qt::LeftButton);
      window->close();
    });
    user.start();
    Create(window);
    user.stop();

    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isEnabled());
    QVERIFY(!window->Running());
    QCOMPARE(enabled_during_run, std::vector<bool>{false});
    QCOMPARE(waiting_text, QString::fromUtf8("Ｂｏｗｌｅｒ紹介作成中..."));
    QVERIFY(!waiting.isVisible());
    QVERIFY(!waiting.StopFlag());

    const auto written = Tree(out);
    QCOMPARE(Names(written), Sorted({pages_[0], "profiles.js"}));
    for (const auto& [name, bytes] : written) QCOMPARE(bytes, reference.at(name));
    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message2, std::string(kDone));
    QCOMPARE(messages.waiting_visible, std::vector<bool>{false});

    // Once the run is over the window closes as usual.
    window->close();
    QTRY_VERIFY(!window);
  }

  void aWriteThatFailsIsShownAndGivesTheWindowBack() {
    const std::string out = Fresh("out");
    fs::create_directories(out);
    WatchingMessages messages;
    testing::FixedChooser chooser(std::nullopt);
    auto w = Window(messages, chooser, nullptr);
    messages.window = w.get();
    OutPath(w.get())->setText(QString::fromStdString(out + "/"));
    int writes = 0;
    SetMakeFileFaultForTesting([&](const std::string&) {
      if (++writes == 2) throw AppError(kErrFile, "MakeFile", "書き込めません：テスト");
    });
    Create(w.get());
    SetMakeFileFaultForTesting(nullptr);

    QCOMPARE(messages.shown.size(), std::size_t{1});
    QCOMPARE(messages.shown[0].message1, std::string("書き込めません：テスト"));
    QCOMPARE(messages.waiting_visible, std::vector<bool>{false});
    QCOMPARE(messages.window_enabled, std::vector<bool>{true});
    QVERIFY(!Msg_Waiting::Instance().isVisible());
    QVERIFY(!w->Running());
    QCOMPARE(Tree(out).size(), std::size_t{1});
  }
};

QTEST_MAIN(SelfIntroductionTest)
#include "self_introduction_test.moc"
