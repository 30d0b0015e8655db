#include "frmMasters.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "WindowControl.h"
#include "WindowMessages.h"
#include "database/MasterLists.h"
#include "entry/ScoreEntry.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport::gui {
namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}
QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

enum class FieldKind { Text, Password, Number, Flag, Sex };

// One field of a master's form: its label, how it is shown, and the record's getter and setter
// behind it (a number as decimal text, a flag as "1" or "").
struct FieldDef {
  const char* label;
  const char* property;
  FieldKind kind;
  std::function<std::string(MasterRecord&)> get;
  std::function<void(MasterRecord&, const std::string&)> set;
};

template <class R>
R& As(MasterRecord& record) {
  return static_cast<R&>(record);
}

#define LR_TEXT(R, Prop, label)                                                     \
  FieldDef {                                                                        \
    label, #Prop, FieldKind::Text, [](MasterRecord& r) { return As<R>(r).Prop(); }, \
        [](MasterRecord& r, const std::string& v) { As<R>(r).Prop(v); }             \
  }
#define LR_NUMBER(R, Prop, label)                                        \
  FieldDef {                                                             \
    label, #Prop, FieldKind::Number,                                     \
        [](MasterRecord& r) { return std::to_string(As<R>(r).Prop()); }, \
        [](MasterRecord& r, const std::string& v) {                      \
          As<R>(r).Prop(Value(WholeOrRefuse(v, #R, #Prop)));             \
        }                                                                \
  }
#define LR_FLAG(R, Prop, label, kind)                                                            \
  FieldDef {                                                                                     \
    label, #Prop, kind, [](MasterRecord& r) { return std::string(As<R>(r).Prop() ? "1" : ""); }, \
        [](MasterRecord& r, const std::string& v) { As<R>(r).Prop(!v.empty()); }                 \
  }

// A number field as typed: a whole number (empty is 0), else the record's own refusal.
long WholeOrRefuse(const std::string& typed, const char* record, const char* property) {
  if (Trim(typed).empty()) return 0;
  std::optional<long> number = TypedWholeNumber(typed);
  if (!number)
    throw AppError(kErrInvalidValue, "[" + std::string(record) + "]" + property,
                   "数値を入力して下さい");
  return *number;
}

std::vector<FieldDef> BowlerFields() {
  using R = clsBowler_Data;
  return {
      LR_TEXT(R, Name, "名前"),
      LR_TEXT(R, Aname, "Name（英字）"),
      LR_NUMBER(R, Number, "番号"),
      LR_FLAG(R, Sex, "性別", FieldKind::Sex),
      FieldDef{"パスワード", "Password", FieldKind::Password,
               [](MasterRecord& r) { return As<R>(r).Password(); },
               [](MasterRecord& r, const std::string& v) { As<R>(r).Password(v); }},
      LR_TEXT(R, Ranka, "ランクA"),
      LR_TEXT(R, Rankb, "ランクB（称号）"),
      LR_TEXT(R, Birth, "生年月日"),
      LR_TEXT(R, Height, "身長"),
      LR_TEXT(R, Weight, "体重"),
      LR_TEXT(R, Arm, "利き腕"),
      LR_TEXT(R, Ball, "ボール"),
      LR_TEXT(R, Wrist, "リスタイ"),
      LR_TEXT(R, Shoes, "シューズ"),
      LR_TEXT(R, Bag, "バック"),
      LR_TEXT(R, Maxim, "座右の銘"),
      LR_TEXT(R, Mailaddress, "メールアドレス"),
      LR_TEXT(R, Photo, "写真"),
      LR_TEXT(R, Pathchar, "文字色"),
      LR_TEXT(R, Pathstyle, "スタイルシート"),
      LR_TEXT(R, Pathback, "背景"),
      LR_NUMBER(R, Experience, "経験"),
      LR_NUMBER(R, Total30, "30ゲーム合計"),
      LR_NUMBER(R, Highgame, "ハイゲーム"),
      LR_NUMBER(R, Title, "タイトル"),
      LR_NUMBER(R, Power, "パワー"),
      LR_NUMBER(R, Hit, "ヒット"),
      LR_NUMBER(R, Defense, "ディフェンス"),
      LR_NUMBER(R, Evasion, "回避"),
      LR_NUMBER(R, Magic, "マジック"),
      LR_NUMBER(R, Effect, "エフェクト"),
      LR_NUMBER(R, Lastpower, "前回パワー"),
      LR_NUMBER(R, Lasthit, "前回ヒット"),
      LR_NUMBER(R, Lastdefense, "前回ディフェンス"),
      LR_NUMBER(R, Lastevasion, "前回回避"),
      LR_NUMBER(R, Lastmagic, "前回マジック"),
      LR_NUMBER(R, Lasteffect, "前回エフェクト"),
  };
}

std::vector<FieldDef> AlleyFields() {
  using R = clsAlley_Data;
  return {
      LR_TEXT(R, Name, "名前"),
      LR_NUMBER(R, Number, "番号"),
      LR_TEXT(R, Address, "住所"),
      LR_TEXT(R, Telephone, "電話番号"),
      LR_TEXT(R, Url, "URL"),
      LR_FLAG(R, HomeFlag, "ホーム（よく行くボウリング場）", FieldKind::Flag),
  };
}

std::vector<FieldDef> LevelFields() {
  using R = clsLevel_Data;
  return {
      LR_TEXT(R, Name, "名前"),
      LR_NUMBER(R, Number, "番号"),
      LR_TEXT(R, Fcolor, "表示色（#rrggbb）"),
      LR_FLAG(R, CalculationTarget, "集計対象（成績に数える）", FieldKind::Flag),
  };
}

#undef LR_TEXT
#undef LR_NUMBER
#undef LR_FLAG

const char* KindWord(MasterKind kind) {
  switch (kind) {
    case MasterKind::Bowler:
      return "Bowler";
    case MasterKind::Alley:
      return "Alley";
    case MasterKind::Level:
      return "Level";
  }
  return "Bowler";
}

}  // namespace

// One tab of the masters window: the list of one table's masters and the form of the chosen
// one.
class MasterPage {
 public:
  MasterPage(Database& db, MessageWindow& messages, MasterKind kind, QWidget* page)
      : db_(db), messages_(messages), kind_(kind) {
    const QString word = QString::fromLatin1(KindWord(kind));
    fields_ = kind == MasterKind::Bowler  ? BowlerFields()
              : kind == MasterKind::Alley ? AlleyFields()
                                          : LevelFields();
    list_ = new QListWidget(page);
    list_->setObjectName("lst" + word);
    list_->setMinimumWidth(180);
    list_->setMaximumWidth(240);
    auto* form = new QGroupBox(Q(MasterKindName(kind)), page);
    form->setObjectName("fra" + word);
    auto* grid = new QGridLayout(form);
    // Bowlers have many fields: texts in two columns, numbers in a third.
    const int rows = kind == MasterKind::Bowler ? 14 : static_cast<int>(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      const FieldDef& field = fields_[i];
      QWidget* widget = nullptr;
      const QString name = word + QString::fromLatin1(field.property);
      switch (field.kind) {
        case FieldKind::Flag: {
          auto* check = new QCheckBox(Text(field.label), form);
          check->setObjectName("chk" + name);
          widget = check;
          break;
        }
        case FieldKind::Sex: {
          auto* box = new QComboBox(form);
          box->setObjectName("cbo" + name);
          box->addItem(Text("男"));
          box->addItem(Text("女"));
          widget = box;
          break;
        }
        default: {
          auto* line = new QLineEdit(form);
          line->setObjectName("txt" + name);
          if (field.kind == FieldKind::Password) line->setEchoMode(QLineEdit::Password);
          if (field.kind == FieldKind::Number)
            line->setMaximumWidth(90);
          else
            line->setMinimumWidth(kind == MasterKind::Bowler ? 170 : 300);
          widget = line;
        }
      }
      widgets_.push_back(widget);
      const int row = static_cast<int>(i) % rows;
      const int column = static_cast<int>(i) / rows * 2;
      if (field.kind != FieldKind::Flag)
        grid->addWidget(new QLabel(Text(field.label) + Text("："), form), row, column,
                        Qt::AlignRight);
      grid->addWidget(widget, row, column + 1);
    }
    cmd_new_ = new QPushButton(Text("新規"), page);
    cmd_new_->setObjectName("cmd" + word + "New");
    cmd_add_ = new QPushButton(Text("追加"), page);
    cmd_add_->setObjectName("cmd" + word + "Add");
    cmd_update_ = new QPushButton(Text("更新"), page);
    cmd_update_->setObjectName("cmd" + word + "Update");
    cmd_delete_ = new QPushButton(Text("削除"), page);
    cmd_delete_->setObjectName("cmd" + word + "Delete");
    status_ = new QLabel(page);
    status_->setObjectName("lbl" + word + "Status");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    for (QPushButton* b : {cmd_new_, cmd_add_, cmd_update_, cmd_delete_}) buttons->addWidget(b);
    auto* right = new QVBoxLayout;
    right->addWidget(form);
    right->addStretch(1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(list_);
    layout->addLayout(right, 1);
  }

  QListWidget* List() const { return list_; }
  QPushButton* NewButton() const { return cmd_new_; }
  QPushButton* AddButton() const { return cmd_add_; }
  QPushButton* UpdateButton() const { return cmd_update_; }
  QPushButton* DeleteButton() const { return cmd_delete_; }
  MasterKind Kind() const { return kind_; }
  QLabel* Status() const { return status_; }

  std::unique_ptr<MasterRecord> Make() const {
    switch (kind_) {
      case MasterKind::Bowler:
        return std::make_unique<clsBowler_Data>(db_);
      case MasterKind::Alley:
        return std::make_unique<clsAlley_Data>(db_);
      case MasterKind::Level:
        return std::make_unique<clsLevel_Data>(db_);
    }
    return nullptr;
  }

  // The record of the name, loaded.
  std::unique_ptr<MasterRecord> Load(const std::string& name) const {
    std::unique_ptr<MasterRecord> record = Make();
    fields_[0].set(*record, name);
    record->Load();
    return record;
  }

  // Fills the list in number order and chooses name (nothing when it is not there).
  void Refill(const std::string& name) {
    QSignalBlocker block(list_);
    list_->clear();
    names_.clear();
    auto fill = [&](auto&& list) {
      try {
        list.SelectRecord("");
      } catch (const AppError& e) {
        // An empty table lists nothing; a database that cannot be read is said.
        if (e.Number() == kErrEngine)
          messages_.ShowWarning({"マスタを読めません", e.Description(), 0, 0});
      }
      for (std::size_t i = 0; i < list.Count(); ++i) names_.push_back(list.Item(i).Name());
    };
    if (kind_ == MasterKind::Bowler) fill(clsBowler_List(db_));
    if (kind_ == MasterKind::Alley) fill(clsAlley_List(db_));
    if (kind_ == MasterKind::Level) fill(clsLevel_List(db_));
    for (const std::string& each : names_) {
      auto* item = new QListWidgetItem(Q(each), list_);
      if (each == name) list_->setCurrentItem(item);
    }
    chosen_ = list_->currentRow() >= 0 ? name : "";
  }

  // The name of the master chosen in the list; empty when none is.
  const std::string& Chosen() const { return chosen_; }
  void ChooseRow(int row) {
    chosen_ = row >= 0 && row < static_cast<int>(names_.size())
                  ? names_[static_cast<std::size_t>(row)]
                  : "";
  }

  void Show(MasterRecord& record) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      const std::string value = fields_[i].get(record);
      QWidget* widget = widgets_[i];
      if (auto* check = qobject_cast<QCheckBox*>(widget))
        check->setChecked(!value.empty());
      else if (auto* box = qobject_cast<QComboBox*>(widget))
        box->setCurrentIndex(value.empty() ? 0 : 1);
      else
        static_cast<QLineEdit*>(widget)->setText(Q(value));
    }
  }

  // Every field through its setter; the first refusal is raised with its field in refused.
  void Apply(MasterRecord& record, QWidget** refused) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      QWidget* widget = widgets_[i];
      std::string value;
      if (auto* check = qobject_cast<QCheckBox*>(widget))
        value = check->isChecked() ? "1" : "";
      else if (auto* box = qobject_cast<QComboBox*>(widget))
        value = box->currentIndex() == 1 ? "1" : "";
      else
        value = static_cast<QLineEdit*>(widget)->text().toStdString();
      *refused = widget;
      fields_[i].set(record, value);
    }
    *refused = nullptr;
  }

  QWidget* NameField() const { return widgets_[0]; }
  // The label of a field of the form, for the second line of its refusal.
  std::string LabelOf(const QWidget* widget) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
      if (widgets_[i] == widget) return fields_[i].label;
    return "";
  }
  QWidget* FieldOfMessage(const std::string& message) const {
    if (kind_ == MasterKind::Bowler && message.find("Name") != std::string::npos &&
        message.find("名前") == std::string::npos)
      return widgets_[1];
    if (message.find("ﾊﾟｽﾜｰﾄﾞ") != std::string::npos) return widgets_[4];
    return widgets_[0];
  }

  // Empties the form for a new master with the next number.
  void Clear() {
    std::unique_ptr<MasterRecord> record = Make();
    Show(*record);
    for (std::size_t i = 0; i < fields_.size(); ++i)
      if (std::string(fields_[i].property) == "Number") try {
          static_cast<QLineEdit*>(widgets_[i])
              ->setText(QString::number(NextMasterNumber(db_, kind_)));
        } catch (const AppError& e) {
          messages_.ShowWarning({"次の番号を読めません", e.Description(), 0, 10});
        }
    QSignalBlocker block(list_);
    list_->setCurrentRow(-1);
    list_->clearSelection();
    chosen_.clear();
  }

 private:
  Database& db_;
  MessageWindow& messages_;
  MasterKind kind_;
  std::vector<FieldDef> fields_;
  std::vector<QWidget*> widgets_;
  std::vector<std::string> names_;
  std::string chosen_;
  QListWidget* list_;
  QPushButton* cmd_new_;
  QPushButton* cmd_add_;
  QPushButton* cmd_update_;
  QPushButton* cmd_delete_;
  QLabel* status_;
};

