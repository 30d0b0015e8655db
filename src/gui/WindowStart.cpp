#include "WindowStart.h"

#include "WindowControl.h"
#include "database/basDataBase.h"
#include "frmDOMenu.h"
#include "frmSplash.h"
#include "import/ScoreDatabaseChoice.h"
#include "start/StartUp.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport::gui {
namespace {

// The start menu's button of the masters window, the one window that needs no master.
constexpr int kMastersButton = 3;

}  // namespace

WindowStart::WindowStart(Services services) : services_(std::move(services)) {}

WindowStart::~WindowStart() {
  if (work_) work_->disconnect(this);
  delete splash_;
  delete work_;
  delete menu_;
}

frmDOMenu* WindowStart::Menu() const {
  return menu_;
}

QWidget* WindowStart::WorkWindow() const {
  return work_;
}

bool WindowStart::Main(const std::vector<std::string>& args) {
  if (!lock_.Acquire()) {
    services_.messages->ShowWarning(
        {"すでにLanereportは起動しています。", "なお、複数起動は出来ません。", 0, 0});
    return false;
  }
  version_ = UpdateIniVersion(ZepaIniPath(), ProgramVersion());

  std::string command_line;
  for (const std::string& arg : args) command_line += arg + " ";
  if (!Trim(command_line).empty()) {
    StartOptions options;
    try {
      options = ParseStartOptions(args);
    } catch (const AppError& e) {
      services_.messages->ShowWarning(
          {"発生箇所：Main ", "エラー番号[" + std::to_string(e.Number()) + "]：" + e.Description(),
           0, 0});
      return false;
    }
    start_mode_ = options.start_mode;
    if (OpenAndLoadMenu(options.database)) return true;
    // The suite asked for a database that cannot be used: its caller learns it by the status.
    if (open_failed_) exit_status_ = 1;
    return false;
  }

  start_mode_ = -1;
  splash_ = new frmSplash(*this);
  connect(splash_, &frmSplash::Closed, this, [this](bool) { SplashDone(); });
  splash_->show();
  splash_->repaint();
  return true;
}

void WindowStart::SelectDataBase() {
  // A file that cannot be opened was said in a message; the user chooses again, or cancels.
  do {
    std::string path = services_.choose_database ? services_.choose_database() : "";
    OpenAndLoadMenu(std::string(Trim(path)));
  } while (open_failed_);
}

bool WindowStart::OpenAndLoadMenu(const std::string& path) {
  // A Jet file of the suite is opened as the program's own database beside it, made from it
  // by the import when the user agrees.
  open_failed_ = false;
  std::string database =
      path.empty() ? "" : ScoreDatabaseFor(path, *services_.messages, services_.with_progress);
  if (database.empty()) {
    // A Jet file not imported (declined, stopped or refused, as said) leaves the user at the
    // chooser to pick another file or cancel; a start by the suite ends with status 1.
    open_failed_ = !path.empty();
    return false;
  }
  std::string why;
  db_ = OpenDataBase(database, kSuitePassword, &why);
  if (!db_) {
    open_failed_ = true;
    services_.messages->ShowWarning({"データベースを開けません：" + database, why, 0, 0});
    return false;
  }
  db_name_ = DbNameOf(path);
  if (start_mode_ != kMastersButton && !CheckMasters(*db_, *services_.messages)) {
    // A new database has no master yet: the user chosen it interactively may enter them here.
    if (start_mode_ == -1 && services_.messages->AskYesNo({"マスタ登録を開きますか？", "", 0, 0})) {
      LoadMenu();
      MenuButton(kMastersButton);
      return menu_ != nullptr;
    }
    db_.reset();
    return false;
  }
  LoadMenu();
  return menu_ != nullptr;
}

void WindowStart::LoadMenu() {
  menu_ = new frmDOMenu(*this);
  connect(menu_, &frmDOMenu::Closed, this, [this] {
    UnloadMenu();
    emit Ended();
  });
  if (start_mode_ != -1) {
    MenuButton(start_mode_);
    // A start mode without a window of its own leaves nothing open: the run is over.
    if (!work_) UnloadMenu();
    return;
  }
  CenterWindow(menu_);
  menu_->show();
  AnimateOpen(menu_);
}

void WindowStart::MenuButton(int index) {
  // Every window but the masters' needs a bowler, a centre and a level; the menu stays.
  if (index != kMastersButton && db_ && !CheckMasters(*db_, *services_.messages)) return;
  QWidget* window = services_.make_work_window ? services_.make_work_window(index, *this) : nullptr;
  if (window) {
    work_ = window;
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, this, &WindowStart::WorkWindowClosed);
    CenterWindow(window);
    window->show();
    AnimateOpen(window);
  }
  if (menu_) menu_->hide();
}

void WindowStart::WorkWindowClosed() {
  work_ = nullptr;
  if (start_mode_ == -1 && menu_) {
    menu_->show();
    return;
  }
  UnloadMenu();
  emit Ended();
}

void WindowStart::UnloadMenu() {
  if (menu_) {
    menu_->disconnect(this);
    menu_->hide();
    menu_->deleteLater();
    menu_ = nullptr;
  }
  db_.reset();
}

void WindowStart::SplashDone() {
  splash_ = nullptr;
  if (!menu_ && !work_) emit Ended();
}

}  // namespace lanereport::gui
