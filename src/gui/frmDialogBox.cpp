#include "frmDialogBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "WindowControl.h"
#include "WindowMessages.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/FileChooserRules.h"
#include "util/FolderListing.h"
#include "util/Make.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"

namespace lanereport::gui {
namespace {

// 6000 × 4500 twips at 15 twips a pixel.
constexpr int kWidth = 400;
constexpr int kHeight = 300;

// dirFolder keeps each entry's name as it is on disk, and marks the entry that goes up.
constexpr int kNameRole = Qt::UserRole;
constexpr int kUpRole = Qt::UserRole + 1;

QPointer<frmDialogBox> instance;

void DeleteInstance() {
  delete instance.data();
}

QString Text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

// The process's current folder, where a caller without a remembered place starts.
std::string CurrentDirectory() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec || cwd.empty()) return "/";
  return AddPathSeparator(cwd.string());
}

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

frmDialogBox& frmDialogBox::Instance() {
  if (!instance) {
    instance = new frmDialogBox;
    qAddPostRoutine(DeleteInstance);
  }
  return *instance;
}

frmDialogBox::frmDialogBox()
    : QDialog(nullptr),
      own_messages_(std::make_unique<WindowMessages>()),
      messages_(own_messages_.get()) {
  setObjectName("frmDialogBox");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowModality(Qt::ApplicationModal);

  lblPath_ = new QLabel(this);
  lblPath_->setObjectName("lblPath");
  lblPath_->setTextFormat(Qt::PlainText);
  lblPath_->setFrameShape(QFrame::StyledPanel);
  lblPath_->setMinimumWidth(1);

  lists_ = new QWidget(this);
  lists_->setObjectName("lists");
  drvDrive_ = new QComboBox(lists_);
  drvDrive_->setObjectName("drvDrive");
  dirFolder_ = new QListWidget(lists_);
  dirFolder_->setObjectName("dirFolder");
  file_side_ = new QWidget(lists_);
  txtFileName_ = new QLineEdit(file_side_);
  txtFileName_->setObjectName("txtFileName");
  filFile_ = new QListWidget(file_side_);
  filFile_->setObjectName("filFile");

  auto* folder_column = new QVBoxLayout;
  folder_column->setContentsMargins(0, 0, 0, 0);
  folder_column->addWidget(drvDrive_);
  folder_column->addWidget(dirFolder_, 1);
  auto* file_column = new QVBoxLayout(file_side_);
  file_column->setContentsMargins(0, 0, 0, 0);
  file_column->addWidget(txtFileName_);
  file_column->addWidget(filFile_, 1);
  auto* lists_layout = new QHBoxLayout(lists_);
  lists_layout->setContentsMargins(0, 0, 0, 0);
  lists_layout->addLayout(folder_column, 1);
  lists_layout->addWidget(file_side_, 1);

  fraNewFolder_ = new QFrame(this);
  fraNewFolder_->setObjectName("fraNewFolder");
  fraNewFolder_->setFrameShape(QFrame::StyledPanel);
  auto* new_folder_label = new QLabel(QString::fromUtf8("新しいフォルダ名"), fraNewFolder_);
  new_folder_label->setObjectName("lblNewFolder");
  txtNewFolder_ = new QLineEdit(fraNewFolder_);
  txtNewFolder_->setObjectName("txtNewFolder");
  auto* frame_layout = new QVBoxLayout(fraNewFolder_);
  frame_layout->addWidget(new_folder_label);
  frame_layout->addWidget(txtNewFolder_);
  frame_layout->addStretch(1);
  fraNewFolder_->hide();

  QPushButton* shortcuts[] = {MakeButton("cmdShortCut_0", "デスクトップ", this),
                              MakeButton("cmdShortCut_1", "ドキュメント", this),
                              MakeButton("cmdShortCut_4", "新しいフォルダ", this)};
  const int shortcut_index[] = {0, 1, 4};
  cmdOK_ = MakeButton("cmdOK", "OK", this);
  cmdCancel_ = MakeButton("cmdCancel", "キャンセル", this);
  auto* shortcut_row = new QHBoxLayout;
  for (QPushButton* button : shortcuts) shortcut_row->addWidget(button);
  shortcut_row->addStretch(1);
  auto* button_row = new QHBoxLayout;
  button_row->addStretch(1);
  button_row->addWidget(cmdOK_);
  button_row->addWidget(cmdCancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblPath_);
  layout->addWidget(lists_, 1);
  layout->addWidget(fraNewFolder_, 1);
  layout->addLayout(shortcut_row);
  layout->addLayout(button_row);

  setTabOrder(drvDrive_, dirFolder_);
  setTabOrder(dirFolder_, filFile_);
  setTabOrder(filFile_, txtFileName_);
  setTabOrder(txtFileName_, txtNewFolder_);
  setTabOrder(txtNewFolder_, cmdOK_);
  setTabOrder(cmdOK_, cmdCancel_);
  setTabOrder(cmdCancel_, shortcuts[0]);
  setTabOrder(shortcuts[0], shortcuts[1]);
  setTabOrder(shortcuts[1], shortcuts[2]);

  connect(drvDrive_, &QComboBox::currentIndexChanged, this, &frmDialogBox::drvDrive_Change);
  connect(dirFolder_, &QListWidget::itemDoubleClicked, this, &frmDialogBox::dirFolder_DblClick);
  connect(filFile_, &QListWidget::itemSelectionChanged, this, &frmDialogBox::filFile_Click);
  connect(filFile_, &QListWidget::itemDoubleClicked, this, &frmDialogBox::filFile_DblClick);
  connect(cmdOK_, &QPushButton::clicked, this, &frmDialogBox::cmdOK_Click);
  connect(cmdCancel_, &QPushButton::clicked, this, &frmDialogBox::cmdCancel_Click);
  for (int i = 0; i < 3; ++i) {
    const int index = shortcut_index[i];
    connect(shortcuts[i], &QPushButton::clicked, this, [this, index] { cmdShortCut_Click(index); });
  }

  MoveFocusOnEnter(this);
  resize(kWidth, kHeight);
}