frmMasters::frmMasters(Database& db, QWidget* parent) : frmMasters(db, nullptr, parent) {}

frmMasters::frmMasters(Database& db, MessageWindow* messages, QWidget* parent)
    : QWidget(parent, Qt::Window), db_(db), messages_(messages) {
  if (!messages_) own_messages_ = std::make_unique<WindowMessages>();
  setObjectName("frmMasters");
  setWindowTitle(Text("マスタ登録"));
  tabMasters_ = new QTabWidget(this);
  tabMasters_->setObjectName("tabMasters");
  for (MasterKind kind : {MasterKind::Bowler, MasterKind::Alley, MasterKind::Level}) {
    auto* page = new QWidget(tabMasters_);
    page->setObjectName(QString("fraMasters_%1").arg(static_cast<int>(kind)));
    auto master = std::make_unique<MasterPage>(db_, Messages(), kind, page);
    MasterPage* p = master.get();
    pages_[static_cast<std::size_t>(kind)] = std::move(master);
    tabMasters_->addTab(page, Q(MasterKindName(kind)));
    connect(p->List(), &QListWidget::currentRowChanged, this, [this, p](int row) {
      p->ChooseRow(row);
      if (p->Chosen().empty()) return;
      try {
        std::unique_ptr<MasterRecord> record = p->Load(p->Chosen());
        p->Show(*record);
      } catch (const AppError& e) {
        Messages().ShowWarning({e.Description(), "", 0, 10});
      }
      p->Status()->clear();
    });
    connect(p->NewButton(), &QPushButton::clicked, this, [this, kind] { cmdNew_Click(kind); });
    connect(p->AddButton(), &QPushButton::clicked, this, [this, kind] { cmdAdd_Click(kind); });
    connect(p->UpdateButton(), &QPushButton::clicked, this,
            [this, kind] { cmdUpdate_Click(kind); });
    connect(p->DeleteButton(), &QPushButton::clicked, this,
            [this, kind] { cmdDelete_Click(kind); });
    p->Refill("");
    if (p->List()->count() > 0)
      p->List()->setCurrentRow(0);
    else
      p->Clear();
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabMasters_);
  MoveFocusOnEnter(this);
  adjustSize();
  CenterWindow(this);
}

