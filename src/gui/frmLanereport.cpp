#include "frmLanereport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "DialogFolderChooser.h"
#include "Msg_Waiting.h"
#include "OutputSettingsFrame.h"
#include "SheetEditor.h"
#include "WindowControl.h"
#include "WindowMessages.h"
#include "batch/OutputChoices.h"
#include "database/Database.h"
#include "frmDialogBox.h"
#include "frmSearchCalender.h"
#include "ui/FolderChooser.h"
#include "ui/MessageWindow.h"
#include "ui/ProgressWindow.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/StringUtil.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport::gui {
namespace {

constexpr long kFocusColour = 0xC0FFFF;
constexpr long kOpenDateColour = 0xFFFFC0;
constexpr const char* kPleaseWait = "しばらくお待ちください...";
const char* const kModeCaptions[] = {"一括出力処理", "ボウラー情報作成", "月間表作成",
                                     "スコア表作成"};

std::string Text(const QLineEdit* field) {
  return field->text().toStdString();
}
std::string Trimmed(const QString& text) {
  return std::string(Trim(text.toStdString()));
}
QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// Picks the first entry of the list with the text; an unknown text picks nothing new.
void SelectChoice(QComboBox* box, const std::string& text) {
  int index = box->findText(Q(text));
  if (index >= 0) box->setCurrentIndex(index);
}

// A year as the bulk run takes it: four digits.
bool IsYearText(const std::string& text) {
  return text.size() == 4 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The descriptions of the reasons nested in an error, one a line, outermost first.
std::string NestedReasons(const std::exception& error) {
  try {
    std::rethrow_if_nested(error);
  } catch (const std::exception& reason) {
    const auto* app = dynamic_cast<const AppError*>(&reason);
    std::string text = app ? app->Description() : std::string(reason.what());
    std::string deeper = NestedReasons(reason);
    return deeper.empty() ? text : text + "\n" + deeper;
  } catch (...) {
  }
  return "";
}

// Fills a drop-down with the choices, keeping its text and highlighting the entry of that text.
// A list that already holds the choices is left alone, so that a choice in progress is kept.
void RefillChoices(QComboBox* box, const std::vector<std::string>& choices) {
  QString text = box->currentText();
  bool same = box->count() == static_cast<int>(choices.size());
  for (int i = 0; same && i < box->count(); ++i) same = box->itemText(i) == Q(choices[i]);
  if (!same) {
    box->clear();
    for (const std::string& choice : choices) box->addItem(Q(choice));
  }
  int index = box->findText(text);
  if (index >= 0)
    box->setCurrentIndex(index);
  else
    box->setEditText(text);
}

// The messages of one make: a completion message first takes the progress window away, and can
// be held back to be shown once the window has done what follows the run.
class RunMessages : public MessageWindow {
 public:
  RunMessages(MessageWindow& target, std::function<void()> before_completion, bool hold)
      : target_(target), before_completion_(std::move(before_completion)), hold_(hold) {}
  void ShowWarning(const MessageText& message) override {
    if (message.color == kCompletionColor) {
      before_completion_();
      if (hold_) {
        held_ = message;
        return;
      }
    }
    target_.ShowWarning(message);
  }
  bool AskYesNo(const MessageText& message) override { return target_.AskYesNo(message); }
  std::optional<MessageText>& Held() { return held_; }

 private:
  MessageWindow& target_;
  std::function<void()> before_completion_;
  bool hold_;
  std::optional<MessageText> held_;
};

}  // namespace

frmLanereport::frmLanereport(Database& db, std::string db_name, QWidget* parent)
    : QWidget(parent), db_(db), db_name_(std::move(db_name)) {
  setObjectName("frmLanereport");
  setWindowTitle("HTML出力");
  BuildControls();
  FillLists();
  SetMode(0);
  lbl_name_->setText(Q(Trimmed(cbo_bowler_->currentText())));
  LoadSettings();
  MoveFocusOnEnter(this);
}

frmLanereport::~frmLanereport() = default;

void frmLanereport::SetServices(OutputWindowServices services) {
  services_ = std::move(services);
}

// ---- controls -------------------------------------------------------------------------

void frmLanereport::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  lbl_zepa_ = new QLabel(Q(db_name_), this);
  lbl_zepa_->setObjectName("lblZepa");
  layout->addWidget(lbl_zepa_);