frmDialogBox::~frmDialogBox() = default;

void frmDialogBox::User(std::string user) {
  user_ = user.empty() ? "USER" : std::move(user);
}

void frmDialogBox::SetMessages(MessageWindow* messages) {
  messages_ = messages ? messages : own_messages_.get();
}

int frmDialogBox::Show() {
  Load();
  show();
  AnimateOpen(this);
  const int result = exec();
  Unload();
  return result;
}

void frmDialogBox::Load() {
  if (!IsChooserMode(mode_))
    throw AppError(kErrInvalidValue, "frmDialogBox", "Modeが指定されていません");
  cancel_ = true;
  full_path_name_.clear();
  ShowNewFolderFrame(false);

  resize(kWidth, kHeight);
  // In folder mode the drive and folder lists take the whole width.
  file_side_->setVisible(mode_ != kChooseFolder);
  if (pos_top_ == 0 && pos_left_ == 0)
    CenterWindow(this);
  else
    move(pos_left_, pos_top_);

  FillDrives();
  txtFileName_->clear();
  current_folder_.clear();
  if (!OpenFolder(CurrentDirectory())) OpenFolder("/");
  if (auto place = ReadRememberedPlace(user_)) {
    OpenFolder(place->folder);
    txtFileName_->setText(Text(place->file_name));
  }
  if (txtFileName_->text().isEmpty()) txtFileName_->setText(Text(ini_file_name_));
  (mode_ == kChooseFolder ? static_cast<QWidget*>(dirFolder_) : txtFileName_)->setFocus();
}

void frmDialogBox::Unload() {
  if (!cancel_)
    (void)RememberChosenPath(user_, full_path_name_);  // a failed write only forgets the place
  else
    full_path_name_.clear();
  mode_ = 0;
  ini_file_name_.clear();
  mask_ = "*.*";
  user_ = "USER";
  timer_seconds_ = 0;
}

void frmDialogBox::done(int result) {
  AnimateClose(this);
  QDialog::done(result);
}

void frmDialogBox::keyPressEvent(QKeyEvent* event) {
  // Escape is the cancel button, which first closes the new-folder frame.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    cmdCancel_Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void frmDialogBox::FillDrives() {
  drive_roots_ = DriveRoots(CurrentDriveRootPlaces());
  QSignalBlocker block(drvDrive_);
  drvDrive_->clear();
  for (const std::string& root : drive_roots_) drvDrive_->addItem(Text(root));
}

bool frmDialogBox::OpenFolder(const std::string& folder) {
  std::string path = AddPathSeparator(folder);
  if (folder.empty() || !IsExistFolder(path)) return false;
  current_folder_ = path;
  const std::string root = DriveRootOf(current_folder_, drive_roots_);
  for (std::size_t i = 0; i < drive_roots_.size(); ++i) {
    if (drive_roots_[i] == root) {
      QSignalBlocker block(drvDrive_);
      drvDrive_->setCurrentIndex(static_cast<int>(i));
    }
  }
  RefreshLists();
  return true;
}

