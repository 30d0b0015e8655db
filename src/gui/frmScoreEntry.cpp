#include "frmScoreEntry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "WindowControl.h"
#include "WindowMessages.h"
#include "batch/OutputChoices.h"
#include "database/MasterLists.h"
#include "frmSearchCalender.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/Clock.h"
#include "util/DateText.h"
#include "util/StringUtil.h"

namespace lanereport::gui {
namespace {

constexpr const char* kCaption = "スコア入力";
// A field with the focus, as in the output window: light yellow.
constexpr long kFocusColour = 0xC0FFFF;
// A roll box that cannot take a roll now.
constexpr long kClosedColour = 0xE0E0E0;
// Why a box takes no roll, said when one is typed there.
constexpr const char* kClosedHint =
    "ストライクの２投目、ボーナスのない１０フレーム３投目は空欄のままです";
// What a roll box takes, said with a refused roll.
constexpr const char* kRollHint =
    "ストライク x s　スペア /　本数 1～9　スプリット -4～-8　ガター g 0　ファウル f";

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}
QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QString& text) {
  return text.toStdString();
}

// Fills a drop-down with the names of a master list; an empty table leaves it empty, a
// database that cannot be read raises the engine's error.
template <class List>
void FillNames(QComboBox* box, List& list) {
  try {
    list.SelectRecord("");
  } catch (const AppError& e) {
    RethrowEngineError(e);
  }
  for (std::size_t i = 0; i < list.Count(); ++i) box->addItem(Q(list.Item(i).Name()));
}

// Shows text in the drop-down, adding it when the masters no longer have it (a game kept under
// a name that has gone).
void ShowChoice(QComboBox* box, const std::string& text) {
  QSignalBlocker block(box);
  int index = box->findText(Q(text));
  if (index < 0 && !text.empty()) {
    box->addItem(Q(text));
    index = box->count() - 1;
  }
  box->setCurrentIndex(index);
}

std::string DayGameText(const DayGame& game) {
  std::string score = game.score.empty() ? "－" : game.score;
  std::string text = game.alley + "／" + game.level + "　第" + std::to_string(game.game_number) +
                     "ゲーム　" + score;
  if (!game.memo.empty()) text += "　" + game.memo;
  return text;
}

}  // namespace

frmScoreEntry::frmScoreEntry(Database& db, QWidget* parent)
    : frmScoreEntry(db, Windows{}, parent) {}