  fra_user_ = new QGroupBox(this);
  fra_user_->setObjectName("fraUser");
  auto* user = new QHBoxLayout(fra_user_);
  cbo_bowler_ = new QComboBox(fra_user_);
  cbo_bowler_->setObjectName("cboBowler");
  cbo_bowler_->setEditable(false);  // a bowler can only be picked from the list
  auto* change = new QPushButton("変更", fra_user_);
  change->setObjectName("cmdChange");
  lbl_name_ = new QLabel(fra_user_);
  lbl_name_->setObjectName("lblName");
  user->addWidget(cbo_bowler_, 1);
  user->addWidget(change);
  user->addWidget(lbl_name_, 1);
  layout->addWidget(fra_user_);
  connect(change, &QPushButton::clicked, this, &frmLanereport::cmdChange_Click);
  connect(cbo_bowler_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { lbl_name_->setText(Q(Trimmed(text))); });

  fra_from_change_ = new QGroupBox(this);
  fra_from_change_->setObjectName("fraFromChange");
  auto* modes = new QHBoxLayout(fra_from_change_);
  const char* const mode_names[] = {"一括処理", "ボウラー表", "月間表", "スコア表"};
  for (int i = 0; i < 4; ++i) {
    opt_change_[i] = new QRadioButton(mode_names[i], fra_from_change_);
    opt_change_[i]->setObjectName(QString("optChange_%1").arg(i));
    modes->addWidget(opt_change_[i]);
    connect(opt_change_[i], &QRadioButton::clicked, this, [this, i] { SetMode(i); });
  }
  layout->addWidget(fra_from_change_);
  // The rows above the frames keep their room when a mode hides them, so switching modes
  // never moves the frames or the buttons.
  for (QWidget* row : std::initializer_list<QWidget*>{lbl_zepa_, fra_user_, fra_from_change_}) {
    QSizePolicy policy = row->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    row->setSizePolicy(policy);
  }

  // The frames of the modes and the settings share one place.
  auto* place = new QWidget(this);
  place->setObjectName("fraPlace");
  frames_ = new QStackedLayout(place);

  auto* bulk = new QGroupBox(place);
  bulk->setObjectName("fraCollectively");
  auto* bulk_layout = new QGridLayout(bulk);
  cbo_year_c_ = new QComboBox(bulk);
  cbo_year_c_->setObjectName("cboYearC");
  cbo_year_c_->setEditable(true);
  auto* mg = new QLabel("年のボウラー情報 月間表 スコア表を作成します", bulk);
  mg->setObjectName("lblMG");
  auto* msg0 = new QLabel("（ボウラー表は条件指定したデータが対象です。）", bulk);
  msg0->setObjectName("lblMsg_0");
  auto* msg1 = new QLabel("（月間表 スコア表は 優先上位１００名 が対象です。）", bulk);
  msg1->setObjectName("lblMsg_1");
  bulk_layout->addWidget(cbo_year_c_, 0, 0);
  bulk_layout->addWidget(mg, 0, 1);
  bulk_layout->addWidget(msg0, 1, 0, 1, 2);
  bulk_layout->addWidget(msg1, 2, 0, 1, 2);
  bulk_layout->setRowStretch(3, 1);
  bulk_layout->setColumnStretch(1, 1);
  mode_frames_[0] = bulk;

  mode_frames_[1] = BuildBowlerFrame();
  mode_frames_[1]->setParent(place);

  auto* monthly = new QGroupBox("出力条件", place);
  monthly->setObjectName("fraMonthly");
  auto* monthly_layout = new QGridLayout(monthly);
  cbo_sttdt_ = new QComboBox(monthly);
  cbo_sttdt_->setObjectName("cboSTTDT");
  cbo_sttdt_->setEditable(true);
  cbo_sttdt_->setMinimumWidth(140);
  cbo_enddt_ = new QComboBox(monthly);
  cbo_enddt_->setObjectName("cboENDDT");
  cbo_enddt_->setEditable(true);
  cbo_enddt_->setMinimumWidth(140);
  lbl_sttdt_ = new QLabel(monthly);
  lbl_sttdt_->setObjectName("lblSTTDT");
  lbl_sttdt_->hide();
  lbl_enddt_ = new QLabel(monthly);
  lbl_enddt_->setObjectName("lblENDDT");
  lbl_enddt_->hide();
  monthly_layout->addWidget(cbo_sttdt_, 0, 0);
  monthly_layout->addWidget(new QLabel("～", monthly), 0, 1);
  monthly_layout->addWidget(cbo_enddt_, 0, 2);
  monthly_layout->addWidget(new QLabel("月間表を作成する月を指定してください。", monthly), 1, 0, 1,
                            3);
  monthly_layout->setRowStretch(2, 1);
  monthly_layout->setColumnStretch(3, 1);  // the two months side by side at the left
  for (auto [box, label] : {std::pair{cbo_sttdt_, lbl_sttdt_}, std::pair{cbo_enddt_, lbl_enddt_}})
    connect(box, &QComboBox::currentTextChanged, this,
            [label](const QString& month) { label->setText(QString(month).remove('/')); });
  mode_frames_[2] = monthly;

