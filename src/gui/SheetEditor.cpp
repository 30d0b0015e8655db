#include "SheetEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "database/clsS_OUTPUT_List.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport::gui {
namespace {

// The captions of the 38 switches; the frame around each group names the kind of rate.
const char* const kColumnCaptions[] = {
    "性別",         "称号",         "肩書きA",        "肩書きB",    "座右の銘",     "身長",
    "体重",         "利き腕",       "メールアドレス", "ボール",     "リスタイ",     "シューズ",
    "バッグ",       "スコア合計",   "ゲーム数",       "スコア分布", "ハイスコア",   "ロースコア",
    "ハイシリーズ", "ローシリーズ", "ストライク率",   "サイド率",   "スペア率",     "オープン率",
    "ガター率",     "ファール率",   "スプリット率",   "Ｓカバー率", "ストライク率", "サイド率",
    "スペア率",     "オープン率",   "ガター率",       "ファール率", "スプリット率", "Ｓカバー率",
    "AVG",          "月間AVG"};
static_assert(std::size(kColumnCaptions) == clsS_OUTPUT_Data::kSwitchCount);

std::string Trimmed(const QString& text) {
  return std::string(Trim(text.toStdString()));
}

}  // namespace

SheetEditor::SheetEditor(Database& db, SheetConditions& conditions,
                         std::function<MessageWindow&()> messages, QWidget* parent)
    : QWidget(parent),
      db_(db),
      conditions_(conditions),
      messages_(std::move(messages)),
      sheets_(std::make_unique<clsS_OUTPUT_List>(db)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);

  auto* list_column = new QVBoxLayout;
  list_column->addWidget(new QLabel("シート 一覧：", this));
  lst_sheets_ = new QListWidget(this);
  lst_sheets_->setObjectName("lstSheets");
  list_column->addWidget(lst_sheets_, 1);
  layout->addLayout(list_column);
  connect(lst_sheets_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    emit SheetClicked();
    SheetToForm(Trimmed(item->text()));
  });

  auto* editor = new QVBoxLayout;
  auto* name_row = new QHBoxLayout;
  name_row->addWidget(new QLabel("シート 名：", this));
  txt_sheet_name_ = new QLineEdit(this);
  txt_sheet_name_->setObjectName("txtSheetName");
  name_row->addWidget(txt_sheet_name_, 1);
  lbl_id_ = new QLabel(this);
  lbl_id_->setObjectName("lblID");
  lbl_id_->hide();
  name_row->addWidget(lbl_id_);
  const char* const button_names[][2] = {
      {"cmdSheetAdd", "追加"}, {"cmdSheetModify", "更新"}, {"cmdSheetDel", "削除"}};
  void (SheetEditor::*handlers[])() = {&SheetEditor::cmdSheetAdd_Click,
                                       &SheetEditor::cmdSheetModify_Click,
                                       &SheetEditor::cmdSheetDel_Click};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QPushButton(button_names[i][1], this);
    button->setObjectName(button_names[i][0]);
    name_row->addWidget(button);
    connect(button, &QPushButton::clicked, this, handlers[i]);
  }
  editor->addLayout(name_row);

  // The switches in four groups: bowler details, the period's figures, overall rates and
  // rates per frame.
  struct Group {
    const char* caption;
    std::vector<int> columns;
  };
  const Group groups[] = {
      {"ボウラー情報", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"期間情報", {13, 14, 15, 16, 17, 18, 19, 36, 37}},
      {"全体", {20, 21, 22, 23, 24, 25, 26, 27}},
      {"フレーム毎", {28, 29, 30, 31, 32, 33, 34, 35}},
  };
  auto* boxes = new QHBoxLayout;
  for (int g = 0; g < 4; ++g) {
    auto* box = new QGroupBox(groups[g].caption, this);
    box->setObjectName(QString("fraColumn_%1").arg(g));
    auto* box_layout = new QGridLayout(box);
    int n = 0;
    for (int column : groups[g].columns) {
      chk_column_[column] = new QCheckBox(kColumnCaptions[column], box);
      chk_column_[column]->setObjectName(QString("chkColumn_%1").arg(column));
      box_layout->addWidget(chk_column_[column], n % 7, n / 7);
      ++n;
    }
    boxes->addWidget(box);
  }
  editor->addLayout(boxes);
  layout->addLayout(editor, 1);
}

SheetEditor::~SheetEditor() = default;

void SheetEditor::FillSheetList() {
  lst_sheets_->clear();
  sheets_ = std::make_unique<clsS_OUTPUT_List>(db_);
  try {
    sheets_->Load("");
  } catch (const AppError&) {
    return;
  }
  for (std::size_t i = 0; i < sheets_->Count(); ++i)
    lst_sheets_->addItem(QString::fromStdString(sheets_->Item(i).Sheetname()));
  if (lst_sheets_->count() == 0) return;
  lst_sheets_->setCurrentRow(0);
  SheetToForm(Trimmed(lst_sheets_->item(0)->text()));
}

void SheetEditor::SheetToForm(const std::string& name) {
  bool found = false;
  SheetForm form = lanereport::SheetToForm(*sheets_, name, Today(), &found);
  lbl_id_->setText(QString::fromStdString(form.id));
  txt_sheet_name_->setText(QString::fromStdString(form.name));
  if (found) {
    for (std::size_t i = 0; i < chk_column_.size(); ++i)
      chk_column_[i]->setChecked(form.switches[i]);
  }
  conditions_.ShowConditions(form, found);
}

std::optional<std::string> SheetEditor::FormToSheet(const std::string& name) {
  SheetForm form;
  conditions_.ReadConditions(form);
  form.id = lbl_id_->text().toStdString();
  form.name = name;
  for (std::size_t i = 0; i < chk_column_.size(); ++i)
    form.switches[i] = chk_column_[i]->isChecked();
  if (std::optional<AppError> refused = lanereport::FormToSheet(db_, *sheets_, form, Today()))
    return refused->Description();
  return std::nullopt;
}

void SheetEditor::StoreTyped(const char* empty_message) {
  std::string name = Trimmed(txt_sheet_name_->text());
  if (name.empty()) {
    Warn(empty_message);
    return;
  }
  if (!conditions_.ConditionsAccepted()) return;
  std::optional<std::string> refused = FormToSheet(name);
  FillSheetList();
  if (refused) Warn(*refused);
}

void SheetEditor::cmdSheetAdd_Click() {
  StoreTyped("シート名を入力してください");
}

void SheetEditor::cmdSheetModify_Click() {
  StoreTyped("シート一覧からシートを選択してください");
}

void SheetEditor::cmdSheetDel_Click() {
  std::string name = Trimmed(txt_sheet_name_->text());
  if (name.empty()) {
    Warn("シート一覧からシートを選択してください");
    return;
  }
  if (clsS_OUTPUT_Data* found = sheets_->Find(name)) {
    if (!messages_().AskYesNo({"シート「" + name + "」を削除します", "よろしいですか？", 0, 0}))
      return;
    try {
      found->Delete();
    } catch (const AppError& e) {
      Warn(e.Description());
    }
  }
  FillSheetList();
}

void SheetEditor::Warn(const std::string& text) {
  messages_().ShowWarning({text, "", 0, 10});
}

}  // namespace lanereport::gui
