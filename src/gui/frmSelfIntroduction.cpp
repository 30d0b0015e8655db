#include "frmSelfIntroduction.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "DialogFolderChooser.h"
#include "Msg_Waiting.h"
#include "WindowControl.h"
#include "WindowMessages.h"
#include "pages/ProfilePageOutput.h"
#include "util/AppError.h"
#include "util/FileChooserRules.h"
#include "util/IniControl.h"

namespace lanereport::gui {
namespace {

constexpr const char* kCaption = "Bowler紹介 HTML作成";
constexpr const char* kChooserUser = "SelfIntroduction";
constexpr const char* kChooserCaption = "出力先フォルダ選択";

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The progress window of one run. Msg_Waiting is loaded, owned by the profile window, only when
// the run first reports progress, that is after the questions about the output folder; other
// progress windows are used as they are.
class RunProgress : public ProgressWindow {
 public:
  RunProgress(ProgressWindow& target, QWidget* owner)
      : target_(target), waiting_(dynamic_cast<Msg_Waiting*>(&target)), owner_(owner) {}
  ~RunProgress() override { Close(); }
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  void Message1(std::string_view text) override {
    Forward([&] { target_.Message1(text); });
  }
  void Message2(std::string_view text) override {
    Forward([&] { target_.Message2(text); });
  }
  void StartProgress(int bar, long maximum) override {
    Forward([&] { target_.StartProgress(bar, maximum); });
  }
  void CountProgress(int bar, long step) override {
    Forward([&] { target_.CountProgress(bar, step); });
  }
  bool StopFlag() const override { return target_.StopFlag(); }

  // Unloads Msg_Waiting when this run loaded it.
  void Close() {
    if (!loaded_) return;
    loaded_ = false;
    waiting_->Unload();
  }

 private:
  // Passes one call on, loading Msg_Waiting before the run's first call and letting it paint
  // with that call's text before the first page is written.
  template <class Call>
  void Forward(Call&& call) {
    const bool opening = waiting_ && !opened_;
    if (opening) {
      opened_ = true;
      waiting_->PreForm(owner_);
      waiting_->Load();
      loaded_ = true;
    }
    call();
    if (opening) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

  ProgressWindow& target_;
  Msg_Waiting* waiting_;
  QWidget* owner_;
  bool opened_ = false;
  bool loaded_ = false;
};

// The messages of one run: the completion message comes after the progress window has closed.
class RunMessages : public MessageWindow {
 public:
  RunMessages(MessageWindow& target, RunProgress& progress)
      : target_(target), progress_(progress) {}

  void ShowWarning(const MessageText& message) override {
    if (message.color == kCompletionColor) progress_.Close();
    target_.ShowWarning(message);
  }
  bool AskYesNo(const MessageText& message) override { return target_.AskYesNo(message); }