frmMasters::~frmMasters() = default;

MessageWindow& frmMasters::Messages() {
  return messages_ ? *messages_ : *own_messages_;
}

MasterPage& frmMasters::Page(MasterKind kind) {
  return *pages_[static_cast<std::size_t>(kind)];
}

void frmMasters::ShowRefusal(MasterPage& page, const AppError& e, QWidget* refused) {
  // The field a setter refused, or the one the message is about, takes the focus back.
  QWidget* field = refused ? refused : page.FieldOfMessage(e.Description());
  Messages().ShowWarning(
      {e.Description(), refused ? "（" + page.LabelOf(field) + "）" : "", 0, 10});
  field->setFocus(Qt::OtherFocusReason);
}

void frmMasters::cmdNew_Click(MasterKind kind) {
  Page(kind).Clear();
  Page(kind).Status()->clear();
  Page(kind).NameField()->setFocus(Qt::OtherFocusReason);
}

bool frmMasters::cmdAdd_Click(MasterKind kind) {
  MasterPage& page = Page(kind);
  std::unique_ptr<MasterRecord> record = page.Make();
  QWidget* refused = nullptr;
  try {
    page.Apply(*record, &refused);
    AddMaster(db_, *record);
  } catch (const AppError& e) {
    ShowRefusal(page, e, refused);
    return false;
  }
  const std::string name(Trim(static_cast<QLineEdit*>(page.NameField())->text().toStdString()));
  page.Refill(name);
  page.Status()->setText(Q("追加しました：" + name));
  return true;
}