  auto* score = new QGroupBox("出力条件", place);
  score->setObjectName("fraScoreList");
  auto* score_layout = new QGridLayout(score);
  opt_html_ = new QRadioButton("日付範囲指定出力", score);
  opt_html_->setObjectName("OptHTML");
  opt_score_ = new QRadioButton("リスト選択出力", score);
  opt_score_->setObjectName("OptSCORE");
  txt_sttdt1_ = new QLineEdit(score);
  txt_sttdt1_->setObjectName("txtSTTDT1");
  txt_enddt1_ = new QLineEdit(score);
  txt_enddt1_->setObjectName("txtENDDT1");
  lst_choose_ = new QListWidget(score);
  lst_choose_->setObjectName("lstChoose");
  score_layout->addWidget(opt_html_, 0, 0);
  score_layout->addWidget(txt_sttdt1_, 0, 1);
  score_layout->addWidget(new QLabel("～", score), 0, 2);
  score_layout->addWidget(txt_enddt1_, 0, 3);
  score_layout->addWidget(opt_score_, 1, 0);
  score_layout->addWidget(lst_choose_, 2, 0, 1, 4);
  connect(opt_html_, &QRadioButton::clicked, this, [this] { ScoreOption(false); });
  connect(opt_score_, &QRadioButton::clicked, this, [this] { ScoreOption(true); });
  mode_frames_[3] = score;

  for (QWidget* frame : mode_frames_) frames_->addWidget(frame);
  fra_prepare_ = new OutputSettingsFrame(place);
  frames_->addWidget(fra_prepare_);
  layout->addWidget(place, 1);
  connect(fra_prepare_, &OutputSettingsFrame::FolderChanged, this,
          [this](const QString& folder) { out_folder_ = folder.toStdString(); });
  fra_prepare_->SetChooser([this](int mode, const std::string& user, const std::string& caption,
                                  const std::string& mask) -> std::optional<std::string> {
    if (services_.choose_path) return services_.choose_path(mode, user, caption, mask);
    frmDialogBox& box = frmDialogBox::Instance();
    box.Mode(mode);
    box.User(user);
    box.Mask(mode == 1 ? "*.*" : mask);
    box.setWindowTitle(Q(caption));
    box.Show();
    if (box.Cancel()) return std::nullopt;
    return box.FullPathName();
  });

  auto* buttons = new QGroupBox(this);
  buttons->setObjectName("fraCommandButton");
  auto* row = new QHBoxLayout(buttons);
  cmb_establish_ = new QPushButton("設定", buttons);
  cmb_establish_->setObjectName("cmbEstablish");
  cmd_make_ = new QPushButton("作成", buttons);
  cmd_make_->setObjectName("cmdMAKE");
  row->addStretch(1);
  row->addWidget(cmb_establish_);
  row->addWidget(cmd_make_);
  layout->addWidget(buttons);
  connect(cmb_establish_, &QPushButton::clicked, this, &frmLanereport::cmbEstablish_Click);
  connect(cmd_make_, &QPushButton::clicked, this, &frmLanereport::cmdMAKE_Click);

  for (QWidget* field : findChildren<QWidget*>()) {
    if (qobject_cast<QLineEdit*>(field) || qobject_cast<QComboBox*>(field) ||
        qobject_cast<QListWidget*>(field))
      field->installEventFilter(this);
  }
  for (QLineEdit* date : {txt_sttdt_, txt_enddt_, txt_sttdt1_, txt_enddt1_})
    date->installEventFilter(this);
  // A date the user types is the user's, as one picked in the calendar is.
  connect(txt_sttdt_, &QLineEdit::textEdited, this, [this] { start_open_ = false; });
  connect(txt_enddt_, &QLineEdit::textEdited, this, [this] { end_open_ = false; });
}