frmScoreEntry::frmScoreEntry(Database& db, Windows windows, QWidget* parent)
    : QWidget(parent, Qt::Window), db_(db), windows_(std::move(windows)), entry_(db) {
  if (!windows_.messages) own_messages_ = std::make_unique<WindowMessages>();
  setObjectName("frmScoreEntry");
  setWindowTitle(Text(kCaption));

  // The play: who, where, which level, when, which game.
  auto* play = new QGroupBox(Text("ゲーム"), this);
  play->setObjectName("fraPlay");
  cboBowler_ = new QComboBox(play);
  cboBowler_->setObjectName("cboBowler");
  cboBowler_->setMinimumWidth(200);
  cboAlley_ = new QComboBox(play);
  cboAlley_->setObjectName("cboAlley");
  cboAlley_->setMinimumWidth(160);
  cboLevel_ = new QComboBox(play);
  cboLevel_->setObjectName("cboLevel");
  cboLevel_->setMinimumWidth(120);
  txtPlayDate_ = new QLineEdit(play);
  txtPlayDate_->setObjectName("txtPlayDate");
  txtPlayDate_->setMaximumWidth(110);
  txtPlayDate_->setToolTip(Text("クリックするとカレンダーが開きます"));
  txtGameNumber_ = new QLineEdit(play);
  txtGameNumber_->setObjectName("txtGameNumber");
  txtGameNumber_->setMaximumWidth(60);
  auto* play_layout = new QGridLayout(play);
  play_layout->addWidget(new QLabel(Text("ボウラー："), play), 0, 0);
  play_layout->addWidget(cboBowler_, 0, 1);
  play_layout->addWidget(new QLabel(Text("ボウリング場："), play), 0, 2);
  play_layout->addWidget(cboAlley_, 0, 3);
  play_layout->addWidget(new QLabel(Text("レベル："), play), 0, 4);
  play_layout->addWidget(cboLevel_, 0, 5);
  play_layout->addWidget(new QLabel(Text("日付："), play), 1, 0);
  play_layout->addWidget(txtPlayDate_, 1, 1, Qt::AlignLeft);
  play_layout->addWidget(new QLabel(Text("ゲーム番号："), play), 1, 2);
  play_layout->addWidget(txtGameNumber_, 1, 3, Qt::AlignLeft);
  lblMode_ = new QLabel(play);
  lblMode_->setObjectName("lblMode");
  play_layout->addWidget(lblMode_, 1, 4, 1, 2);

  // The score sheet: frames 1 to 9 with two boxes, frame 10 with three, the running scores
  // below.
  auto* sheet = new QGroupBox(Text("スコア"), this);
  sheet->setObjectName("fraScore");
  auto* grid = new QGridLayout(sheet);
  grid->setHorizontalSpacing(0);
  grid->setVerticalSpacing(0);
  QFont box_font = font();
  box_font.setPointSizeF(box_font.pointSizeF() * 1.3);
  for (int frame = 1; frame <= 10; ++frame) {
    const int column = (frame - 1) * 2;
    const int span = frame == 10 ? 3 : 2;
    auto* number = new QLabel(QString::number(frame), sheet);
    number->setAlignment(Qt::AlignCenter);
    number->setFrameShape(QFrame::Box);
    grid->addWidget(number, 0, column, 1, span);
    auto* score = new QLabel(sheet);
    score->setObjectName(QString("lblFrameScore_%1").arg(frame - 1));
    score->setAlignment(Qt::AlignCenter);
    score->setFrameShape(QFrame::Box);
    score->setMinimumHeight(30);
    score->setFont(box_font);
    grid->addWidget(score, 2, column, 1, span);
    lblFrameScore_[static_cast<std::size_t>(frame - 1)] = score;
  }
  for (int box = 0; box < kRollBoxes; ++box) {
    auto* roll = new QLineEdit(sheet);
    roll->setObjectName(QString("txtRoll_%1").arg(box));
    roll->setAlignment(Qt::AlignCenter);
    roll->setFixedSize(38, 30);
    roll->setFont(box_font);
    roll->setToolTip(Text(kRollHint));
    grid->addWidget(roll, 1, box);
    txtRoll_[static_cast<std::size_t>(box)] = roll;
  }

  auto* extra = new QGridLayout;
  txtHandicap_ = new QLineEdit(this);
  txtHandicap_->setObjectName("txtHandicap");
  txtHandicap_->setMaximumWidth(60);
  txtMemo_ = new QLineEdit(this);
  txtMemo_->setObjectName("txtMemo");
  extra->addWidget(new QLabel(Text("ハンデ："), this), 0, 0);
  extra->addWidget(txtHandicap_, 0, 1);
  extra->addWidget(new QLabel(Text("メモ："), this), 0, 2);
  extra->addWidget(txtMemo_, 0, 3);
  extra->setColumnStretch(3, 1);

  cmdNew_ = new QPushButton(Text("新規"), this);
  cmdNew_->setObjectName("cmdNew");
  cmdNew_->setToolTip(Text("次のゲームを入力します"));
  cmdRegister_ = new QPushButton(Text("登録"), this);
  cmdRegister_->setObjectName("cmdRegister");
  cmdRegister_->setToolTip(Text("ゲームを登録します"));
  cmdRegister_->setMinimumWidth(100);
  lblStatus_ = new QLabel(this);
  lblStatus_->setObjectName("lblStatus");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lblStatus_, 1);
  buttons->addWidget(cmdNew_);
  buttons->addWidget(cmdRegister_);

  // The bowler's games of the day.
  auto* day = new QGroupBox(Text("この日のゲーム"), this);
  day->setObjectName("fraDayGames");
  lstDayGames_ = new QListWidget(day);
  lstDayGames_->setObjectName("lstDayGames");
  lstDayGames_->setMinimumWidth(320);
  cmdOpen_ = new QPushButton(Text("開く"), day);
  cmdOpen_->setObjectName("cmdOpen");
  cmdOpen_->setToolTip(Text("選んだゲームを変更します"));
  cmdDelete_ = new QPushButton(Text("削除"), day);
  cmdDelete_->setObjectName("cmdDelete");
  cmdDelete_->setToolTip(Text("選んだゲームを削除します"));
  auto* day_layout = new QVBoxLayout(day);
  day_layout->addWidget(lstDayGames_, 1);
  auto* day_buttons = new QHBoxLayout;
  day_buttons->addStretch(1);
  day_buttons->addWidget(cmdOpen_);
  day_buttons->addWidget(cmdDelete_);
  day_layout->addLayout(day_buttons);

  auto* left = new QVBoxLayout;
  left->addWidget(play);
  left->addWidget(sheet);
  left->addLayout(extra);
  left->addStretch(1);
  left->addLayout(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addWidget(day);

  // Tab goes through the play, the sheet box by box, then the rest.
  QWidget* previous = cboBowler_;
  for (QWidget* next :
       std::initializer_list<QWidget*>{cboAlley_, cboLevel_, txtPlayDate_, txtGameNumber_}) {
    setTabOrder(previous, next);
    previous = next;
  }
  for (QLineEdit* roll : txtRoll_) {
    setTabOrder(previous, roll);
    previous = roll;
  }
  for (QWidget* next : std::initializer_list<QWidget*>{
           txtHandicap_, txtMemo_, cmdRegister_, cmdNew_, lstDayGames_, cmdOpen_, cmdDelete_}) {
    setTabOrder(previous, next);
    previous = next;
  }

  for (QLineEdit* field : txtRoll_) field->installEventFilter(this);
  for (QWidget* field : std::initializer_list<QWidget*>{txtPlayDate_, txtGameNumber_, txtHandicap_,
                                                        txtMemo_, cboBowler_, cboAlley_, cboLevel_})
    field->installEventFilter(this);

  connect(cmdRegister_, &QPushButton::clicked, this, [this] { cmdRegister_Click(); });
  connect(cmdNew_, &QPushButton::clicked, this, &frmScoreEntry::cmdNew_Click);
  connect(cmdOpen_, &QPushButton::clicked, this, &frmScoreEntry::cmdOpen_Click);
  connect(cmdDelete_, &QPushButton::clicked, this, &frmScoreEntry::cmdDelete_Click);
  connect(lstDayGames_, &QListWidget::itemActivated, this, [this] { cmdOpen_Click(); });
  for (QComboBox* box : {cboBowler_, cboAlley_, cboLevel_})
    connect(box, &QComboBox::currentIndexChanged, this, [this, box] { PlayChanged(box); });

  FillMasters();
  txtPlayDate_->setText(Q(SlashedDate(Today())));
  in_check_ = true;
  try {
    entry_.Bowler(S(cboBowler_->currentText()));
    entry_.Alley(S(cboAlley_->currentText()));
    entry_.Level(S(cboLevel_->currentText()));
    entry_.Date(S(txtPlayDate_->text()));
  } catch (const AppError&) {
    // A master name too long for a game: said when the game is stored.
  }
  in_check_ = false;
  StartNewGame();
  adjustSize();
  CenterWindow(this);
}

