#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "database/Database.h"
#include "import/ScoreDatabaseChoice.h"
#include "util/InstanceLock.h"

namespace lanereport {
class MessageWindow;
}

namespace lanereport::gui {

class frmSplash;
class frmDOMenu;

// The start of the windows and the run-wide state they share: the one instance, the version
// in ZEPA.INI, the score database (gdbScore) with its name (gstrDbName) and the start mode
// (gintStartMode), the splash, the start menu and the work window it opens. It emits Ended()
// when no window remains and the run is over.
class WindowStart : public QObject {
  Q_OBJECT

 public:
  // What the start needs from the other windows; tests give their own.
  struct Services {
    // The message windows (Msg_Warning, Msg_YesNo). Must outlive the object.
    MessageWindow* messages = nullptr;
    // The database chooser: the path the user picked, or "" when cancelled.
    std::function<std::string()> choose_database;
    // Makes the work window of a menu button (0 the score output window, 1 the profile
    // window, 2 the score entry window, 3 the masters window), or null for any other index. The
    // start shows it and takes it back when it closes.
    std::function<QWidget*(int index, WindowStart& start)> make_work_window;
    // Shows the progress window while the import or the refresh of a chosen .mdb runs
    // (RunWithWaitingWindow); without it they run unseen.
    WithProgress with_progress;
  };

  explicit WindowStart(Services services);
  ~WindowStart() override;

  // The program's entry with its arguments (without the program's name). Returns true when a
  // window is open and the event loop has to run; false when the run is already over, with
  // ExitStatus() telling how it ended. A database named with /d that cannot be opened is said
  // with its reason.
  bool Main(const std::vector<std::string>& args);
  // Chooses and opens the database, checks the masters and loads the start menu; the splash's
  // timer calls it. A file that cannot be opened is said with its reason and the chooser opens
  // again; the run ends when the user cancels or any later step fails. A database without a
  // bowler, centre or level asks, after the master warning, whether to open the masters window
  // (with the menu behind it); no ends the run.
  void SelectDataBase();
  // Called by the splash before it closes on a key press or a click.
  void SplashClosed() {}
  // A click on the menu's button index: the work window opens and the menu hides. Every window
  // but the masters' (3) first checks that each master table has a row, and stays shut when
  // one has none (its warning said).
  void MenuButton(int index);
  // A work window closed: back to the menu after an interactive start, else the run ends.
  void WorkWindowClosed();

  Database* gdbScore() const { return db_.get(); }
  const std::string& gstrDbName() const { return db_name_; }
  int gintStartMode() const { return start_mode_; }
  // The program's exit status once Main returned false: 1 when the database named on the
  // command line could not be opened, else 0.
  int ExitStatus() const { return exit_status_; }
  const std::string& gstrVersion() const { return version_; }
  frmDOMenu* Menu() const;
  QWidget* WorkWindow() const;

 signals:
  void Ended();

 private:
  bool OpenAndLoadMenu(const std::string& path);
  void LoadMenu();
  void UnloadMenu();
  void SplashDone();

  Services services_;
  InstanceLock lock_;
  std::unique_ptr<Database> db_;
  std::string db_name_;
  int start_mode_ = -1;
  int exit_status_ = 0;
  // The last OpenAndLoadMenu failed because the database file could not be opened.
  bool open_failed_ = false;
  std::string version_;
  QPointer<frmSplash> splash_;
  QPointer<frmDOMenu> menu_;
  QPointer<QWidget> work_;
};

}  // namespace lanereport::gui
