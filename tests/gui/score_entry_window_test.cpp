#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeWindows.h"
#include "GameBuilder.h"
#include "ScoreDb.h"
#include "database/Recordset.h"
#include "frmScoreEntry.h"
#include "util/AppError.h"

using namespace lanereport;
using namespace lanereport::gui;

namespace {

std::string S(const QString& text) {
  return text.toStdString();
}

}  // namespace

// The score entry window: a game typed box by box with Enter, its running scores, the boxes a
// strike closes and the tenth frame's third, refusals keeping the focus, 登録, reopening from
// the day's list, deleting after asking.
class ScoreEntryWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<lanereport::testing::ScoreDbFixture> db_;
  lanereport::testing::RecordingMessages messages_;
  std::unique_ptr<frmScoreEntry> window_;
  std::optional<std::string> picked_;

  QLineEdit* Line(const QString& name) { return window_->findChild<QLineEdit*>(name); }
  QLineEdit* Box(int box) { return Line(QString("txtRoll_%1").arg(box)); }
  QString Score(int frame) {
    return window_->findChild<QLabel*>(QString("lblFrameScore_%1").arg(frame - 1))->text();
  }
  QPushButton* Button(const QString& name) { return window_->findChild<QPushButton*>(name); }
  QListWidget* DayList() { return window_->findChild<QListWidget*>("lstDayGames"); }
  QWidget* Focus() { return QApplication::focusWidget(); }
  long Rows() {
    auto rs = db_->Db().OpenRecordset("Select Count(*) As N From Result_Data");
    return static_cast<long>(rs->Field("N").ToInt());
  }

  // Types text into the focused box and presses Enter.
  void Type(const char* text) {
    QWidget* field = Focus();
    QVERIFY(field);
    auto* line = qobject_cast<QLineEdit*>(field);
    QVERIFY2(line, "the focus is on a text field");
    line->selectAll();
    // Key events carry ASCII only; full-width text comes as an input method commits it.
    const QString typed = QString::fromUtf8(text);
    bool ascii = true;
    for (QChar c : typed) ascii = ascii && c.unicode() < 128;
    if (ascii)
      QTest::keyClicks(line, typed);
    else
      line->insert(typed);
    QTest::keyClick(line, Qt::Key_Return);
  }

  void Open() {
    frmScoreEntry::Windows windows;
    windows.messages = &messages_;
    windows.pick_date = [this](QWidget*, const std::string&) { return picked_; };
    window_ = std::make_unique<frmScoreEntry>(db_->Db(), windows);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

 private slots:
  void init() {
    db_ = std::make_unique<lanereport::testing::ScoreDbFixture>();
    lanereport::testing::AddBowler(db_->Db(), "山田 太郎", "Yamada", 1);
    lanereport::testing::AddBowler(db_->Db(), "佐藤 花子", "Sato", 2, true);
    lanereport::testing::AddAlley(db_->Db(), "駅前", 1, false);
    lanereport::testing::AddAlley(db_->Db(), "ホーム", 2, true);
    lanereport::testing::AddLevel(db_->Db(), "リーグ", 1, true);
    messages_ = {};
    picked_ = std::string("2026/12/08");
    Open();
    // The date from the calendar, as a click on the field picks it.
    window_->txtPlayDate_Click();
  }
  void cleanup() {
    window_.reset();
    db_.reset();
  }

  void theWindowOpensOnThePlayWithTheHomeCentreAndTheFirstBox() {
    QCOMPARE(window_->windowTitle(), QString::fromUtf8("スコア入力"));
    QCOMPARE(window_->findChild<QComboBox*>("cboBowler")->currentText(),
             QString::fromUtf8("山田 太郎"));
    QCOMPARE(window_->findChild<QComboBox*>("cboAlley")->currentText(),
             QString::fromUtf8("ホーム"));
    QCOMPARE(Line("txtPlayDate")->text(), QString("2026/12/08"));
    QCOMPARE(Line("txtGameNumber")->text(), QString("1"));
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(0)));
  }

  void aWholeGameTypedWithEnterShowsMarksAndRunningScores() {
    Box(0)->setFocus();
    // Each entry with the box it must land in and the running scores after it.
    struct Step {
      const char* typed;
      int box;
      const char* mark;
      std::vector<const char*> scores;  // frames 1 … as far as they go
    };
    const std::vector<Step> steps = {
        {"x", 0, "", {""}},  // the strike is stored in the second box
        {"9", 2, "９", {""}},
        {"/", 3, "／", {"20", ""}},
        {"7", 4, "７", {"20", "37", ""}},
        {"2", 5, "２", {"20", "37", "46"}},
        {"s", 6, "", {"20", "37", "46", ""}},
        {"X", 8, "", {"20", "37", "46", "", ""}},
        {"-6", 10, "⑥", {"20", "37", "46", "72", ""}},
        {"3", 11, "３", {"20", "37", "46", "72", "91", "100"}},
        {"g", 12, "Ｇ", {"20", "37", "46", "72", "91", "100", ""}},
        {"８", 13, "８", {"20", "37", "46", "72", "91", "100", "108"}},
        {"8", 14, "８", {"20", "37", "46", "72", "91", "100", "108", ""}},
        {"-2", 15, "／", {"20", "37", "46", "72", "91", "100", "108", ""}},
        {"f", 16, "Ｆ", {"20", "37", "46", "72", "91", "100", "108", "118", ""}},
        {"9", 17, "９", {"20", "37", "46", "72", "91", "100", "108", "118", "127", ""}},
        {"x", 18, "Ｘ", {"20", "37", "46", "72", "91", "100", "108", "118", "127", ""}},
        {"x", 19, "Ｘ", {"20", "37", "46", "72", "91", "100", "108", "118", "127", ""}},
        {"9", 20, "９", {"20", "37", "46", "72", "91", "100", "108", "118", "127", "156"}},
    };
    for (const Step& step : steps) {
      QCOMPARE(Focus(), static_cast<QWidget*>(Box(step.box)));
      Type(step.typed);
      QCOMPARE(S(Box(step.box)->text()), std::string(step.mark));
      for (std::size_t f = 0; f < step.scores.size(); ++f)
        QCOMPARE(S(Score(static_cast<int>(f) + 1)), std::string(step.scores[f]));
    }
    // The strikes of frames 1, 4 and 5 sit in their second boxes, which Tab and Enter pass.
    QCOMPARE(Box(1)->text(), QString::fromUtf8("Ｘ"));
    QCOMPARE(Box(7)->text(), QString::fromUtf8("×"));
    QCOMPARE(Box(9)->text(), QString::fromUtf8("Ｘ"));
    QCOMPARE(Box(1)->focusPolicy(), Qt::ClickFocus);
    // After the last box, the handicap.
    QCOMPARE(Focus(), static_cast<QWidget*>(Line("txtHandicap")));
    QVERIFY(messages_.shown.empty());
    QCOMPARE(Rows(), 0L);  // nothing stored before 登録
  }

  void theTenthFramesThirdBoxOnlyWhenEarned() {
    for (int box = 0; box < 18; box += 2) {
      Box(box)->setFocus();
      Type("8");
      Type("1");
    }
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(18)));
    Type("8");
    Type("1");
    // An open tenth: no third ball; Enter goes on to the handicap.
    QCOMPARE(Focus(), static_cast<QWidget*>(Line("txtHandicap")));
    QCOMPARE(Box(20)->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(Score(10), QString("90"));
    // A ball typed into it anyway is refused, saying why.
    Box(20)->setFocus(Qt::MouseFocusReason);
    Type("5");
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].message1, std::string("この枠には入力出来ません"));
    QVERIFY(messages_.shown[0].message2.find("１０フレーム３投目") != std::string::npos);
    QTest::qWait(20);
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(20)));
    Box(20)->clear();
    QTest::keyClick(Box(20), Qt::Key_Return);
    QCOMPARE(Box(20)->text(), QString(""));
    Box(19)->setFocus();
    Type("2");  // a spare earns the third ball
    QCOMPARE(Box(19)->text(), QString::fromUtf8("／"));
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(20)));
    QCOMPARE(Score(10), QString(""));
    Type("7");
    QCOMPARE(Score(10), QString("98"));
    // Taking the spare back takes the third ball with it.
    Box(19)->setFocus();
    Type("1");
    QCOMPARE(Box(20)->text(), QString(""));
    QCOMPARE(Score(10), QString("90"));
  }

  void aRefusedEntryIsSaidAndKeepsTheFocus() {
    Box(0)->setFocus();
    Type("7");
    Type("5");  // 7 + 5: a spare
    QCOMPARE(Box(1)->text(), QString::fromUtf8("／"));
    Box(1)->setFocus();
    Type("11");
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].message1, std::string("入力が不正です"));
    QVERIFY(messages_.shown[0].message2.find("スペア /") != std::string::npos);
    QTest::qWait(20);
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(1)));
    QCOMPARE(Score(1), QString(""));
    // Leaving the field by a click elsewhere is refused the same way.
    messages_.shown.clear();
    Box(4)->setFocus(Qt::MouseFocusReason);
    QTest::qWait(20);
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(1)));
    Type("2");
    QCOMPARE(Box(1)->text(), QString::fromUtf8("２"));
    QCOMPARE(Score(1), QString("9"));

    // Letters in the game number and the handicap, a memo too long, a date that is none.
    struct Bad {
      const char* field;
      const char* typed;
      const char* good;  // put back afterwards
    };
    const std::vector<Bad> bad = {{"txtGameNumber", "abc", "1"},
                                  {"txtGameNumber", "0", "1"},
                                  {"txtHandicap", "ten", "0"},
                                  {"txtHandicap", "1.5", "0"},
                                  {"txtPlayDate", "2026/02/30", "2026/12/08"}};
    for (const Bad& b : bad) {
      messages_.shown.clear();
      Line(b.field)->setFocus();
      Type(b.typed);
      QCOMPARE(messages_.shown.size(), std::size_t{1});
      QTest::qWait(20);
      QCOMPARE(Focus(), static_cast<QWidget*>(Line(b.field)));
      Line(b.field)->setText(b.good);
    }
    messages_.shown.clear();
    Line("txtMemo")->setFocus();
    Line("txtMemo")->setText(QString(300, QChar('m')));
    QTest::keyClick(Line("txtMemo"), Qt::Key_Return);
    QCOMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(messages_.shown[0].message1, std::string("文字列が長すぎます"));
    QCOMPARE(Rows(), 0L);
  }

  void registerStoresTheGameAndItOpensAgainFromTheDaysList() {
    Box(0)->setFocus();
    for (int i = 0; i < 12; ++i) Type("x");
    QCOMPARE(Score(10), QString("300"));
    Line("txtHandicap")->setText("15");
    Line("txtMemo")->setText(QString::fromUtf8("パーフェクト"));
    QVERIFY(window_->cmdRegister_Click());
    QCOMPARE(Rows(), 1L);
    // The next game of the play is ready, with the next number.
    QCOMPARE(Line("txtGameNumber")->text(), QString("2"));
    QCOMPARE(Box(1)->text(), QString(""));
    QCOMPARE(Score(10), QString(""));
    QCOMPARE(DayList()->count(), 1);
    QVERIFY(DayList()->item(0)->text().contains("300"));

    // An unfinished game is refused with the focus on the box to fill.
    Box(0)->setFocus();
    Type("9");
    QVERIFY(!window_->cmdRegister_Click());
    QCOMPARE(messages_.shown.back().message1, std::string("入力が終わっていません"));
    QCOMPARE(Focus(), static_cast<QWidget*>(Box(1)));
    QCOMPARE(Rows(), 1L);

    // Opened from the list, after saying the game in hand would be lost.
    messages_.answer = true;
    DayList()->setCurrentRow(0);
    window_->cmdOpen_Click();
    QCOMPARE(messages_.asked.size(), std::size_t{1});
    QCOMPARE(Line("txtGameNumber")->text(), QString("1"));
    QCOMPARE(Line("txtHandicap")->text(), QString("15"));
    QCOMPARE(Line("txtMemo")->text(), QString::fromUtf8("パーフェクト"));
    QCOMPARE(Score(10), QString("300"));
    QCOMPARE(Box(19)->text(), QString::fromUtf8("Ｘ"));
    // Changed and stored again: the same row with the new last ball.
    Box(20)->setFocus();
    Type("9");
    QCOMPARE(Score(10), QString("299"));
    QVERIFY(window_->cmdRegister_Click());
    QCOMPARE(Rows(), 1L);
    QVERIFY(DayList()->item(0)->text().contains("299"));
  }

  void deleteAsksFirst() {
    lanereport::testing::AddOpenGame(db_->Db(), "山田 太郎", "ホーム", "リーグ", "2026/12/08", 1,
                                     "8", "1");
    // The bowler's day is read again when the bowler is chosen.
    auto* bowler = window_->findChild<QComboBox*>("cboBowler");
    bowler->setCurrentIndex(1);
    QCOMPARE(DayList()->count(), 0);
    bowler->setCurrentIndex(0);
    QCOMPARE(DayList()->count(), 1);
    QCOMPARE(Line("txtGameNumber")->text(), QString("2"));
    DayList()->setCurrentRow(0);
    messages_.answer = false;
    window_->cmdDelete_Click();
    QCOMPARE(messages_.asked.size(), std::size_t{1});
    QCOMPARE(messages_.asked[0].message1, std::string("このゲームを削除しますか？"));
    QCOMPARE(Rows(), 1L);
    messages_.answer = true;
    window_->cmdDelete_Click();
    QCOMPARE(Rows(), 0L);
    QCOMPARE(DayList()->count(), 0);
    // Nothing chosen: said, nothing asked.
    window_->cmdDelete_Click();
    QCOMPARE(messages_.asked.size(), std::size_t{2});
    QCOMPARE(messages_.shown.back().message1, std::string("削除するゲームを一覧から選んで下さい"));
  }
};

QTEST_MAIN(ScoreEntryWindowTest)
#include "score_entry_window_test.moc"