frmScoreEntry::~frmScoreEntry() = default;

MessageWindow& frmScoreEntry::Messages() {
  return windows_.messages ? *windows_.messages : *own_messages_;
}

void frmScoreEntry::FillMasters() {
  QSignalBlocker b1(cboBowler_), b2(cboAlley_), b3(cboLevel_);
  try {
    FillLists();
  } catch (const AppError& e) {
    Messages().ShowWarning({"マスタを読めません", e.Description(), 0, 0});
  }
}

void frmScoreEntry::FillLists() {
  clsBowler_List bowlers(db_);
  FillNames(cboBowler_, bowlers);
  clsAlley_List alleys(db_);
  FillNames(cboAlley_, alleys);
  // The home centre first.
  for (std::size_t i = 0; i < alleys.Count(); ++i) {
    if (alleys.Item(i).HomeFlag()) {
      cboAlley_->setCurrentIndex(static_cast<int>(i));
      break;
    }
  }
  clsLevel_List levels(db_);
  FillNames(cboLevel_, levels);
}

void frmScoreEntry::SetFieldColour(QWidget* field, long bgr) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base,
                   bgr < 0 ? QApplication::palette().color(QPalette::Base) : BgrColor(bgr));
  field->setPalette(palette);
}

int frmScoreEntry::BoxOf(QObject* widget) const {
  for (int box = 0; box < kRollBoxes; ++box)
    if (txtRoll_[static_cast<std::size_t>(box)] == widget) return box;
  return -1;
}

