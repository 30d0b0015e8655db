#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWidget;

namespace lanereport {
class MessageWindow;
}

namespace lanereport::gui {

class WindowMessages;

// The program's own modal chooser of a folder or a file: the drive list (drvDrive), the
// subfolders of the current folder with ".." to go up (dirFolder), the files of the current
// folder that match the mask (filFile) with the name box (txtFileName), the current folder on
// the path line (lblPath), shortcut buttons to the desktop (cmdShortCut_0), the documents
// folder (cmdShortCut_1) and the new-folder frame (cmdShortCut_4, fraNewFolder with
// txtNewFolder), OK (cmdOK) and cancel (cmdCancel). It opens where it was last used by the same
// caller (User), as remembered in DialogBox.ini in the program folder.
//
// One instance serves every caller in turn: set the properties and the caption, call Show,
// then read Cancel and FullPathName. Closing resets Mode, IniFileName, Mask, User and TimerSet
// for the next caller; PosTop and PosLeft keep their values.
class frmDialogBox : public QDialog {
  Q_OBJECT

 public:
  // The one chooser, made on first use without a parent and deleted when the application
  // object goes. Needs the application object.
  static frmDialogBox& Instance();

  // 1 a folder, 2 an existing file, 3 a file name with the mask's extension, 4 a file to save
  // (as 3, an existing file replaced only after a question). 0, the value after closing,
  // makes Show refuse to open.
  void Mode(int mode) { mode_ = mode; }
  int Mode() const { return mode_; }
  // The caller's name in the remembered key ("PREV_" + User); empty means "USER".
  void User(std::string user);
  const std::string& User() const { return user_; }
  // The window's position on the screen (top and left of its frame); when both are 0 the
  // window is centred.
  void PosTop(int top) { pos_top_ = top; }
  void PosLeft(int left) { pos_left_ = left; }
  // The file list's pattern ("*.db", "*.txt;*.csv"; "*.*" for every file). Its last four
  // characters are the extension added in modes 3 and 4.
  void Mask(std::string mask) { mask_ = std::move(mask); }
  const std::string& Mask() const { return mask_; }
  // The name put into the name box when nothing else is.
  void IniFileName(std::string name) { ini_file_name_ = std::move(name); }
  const std::string& IniFileName() const { return ini_file_name_; }
  // Seconds after which the warnings and questions the chooser shows close by themselves (a
  // question closed so counts as No); 0 = never.
  void TimerSet(int seconds) { timer_seconds_ = seconds; }
  int TimerSet() const { return timer_seconds_; }

  // Shows the chooser modally and returns when it has closed: QDialog::Accepted after a
  // successful OK, else QDialog::Rejected. Raises AppError "Modeが指定されていません" (source
  // "frmDialogBox") without opening when Mode is not one of the four modes.
  int Show();

  // True unless OK closed the chooser; stays readable until the next Show.
  bool Cancel() const { return cancel_; }
  // The chosen path (UTF-8): a folder ending with "/" in mode 1, a file otherwise; empty after
  // a cancel. Stays readable until the next Show.
  const std::string& FullPathName() const { return full_path_name_; }

  // The windows the validation messages go to; null gives back the program's own
  // (Msg_Warning, Msg_YesNo). A given one is not owned and must outlive its use.
  void SetMessages(MessageWindow* messages);

  // The folder the lists show, ending with "/".
  const std::string& CurrentFolder() const { return current_folder_; }
  // Opens folder in the lists when it exists; returns whether it did.
  bool OpenFolder(const std::string& folder);

  ~frmDialogBox() override;
  frmDialogBox(const frmDialogBox&) = delete;
  frmDialogBox& operator=(const frmDialogBox&) = delete;

 public slots:
  void cmdOK_Click();
  void cmdCancel_Click();
  // 0 the desktop, 1 the documents folder, 4 the new-folder frame.
  void cmdShortCut_Click(int index);

 protected:
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  frmDialogBox();

  void Load();
  void Unload();
  void FillDrives();
  void RefreshLists();
  void ShowNewFolderFrame(bool shown);
  void CreateNewFolder();
  void Choose(const std::string& path);
  void Warn(const std::string& line1);
  bool Ask(const std::string& line1, const std::string& line2 = "");
  void drvDrive_Change(int index);
  void dirFolder_DblClick(QListWidgetItem* item);
  void filFile_Click();
  void filFile_DblClick(QListWidgetItem* item);

  int mode_ = 0;
  std::string user_ = "USER";
  int pos_top_ = 0;
  int pos_left_ = 0;
  std::string mask_ = "*.*";
  std::string ini_file_name_;
  int timer_seconds_ = 0;
  bool cancel_ = true;
  std::string full_path_name_;

  std::string current_folder_;
  std::vector<std::string> drive_roots_;
  std::unique_ptr<WindowMessages> own_messages_;
  MessageWindow* messages_;

  QComboBox* drvDrive_;
  QListWidget* dirFolder_;
  QListWidget* filFile_;
  QLineEdit* txtFileName_;
  QLabel* lblPath_;
  QWidget* lists_;
  QWidget* file_side_;
  QFrame* fraNewFolder_;
  QLineEdit* txtNewFolder_;
  QPushButton* cmdOK_;
  QPushButton* cmdCancel_;
};

}  // namespace lanereport::gui