bool frmMasters::cmdUpdate_Click(MasterKind kind) {
  MasterPage& page = Page(kind);
  if (page.Chosen().empty()) {
    Messages().ShowWarning(
        {"更新する" + MasterKindName(kind) + "を一覧から選んで下さい", "", 0, 10});
    return false;
  }
  const std::string old_name = page.Chosen();
  QWidget* refused = nullptr;
  try {
    std::unique_ptr<MasterRecord> record = page.Load(old_name);
    page.Apply(*record, &refused);
    const std::string new_name(
        Trim(static_cast<QLineEdit*>(page.NameField())->text().toStdString()));
    const std::string question = RenameQuestion(db_, kind, old_name, new_name);
    if (!question.empty() && !Messages().AskYesNo({question, "よろしいですか？", 0, 0}))
      return false;
    UpdateMaster(db_, *record);
    page.Refill(new_name);
    page.Status()->setText(Q("更新しました：" + new_name));
  } catch (const AppError& e) {
    ShowRefusal(page, e, refused);
    return false;
  }
  return true;
}

bool frmMasters::cmdDelete_Click(MasterKind kind) {
  MasterPage& page = Page(kind);
  if (page.Chosen().empty()) {
    Messages().ShowWarning(
        {"削除する" + MasterKindName(kind) + "を一覧から選んで下さい", "", 0, 10});
    return false;
  }
  const std::string name = page.Chosen();
  if (!Messages().AskYesNo({"「" + name + "」を削除しますか？", "", 0, 0})) return false;
  try {
    std::unique_ptr<MasterRecord> record = page.Load(name);
    DeleteMaster(db_, kind, *record, name);
  } catch (const AppError& e) {
    Messages().ShowWarning({e.Description(), "", 0, 10});
    return false;
  }
  page.Refill("");
  if (page.List()->count() > 0)
    page.List()->setCurrentRow(0);
  else
    page.Clear();
  page.Status()->setText(Q("削除しました：" + name));
  return true;
}

void frmMasters::closeEvent(QCloseEvent* event) {
  AnimateClose(this);
  event->accept();
}

}  // namespace lanereport::gui