void frmScoreEntry::Refused(QWidget* field, const std::string& message, const std::string& hint) {
  in_check_ = true;
  Messages().ShowWarning({message, hint, 0, 10});
  in_check_ = false;
  field->setFocus(Qt::OtherFocusReason);
  if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
  // Once the focus has gone where the user sent it, it comes back.
  QTimer::singleShot(0, field, [field] {
    field->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
  });
}

bool frmScoreEntry::Apply(QWidget* field) {
  const std::string text = field == cboBowler_ || field == cboAlley_ || field == cboLevel_
                               ? S(static_cast<QComboBox*>(field)->currentText())
                               : S(static_cast<QLineEdit*>(field)->text());
  try {
    const int box = BoxOf(field);
    if (box >= 0) {
      if (Trim(text) == Trim(entry_.Mark(box))) return true;
      entry_.Roll(box, text);
      dirty_ = true;
      ShowGame();
    } else if (field == txtPlayDate_) {
      const std::string before = entry_.Game().PlayDate();
      entry_.Date(text);
      txtPlayDate_->setText(Q(YmdToSlashed(entry_.Game().PlayDate())));
      if (entry_.Game().PlayDate() != before) {
        ProposeGameNumber();
        RefreshDayGames();
      }
    } else if (field == txtGameNumber_) {
      entry_.GameNumber(text);
      txtGameNumber_->setText(QString::number(entry_.Game().GameNumber()));
    } else if (field == txtHandicap_) {
      const long before = entry_.Game().Handicap();
      entry_.Handicap(text);
      txtHandicap_->setText(QString::number(entry_.Game().Handicap()));
      if (entry_.Game().Handicap() != before) dirty_ = true;
    } else if (field == txtMemo_) {
      const std::string before = entry_.Game().ResultMemo();
      entry_.Memo(text);
      if (entry_.Game().ResultMemo() != before) dirty_ = true;
    } else if (field == cboBowler_) {
      entry_.Bowler(text);
    } else if (field == cboAlley_) {
      entry_.Alley(text);
    } else if (field == cboLevel_) {
      entry_.Level(text);
    }
  } catch (const AppError& e) {
    // A roll that is no mark: the second line says what a box takes.
    std::string hint;
    if (BoxOf(field) >= 0 && e.Description() == "入力が不正です") hint = kRollHint;
    if (BoxOf(field) >= 0 && e.Source() == "[ScoreEntry]Roll") hint = kClosedHint;
    Refused(field, e.Description(), hint);
    return false;
  }
  return true;
}

bool frmScoreEntry::ApplyAll() {
  std::vector<QWidget*> fields = {cboBowler_, cboAlley_, cboLevel_, txtPlayDate_, txtGameNumber_};
  for (QLineEdit* roll : txtRoll_) fields.push_back(roll);
  fields.push_back(txtHandicap_);
  fields.push_back(txtMemo_);
  for (QWidget* field : fields)
    if (!Apply(field)) return false;
  return true;
}

void frmScoreEntry::ShowGame() {
  const clsResult_Data& game = entry_.Game();
  for (int box = 0; box < kRollBoxes; ++box) {
    QLineEdit* roll = txtRoll_[static_cast<std::size_t>(box)];
    roll->setText(Q(entry_.Mark(box)));
    const bool open = RollBoxOpen(game, box);
    // A box that cannot take a roll is passed by Tab and Enter; a click still reaches it, to
    // clear it.
    roll->setFocusPolicy(open ? Qt::StrongFocus : Qt::ClickFocus);
    if (!roll->hasFocus()) SetFieldColour(roll, open ? -1 : kClosedColour);
  }
  const std::array<std::string, 10> scores = entry_.Scores();
  for (std::size_t i = 0; i < scores.size(); ++i) lblFrameScore_[i]->setText(Q(scores[i]));
}