void frmDialogBox::RefreshLists() {
  dirFolder_->clear();
  if (current_folder_ != "/") {
    auto* up = new QListWidgetItem("..", dirFolder_);
    up->setData(kUpRole, true);
  }
  for (const std::string& name : ListSubfolders(current_folder_)) {
    auto* item = new QListWidgetItem(Text(name), dirFolder_);
    item->setData(kNameRole, QByteArray::fromStdString(name));
  }
  filFile_->clear();
  if (mode_ != kChooseFolder) {
    for (const std::string& name : ListMatchingFiles(current_folder_, mask_))
      filFile_->addItem(Text(name));
  }
  lblPath_->setText(Text(current_folder_));
}

void frmDialogBox::drvDrive_Change(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= drive_roots_.size()) return;
  const std::string root = drive_roots_[static_cast<std::size_t>(index)];
  if (OpenFolder(root)) return;
  // An unmounted medium: say so and stay where the lists are.
  Warn("「" + root + "」は存在しません");
  OpenFolder(current_folder_);
}

void frmDialogBox::dirFolder_DblClick(QListWidgetItem* item) {
  if (!item) return;
  const std::string target =
      item->data(kUpRole).toBool()
          ? FolderAbove(current_folder_)
          : current_folder_ + item->data(kNameRole).toByteArray().toStdString() + "/";
  if (OpenFolder(target)) return;
  Warn("「" + target + "」は存在しません");
  RefreshLists();
}

void frmDialogBox::filFile_Click() {
  const QList<QListWidgetItem*> selected = filFile_->selectedItems();
  if (!selected.isEmpty()) txtFileName_->setText(selected.front()->text());
}

void frmDialogBox::filFile_DblClick(QListWidgetItem* item) {
  if (!item) return;
  txtFileName_->setText(item->text());
  cmdOK_Click();
}

void frmDialogBox::cmdShortCut_Click(int index) {
  switch (index) {
    case 0:
      OpenFolder(GetSpecialFolder(0));
      break;
    case 1:
      OpenFolder(GetSpecialFolder(2));
      break;
    case 4:
      ShowNewFolderFrame(true);
      break;
    default:
      break;
  }
}

void frmDialogBox::ShowNewFolderFrame(bool shown) {
  txtNewFolder_->clear();
  lists_->setVisible(!shown);
  fraNewFolder_->setVisible(shown);
  if (shown) txtNewFolder_->setFocus();
}

void frmDialogBox::CreateNewFolder() {
  const std::string name(Trim(Utf8(txtNewFolder_->text())));
  if (!name.empty()) {
    try {
      MakeFolders(current_folder_ + name);
    } catch (const AppError& error) {
      Warn(error.Description());
      return;
    }
  }
  ShowNewFolderFrame(false);
  RefreshLists();
}

void frmDialogBox::cmdOK_Click() {
  if (lists_->isHidden()) {
    CreateNewFolder();
    return;
  }
  const ChooserDecision decision =
      DecideChooserOk(mode_, current_folder_, Utf8(txtFileName_->text()), mask_);
  switch (decision.step) {
    case ChooserStep::kAccept:
      Choose(decision.path);
      break;
    case ChooserStep::kNoFileName:
      Warn("ファイル名が指定されていません");
      break;
    case ChooserStep::kFileMissing:
      Warn("「" + decision.path + "」は存在しません");
      break;
    case ChooserStep::kAskCreateFolder:
      if (!Ask("「" + decision.path + "」を作成しますか？")) break;
      try {
        MakeFolders(decision.path);
      } catch (const AppError& error) {
        Warn(error.Description());
        break;
      }
      Choose(decision.path);
      break;
    case ChooserStep::kAskOverwrite:
      if (Ask("「" + decision.path + "」は既に存在します", "既存のファイルを書き換えますか？"))
        Choose(decision.path);
      break;
  }
}

void frmDialogBox::cmdCancel_Click() {
  if (lists_->isHidden()) {
    ShowNewFolderFrame(false);
    return;
  }
  reject();
}

void frmDialogBox::Choose(const std::string& path) {
  full_path_name_ = path;
  cancel_ = false;
  accept();
}

void frmDialogBox::Warn(const std::string& line1) {
  messages_->ShowWarning({line1, "", 0, timer_seconds_});
}

bool frmDialogBox::Ask(const std::string& line1, const std::string& line2) {
  return messages_->AskYesNo({line1, line2, 0, timer_seconds_});
}

}  // namespace lanereport::gui