 private:
  MessageWindow& target_;
  RunProgress& progress_;
};

}  // namespace

frmSelfIntroduction::frmSelfIntroduction(Database& db, std::string db_name, QWidget* parent)
    : frmSelfIntroduction(db, std::move(db_name), Windows{}, parent) {}

frmSelfIntroduction::frmSelfIntroduction(Database& db, std::string db_name, Windows windows,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), db_(db), db_name_(std::move(db_name)), bowlers_(db) {
  if (!windows.messages) own_messages_ = std::make_unique<WindowMessages>();
  if (!windows.chooser) own_chooser_ = std::make_unique<DialogFolderChooser>();
  messages_ = windows.messages ? windows.messages : own_messages_.get();
  chooser_ = windows.chooser ? windows.chooser : own_chooser_.get();
  progress_ = windows.progress ? windows.progress : &Msg_Waiting::Instance();

  setObjectName("frmSelfIntroduction");
  setWindowTitle(Text(kCaption));

  auto* select_frame = new QGroupBox(Text("選択"), this);
  select_frame->setObjectName("fraSelect");
  auto* select_group = new QButtonGroup(this);
  const char* options[] = {"全Ｂｏｗｌｅｒ", "Ｂｏｗｌｅｒ指定"};
  for (int i = 0; i < 2; ++i) {
    optSelect_[i] = new QRadioButton(Text(options[i]), select_frame);
    optSelect_[i]->setObjectName(QString("optSelect_%1").arg(i));
    select_group->addButton(optSelect_[i], i);
  }
  cboBowler_ = new QComboBox(select_frame);
  cboBowler_->setObjectName("cboBowler");
  cboBowler_->setEditable(false);
  cboBowler_->setMinimumWidth(220);
  auto* select_layout = new QGridLayout(select_frame);
  select_layout->addWidget(optSelect_[0], 0, 0);
  select_layout->addWidget(optSelect_[1], 1, 0);
  select_layout->addWidget(cboBowler_, 1, 1);
  select_layout->setColumnStretch(1, 1);

  auto* out_frame = new QGroupBox(Text("出力先指定"), this);
  out_frame->setObjectName("fraOutPath");
  txtOutPath_ = new QLineEdit(out_frame);
  txtOutPath_->setObjectName("txtOutPath");
  txtOutPath_->setMinimumWidth(320);
  cmdDialog_ = new QPushButton(Text("参照"), out_frame);
  cmdDialog_->setObjectName("cmdDialog");
  auto* out_layout = new QHBoxLayout(out_frame);
  out_layout->addWidget(txtOutPath_, 1);
  out_layout->addWidget(cmdDialog_);

  cmdCreate_ = new QPushButton(Text("作成"), this);
  cmdCreate_->setObjectName("cmdCreate");
  cmdCreate_->setMinimumWidth(100);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdCreate_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(select_frame);
  layout->addWidget(out_frame);
  layout->addLayout(buttons);

  setTabOrder(optSelect_[0], optSelect_[1]);
  setTabOrder(optSelect_[1], cboBowler_);
  setTabOrder(cboBowler_, txtOutPath_);
  setTabOrder(txtOutPath_, cmdDialog_);
  setTabOrder(cmdDialog_, cmdCreate_);

  connect(select_group, &QButtonGroup::idToggled, this, [this] { optSelect_Click(); });
  connect(cmdDialog_, &QPushButton::clicked, this, &frmSelfIntroduction::cmdDialog_Click);
  connect(cmdCreate_, &QPushButton::clicked, this, &frmSelfIntroduction::cmdCreate_Click);

  optSelect_[0]->setChecked(true);
  optSelect_Click();
  FillBowlers();
  txtOutPath_->setText(
      QString::fromStdString(ReadIni(DialogBoxIniFile(), "COMMON", RememberedKey(""))));
  adjustSize();
  CenterWindow(this);
}

frmSelfIntroduction::~frmSelfIntroduction() = default;

void frmSelfIntroduction::FillBowlers() {
  try {
    bowlers_.SelectRecord("");
  } catch (const AppError&) {
    // No bowler: the list stays empty.
  }
  for (std::size_t i = 0; i < bowlers_.Count(); ++i)
    cboBowler_->addItem(QString::fromStdString(bowlers_.Item(i).Name()));
  if (cboBowler_->count() > 0) cboBowler_->setCurrentIndex(0);
}

void frmSelfIntroduction::optSelect_Click() {
  cboBowler_->setEnabled(optSelect_[1]->isChecked());
}

void frmSelfIntroduction::cmdDialog_Click() {
  std::optional<std::string> folder = chooser_->ChooseFolder(kChooserUser, kChooserCaption);
  if (folder) txtOutPath_->setText(QString::fromStdString(*folder));
}

void frmSelfIntroduction::cmdCreate_Click() {
  if (running_) return;
  running_ = true;
  const std::string out_path = txtOutPath_->text().toStdString();
  const std::string bowler =
      optSelect_[1]->isChecked() ? cboBowler_->currentText().toStdString() : std::string();
  RunProgress progress(*progress_, this);
  RunMessages messages(*messages_, progress);
  try {
    ProfileRunResult result =
        CreateProfilePages(db_, db_name_, out_path, bowler, progress, messages);
    if (!result.folder.empty()) txtOutPath_->setText(QString::fromStdString(result.folder));
  } catch (const AppError& e) {
    progress.Close();
    messages_->ShowWarning({e.Description(), "", 0, 10});
  }
  progress.Close();
  running_ = false;
}

void frmSelfIntroduction::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    return;
  }
  AnimateClose(this);
  event->accept();
}

}  // namespace lanereport::gui