QWidget* frmLanereport::BuildBowlerFrame() {
  auto* frame = new QGroupBox("出力条件");
  frame->setObjectName("fraBowler");
  auto* grid = new QGridLayout(frame);

  auto* conditions = new QHBoxLayout;
  conditions->addWidget(new QLabel("ボウリング場：", frame));
  cbo_alley_ = new QComboBox(frame);
  cbo_alley_->setObjectName("cboAlley");
  conditions->addWidget(cbo_alley_, 1);
  conditions->addWidget(new QLabel("レベル：", frame));
  cbo_level_ = new QComboBox(frame);
  cbo_level_->setObjectName("cboLevel");
  conditions->addWidget(cbo_level_, 1);
  grid->addLayout(conditions, 0, 0, 1, 2);

  auto* period = new QHBoxLayout;
  const char* const condition_names[] = {"期間", "GAME数"};
  for (int i = 0; i < 2; ++i) {
    opt_condition_[i] = new QRadioButton(condition_names[i], frame);
    opt_condition_[i]->setObjectName(QString("optCondition_%1").arg(i));
    period->addWidget(opt_condition_[i]);
    connect(opt_condition_[i], &QRadioButton::clicked, this, [this, i] { optCondition_Click(i); });
  }
  opt_condition_[0]->setChecked(true);
  txt_sttdt_ = new QLineEdit(frame);
  txt_sttdt_->setObjectName("txtSTTDT");
  lbl_message1_ = new QLabel(frame);
  lbl_message1_->setObjectName("lblMessage1");
  txt_enddt_ = new QLineEdit(frame);
  txt_enddt_->setObjectName("txtENDDT");
  txt_game_count_ = new QLineEdit(frame);
  txt_game_count_->setObjectName("txtGameCount");
  lbl_message2_ = new QLabel(frame);
  lbl_message2_->setObjectName("lblMessage2");
  for (QWidget* w : std::initializer_list<QWidget*>{txt_sttdt_, lbl_message1_, txt_enddt_,
                                                    txt_game_count_, lbl_message2_})
    period->addWidget(w);
  period->addStretch(1);
  grid->addLayout(period, 1, 0, 1, 2);

  sheet_editor_ = new SheetEditor(
      db_, *this, [this]() -> MessageWindow& { return Messages(); }, frame);
  sheet_editor_->setObjectName("fraSheetEditor");
  connect(sheet_editor_, &SheetEditor::SheetClicked, this, [this] {
    SetFieldColour(txt_sttdt_, -1);
    SetFieldColour(txt_enddt_, -1);
  });
  grid->addWidget(sheet_editor_, 2, 0, 1, 2);

  chk_screen_ = new QCheckBox("ＨＴＭＬを作成する", frame);
  chk_screen_->setObjectName("chkSCREEN");
  grid->addWidget(chk_screen_, 3, 0, 1, 2);
  return frame;
}

// ---- lists, modes and settings -------------------------------------------------------

void frmLanereport::FillLists() {
  for (const std::string& name : BowlerChoices(db_)) cbo_bowler_->addItem(Q(name));
  if (cbo_bowler_->count() > 0) cbo_bowler_->setCurrentIndex(0);
  for (const std::string& name : AlleyChoices(db_)) cbo_alley_->addItem(Q(name));
  cbo_alley_->setCurrentIndex(0);
  for (const std::string& name : LevelChoices(db_)) cbo_level_->addItem(Q(name));
  cbo_level_->setCurrentIndex(0);
  optCondition_Click(opt_condition_[1]->isChecked() ? 1 : 0);
  sheet_editor_->FillSheetList();
}

int frmLanereport::Mode() const {
  for (int i = 0; i < 4; ++i)
    if (opt_change_[i]->isChecked()) return i;
  return 0;
}

bool frmLanereport::SettingsMode() const {
  return frames_->currentWidget() == fra_prepare_;
}

