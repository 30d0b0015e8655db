#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "FakeWindows.h"
#include "GuiMain.h"
#include "TempDir.h"
#include "WindowStart.h"
#include "database/Database.h"
#include "database/Schema.h"
#include "frmDOMenu.h"
#include "sample/SampleDatabase.h"
#include "start/StartUp.h"
#include "util/IniControl.h"
#include "util/InstanceLock.h"
#include "util/Make.h"

using namespace lanereport;
using namespace lanereport::gui;

namespace {

QWidget* TopLevel(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name && w->isVisible()) return w;
  return nullptr;
}

}  // namespace

// The start of the windows: splash, database choice, master check, start menu and the work
// windows, with a recording message window and a chooser that answers at once.
class StartUpWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempDir> dir_;
  std::string db_;              // a sample database with every master
  std::string empty_;           // a database without bowlers
  std::string not_a_database_;  // a file of text named like a database
  testing::RecordingMessages messages_;
  int chooser_calls_ = 0;
  std::string chosen_;
  // Answers of the chooser before chosen_, first one first.
  std::vector<std::string> chosen_first_;
  // Whether the splash was on the screen when the chooser opened, per call.
  std::vector<bool> splash_over_chooser_;

  WindowStart::Services Services() {
    return {&messages_,
            [this] {
              ++chooser_calls_;
              splash_over_chooser_.push_back(TopLevel("frmSplash") != nullptr);
              if (!chosen_first_.empty()) {
                std::string first = chosen_first_.front();
                chosen_first_.erase(chosen_first_.begin());
                return first;
              }
              return chosen_;
            },
            [](int index, WindowStart&) -> QWidget* {
              const char* names[] = {"frmLanereport", "frmSelfIntroduction", "frmScoreEntry",
                                     "frmMasters"};
              if (index < 0 || index > 3) return nullptr;
              auto* w = new QWidget;
              w->setObjectName(names[index]);
              return w;
            },
            {}};
  }

 private slots:
  void initTestCase() {
    dir_ = std::make_unique<testing::TempDir>();
    ::setenv("LANEREPORT_HOME", dir_->Path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir_->Path().c_str(), 1);
    db_ = dir_->File("score.db");
    SampleOptions options;
    options.bowlers = 2;
    options.years = 1;
    options.end_year = 2025;
    CreateSampleDatabase(db_, options);
    empty_ = dir_->File("empty.db");
    CreateScoreDatabase(empty_);
    not_a_database_ = dir_->File("notes.db");
    MakeFile(not_a_database_, std::string(4096, 'x'));
    PrepareApplication(*qApp);
  }

  void init() {
    messages_.shown.clear();
    chooser_calls_ = 0;
    chosen_ = db_;
    chosen_first_.clear();
    splash_over_chooser_.clear();
    std::filesystem::remove(dir_->File("ZEPA.INI"));
  }

  void splashAsksForTheDatabaseAfterTwoSecondsAndTheMenuOpens() {
    MakeFile(dir_->File("ZEPA.INI"), "[SYSTEM]\r\nVer=0.1\r\n");
    WindowStart start(Services());
    QVERIFY(start.Main({}));
    QWidget* splash = TopLevel("frmSplash");
    QVERIFY(splash);
    auto* version = splash->findChild<QLabel*>("lblVersion");
    QVERIFY(version);
    QCOMPARE(version->text(), QString::fromStdString("ﾊﾞｰｼﾞｮﾝ " + ProgramVersion()));
    QCOMPARE(splash->findChild<QLabel*>("lblProductName")->text(), QString("Lanereport"));
    auto* timer = splash->findChild<QTimer*>("tmrSplash");
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 2000);
    QCOMPARE(chooser_calls_, 0);

    QTRY_VERIFY_WITH_TIMEOUT(start.Menu() && start.Menu()->isVisible(), 5000);
    QCOMPARE(chooser_calls_, 1);
    QCOMPARE(splash_over_chooser_, std::vector<bool>{false});
    QVERIFY(!TopLevel("frmSplash"));
    QVERIFY(start.gdbScore());
    QCOMPARE(start.gstrDbName(), std::string("score"));
    QCOMPARE(start.gintStartMode(), -1);
    QCOMPARE(start.Menu()->windowTitle(), QString::fromUtf8("出力処理"));
    auto* score = start.Menu()->findChild<QPushButton*>("cmdButton_0");
    auto* bowler = start.Menu()->findChild<QPushButton*>("cmdButton_1");
    QVERIFY(score && bowler);
    QCOMPARE(score->text(), QString("Score"));
    QCOMPARE(score->toolTip(), QString::fromUtf8("ｽｺｱ表HTML作成"));
    QCOMPARE(bowler->text(), QString("Bowler"));
    QCOMPARE(bowler->toolTip(), QString::fromUtf8("Bowler紹介HTML作成"));
    auto* entry = start.Menu()->findChild<QPushButton*>("cmdButton_2");
    auto* master = start.Menu()->findChild<QPushButton*>("cmdButton_3");
    QVERIFY(entry && master);
    QCOMPARE(entry->text(), QString("Entry"));
    QCOMPARE(entry->toolTip(), QString::fromUtf8("スコア入力"));
    QCOMPARE(master->text(), QString("Master"));
    QCOMPARE(master->toolTip(), QString::fromUtf8("マスタ登録"));
    QVERIFY(messages_.shown.empty());

    // Menu and work window take turns; the database stays open for the whole run.
    QSignalSpy ended(&start, &WindowStart::Ended);
    QTest::mouseClick(score, Qt::LeftButton);
    QVERIFY(start.WorkWindow());
    QCOMPARE(start.WorkWindow()->objectName(), QString("frmLanereport"));
    QVERIFY(!start.Menu()->isVisible());
    start.WorkWindow()->close();
    QTRY_VERIFY(start.Menu()->isVisible());
    QVERIFY(start.gdbScore());
    QCOMPARE(ended.count(), 0);
    start.Menu()->close();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!start.gdbScore());
  }

  void aKeyOnTheSplashEndsTheRunWithoutAskingForADatabase() {
    WindowStart start(Services());
    QSignalSpy ended(&start, &WindowStart::Ended);
    QVERIFY(start.Main({}));
    QWidget* splash = TopLevel("frmSplash");
    QVERIFY(splash);
    QCOMPARE(splash->findChild<QLabel*>("lblVersion")->text(), QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ "));
    QTest::keyClick(splash, Qt::Key_Space);
    QCOMPARE(ended.count(), 1);
    QTest::qWait(2300);
    QCOMPARE(chooser_calls_, 0);
    QVERIFY(!start.Menu());
    QVERIFY2(!std::filesystem::exists(dir_->File("ZEPA.INI")), "no INI file is created");
  }

  void aCancelledChooserOrAnEmptyMasterEndsTheRun() {
    for (const std::string& chosen : {std::string(""), empty_}) {
      chosen_ = chosen;
      messages_.shown.clear();
      messages_.asked.clear();
      messages_.answer = false;  // no masters window
      WindowStart start(Services());
      QSignalSpy ended(&start, &WindowStart::Ended);
      QVERIFY(start.Main({}));
      QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 5000);
      QCOMPARE(chooser_calls_ > 0, true);
      QVERIFY(!start.Menu());
      QVERIFY(!start.gdbScore());
      if (chosen == empty_) {
        QCOMPARE(messages_.shown.size(), std::size_t{1});
        QCOMPARE(messages_.shown[0].message2,
                 std::string("マスタ処理[Bowler] にてボウラーの登録を行ってください"));
        QCOMPARE(messages_.asked.size(), std::size_t{1});
        QCOMPARE(messages_.asked[0].message1, std::string("マスタ登録を開きますか？"));
      } else {
        QVERIFY(messages_.shown.empty());
      }
    }
    messages_.answer = true;
  }

  void anEmptyMasterOffersTheMastersWindowAndTheOthersWaitForThem() {
    chosen_ = empty_;
    messages_.shown.clear();
    messages_.asked.clear();
    messages_.answer = true;
    {
      WindowStart start(Services());
      QVERIFY(start.Main({}));
      QTRY_VERIFY_WITH_TIMEOUT(start.WorkWindow() != nullptr, 5000);
      QCOMPARE(start.WorkWindow()->objectName(), QString("frmMasters"));
      QVERIFY(start.Menu());
      QVERIFY(!start.Menu()->isVisible());
      delete start.WorkWindow();
      QTRY_VERIFY_WITH_TIMEOUT(start.Menu()->isVisible(), 5000);
      // The masters are still missing: the other windows stay shut, with the warning.
      messages_.shown.clear();
      for (int button = 0; button < 3; ++button) start.MenuButton(button);
      QVERIFY(!start.WorkWindow());
      QCOMPARE(messages_.shown.size(), std::size_t{3});
      QVERIFY(start.Menu()->isVisible());
      start.MenuButton(3);
      QVERIFY(start.WorkWindow());
      delete start.WorkWindow();
    }
    // The suite's start option of the masters window needs no master; /m3 does.
    {
      WindowStart direct(Services());
      QVERIFY(direct.Main({"/m4", "/d" + empty_}));
      QCOMPARE(direct.WorkWindow()->objectName(), QString("frmMasters"));
    }
    messages_.shown.clear();
    messages_.asked.clear();
    WindowStart entry(Services());
    QVERIFY(!entry.Main({"/m3", "/d" + empty_}));
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QVERIFY(messages_.asked.empty());
  }

  void aSecondInstanceIsWarnedAndChangesNothing() {
    MakeFile(dir_->File("ZEPA.INI"), "[SYSTEM]\r\nVer=0.1\r\n");
    InstanceLock first;
    QVERIFY(first.Acquire());
    WindowStart start(Services());
    QVERIFY(!start.Main({"/m1", "/d" + db_}));
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].message1, std::string("すでにLanereportは起動しています。"));
    QCOMPARE(messages_.shown[0].message2, std::string("なお、複数起動は出来ません。"));
    QCOMPARE(ReadIni(dir_->File("ZEPA.INI"), "SYSTEM", "Ver"), std::string("0.1"));
    QVERIFY(!start.gdbScore());
    QVERIFY(!start.WorkWindow());
  }

  void theCommandLineOpensTheWorkWindowAndClosingItEndsTheRun() {
    for (auto [option, window] :
         {std::pair{"/m1", "frmLanereport"}, {"/m2", "frmSelfIntroduction"}}) {
      WindowStart start(Services());
      QSignalSpy ended(&start, &WindowStart::Ended);
      QVERIFY(start.Main({std::string(option) + "/d" + db_}));
      QVERIFY(start.WorkWindow());
      QCOMPARE(start.WorkWindow()->objectName(), QString(window));
      QVERIFY(start.WorkWindow()->isVisible());
      QVERIFY(!start.Menu()->isVisible());
      QCOMPARE(start.gstrDbName(), std::string("score"));
      QCOMPARE(chooser_calls_, 0);
      start.WorkWindow()->close();
      QTRY_COMPARE(ended.count(), 1);
      QVERIFY(!start.gdbScore());
    }
  }

  void aBadCommandLineShowsWhereItFailed() {
    {
      WindowStart start(Services());
      QVERIFY(!start.Main({"/d" + db_}));
      QCOMPARE(messages_.shown.size(), std::size_t{1});
      QCOMPARE(messages_.shown[0].message1, std::string("発生箇所：Main "));
      QVERIFY(messages_.shown[0].message2.starts_with("エラー番号[-2147220503]："));
      QVERIFY(!start.gdbScore());
    }

    // A mode without a window ends the run silently.
    messages_.shown.clear();
    {
      WindowStart odd(Services());
      QVERIFY(!odd.Main({"/m9", "/d" + db_}));
      QVERIFY(!odd.gdbScore());
      QCOMPARE(odd.ExitStatus(), 0);
    }
    QVERIFY(messages_.shown.empty());
  }

  void aFileThatIsNoDatabaseIsSaidAndTheChooserOpensAgain() {
    for (const std::string& bad : {not_a_database_, dir_->File("missing.db")}) {
      messages_.shown.clear();
      chooser_calls_ = 0;
      splash_over_chooser_.clear();
      chosen_first_ = {bad};
      WindowStart start(Services());
      QVERIFY(start.Main({}));
      QTRY_VERIFY_WITH_TIMEOUT(start.Menu() && start.Menu()->isVisible(), 5000);
      QCOMPARE(chooser_calls_, 2);
      QCOMPARE(splash_over_chooser_, (std::vector<bool>{false, false}));
      QCOMPARE(messages_.shown.size(), std::size_t{1});
      QCOMPARE(messages_.shown[0].message1, "データベースを開けません：" + bad);
      QVERIFY2(!messages_.shown[0].message2.empty(), "the reason is said");
      QVERIFY(start.gdbScore());
      start.Menu()->close();
    }
    // Cancelled after the message: the run ends, with nothing more said.
    messages_.shown.clear();
    chooser_calls_ = 0;
    chosen_first_ = {not_a_database_};
    chosen_ = "";
    WindowStart start(Services());
    QSignalSpy ended(&start, &WindowStart::Ended);
    QVERIFY(start.Main({}));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 5000);
    QCOMPARE(chooser_calls_, 2);
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QVERIFY(!start.Menu());
  }

  void aJetFileNotImportedLeavesTheUserAtTheChooser() {
    const std::string bad = dir_->File("damaged.mdb");
    {
      std::ofstream out(bad);
      out << "this is no Jet file";
    }
    // Declined, then refused as damaged: each time the chooser opens again and the next choice
    // (the sample database) opens the menu.
    for (bool yes : {false, true}) {
      messages_.shown.clear();
      messages_.asked.clear();
      messages_.answer = yes;
      chooser_calls_ = 0;
      chosen_first_ = {bad};
      WindowStart start(Services());
      QVERIFY(start.Main({}));
      QTRY_VERIFY_WITH_TIMEOUT(start.Menu() && start.Menu()->isVisible(), 10000);
      QCOMPARE(chooser_calls_, 2);
      QCOMPARE(messages_.asked.size(), std::size_t{1});
      QCOMPARE(messages_.shown.size(), yes ? std::size_t{1} : std::size_t{0});
      QVERIFY(!std::filesystem::exists(dir_->File("damaged.db")));
      start.Menu()->close();
    }
    messages_.answer = true;
  }

  void aDatabaseOnTheCommandLineThatCannotBeOpenedIsSaidAndEndsWithStatus1() {
    for (const std::string& bad : {not_a_database_, dir_->File("missing.db")}) {
      messages_.shown.clear();
      WindowStart start(Services());
      QVERIFY(!start.Main({"/m1", "/d" + bad}));
      QCOMPARE(start.ExitStatus(), 1);
      QCOMPARE(messages_.shown.size(), std::size_t{1});
      QCOMPARE(messages_.shown[0].message1, "データベースを開けません：" + bad);
      QVERIFY(!messages_.shown[0].message2.empty());
      QVERIFY(!start.WorkWindow());
      QVERIFY(!start.gdbScore());
      QCOMPARE(chooser_calls_, 0);
    }
    WindowStart good(Services());
    QVERIFY(good.Main({"/m1", "/d" + db_}));
    QCOMPARE(good.ExitStatus(), 0);
  }

  void theMenuOpensWithTheFocusOnScoreAndButtonsTakeEnterAndSpace() {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
      WindowStart start(Services());
      QVERIFY(start.Main({}));
      QTRY_VERIFY_WITH_TIMEOUT(start.Menu() && start.Menu()->isVisible(), 5000);
      frmDOMenu* menu = start.Menu();
      QApplication::setActiveWindow(menu);
      QVERIFY(QTest::qWaitForWindowActive(menu));
      auto* score = menu->findChild<QPushButton*>("cmdButton_0");
      auto* bowler = menu->findChild<QPushButton*>("cmdButton_1");
      QTRY_VERIFY(score->hasFocus());
      QVERIFY2(menu->testAttribute(Qt::WA_KeyboardFocusChange), "the focus ring shows");
      QTest::keyClick(score, Qt::Key_Tab);
      QVERIFY(bowler->hasFocus());
      QTest::keyClick(bowler, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
      QVERIFY(start.WorkWindow());
      QCOMPARE(start.WorkWindow()->objectName(), QString("frmSelfIntroduction"));
      QVERIFY(!menu->isVisible());
      start.WorkWindow()->close();
      QTRY_VERIFY(menu->isVisible());
      menu->close();
    }
  }

  void everyWindowHasTheProgramsIcon() {
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 48, 64, 128, 256}) {
      QVERIFY(icon.availableSizes().contains(QSize(size, size)));
      QVERIFY(!icon.pixmap(size, size).isNull());
    }
    WindowStart start(Services());
    QVERIFY(start.Main({"/m1", "/d" + db_}));
    QVERIFY(!start.WorkWindow()->windowIcon().isNull());
    QCOMPARE(start.WorkWindow()->windowIcon().cacheKey(), icon.cacheKey());
    start.WorkWindow()->close();
  }
};

QTEST_MAIN(StartUpWindowTest)
#include "start_up_window_test.moc"
