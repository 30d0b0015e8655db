#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "SheetEditor.h"
#include "batch/MakeFlow.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedLayout;

namespace lanereport {
class Database;
class FolderChooser;
class MessageWindow;
class ProgressWindow;
}  // namespace lanereport

namespace lanereport::gui {

class OutputSettingsFrame;

// The other windows the output window works through. A member left empty means the program's
// own window: WindowMessages, DialogFolderChooser, Msg_Waiting::Instance(), frmDialogBox,
// frmSearchCalender and xdg-open. Given objects are not owned and must outlive the window.
struct OutputWindowServices {
  MessageWindow* messages = nullptr;
  // The folder of a single score page (score mode, list output).
  FolderChooser* folder_chooser = nullptr;
  ProgressWindow* progress = nullptr;
  // Shows the progress window over owner, and takes it away again.
  std::function<void(QWidget* owner)> load_progress;
  std::function<void()> unload_progress;
  // The chooser of the 参照 buttons: mode 1 a folder, 2 a file; nothing when cancelled.
  std::function<std::optional<std::string>(int mode, const std::string& user,
                                           const std::string& caption, const std::string& mask)>
      choose_path;
  // The calendar next to field, starting on the given date: "yyyy/mm/dd", or nothing when
  // cancelled.
  std::function<std::optional<std::string>(QWidget* field, const std::string& date)> pick_date;
  // Opens a saved workbook with the desktop's application; false when there is none.
  std::function<bool(const std::string& path)> open_workbook;
};

// The output window "HTML出力": a bowler, one of four outputs (optChange: 0 bulk, 1 the bowler
// information workbook, 2 monthly tables, 3 score tables) with the conditions of that output,
// the settings mode and the statistics-sheet editor; 作成 runs the core's make flow. The
// database must outlive the window. Closing leaves the settings mode first, which saves them.
class frmLanereport : public QWidget, private SheetConditions {
  Q_OBJECT

 public:
  frmLanereport(Database& db, std::string db_name, QWidget* parent = nullptr);
  ~frmLanereport() override;

  // Replaces the windows the window works through (see OutputWindowServices).
  void SetServices(OutputWindowServices services);

  // The selected output (optChange index).
  int Mode() const;
  // Whether the period of the workbook conditions is in order; when not, says so and opens the
  // end date's calendar again.
  bool CheckPeriod();
  // The output folder the next make starts from (txtFolderPath as typed).
  const std::string& mstrOutFolder() const { return out_folder_; }
  // The make flow of the last make (null before the first).
  MakeFlow* Flow() const { return flow_.get(); }
  bool SettingsMode() const;

 public slots:
  void cmdMAKE_Click();
  void cmbEstablish_Click();
  void cmdChange_Click();
  // Mode set-up for optChange index (also what a click on optChange does).
  void SetMode(int index);
  // optCondition index: 0 "期間", 1 "GAME数".
  void optCondition_Click(int index);
  // A click on a date field: the calendar, then the field's check.
  void DateField_Click(QLineEdit* field);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QWidget* BuildBowlerFrame();
  void FillLists();
  void LoadSettings();
  // Says why the first look setting that no page could hold is refused and puts the focus on
  // its field; true when every one can be stored.
  bool LookSettingsAccepted();
  void SaveSettings();
  void FillSeriesList();
  void ReadConditions(SheetForm& form) override;
  void ShowConditions(const SheetForm& form, bool found) override;
  bool ConditionsAccepted() override;
  void ScoreOption(bool list_output);
  // The checks when a field loses the focus.
  void LeaveDateField(QLineEdit* field);
  void LeaveGameCount();
  void YearFocus();
  void MonthFocus(QComboBox* box);
  // Puts a date the window chose into a date field, remembered as the field's last good date.
  void SetDate(QLineEdit* field, const std::string& date);
  void SetFieldColour(QWidget* field, long bgr);
  void ShowProgress(const char* message1);
  void HideProgress();
  void Warn(const std::string& text);
  MessageWindow& Messages();
  ProgressWindow& Progress();
  FolderChooser& Chooser();

  Database& db_;
  std::string db_name_;
  OutputWindowServices services_;
  std::unique_ptr<MessageWindow> own_messages_;
  std::unique_ptr<FolderChooser> own_chooser_;
  std::unique_ptr<MakeFlow> flow_;
  std::string out_folder_;
  bool start_open_ = false;
  bool end_open_ = false;
  bool period_guard_ = false;
  bool in_check_ = false;
  // The last good date of each date field, which a refused date gives way to.
  std::map<QLineEdit*, QString> last_valid_;

  QLabel* lbl_zepa_;
  QGroupBox* fra_user_;
  QComboBox* cbo_bowler_;
  QLabel* lbl_name_;
  QGroupBox* fra_from_change_;
  std::array<QRadioButton*, 4> opt_change_{};
  QStackedLayout* frames_;
  std::array<QWidget*, 4> mode_frames_{};
  OutputSettingsFrame* fra_prepare_;
  QPushButton* cmb_establish_;
  QPushButton* cmd_make_;
  // Mode 0.
  QComboBox* cbo_year_c_;
  // Mode 1.
  QComboBox* cbo_alley_;
  QComboBox* cbo_level_;
  std::array<QRadioButton*, 2> opt_condition_{};
  QLineEdit* txt_sttdt_;
  QLineEdit* txt_enddt_;
  QLineEdit* txt_game_count_;
  QLabel* lbl_message1_;
  QLabel* lbl_message2_;
  SheetEditor* sheet_editor_;
  QCheckBox* chk_screen_;
  // Mode 2.
  QComboBox* cbo_sttdt_;
  QComboBox* cbo_enddt_;
  QLabel* lbl_sttdt_;
  QLabel* lbl_enddt_;
  // Mode 3.
  QRadioButton* opt_html_;
  QRadioButton* opt_score_;
  QLineEdit* txt_sttdt1_;
  QLineEdit* txt_enddt1_;
  QListWidget* lst_choose_;
};

}  // namespace lanereport::gui
