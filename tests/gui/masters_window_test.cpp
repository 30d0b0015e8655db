#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>
#include <string>

#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/Recordset.h"
#include "database/clsAlley_Data.h"
#include "database/clsBowler_Data.h"
#include "database/clsLevel_Data.h"
#include "entry/ScoreEntry.h"
#include "frmMasters.h"
#include "util/AppError.h"

using namespace lanereport;
using namespace lanereport::gui;

// The masters window on a new database: a bowler, a centre and a level added, the bowler used
// by a game, its deletion refused, a rename that moves its games after asking.
class MastersWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<lanereport::testing::ScoreDbFixture> db_;
  lanereport::testing::RecordingMessages messages_;
  std::unique_ptr<frmMasters> window_;

  QLineEdit* Line(const char* name) { return window_->findChild<QLineEdit*>(name); }
  QListWidget* List(const char* name) { return window_->findChild<QListWidget*>(name); }
  long Count(const std::string& sql) {
    auto rs = db_->Db().OpenRecordset(sql);
    return static_cast<long>(rs->Field("N").ToInt());
  }

 private slots:
  void init() {
    db_ = std::make_unique<lanereport::testing::ScoreDbFixture>();
    messages_ = {};
    window_ = std::make_unique<frmMasters>(db_->Db(), &messages_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  void cleanup() {
    window_.reset();
    db_.reset();
  }

  void aNewDatabaseGetsItsMastersAndAUsedOneIsNotDeleted() {
    QCOMPARE(window_->windowTitle(), QString::fromUtf8("マスタ登録"));
    QCOMPARE(window_->findChild<QTabWidget*>("tabMasters")->count(), 3);
    QCOMPARE(List("lstBowler")->count(), 0);
    QCOMPARE(Line("txtBowlerNumber")->text(), QString("1"));  // the next number proposed

    // A bowler without a password is refused with the record's message, on its field.
    Line("txtBowlerName")->setText(QString::fromUtf8("山田 太郎"));
    Line("txtBowlerAname")->setText("Yamada");
    QVERIFY(!window_->cmdAdd_Click(MasterKind::Bowler));
    QCOMPARE(messages_.shown.back().message1, std::string("ﾊﾟｽﾜｰﾄﾞが入力されていません"));
    // Letters in a number field: refused before anything is written.
    Line("txtBowlerPassword")->setText("pw");
    Line("txtBowlerHighgame")->setText("abc");
    QVERIFY(!window_->cmdAdd_Click(MasterKind::Bowler));
    QCOMPARE(messages_.shown.back().message1, std::string("数値を入力して下さい"));
    QCOMPARE(messages_.shown.back().message2, std::string("（ハイゲーム）"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Line("txtBowlerHighgame")));
    QCOMPARE(Count("Select Count(*) As N From Bowler_Data"), 0L);
    Line("txtBowlerHighgame")->setText("２４５");
    Line("txtBowlerMaxim")->setText(QString::fromUtf8("<b>一投入魂</b> & 'quote'"));
    window_->findChild<QComboBox*>("cboBowlerSex")->setCurrentIndex(1);
    QVERIFY(window_->cmdAdd_Click(MasterKind::Bowler));
    QCOMPARE(List("lstBowler")->count(), 1);
    clsBowler_Data bowler(db_->Db());
    bowler.Name("山田 太郎");
    bowler.Load();
    QCOMPARE(bowler.Highgame(), 245L);
    QVERIFY(bowler.Sex());
    QCOMPARE(bowler.Password(), std::string("pw"));
    QCOMPARE(bowler.Maxim(), std::string("<b>一投入魂</b> & 'quote'"));
    QCOMPARE(bowler.Number(), 1L);
    // The same name again: the record's duplicate message.
    window_->cmdNew_Click(MasterKind::Bowler);
    QCOMPARE(Line("txtBowlerNumber")->text(), QString("2"));
    Line("txtBowlerName")->setText(QString::fromUtf8("山田 太郎"));
    Line("txtBowlerAname")->setText("Other");
    Line("txtBowlerPassword")->setText("pw");
    QVERIFY(!window_->cmdAdd_Click(MasterKind::Bowler));
    QCOMPARE(messages_.shown.back().message1,
             std::string("同じ名前のﾃﾞｰﾀが存在します、追加出来ません"));
    Line("txtBowlerName")->setText(QString::fromUtf8("佐藤 花子"));
    QVERIFY(window_->cmdAdd_Click(MasterKind::Bowler));

    // A centre with the home flag and a counted level.
    window_->cmdNew_Click(MasterKind::Alley);
    Line("txtAlleyName")->setText(QString::fromUtf8("ホーム"));
    window_->findChild<QCheckBox*>("chkAlleyHomeFlag")->setChecked(true);
    QVERIFY(window_->cmdAdd_Click(MasterKind::Alley));
    window_->cmdNew_Click(MasterKind::Level);
    Line("txtLevelName")->setText(QString::fromUtf8("リーグ"));
    window_->findChild<QCheckBox*>("chkLevelCalculationTarget")->setChecked(true);
    QVERIFY(window_->cmdAdd_Click(MasterKind::Level));
    clsAlley_Data alley(db_->Db());
    alley.Name("ホーム");
    alley.Load();
    QVERIFY(alley.HomeFlag());
    clsLevel_Data level(db_->Db());
    level.Name("リーグ");
    level.Load();
    QVERIFY(level.CalculationTarget());

    // The bowler is used by a game: not deleted, and the message says by how many.
    lanereport::testing::AddOpenGame(db_->Db(), "山田 太郎", "ホーム", "リーグ", "2026/12/08", 1,
                                     "8", "1");
    List("lstBowler")->setCurrentRow(0);
    QCOMPARE(Line("txtBowlerName")->text(), QString::fromUtf8("山田 太郎"));
    messages_.answer = true;
    QVERIFY(!window_->cmdDelete_Click(MasterKind::Bowler));
    QCOMPARE(messages_.asked.back().message1, std::string("「山田 太郎」を削除しますか？"));
    QCOMPARE(messages_.shown.back().message1,
             std::string("このボウラーは 1 ゲームで使われているため削除出来ません"));
    QCOMPARE(Count("Select Count(*) As N From Bowler_Data"), 2L);
    // The unused one goes; the last centre stays.
    List("lstBowler")->setCurrentRow(1);
    QVERIFY(window_->cmdDelete_Click(MasterKind::Bowler));
    QCOMPARE(Count("Select Count(*) As N From Bowler_Data"), 1L);
    QCOMPARE(List("lstBowler")->count(), 1);
  }

  void aRenameSaysHowManyGamesMoveAndAsks() {
    lanereport::testing::AddBowler(db_->Db(), "山田", "Yamada", 1);
    lanereport::testing::AddAlley(db_->Db(), "ホーム", 1, true);
    lanereport::testing::AddLevel(db_->Db(), "リーグ", 1, true);
    lanereport::testing::AddOpenGame(db_->Db(), "山田", "ホーム", "リーグ", "2026/12/08", 1, "8",
                                     "1");
    lanereport::testing::AddOpenGame(db_->Db(), "山田", "ホーム", "リーグ", "2026/12/08", 2, "8",
                                     "1");
    window_ = std::make_unique<frmMasters>(db_->Db(), &messages_);
    List("lstAlley")->setCurrentRow(0);
    Line("txtAlleyName")->setText(QString::fromUtf8("本店"));
    messages_.answer = false;
    QVERIFY(!window_->cmdUpdate_Click(MasterKind::Alley));
    QCOMPARE(messages_.asked.back().message1,
             std::string("「ホーム」の 2 ゲームも「本店」に変わります"));
    QCOMPARE(Count("Select Count(*) As N From Alley_Data Where Name = 'ホーム'"), 1L);
    QCOMPARE(Count("Select Count(*) As N From Result_Data Where Alley_Name = 'ホーム'"), 2L);
    messages_.answer = true;
    QVERIFY(window_->cmdUpdate_Click(MasterKind::Alley));
    QCOMPARE(Count("Select Count(*) As N From Result_Data Where Alley_Name = '本店'"), 2L);
    QCOMPARE(List("lstAlley")->item(0)->text(), QString::fromUtf8("本店"));
    // A change that renames nothing asks nothing.
    const std::size_t asked = messages_.asked.size();
    Line("txtAlleyTelephone")->setText("03-1234-5678");
    QVERIFY(window_->cmdUpdate_Click(MasterKind::Alley));
    QCOMPARE(messages_.asked.size(), asked);
    // A name too long for the record is refused on its field.
    Line("txtAlleyName")->setText(QString(256, QChar('a')));
    QVERIFY(!window_->cmdUpdate_Click(MasterKind::Alley));
    QCOMPARE(messages_.shown.back().message1, std::string("文字列が長すぎます"));
    QCOMPARE(Count("Select Count(*) As N From Result_Data Where Alley_Name = '本店'"), 2L);
  }
};

QTEST_MAIN(MastersWindowTest)
#include "masters_window_test.moc"
