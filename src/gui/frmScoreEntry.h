#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "entry/ScoreEntry.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace lanereport {
class Database;
class MessageWindow;
}  // namespace lanereport

namespace lanereport::gui {

class WindowMessages;

// The score entry window "スコア入力": the play (cboBowler, cboAlley, cboLevel from the masters,
// the date in txtPlayDate, which opens the calendar when clicked, the game number in
// txtGameNumber, the next free number proposed), the score sheet of 21 roll boxes txtRoll_0 …
// txtRoll_20 (frames 1 to 9 two each, frame 10 three) with the running scores lblFrameScore_0
// … lblFrameScore_9, txtHandicap and txtMemo; cmdRegister "登録" stores the game, cmdNew
// "新規" starts the next one; lstDayGames lists the bowler's games of the day, cmdOpen "開く"
// opens the chosen one to change it and cmdDelete "削除" deletes it after asking. Every field
// goes through the game record's setters when it is left (or on Enter): the box then shows the
// stored mark, a refusal is shown with its message and the field keeps the focus. Enter in a
// roll box goes on to the next box that can take a roll. The rules are ScoreEntry's.
class frmScoreEntry : public QWidget {
  Q_OBJECT

 public:
  // What the window asks of others; null members stand for the program's own windows (the
  // message windows and frmSearchCalender). pick_date gets the field and its text and answers
  // the date picked as "yyyy/mm/dd", or nothing when cancelled.
  struct Windows {
    MessageWindow* messages = nullptr;
    std::function<std::optional<std::string>(QWidget* field, const std::string& date)> pick_date;
  };

  // db must stay open while the window lives. The bowler, centre and level lists are filled
  // from the masters; the date is today's.
  explicit frmScoreEntry(Database& db, QWidget* parent = nullptr);
  frmScoreEntry(Database& db, Windows windows, QWidget* parent = nullptr);
  ~frmScoreEntry() override;

  frmScoreEntry(const frmScoreEntry&) = delete;
  frmScoreEntry& operator=(const frmScoreEntry&) = delete;

  // 登録: every field once more through its setter, then the game added (or updated when it
  // was opened from the list); a refusal is shown with the focus on its field. Afterwards the
  // next game of the play is started. True when the game was stored.
  bool cmdRegister_Click();
  // 新規: the next game of the play, after asking when the game in hand has changes.
  void cmdNew_Click();
  // 開く: the game chosen in lstDayGames into the sheet, after asking when the game in hand has
  // changes.
  void cmdOpen_Click();
  // 削除: the game chosen in lstDayGames deleted, after Msg_YesNo.
  void cmdDelete_Click();
  // A click on the date field: the calendar, then the date's setter.
  void txtPlayDate_Click();

  const ScoreEntry& Entry() const { return entry_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FillMasters();
  void FillLists();
  // Puts the text of a field through its setter; a refusal is shown and the field keeps the
  // focus. True when it was taken.
  bool Apply(QWidget* field);
  bool ApplyAll();
  void Refused(QWidget* field, const std::string& message, const std::string& hint = "");
  // Shows the game in hand: every box, score, number, memo and which boxes are open.
  void ShowGame();
  void ShowKey();
  void RefreshDayGames();
  void ProposeGameNumber();
  void PlayChanged(QComboBox* box);
  void StartNewGame();
  bool ConfirmDiscard();
  int BoxOf(QObject* widget) const;
  MessageWindow& Messages();
  void SetFieldColour(QWidget* field, long bgr);

  Database& db_;
  std::unique_ptr<WindowMessages> own_messages_;
  Windows windows_;
  ScoreEntry entry_;
  std::vector<DayGame> day_games_;
  // The user changed a roll, the handicap or the memo since the game was started, opened or
  // stored.
  bool dirty_ = false;
  bool in_check_ = false;

  QComboBox* cboBowler_;
  QComboBox* cboAlley_;
  QComboBox* cboLevel_;
  QLineEdit* txtPlayDate_;
  QLineEdit* txtGameNumber_;
  std::array<QLineEdit*, kRollBoxes> txtRoll_{};
  std::array<QLabel*, 10> lblFrameScore_{};
  QLineEdit* txtHandicap_;
  QLineEdit* txtMemo_;
  QLabel* lblMode_;
  QLabel* lblStatus_;
  QPushButton* cmdRegister_;
  QPushButton* cmdNew_;
  QListWidget* lstDayGames_;
  QPushButton* cmdOpen_;
  QPushButton* cmdDelete_;
};

}  // namespace lanereport::gui