void frmLanereport::SetMode(int index) {
  CivilDate today = Today();
  opt_change_[index]->setChecked(true);
  frames_->setCurrentWidget(mode_frames_[index]);
  setWindowTitle(kModeCaptions[index]);
  fra_from_change_->show();
  lbl_zepa_->setVisible(index <= 1);
  fra_user_->setVisible(index >= 2);
  switch (index) {
    case 0:
      cbo_year_c_->setEditText(Q(YearText(today)));
      break;
    case 1:
      chk_screen_->setChecked(false);
      break;
    case 2:
      cbo_sttdt_->setEditText(Q(SlashedMonth(today)));
      cbo_enddt_->setEditText(Q(SlashedMonth(today)));
      break;
    case 3:
      opt_score_->setChecked(true);
      ScoreOption(true);
      SetDate(txt_sttdt1_, SlashedDate(today));
      SetDate(txt_enddt1_, SlashedDate(today));
      FillSeriesList();
      break;
  }
}

void frmLanereport::ScoreOption(bool list_output) {
  lst_choose_->setEnabled(list_output);
  txt_sttdt1_->setEnabled(!list_output);
  txt_enddt1_->setEnabled(!list_output);
  fra_prepare_->EnableImageFields(true);
}

void frmLanereport::optCondition_Click(int index) {
  CivilDate today = Today();
  opt_condition_[index]->setChecked(true);
  if (index == 1) {
    txt_sttdt_->hide();
    SetDate(txt_sttdt_, "1900/01/01");
    lbl_message1_->setText("から過去");
    txt_enddt_->show();
    SetDate(txt_enddt_, SlashedDate(today));
    txt_game_count_->show();
    txt_game_count_->setText("30");
    lbl_message2_->setText(" Game");
    lbl_message2_->show();
  } else {
    txt_sttdt_->show();
    SetDate(txt_sttdt_, YearText(today) + "/01/01");
    lbl_message1_->setText("～");
    txt_enddt_->show();
    SetDate(txt_enddt_, YearText(today) + "/12/31");
    txt_game_count_->hide();
    txt_game_count_->setText("0");
    lbl_message2_->hide();
  }
}

void frmLanereport::cmbEstablish_Click() {
  if (!SettingsMode()) {
    lbl_zepa_->show();
    fra_user_->hide();
    fra_from_change_->hide();
    frames_->setCurrentWidget(fra_prepare_);
    cmd_make_->setEnabled(false);
    cmb_establish_->setText("設定完了");
  } else {
    if (!LookSettingsAccepted()) return;
    SaveSettings();
    cmd_make_->setEnabled(true);
    cmb_establish_->setText("設定");
    SetMode(Mode());
  }
}

void frmLanereport::LoadSettings() {
  try {
    // The window stores the default template when none is set, as the settings it shows.
    fra_prepare_->Show(LoadWindowSettings(db_, TemplateDefaultStore::kYes));
  } catch (const AppError&) {
    // A database whose settings cannot be read opens with what could be read.
  }
  out_folder_ = Text(fra_prepare_->FolderField());
}

bool frmLanereport::LookSettingsAccepted() {
  WindowSettings values = fra_prepare_->Values();
  const auto& keys = WindowSettings::Keys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    std::string problem = LookSettingProblem(keys[i], *values.Find(keys[i]));
    if (problem.empty()) continue;
    Warn(problem);
    fra_prepare_->Field(i)->setFocus();
    return false;
  }
  return true;
}

void frmLanereport::SaveSettings() {
  try {
    SaveWindowSettings(db_, fra_prepare_->Values());
  } catch (const AppError&) {
  }
  fra_prepare_->Show(fra_prepare_->Values());
  fra_prepare_->Field(10)->setText(Q(Trimmed(fra_prepare_->Field(10)->text()).empty()
                                         ? DefaultTemplatePath()
                                         : Text(fra_prepare_->Field(10))));
}

void frmLanereport::cmdChange_Click() {
  if (Mode() == 3) FillSeriesList();
  SetFieldColour(cbo_bowler_, -1);
  focusNextChild();
}

// ---- the windows the window works through --------------------------------------------

MessageWindow& frmLanereport::Messages() {
  if (services_.messages) return *services_.messages;
  if (!own_messages_) own_messages_ = std::make_unique<WindowMessages>();
  return *own_messages_;
}

ProgressWindow& frmLanereport::Progress() {
  if (services_.progress) return *services_.progress;
  return Msg_Waiting::Instance();
}

