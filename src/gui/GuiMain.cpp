#include "GuiMain.h"

#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <cstdlib>
#include <iostream>

#include "WindowControl.h"
#include "WindowMessages.h"
#include "WindowStart.h"
#include "frmDialogBox.h"
#include "frmLanereport.h"
#include "frmMasters.h"
#include "frmScoreEntry.h"
#include "frmSelfIntroduction.h"

namespace lanereport::gui {
namespace {

constexpr const char* kNoDisplay = "画面を表示できません：ディスプレイに接続できません（DISPLAY）";

bool HasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// A window system that cannot be reached makes Qt end the process with a fatal message; the
// program says so in its one line and exits 1 instead of aborting.
void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) {
    std::cerr << kNoDisplay << std::endl;
    ::_exit(1);
  }
  if (type == QtCriticalMsg) std::cerr << text.toStdString() << std::endl;
}

std::string ChooseDatabase() {
  frmDialogBox& chooser = frmDialogBox::Instance();
  chooser.User("ZEPA_DB");
  chooser.Mode(2);
  chooser.Mask("*.db;*.mdb");
  chooser.setWindowTitle(QString::fromUtf8("データベース選択"));
  chooser.Show();
  return chooser.Cancel() ? "" : chooser.FullPathName();
}

QWidget* MakeWorkWindow(int index, WindowStart& start) {
  switch (index) {
    case 0:
      return new frmLanereport(*start.gdbScore(), start.gstrDbName());
    case 1:
      return new frmSelfIntroduction(*start.gdbScore(), start.gstrDbName());
    case 2:
      return new frmScoreEntry(*start.gdbScore());
    case 3:
      return new frmMasters(*start.gdbScore());
    default:
      return nullptr;
  }
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QString(":/icon/lanereport-%1.png").arg(size), QSize(size, size));
  return icon;
}

void PrepareApplication(QApplication& app) {
  QFont font = app.font();
  if (QFontDatabase::families().contains("Noto Sans CJK JP")) font.setFamily("Noto Sans CJK JP");
  app.setFont(font);
  app.setWindowIcon(ProgramIcon());
  // The menu entry (lanereport.desktop) the desktop matches the windows with.
  QGuiApplication::setDesktopFileName("lanereport");
  ButtonsTakeEnter();
}

int RunWindows(int argc, char** argv, const std::vector<std::string>& args) {
  if (!HasEnv("QT_QPA_PLATFORM") && !HasEnv("DISPLAY") && !HasEnv("WAYLAND_DISPLAY")) {
    std::cerr << kNoDisplay << std::endl;
    return 1;
  }
  qInstallMessageHandler(OnQtMessage);
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  PrepareApplication(app);

  WindowMessages messages;
  WindowStart start({&messages, ChooseDatabase, MakeWorkWindow, RunWithWaitingWindow});
  QObject::connect(&start, &WindowStart::Ended, &app, &QApplication::quit, Qt::QueuedConnection);
  if (!start.Main(args)) return start.ExitStatus();
  return app.exec();
}

}  // namespace lanereport::gui