void frmScoreEntry::ShowKey() {
  const clsResult_Data& game = entry_.Game();
  ShowChoice(cboBowler_, game.BowlerName());
  ShowChoice(cboAlley_, game.AlleyName());
  ShowChoice(cboLevel_, game.LevelName());
  if (!game.PlayDate().empty()) txtPlayDate_->setText(Q(YmdToSlashed(game.PlayDate())));
  txtGameNumber_->setText(game.GameNumber() > 0 ? QString::number(game.GameNumber()) : QString());
  txtHandicap_->setText(QString::number(game.Handicap()));
  txtMemo_->setText(Q(game.ResultMemo()));
  lblMode_->setText(entry_.Opened() ? Text("登録済みのゲームを変更中") : Text("新しいゲーム"));
}

void frmScoreEntry::RefreshDayGames() {
  const std::string date = entry_.Game().PlayDate();
  day_games_.clear();
  lstDayGames_->clear();
  try {
    if (!date.empty()) day_games_ = DayGames(db_, entry_.Game().BowlerName(), date);
  } catch (const AppError& e) {
    Messages().ShowWarning({"この日のゲームを読めません", e.Description(), 0, 10});
  }
  for (const DayGame& game : day_games_) {
    auto* item = new QListWidgetItem(Q(DayGameText(game)), lstDayGames_);
    if (entry_.Opened() && game.entry_number == entry_.Game().Entrynumber())
      lstDayGames_->setCurrentItem(item);
  }
}

void frmScoreEntry::ProposeGameNumber() {
  if (entry_.Opened()) return;
  const clsResult_Data& game = entry_.Game();
  if (game.PlayDate().empty()) return;
  long next =
      NextGameNumber(db_, game.BowlerName(), game.AlleyName(), game.LevelName(), game.PlayDate());
  entry_.GameNumber(std::to_string(next));
  txtGameNumber_->setText(QString::number(next));
}

void frmScoreEntry::PlayChanged(QComboBox* box) {
  if (in_check_) return;
  if (!Apply(box)) return;
  ProposeGameNumber();
  if (box == cboBowler_) RefreshDayGames();
}

void frmScoreEntry::StartNewGame() {
  entry_.NewGame();
  dirty_ = false;
  ProposeGameNumber();
  ShowKey();
  ShowGame();
  RefreshDayGames();
}

bool frmScoreEntry::ConfirmDiscard() {
  if (!dirty_) return true;
  return Messages().AskYesNo(
      {"入力中のゲームは登録されていません。", "入力を破棄しますか？", 0, 0});
}

bool frmScoreEntry::cmdRegister_Click() {
  if (!ApplyAll()) return false;
  const bool update = entry_.Opened();
  try {
    entry_.Register();
  } catch (const AppError& e) {
    // An unfinished game: the first box that can still take a roll.
    QWidget* field = cmdRegister_;
    if (e.Description() == "入力が終わっていません") {
      for (int box = 0; box < kRollBoxes; ++box) {
        if (RollBoxOpen(entry_.Game(), box) && entry_.Mark(box).empty()) {
          field = txtRoll_[static_cast<std::size_t>(box)];
          break;
        }
      }
    } else if (e.Source() == "[ScoreEntry]Register" ||
               e.Description() == "該当するﾃﾞｰﾀが存在します、追加出来ません") {
      field = txtGameNumber_;
    }
    Refused(field, e.Description());
    return false;
  }
  const clsResult_Data& game = entry_.Game();
  lblStatus_->setText(Q((update ? "変更しました：第" : "登録しました：第") +
                        std::to_string(game.GameNumber()) + "ゲーム　" + game.Tenthframescore()));
  StartNewGame();
  txtRoll_[0]->setFocus(Qt::OtherFocusReason);
  return true;
}

void frmScoreEntry::cmdNew_Click() {
  if (!ConfirmDiscard()) return;
  lblStatus_->clear();
  StartNewGame();
  txtRoll_[0]->setFocus(Qt::OtherFocusReason);
}

void frmScoreEntry::cmdOpen_Click() {
  const int row = lstDayGames_->currentRow();
  if (row < 0 || row >= static_cast<int>(day_games_.size())) {
    Messages().ShowWarning({"開くゲームを一覧から選んで下さい", "", 0, 10});
    return;
  }
  if (!ConfirmDiscard()) return;
  try {
    entry_.Open(day_games_[static_cast<std::size_t>(row)].entry_number);
  } catch (const AppError& e) {
    Messages().ShowWarning({"このゲームは開けません", e.Description(), 0, 10});
    return;
  }
  dirty_ = false;
  lblStatus_->clear();
  ShowKey();
  ShowGame();
  RefreshDayGames();
  txtRoll_[0]->setFocus(Qt::OtherFocusReason);
}