FolderChooser& frmLanereport::Chooser() {
  if (services_.folder_chooser) return *services_.folder_chooser;
  if (!own_chooser_) own_chooser_ = std::make_unique<DialogFolderChooser>();
  return *own_chooser_;
}

void frmLanereport::ShowProgress(const char* message1) {
  if (services_.load_progress) {
    services_.load_progress(this);
  } else if (!services_.progress) {
    Msg_Waiting& waiting = Msg_Waiting::Instance();
    waiting.PreForm(this);
    waiting.Load();
  }
  if (message1) {
    Progress().Message1(message1);
    Progress().Message2(kPleaseWait);
  }
}

void frmLanereport::HideProgress() {
  if (services_.unload_progress) {
    services_.unload_progress();
  } else if (!services_.progress) {
    Msg_Waiting& waiting = Msg_Waiting::Instance();
    if (waiting.Loaded()) waiting.Unload();
  }
}

void frmLanereport::Warn(const std::string& text) {
  Messages().ShowWarning({text, "", 0, 10});
}

// ---- series list and make ------------------------------------------------------------

void frmLanereport::FillSeriesList() {
  lst_choose_->hide();
  lst_choose_->clear();
  std::string bowler = Trimmed(cbo_bowler_->currentText());
  EnableOwner(this, false);
  ShowProgress("ただいま、リストを作成中です");
  std::vector<SeriesLine> lines;
  try {
    lines = lanereport::FillSeriesList(db_, bowler, Progress());
  } catch (const AppError&) {
  }
  HideProgress();
  EnableOwner(this, true);
  // The text may cut a long name; the item keeps the play whole for the make.
  for (const SeriesLine& line : lines) {
    lst_choose_->addItem(Q(line.text));
    lst_choose_->item(lst_choose_->count() - 1)->setData(Qt::UserRole, Q(line.key));
  }
  lst_choose_->show();
}

void frmLanereport::cmdMAKE_Click() {
  if (SettingsMode()) return;
  int mode = Mode();
  if (mode == 0 && !IsYearText(Trimmed(cbo_year_c_->currentText()))) {
    // Nothing is made, and no folder is created, for a year that is none.
    Warn("日付が正しくありません");
    cbo_year_c_->setFocus();
    return;
  }
  if (mode == 1 && !CheckPeriod()) return;
  MakeRequest request;
  request.mode = static_cast<MakeMode>(mode);
  std::string bowler = Trimmed(cbo_bowler_->currentText());
  switch (mode) {
    case 0:
      request.year = Trimmed(cbo_year_c_->currentText());
      break;
    case 1:
      request.html = chk_screen_->isChecked();
      break;
    case 2:
      request.bowler = bowler;
      request.first_month = Trimmed(cbo_sttdt_->currentText());
      request.last_month = Trimmed(cbo_enddt_->currentText());
      break;
    case 3:
      request.bowler = bowler;
      request.list_output = opt_score_->isChecked();
      if (request.list_output && lst_choose_->currentItem() &&
          lst_choose_->currentItem()->isSelected())
        request.list_line = lst_choose_->currentItem()->data(Qt::UserRole).toString().toStdString();
      request.start_date = Trimmed(txt_sttdt1_->text());
      request.end_date = Trimmed(txt_enddt1_->text());
      break;
  }

  WindowSettings settings = fra_prepare_->Values();
  settings.OutFolder = out_folder_;
  bool show_workbook = mode == 1 && !request.html;
  bool progress_shown = false;
  RunMessages messages(
      Messages(),
      [&] {
        if (progress_shown) HideProgress();
        progress_shown = false;
      },
      show_workbook);
  auto flow = std::make_unique<MakeFlow>(db_, db_name_, settings, Progress(), messages, Chooser());
  if (flow_) flow->State() = std::move(flow_->State());
  flow_ = std::move(flow);

  // A list output without a chosen line is refused by the flow before anything runs.
  bool runs = !(mode == 3 && request.list_output && request.list_line.empty());
  EnableOwner(this, false);
  if (runs) {
    ShowProgress(nullptr);
    progress_shown = true;
  }
  MakeResult result;
  try {
    result = flow_->Make(request);
  } catch (const AppError& e) {
    if (progress_shown) HideProgress();
    progress_shown = false;
    // The reason under the error (the damaged part of a template, say) goes on a second line,
    // with the template when the workbook was made.
    std::string reasons = NestedReasons(e);
    if (!reasons.empty() && (mode == 0 || mode == 1)) {
      std::string sheet = Trimmed(Q(settings.OutSheet));
      reasons = (sheet.empty() ? DefaultTemplatePath() : sheet) + "：" + reasons;
    }
    Messages().ShowWarning({e.Description(), reasons, 0, 10});
  } catch (const std::exception& e) {
    if (progress_shown) HideProgress();
    progress_shown = false;
    Warn(e.what());
  }
  if (progress_shown) HideProgress();
  EnableOwner(this, true);

  if (show_workbook && messages.Held()) {
    MessageText done = *messages.Held();
    bool opened =
        !result.workbook_path.empty() &&
        (services_.open_workbook ? services_.open_workbook(result.workbook_path) : [&] {
          QString opener = QStandardPaths::findExecutable("xdg-open");
          return !opener.isEmpty() && QProcess::startDetached(opener, {Q(result.workbook_path)});
        }());
    if (!opened && !result.workbook_path.empty()) done.message2 = "保存先：" + result.workbook_path;
    Messages().ShowWarning(done);
  }
}

