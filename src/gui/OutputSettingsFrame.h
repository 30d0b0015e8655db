#pragma once

#include <QGroupBox>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "database/WindowSettings.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lanereport::gui {

// The settings frame of the output window (fraPrepare "設定"): the eleven look and path fields
// (txtCHA ... txtSheetPath) in the order of WindowSettings::Keys(), the two 参照 buttons
// (cmdFolder, cmdSheet), the colour previews (fraColor with lblColor) and the note lblSetting.
class OutputSettingsFrame : public QGroupBox {
  Q_OBJECT

 public:
  // The chooser behind the 参照 buttons: mode 1 a folder, 2 a file; the caller's key, the
  // caption and the file mask. Returns the chosen path, or nothing when cancelled.
  using PathChooser = std::function<std::optional<std::string>(
      int mode, const std::string& user, const std::string& caption, const std::string& mask)>;

  explicit OutputSettingsFrame(QWidget* parent);

  void SetChooser(PathChooser chooser) { chooser_ = std::move(chooser); }
  // Puts the values into the fields (and the previews).
  void Show(const WindowSettings& settings);
  // The fields' texts, as they stand.
  WindowSettings Values() const;
  // The field of a key of WindowSettings::Keys() by its position.
  QLineEdit* Field(std::size_t index) const { return fields_[index]; }
  QLineEdit* FolderField() const { return fields_[9]; }
  // The five image fields (txtWAKU1, txtWAKU2, txtSPACE, txtSPARE, txtSTRIKE).
  void EnableImageFields(bool enabled);

 signals:
  // txtFolderPath changed (the output folder of the next make).
  void FolderChanged(const QString& folder);

 public slots:
  void cmdFolder_Click();
  void cmdSheet_Click();

 private:
  // Upper-cases a colour field as it is typed and shows the colour when it is one.
  void ColourTyped(QLineEdit* field);
  void RefreshPreview();

  std::array<QLineEdit*, 11> fields_{};
  QFrame* fra_color_;
  QLabel* lbl_color_;
  PathChooser chooser_;
};

}  // namespace lanereport::gui
