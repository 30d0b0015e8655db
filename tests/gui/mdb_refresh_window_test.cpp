#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "GuiMain.h"
#include "Msg_Waiting.h"
#include "Msg_Warning.h"
#include "Msg_YesNo.h"
#include "TempDir.h"
#include "WindowMessages.h"
#include "WindowStart.h"
#include "database/Database.h"
#include "database/Recordset.h"
#include "frmDOMenu.h"
#include "import/ImportRecord.h"
#include "import/IsolatedImport.h"

using namespace lanereport;
using namespace lanereport::gui;
namespace fs = std::filesystem;

namespace {

const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

QString Line(QWidget* window, int i) {
  auto* label = window->findChild<QLabel*>(QString("lblMessage_%1").arg(i));
  return label ? label->text() : QString();
}

long long Games(const std::string& db_path) {
  auto db = Database::Open(db_path);
  auto rs = db->OpenRecordset("Select Count(*) As n From Result_Data");
  return rs->Field("n").ToInt();
}

}  // namespace

// The start of the windows with a .mdb whose .db is there: the real message windows and the
// progress window, answered by a user who reads each window and presses its button.
class MdbRefreshWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempDir> dir_;
  std::string mdb_;
  std::string db_;
  WindowMessages messages_;
  // What the user saw: each question's and each message's two lines, and whether the progress
  // window was on the screen.
  std::vector<std::pair<QString, QString>> questions_;
  std::vector<std::pair<QString, QString>> warnings_;
  bool saw_progress_ = false;
  bool answer_yes_ = true;
  QTimer user_;

  WindowStart::Services Services() {
    return {&messages_, [this] { return mdb_; },
            [](int, WindowStart&) -> QWidget* {
              auto* w = new QWidget;
              w->setObjectName("frmLanereport");
              return w;
            },
            RunWithWaitingWindow};
  }

 private slots:
  void initTestCase() {
    dir_ = std::make_unique<testing::TempDir>();
    ::setenv("LANEREPORT_HOME", dir_->Path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir_->Path().c_str(), 1);
    PrepareApplication(*qApp);
    user_.setInterval(20);
    connect(&user_, &QTimer::timeout, this, [this] {
      if (Msg_Waiting::Instance().isVisible()) saw_progress_ = true;
      Msg_YesNo& question = Msg_YesNo::Instance();
      if (question.isVisible()) {
        questions_.push_back({Line(&question, 0), Line(&question, 1)});
        QTest::mouseClick(question.findChild<QPushButton*>(answer_yes_ ? "cmdOK" : "cmdCancel"),
                          Qt::LeftButton);
      }
      Msg_Warning& warning = Msg_Warning::Instance();
      if (warning.isVisible()) {
        warnings_.push_back({Line(&warning, 0), Line(&warning, 1)});
        QTest::mouseClick(warning.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
      }
    });
    user_.start();
  }

  void init() {
    fs::remove_all(dir_->File("data"));
    fs::create_directories(dir_->File("data"));
    mdb_ = dir_->File("data/score.mdb");
    db_ = dir_->File("data/score.db");
    fs::copy_file(kJetDir + "jet4-sample.mdb", mdb_);
    QVERIFY(ImportMdb(mdb_, db_, {}));
    questions_.clear();
    warnings_.clear();
    saw_progress_ = false;
    answer_yes_ = true;
  }

  void anUnchangedFileOpensItsDbWithoutAQuestion() {
    WindowStart start(Services());
    QVERIFY(start.Main({"/m1", "/d" + mdb_}));
    QVERIFY(start.WorkWindow());
    QVERIFY(questions_.empty());
    QVERIFY(warnings_.empty());
    QVERIFY(!saw_progress_);
    QCOMPARE(Games(db_), 883LL);
    start.WorkWindow()->close();
  }

  void aChangedFileAsksAndYesBringsTheDbUpToDateWithTheProgressWindow() {
    fs::remove(mdb_);
    fs::copy_file(kJetDir + "jet4-sample-later.mdb", mdb_);
    const std::string date = StampTimeText(StampOf(mdb_));
    WindowStart start(Services());
    QVERIFY(start.Main({"/m1", "/d" + mdb_}));
    QCOMPARE(questions_.size(), std::size_t{1});
    QString asked = questions_[0].first;
    QVERIFY2(asked.contains("score.mdb") && asked.contains("score.db"), qPrintable(asked));
    QVERIFY2(asked.contains(QString::fromStdString(date)), qPrintable(asked));
    QCOMPARE(questions_[0].second, QString::fromUtf8("score.db を最新にしてから開きますか？"));
    QVERIFY(saw_progress_);
    QVERIFY(!Msg_Waiting::Instance().isVisible());
    QCOMPARE(warnings_.size(), std::size_t{1});
    QCOMPARE(warnings_[0].first, QString::fromUtf8("score.db を最新にしました。"));
    QVERIFY2(warnings_[0].second.contains(QString::fromUtf8("追加 66 件")),
             qPrintable(warnings_[0].second));
    QVERIFY(start.WorkWindow());
    QCOMPARE(start.gstrDbName(), std::string("score"));
    QCOMPARE(Games(db_), 947LL);
    start.WorkWindow()->close();
  }

  void aChangedFileAndNoOpensTheDbAsItIs() {
    fs::remove(mdb_);
    fs::copy_file(kJetDir + "jet4-sample-later.mdb", mdb_);
    const std::string before = testing::ReadFileBytes(db_);
    answer_yes_ = false;
    WindowStart start(Services());
    QVERIFY(start.Main({}));
    QTRY_VERIFY_WITH_TIMEOUT(start.Menu() && start.Menu()->isVisible(), 8000);
    QCOMPARE(questions_.size(), std::size_t{1});
    QVERIFY(warnings_.empty());
    QVERIFY(!saw_progress_);
    QCOMPARE(Games(db_), 883LL);
    QVERIFY(testing::ReadFileBytes(db_) == before);
    start.Menu()->close();
  }
};

QTEST_MAIN(MdbRefreshWindowTest)
#include "mdb_refresh_window_test.moc"