// ---- date and number fields ----------------------------------------------------------

bool frmLanereport::CheckPeriod() {
  for (QLineEdit* field : {txt_sttdt_, txt_enddt_}) {
    if (IsDateText(Text(field))) continue;
    Warn("日付が正しくありません");
    field->setFocus();
    return false;
  }
  if (!PeriodInOrder(Trimmed(txt_sttdt_->text()), Trimmed(txt_enddt_->text())) && !period_guard_) {
    period_guard_ = true;
    Warn("日付の範囲指定が不正です");
    DateField_Click(txt_enddt_);
    period_guard_ = false;
    return false;
  }
  return true;
}

void frmLanereport::DateField_Click(QLineEdit* field) {
  std::optional<std::string> picked;
  if (services_.pick_date) {
    picked = services_.pick_date(field, Text(field));
  } else {
    frmSearchCalender calendar(this);
    calendar.Beside(field);
    calendar.DefaultDate(Text(field));
    calendar.Show();
    if (!calendar.Canceled()) picked = calendar.ResultDate();
  }
  if (!picked) return;
  field->setText(Q(*picked));
  if (IsDateText(*picked)) last_valid_[field] = Q(*picked);
  if (field == txt_sttdt_) start_open_ = false;
  if (field == txt_enddt_) end_open_ = false;
  LeaveDateField(field);
}

void frmLanereport::LeaveDateField(QLineEdit* field) {
  if (in_check_) return;
  in_check_ = true;
  field->setText(Q(Trimmed(field->text())));
  bool valid = IsDateText(Text(field));
  in_check_ = false;
  if (!valid) {
    in_check_ = true;
    Warn("日付が正しくありません！");
    in_check_ = false;
    DateField_Click(field);
    if (!IsDateText(Text(field))) {
      // The calendar was cancelled: the field goes back to its last good date (or is emptied)
      // and keeps the focus, so no date that is none stays behind.
      auto last = last_valid_.find(field);
      field->setText(last != last_valid_.end() ? last->second : QString());
      // Once the focus has gone where it was going, it comes back.
      QTimer::singleShot(0, field, [field] { field->setFocus(); });
    }
    return;
  }
  last_valid_[field] = field->text();
  if (field == txt_sttdt_ || field == txt_enddt_) {
    bool open = field == txt_sttdt_ ? start_open_ : end_open_;
    bool today = YmdToSlashed(*ParseDateToYmd(Text(field))) == SlashedDate(Today());
    SetFieldColour(field, open || today ? kOpenDateColour : -1);
  }
}

void frmLanereport::LeaveGameCount() {
  if (txt_game_count_->text().size() > 9) {
    in_check_ = true;
    Warn("入力した数字が大き過ぎます");
    in_check_ = false;
    txt_game_count_->setFocus();
  }
}

void frmLanereport::YearFocus() {
  if (Trimmed(cbo_year_c_->currentText()).empty()) cbo_year_c_->setEditText(Q(YearText(Today())));
  RefillChoices(cbo_year_c_, YearChoices(Today()));
}

void frmLanereport::MonthFocus(QComboBox* box) {
  if (Trimmed(box->currentText()).empty()) box->setEditText(Q(SlashedMonth(Today())));
  RefillChoices(box, MonthChoices(Today()));
}

