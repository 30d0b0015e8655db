#include "OutputSettingsFrame.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <charconv>

#include "WindowControl.h"
#include "util/DataChange.h"

namespace lanereport::gui {
namespace {

struct FieldSpec {
  const char* name;
  const char* label;
};

// The fields in the order of WindowSettings::Keys().
constexpr FieldSpec kFields[] = {
    {"txtCHA", "文字色："},
    {"txtBG", "背景色（画像）："},
    {"txtStyle", "ｽﾀｲﾙｼｰﾄ："},
    {"txtWAKU1", "枠１画像："},
    {"txtWAKU2", "枠２画像："},
    {"txtSPACE", "Space画像："},
    {"txtSPARE", "Spare画像："},
    {"txtSTRIKE", "Strike画像："},
    {"txtLinkPath", "ﾘﾝｸ先："},
    {"txtFolderPath", "出力先ﾌｫﾙﾀﾞ："},
    {"txtSheetPath", "出力先xlsﾌｧｲﾙ："},
};

// "&HBBGGRR" to its number; nothing for a text that is not one.
std::optional<long> VbColour(const std::string& literal) {
  if (literal.size() != 8) return std::nullopt;
  long value = 0;
  const char* first = literal.data() + 2;
  const char* last = literal.data() + literal.size();
  auto [end, error] = std::from_chars(first, last, value, 16);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace

OutputSettingsFrame::OutputSettingsFrame(QWidget* parent) : QGroupBox("設定", parent) {
  setObjectName("fraPrepare");
  auto* grid = new QGridLayout(this);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    auto* label = new QLabel(kFields[i].label, this);
    label->setObjectName(QString("lbl") + QString(kFields[i].name).mid(3));
    fields_[i] = new QLineEdit(this);
    fields_[i]->setObjectName(kFields[i].name);
    grid->addWidget(label, static_cast<int>(i), 0);
    grid->addWidget(fields_[i], static_cast<int>(i), 1);
  }
  auto* folder = new QPushButton("参照", this);
  folder->setObjectName("cmdFolder");
  grid->addWidget(folder, 9, 2);
  auto* sheet = new QPushButton("参照", this);
  sheet->setObjectName("cmdSheet");
  grid->addWidget(sheet, 10, 2);
  connect(folder, &QPushButton::clicked, this, &OutputSettingsFrame::cmdFolder_Click);
  connect(sheet, &QPushButton::clicked, this, &OutputSettingsFrame::cmdSheet_Click);

  fra_color_ = new QFrame(this);
  fra_color_->setObjectName("fraColor");
  fra_color_->setFrameShape(QFrame::Box);
  fra_color_->setAutoFillBackground(true);
  auto* preview = new QHBoxLayout(fra_color_);
  lbl_color_ = new QLabel("ABC あいう", fra_color_);
  lbl_color_->setObjectName("lblColor");
  preview->addWidget(lbl_color_);
  grid->addWidget(fra_color_, 0, 2, 2, 1);

  auto* note = new QLabel(
      "※使用しない場合は、空にしてください\n出力先ﾌｫﾙﾀﾞが空の場合の出力先はデスクトップになります",
      this);
  note->setObjectName("lblSetting");
  grid->addWidget(note, 11, 0, 1, 3);
  grid->setColumnStretch(1, 1);

  for (QLineEdit* colour : {fields_[0], fields_[1]})
    connect(colour, &QLineEdit::textEdited, this, [this, colour] { ColourTyped(colour); });
  connect(fields_[9], &QLineEdit::textChanged, this, &OutputSettingsFrame::FolderChanged);
}

void OutputSettingsFrame::Show(const WindowSettings& settings) {
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    fields_[i]->clear();
    fields_[i]->setText(QString::fromStdString(*settings.Find(WindowSettings::Keys()[i])));
  }
  RefreshPreview();
}

WindowSettings OutputSettingsFrame::Values() const {
  WindowSettings settings;
  for (std::size_t i = 0; i < fields_.size(); ++i)
    *settings.Find(WindowSettings::Keys()[i]) = fields_[i]->text().toStdString();
  return settings;
}

void OutputSettingsFrame::EnableImageFields(bool enabled) {
  for (std::size_t i = 3; i <= 7; ++i) fields_[i]->setEnabled(enabled);
}

void OutputSettingsFrame::cmdFolder_Click() {
  if (!chooser_) return;
  if (auto path = chooser_(1, "OutFolder", "出力フォルダ指定", ""))
    fields_[9]->setText(QString::fromStdString(*path));
}

void OutputSettingsFrame::cmdSheet_Click() {
  if (!chooser_) return;
  if (auto path = chooser_(2, "OutSheet", "出力Sheet指定", "*.xlsx"))
    fields_[10]->setText(QString::fromStdString(*path));
}

void OutputSettingsFrame::ColourTyped(QLineEdit* field) {
  // The background field also takes an image, whose path keeps its case: only a colour literal
  // ("#" and no ".") is upper-cased there.
  if (field == fields_[1] && (!field->text().startsWith('#') || field->text().contains('.'))) {
    RefreshPreview();
    return;
  }
  QString upper = field->text().toUpper();
  if (upper != field->text()) {
    field->setText(upper);
    field->setCursorPosition(static_cast<int>(upper.size()));
  }
  RefreshPreview();
}

void OutputSettingsFrame::RefreshPreview() {
  // A text that is no colour leaves the preview as it was.
  if (auto text = VbColour(HtmlColorToVb(fields_[0]->text().toStdString()))) {
    QPalette palette = lbl_color_->palette();
    palette.setColor(QPalette::WindowText, BgrColor(*text));
    lbl_color_->setPalette(palette);
  }
  if (auto back = VbColour(HtmlColorToVb(fields_[1]->text().toStdString()))) {
    QPalette palette = fra_color_->palette();
    palette.setColor(QPalette::Window, BgrColor(*back));
    fra_color_->setPalette(palette);
  }
}

}  // namespace lanereport::gui
