#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "batch/SheetForm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace lanereport {
class Database;
class MessageWindow;
class clsS_OUTPUT_List;
}  // namespace lanereport

namespace lanereport::gui {

// The conditions of a sheet that the output window's workbook frame shows beside the editor:
// centre, level, period or game count and the open dates.
class SheetConditions {
 public:
  virtual ~SheetConditions() = default;
  // Copies the window's conditions into the form (everything but id, name and switches).
  virtual void ReadConditions(SheetForm& form) = 0;
  // Shows the conditions of a definition; found is false for a name the list does not hold,
  // whose form carries only the defaults.
  virtual void ShowConditions(const SheetForm& form, bool found) = 0;
  // Whether the conditions can be stored: when not, says why and puts the focus on the field.
  virtual bool ConditionsAccepted() = 0;
};

// The statistics-sheet editor of the output window: the list of definitions lstSheets, the name
// txtSheetName with the hidden lblID, 追加 / 更新 / 削除 and the 38 column switches chkColumn
// in four groups. The database, the conditions and the message window must outlive the editor.
class SheetEditor : public QWidget {
  Q_OBJECT

 public:
  SheetEditor(Database& db, SheetConditions& conditions, std::function<MessageWindow&()> messages,
              QWidget* parent = nullptr);
  ~SheetEditor() override;

  // Reads the definitions again and shows the first.
  void FillSheetList();
  // Shows the definition of that name (the defaults when there is none).
  void SheetToForm(const std::string& name);

 public slots:
  void cmdSheetAdd_Click();
  void cmdSheetModify_Click();
  void cmdSheetDel_Click();

 signals:
  // A definition of the list was clicked, before it is shown.
  void SheetClicked();

 private:
  // Stores the form under name; the refusal's text when nothing was stored.
  std::optional<std::string> FormToSheet(const std::string& name);
  // The add and update buttons: both store the form under the name typed.
  void StoreTyped(const char* empty_message);
  void Warn(const std::string& text);

  Database& db_;
  SheetConditions& conditions_;
  std::function<MessageWindow&()> messages_;
  std::unique_ptr<clsS_OUTPUT_List> sheets_;
  QListWidget* lst_sheets_;
  QLineEdit* txt_sheet_name_;
  QLabel* lbl_id_;
  std::array<QCheckBox*, clsS_OUTPUT_Data::kSwitchCount> chk_column_{};
};

}  // namespace lanereport::gui