void frmLanereport::SetDate(QLineEdit* field, const std::string& date) {
  field->setText(Q(date));
  if (IsDateText(date)) last_valid_[field] = Q(date);
}

void frmLanereport::SetFieldColour(QWidget* field, long bgr) {
  QPalette palette = field->palette();
  // A drop-down without a text field shows its choice on a button face.
  auto* box = qobject_cast<QComboBox*>(field);
  for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button}) {
    if (role == QPalette::Button && (!box || box->isEditable())) continue;
    palette.setColor(role, bgr < 0 ? QApplication::palette().color(role) : BgrColor(bgr));
  }
  field->setPalette(palette);
}

bool frmLanereport::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || in_check_) return QWidget::eventFilter(watched, event);
  if (event->type() == QEvent::FocusIn) {
    SetFieldColour(widget, kFocusColour);
    // The focus coming back from the drop-down's own list is no new visit: the list stays, with
    // the choice just made.
    bool from_list = static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason;
    if (widget == cbo_year_c_ && !from_list) YearFocus();
    if ((widget == cbo_sttdt_ || widget == cbo_enddt_) && !from_list)
      MonthFocus(static_cast<QComboBox*>(widget));
  } else if (event->type() == QEvent::FocusOut) {
    auto reason = static_cast<QFocusEvent*>(event)->reason();
    bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    SetFieldColour(widget, -1);
    if (left) {
      if (widget == txt_sttdt_ || widget == txt_enddt_ || widget == txt_sttdt1_ ||
          widget == txt_enddt1_)
        LeaveDateField(static_cast<QLineEdit*>(widget));
      else if (widget == txt_game_count_)
        LeaveGameCount();
    }
  } else if (event->type() == QEvent::MouseButtonRelease) {
    for (QLineEdit* date : {txt_sttdt_, txt_enddt_, txt_sttdt1_, txt_enddt1_})
      if (widget == date && date->isEnabled()) DateField_Click(date);
  }
  return QWidget::eventFilter(watched, event);
}

// ---- sheet conditions ----------------------------------------------------------------

void frmLanereport::ReadConditions(SheetForm& form) {
  form.alley = Trimmed(cbo_alley_->currentText());
  form.level = Trimmed(cbo_level_->currentText());
  form.past_count = Text(txt_game_count_);
  form.start_date = Trimmed(txt_sttdt_->text());
  form.end_date = Trimmed(txt_enddt_->text());
  form.start_open = start_open_;
  form.end_open = end_open_;
}

void frmLanereport::ShowConditions(const SheetForm& form, bool found) {
  txt_game_count_->clear();
  if (found) {
    optCondition_Click(form.by_count ? 1 : 0);
    txt_game_count_->setText(Q(form.past_count));
  }
  SelectChoice(cbo_alley_, form.alley);
  SelectChoice(cbo_level_, form.level);
  SetDate(txt_sttdt_, form.start_date);
  SetDate(txt_enddt_, form.end_date);
  start_open_ = form.start_open;
  end_open_ = form.end_open;
  if (start_open_) SetFieldColour(txt_sttdt_, kOpenDateColour);
  if (end_open_) SetFieldColour(txt_enddt_, kOpenDateColour);
}

bool frmLanereport::ConditionsAccepted() {
  for (auto [field, open] :
       {std::pair{txt_sttdt_, start_open_}, std::pair{txt_enddt_, end_open_}}) {
    if (open || IsDateText(Text(field))) continue;
    Warn("日付が正しくありません");
    field->setFocus();
    return false;
  }
  std::string count = Trimmed(txt_game_count_->text());
  if (count.empty() ||
      !std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    Warn("数値を入力して下さい");
    txt_game_count_->setFocus();
    return false;
  }
  if (count.size() > 9) {
    Warn("入力した数字が大き過ぎます");
    txt_game_count_->setFocus();
    return false;
  }
  return true;
}

// ---- showing and closing -------------------------------------------------------------

void frmLanereport::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  CenterWindow(this);
}

void frmLanereport::closeEvent(QCloseEvent* event) {
  if (SettingsMode()) {
    cmbEstablish_Click();
    // A refused setting keeps the window open on its field, so nothing typed is lost.
    if (SettingsMode()) {
      event->ignore();
      return;
    }
  }
  AnimateClose(this);
  event->accept();
}

}  // namespace lanereport::gui
