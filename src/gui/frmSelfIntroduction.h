#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "database/MasterLists.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lanereport {
class Database;
class FolderChooser;
class MessageWindow;
class ProgressWindow;
}  // namespace lanereport

namespace lanereport::gui {

class DialogFolderChooser;
class WindowMessages;

// The profile window "Bowler紹介 HTML作成": all bowlers (optSelect_0) or the one chosen in
// cboBowler (optSelect_1), the output folder in txtOutPath, picked with cmdDialog through the
// folder chooser, and cmdCreate, which writes the profile pages and profiles.js there. The
// window keeps the bowler list it shows for its lifetime; the pages themselves are made by the
// core's profile run. Closing the window plays the closing effect; whoever shows it reacts to
// its closing or destruction. A close asked for during a run is refused.
class frmSelfIntroduction : public QWidget {
  Q_OBJECT

 public:
  // The windows a run talks to. A null member stands for the program's own window: the message
  // windows (WindowMessages), the folder chooser (DialogFolderChooser) and the progress window
  // (Msg_Waiting::Instance()). Given ones are not owned and must outlive this window. When the
  // progress window is Msg_Waiting, this window is its PreForm and loads it for the run.
  struct Windows {
    MessageWindow* messages = nullptr;
    FolderChooser* chooser = nullptr;
    ProgressWindow* progress = nullptr;
  };

  // db must stay open while the window lives; db_name is the database name the pages are
  // made for (DbNameOf of the file). Fills cboBowler with every bowler's Name and txtOutPath
  // with the chooser's last common folder ("PREV_USER" in DialogBox.ini).
  frmSelfIntroduction(Database& db, std::string db_name, QWidget* parent = nullptr);
  frmSelfIntroduction(Database& db, std::string db_name, Windows windows,
                      QWidget* parent = nullptr);
  ~frmSelfIntroduction() override;

  frmSelfIntroduction(const frmSelfIntroduction&) = delete;
  frmSelfIntroduction& operator=(const frmSelfIntroduction&) = delete;

  // cmdDialog: the folder chooser ("SelfIntroduction", "出力先フォルダ選択"); the chosen folder
  // goes into txtOutPath, a cancel leaves it as it is.
  void cmdDialog_Click();
  // cmdCreate: the profile run for the selection into the folder of txtOutPath, with its
  // questions, progress and messages. The folder used is written back into txtOutPath. An
  // error of the run is shown in a warning.
  void cmdCreate_Click();

  // True while cmdCreate's run is going on.
  bool Running() const { return running_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillBowlers();
  void optSelect_Click();

  Database& db_;
  std::string db_name_;
  std::unique_ptr<WindowMessages> own_messages_;
  std::unique_ptr<DialogFolderChooser> own_chooser_;
  MessageWindow* messages_;
  FolderChooser* chooser_;
  ProgressWindow* progress_;
  clsBowler_List bowlers_;
  bool running_ = false;

  QRadioButton* optSelect_[2];
  QComboBox* cboBowler_;
  QLineEdit* txtOutPath_;
  QPushButton* cmdDialog_;
  QPushButton* cmdCreate_;
};

}  // namespace lanereport::gui