void frmScoreEntry::cmdDelete_Click() {
  const int row = lstDayGames_->currentRow();
  if (row < 0 || row >= static_cast<int>(day_games_.size())) {
    Messages().ShowWarning({"削除するゲームを一覧から選んで下さい", "", 0, 10});
    return;
  }
  const DayGame game = day_games_[static_cast<std::size_t>(row)];
  if (!Messages().AskYesNo({"このゲームを削除しますか？", DayGameText(game), 0, 0})) return;
  const bool was_open = entry_.Opened() && entry_.Game().Entrynumber() == game.entry_number;
  try {
    entry_.Delete(game.entry_number);
  } catch (const AppError& e) {
    Messages().ShowWarning({e.Description(), "", 0, 10});
    RefreshDayGames();
    return;
  }
  lblStatus_->setText(Q("削除しました：" + DayGameText(game)));
  if (was_open)
    StartNewGame();
  else
    RefreshDayGames();
}

void frmScoreEntry::txtPlayDate_Click() {
  std::optional<std::string> picked;
  const std::string shown = S(txtPlayDate_->text());
  if (windows_.pick_date) {
    picked = windows_.pick_date(txtPlayDate_, shown);
  } else {
    frmSearchCalender calendar(this);
    calendar.Beside(txtPlayDate_);
    calendar.DefaultDate(shown);
    calendar.Show();
    if (!calendar.Canceled()) picked = calendar.ResultDate();
  }
  if (!picked) return;
  txtPlayDate_->setText(Q(*picked));
  Apply(txtPlayDate_);
}

bool frmScoreEntry::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || in_check_) return QWidget::eventFilter(watched, event);
  const bool line = qobject_cast<QLineEdit*>(widget) != nullptr;
  if (event->type() == QEvent::FocusIn && line) {
    SetFieldColour(widget, kFocusColour);
    static_cast<QLineEdit*>(widget)->selectAll();
  } else if (event->type() == QEvent::FocusOut && line) {
    const int box = BoxOf(widget);
    SetFieldColour(widget, box >= 0 && !RollBoxOpen(entry_.Game(), box) ? kClosedColour : -1);
    auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) Apply(widget);
  } else if (event->type() == QEvent::KeyPress && line) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (!Apply(widget)) return true;
      const int box = BoxOf(widget);
      QWidget* next = nullptr;
      if (box >= 0) {
        const int following = NextRollBox(entry_.Game(), box);
        next = following >= 0 ? static_cast<QWidget*>(txtRoll_[static_cast<std::size_t>(following)])
                              : txtHandicap_;
      } else if (widget == txtGameNumber_) {
        next = txtRoll_[static_cast<std::size_t>(NextRollBox(entry_.Game(), -1))];
      } else if (widget == txtMemo_) {
        next = cmdRegister_;
      }
      in_check_ = true;  // the field was just checked
      if (next)
        next->setFocus(Qt::TabFocusReason);
      else
        focusNextChild();
      in_check_ = false;
      if (QWidget* now = QApplication::focusWidget(); now && qobject_cast<QLineEdit*>(now)) {
        SetFieldColour(now, kFocusColour);
        static_cast<QLineEdit*>(now)->selectAll();
      }
      SetFieldColour(widget, box >= 0 && !RollBoxOpen(entry_.Game(), box) ? kClosedColour : -1);
      return true;
    }
  } else if (event->type() == QEvent::MouseButtonRelease && widget == txtPlayDate_) {
    txtPlayDate_Click();
  }
  return QWidget::eventFilter(watched, event);
}

void frmScoreEntry::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The window opens ready for the first ball.
  if (!focusWidget()) txtRoll_[0]->setFocus(Qt::OtherFocusReason);
}

void frmScoreEntry::closeEvent(QCloseEvent* event) {
  if (!ConfirmDiscard()) {
    event->ignore();
    return;
  }
  AnimateClose(this);
  event->accept();
}

}  // namespace lanereport::gui
