#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "DialogFolderChooser.h"
#include "FakeWindows.h"
#include "TempDir.h"
#include "frmDialogBox.h"
#include "util/AppError.h"
#include "util/FileChooserRules.h"
#include "util/IniControl.h"

using namespace lanereport;
using namespace lanereport::gui;
namespace fs = std::filesystem;

namespace {

template <class T>
T* Control(QWidget& form, const char* name) {
  auto* control = form.findChild<T*>(name);
  if (!control) qFatal("no control %s", name);
  return control;
}

QPushButton* Button(const char* name) {
  return Control<QPushButton>(frmDialogBox::Instance(), name);
}
QLineEdit* Edit(const char* name) {
  return Control<QLineEdit>(frmDialogBox::Instance(), name);
}
QListWidget* List(const char* name) {
  return Control<QListWidget>(frmDialogBox::Instance(), name);
}
std::string PathLine() {
  return Control<QLabel>(frmDialogBox::Instance(), "lblPath")->text().toStdString();
}
std::string NameBox() {
  return Edit("txtFileName")->text().toStdString();
}
void SetNameBox(const std::string& text) {
  Edit("txtFileName")->setText(QString::fromStdString(text));
}

QStringList Texts(QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

QListWidgetItem* Item(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  if (found.isEmpty()) qFatal("no item %s", qPrintable(text));
  return found.front();
}

// Double-clicks the entry of a list as the user does.
void DoubleClick(QListWidget* list, const QString& text) {
  QListWidgetItem* item = Item(list, text);
  list->scrollToItem(item);
  const QPoint at = list->visualItemRect(item).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void Touch(const std::string& path) {
  std::ofstream(path) << "x";
}

// Shows the chooser modally, runs action once it is open and closes it with cancel should the
// action leave it open. Returns what Show returned.
int ShowAnd(std::function<void()> action) {
  frmDialogBox& form = frmDialogBox::Instance();
  QTimer::singleShot(0, &form, [action] { action(); });
  QTimer::singleShot(10000, &form, [&form] {
    if (form.isVisible()) form.reject();
  });
  return form.Show();
}

// Opens the chooser with the given mode and user, cancelling at once, so that tests can look at
// where it opened.
struct Opened {
  std::string path_line;
  std::string name_box;
};
Opened OpenAndCancel(int mode, const std::string& user, const std::string& ini_file_name = "") {
  frmDialogBox& form = frmDialogBox::Instance();
  form.Mode(mode);
  form.User(user);
  form.IniFileName(ini_file_name);
  Opened opened;
  ShowAnd([&] {
    opened = {PathLine(), NameBox()};
    Button("cmdCancel")->click();
  });
  return opened;
}

}  // namespace

// The file and folder chooser: the four modes and their messages, the folder remembered per
// caller, the shortcut buttons, the new-folder frame, the drive list and Enter. The program
// folder, the home folder and the current folder are temporary folders of each test; the
// messages go to a recording stand-in that answers questions as told.
class DialogBoxTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<testing::TempDir> program_;
  std::unique_ptr<testing::TempDir> places_;
  std::unique_ptr<testing::HomeAt> home_;
  std::unique_ptr<testing::RecordingMessages> messages_;
  QString saved_cwd_;

  std::string Place(const std::string& relative) const { return places_->File(relative); }
  // A folder below the test's places, made when missing; ends with "/".
  std::string Folder(const std::string& relative) const {
    fs::create_directories(Place(relative));
    return Place(relative) + "/";
  }
  std::string Remembered(const std::string& user) const {
    return ReadIni(DialogBoxIniFile(), "COMMON", RememberedKey(user));
  }
  void MessageIs(std::size_t count, const std::string& line1) {
    QCOMPARE(messages_->shown.size(), count);
    QCOMPARE(messages_->shown.back().message1, line1);
  }

 private slots:
  void init() {
    program_ = std::make_unique<testing::TempDir>();
    places_ = std::make_unique<testing::TempDir>();
    ::setenv("LANEREPORT_HOME", program_->Path().c_str(), 1);
    home_ = std::make_unique<testing::HomeAt>(Folder("home"));
    saved_cwd_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(Folder("start")));
    messages_ = std::make_unique<testing::RecordingMessages>();
    frmDialogBox::Instance().SetMessages(messages_.get());
    frmDialogBox::Instance().PosTop(0);
    frmDialogBox::Instance().PosLeft(0);
  }

  void cleanup() {
    frmDialogBox::Instance().SetMessages(nullptr);
    QDir::setCurrent(saved_cwd_);
    home_.reset();
    ::unsetenv("LANEREPORT_HOME");
    messages_.reset();
    places_.reset();
    program_.reset();
  }

  void WithoutAModeItRefusesToOpen() {
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(0);
    try {
      form.Show();
      QFAIL("opened without a mode");
    } catch (const AppError& error) {
      QCOMPARE(error.Description(), std::string("Modeが指定されていません"));
      QCOMPARE(error.Source(), std::string("frmDialogBox"));
    }
    QVERIFY(!form.isVisible());
    QVERIFY(!fs::exists(DialogBoxIniFile()));
  }

  void OpenModeWarnsAboutAnEmptyNameAndAMissingFileAndTakesAnExistingOne() {
    const std::string folder = Folder("start");
    Touch(folder + "league.db");
    Touch(folder + "notes.txt");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(2);
    form.Mask("*.db");
    form.TimerSet(7);
    const int result = ShowAnd([&] {
      QCOMPARE(PathLine(), folder);
      QVERIFY(List("filFile")->isVisible());
      QVERIFY(Edit("txtFileName")->isVisible());
      QCOMPARE(Texts(List("filFile")), QStringList{"league.db"});
      SetNameBox("   ");
      Button("cmdOK")->click();
      MessageIs(1, "ファイル名が指定されていません");
      QCOMPARE(messages_->shown.back().timer_seconds, 7);
      QVERIFY(form.isVisible());
      SetNameBox("other.db");
      Button("cmdOK")->click();
      MessageIs(2, "「" + folder + "other.db」は存在しません");
      QVERIFY(form.isVisible());
      // Picking a file in the list puts its name into the name box.
      List("filFile")->setCurrentItem(Item(List("filFile"), "league.db"));
      QCOMPARE(NameBox(), std::string("league.db"));
      Button("cmdOK")->click();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(!form.Cancel());
    QCOMPARE(form.FullPathName(), folder + "league.db");
    QCOMPARE(messages_->shown.size(), std::size_t{2});
    QVERIFY(messages_->asked.empty());
  }

  void DoubleClickingAFileActsAsOK() {
    const std::string folder = Folder("start");
    Touch(folder + "b.db");
    Touch(folder + "a.db");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(2);
    form.Mask("*.db");
    ShowAnd([&] {
      QCOMPARE(Texts(List("filFile")), (QStringList{"a.db", "b.db"}));
      DoubleClick(List("filFile"), "b.db");
    });
    QVERIFY(!form.Cancel());
    QCOMPARE(form.FullPathName(), folder + "b.db");
  }

  void NameModeAddsTheMaskExtensionOnlyWhenTheNameLacksIt() {
    const std::string folder = Folder("start");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(3);
    form.Mask("*.xls");
    ShowAnd([&] {
      SetNameBox("  score ");
      Button("cmdOK")->click();
    });
    QCOMPARE(form.FullPathName(), folder + "score.xls");
    form.Mode(3);
    form.Mask("*.xls");
    ShowAnd([&] {
      SetNameBox("NAME.XLS");
      Button("cmdOK")->click();
    });
    QCOMPARE(form.FullPathName(), folder + "NAME.XLS");
    form.Mode(3);
    form.Mask("*.xls");
    ShowAnd([&] {
      SetNameBox("");
      Button("cmdOK")->click();
      MessageIs(1, "ファイル名が指定されていません");
      QVERIFY(form.isVisible());
      Button("cmdCancel")->click();
    });
    QVERIFY(form.Cancel());
    QVERIFY(messages_->asked.empty());
  }

  void SaveModeKeepsTheWindowOpenWhenReplacingIsRefused() {
    const std::string folder = Folder("start");
    Touch(folder + "book.xls");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(4);
    form.Mask("*.xls");
    form.TimerSet(10);
    messages_->answer = false;
    ShowAnd([&] {
      SetNameBox("book");
      Button("cmdOK")->click();
      QCOMPARE(messages_->asked.size(), std::size_t{1});
      QCOMPARE(messages_->asked[0].message1, "「" + folder + "book.xls」は既に存在します");
      QCOMPARE(messages_->asked[0].message2, std::string("既存のファイルを書き換えますか？"));
      QCOMPARE(messages_->asked[0].timer_seconds, 10);
      QVERIFY(form.isVisible());
      messages_->answer = true;
      Button("cmdOK")->click();
    });
    QCOMPARE(messages_->asked.size(), std::size_t{2});
    QVERIFY(!form.Cancel());
    QCOMPARE(form.FullPathName(), folder + "book.xls");
    // A new name is taken without a question.
    form.Mode(4);
    form.Mask("*.xls");
    ShowAnd([&] {
      SetNameBox("fresh");
      Button("cmdOK")->click();
    });
    QCOMPARE(messages_->asked.size(), std::size_t{2});
    QCOMPARE(form.FullPathName(), folder + "fresh.xls");
  }

  void FolderModeAsksToCreateAMissingFolderAndEndsWithASeparator() {
    const std::string folder = Folder("start/out");
    QDir::setCurrent(QString::fromStdString(folder));
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    form.TimerSet(10);
    const int result = ShowAnd([&] {
      // Folder mode shows no file list and no name box.
      QVERIFY(!List("filFile")->isVisible());
      QVERIFY(!Edit("txtFileName")->isVisible());
      QVERIFY(List("dirFolder")->isVisible());
      QCOMPARE(PathLine(), folder);
      // The folder goes away while the chooser shows it.
      fs::remove(Place("start/out"));
      messages_->answer = false;
      Button("cmdOK")->click();
      QCOMPARE(messages_->asked.size(), std::size_t{1});
      QCOMPARE(messages_->asked[0].message1, "「" + folder + "」を作成しますか？");
      QCOMPARE(messages_->asked[0].timer_seconds, 10);
      QVERIFY(form.isVisible());
      QVERIFY(!fs::exists(Place("start/out")));
      messages_->answer = true;
      Button("cmdOK")->click();
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(fs::is_directory(Place("start/out")));
    QCOMPARE(form.FullPathName(), folder);
    QVERIFY(form.FullPathName().back() == '/');
    QCOMPARE(Remembered("USER"), folder);
  }

  void AnExistingFolderIsTakenWithoutAQuestion() {
    const std::string folder = Folder("start");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    ShowAnd([&] { Button("cmdOK")->click(); });
    QVERIFY(messages_->asked.empty());
    QCOMPARE(form.FullPathName(), folder);
  }

  void FirstUseOpensAtTheCurrentFolderWithTheDefaultName() {
    const Opened opened = OpenAndCancel(3, "SCORE", "page.html");
    QCOMPARE(opened.path_line, Folder("start"));
    QCOMPARE(opened.name_box, std::string("page.html"));
  }

  void EachCallerOpensWhereItWasLastUsed() {
    const std::string profiles = Folder("start/profiles");
    const std::string pages = Folder("start/pages");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    form.User("SelfIntroduction");
    ShowAnd([&] {
      DoubleClick(List("dirFolder"), "profiles");
      QCOMPARE(PathLine(), profiles);
      Button("cmdOK")->click();
    });
    QCOMPARE(form.FullPathName(), profiles);
    form.Mode(1);
    form.User("SCORE");
    ShowAnd([&] {
      QCOMPARE(PathLine(), Folder("start"));
      DoubleClick(List("dirFolder"), "pages");
      Button("cmdOK")->click();
    });
    QCOMPARE(form.FullPathName(), pages);
    QCOMPARE(Remembered("SCORE"), pages);
    QCOMPARE(Remembered("SelfIntroduction"), profiles);

    QCOMPARE(OpenAndCancel(1, "SCORE").path_line, pages);
    QCOMPARE(OpenAndCancel(1, "SelfIntroduction").path_line, profiles);
    // A cancel remembers nothing.
    QCOMPARE(Remembered("SCORE"), pages);
    // A caller that never chose opens at the current folder.
    QCOMPARE(OpenAndCancel(2, "ZEPA_DB", "score.db").path_line, Folder("start"));
  }

  void AFileChoiceRemembersItsFolder() {
    const std::string folder = Folder("db");
    Touch(folder + "league.db");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(2);
    form.User("ZEPA_DB");
    ShowAnd([&] {
      QVERIFY(form.OpenFolder(folder));
      SetNameBox("league.db");
      Button("cmdOK")->click();
    });
    QCOMPARE(Remembered("ZEPA_DB"), folder);
    const Opened opened = OpenAndCancel(2, "ZEPA_DB", "other.db");
    QCOMPARE(opened.path_line, folder);
    QCOMPARE(opened.name_box, std::string("other.db"));
  }

  void ARememberedFolderThatIsGoneIsIgnored() {
    QVERIFY(WriteIni(DialogBoxIniFile(), "COMMON", "PREV_SCORE", Place("gone/")));
    QCOMPARE(OpenAndCancel(1, "SCORE").path_line, Folder("start"));
  }

  void ADamagedIniFileIsReadAsEmpty() {
    const std::string pages = Folder("pages");
    std::ofstream(DialogBoxIniFile(), std::ios::binary)
        << "[COMMON]\r\nPREV_SCORE=" << pages << "\r\n\x80\xFD garbage\r\n";
    QCOMPARE(OpenAndCancel(1, "SCORE").path_line, Folder("start"));
    // Binary content.
    std::ofstream(DialogBoxIniFile(), std::ios::binary | std::ios::trunc)
        << "[COMMON]\r\nPREV_SCORE=" << pages << std::string(16, '\0');
    QCOMPARE(OpenAndCancel(1, "SCORE").path_line, Folder("start"));
    // The next choice is remembered all the same.
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    form.User("SCORE");
    ShowAnd([&] {
      QVERIFY(form.OpenFolder(pages));
      Button("cmdOK")->click();
    });
    QCOMPARE(Remembered("SCORE"), pages);
    QCOMPARE(OpenAndCancel(1, "SCORE").path_line, pages);
  }

  void CancelClearsTheResultAndClosingResetsTheProperties() {
    Folder("start");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    ShowAnd([&] { Button("cmdOK")->click(); });
    QVERIFY(!form.FullPathName().empty());
    form.Mode(3);
    form.User("SCORE");
    form.Mask("*.xls");
    form.IniFileName("book");
    form.TimerSet(10);
    const int result = ShowAnd([&] { Button("cmdCancel")->click(); });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(form.Cancel());
    QCOMPARE(form.FullPathName(), std::string());
    QCOMPARE(Remembered("SCORE"), std::string());
    QCOMPARE(form.Mode(), 0);
    QCOMPARE(form.User(), std::string("USER"));
    QCOMPARE(form.Mask(), std::string("*.*"));
    QCOMPARE(form.IniFileName(), std::string());
    QCOMPARE(form.TimerSet(), 0);
  }

  void AnEmptyUserIsTheDefaultCaller() {
    const std::string folder = Folder("start");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    form.User("");
    QCOMPARE(form.User(), std::string("USER"));
    ShowAnd([&] { Button("cmdOK")->click(); });
    QCOMPARE(Remembered("USER"), folder);
  }

  void ShortcutsOpenTheDesktopAndTheDocumentsFolder() {
    const std::string desktop = Folder("home/Desktop");
    const std::string documents = Folder("home/Documents");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    ShowAnd([&] {
      Button("cmdShortCut_0")->click();
      QCOMPARE(PathLine(), desktop);
      Button("cmdShortCut_1")->click();
      QCOMPARE(PathLine(), documents);
      Button("cmdOK")->click();
    });
    QCOMPARE(form.FullPathName(), documents);
  }

  void TheNewFolderFrameCreatesAFolderBelowTheCurrentOne() {
    const std::string folder = Folder("start");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    QWidget* frame = Control<QFrame>(form, "fraNewFolder");
    const int result = ShowAnd([&] {
      QVERIFY(!frame->isVisible());
      Button("cmdShortCut_4")->click();
      QVERIFY(frame->isVisible());
      QVERIFY(!List("dirFolder")->isVisible());
      Edit("txtNewFolder")->setText("新しい記録");
      Button("cmdOK")->click();
      QVERIFY(fs::is_directory(folder + "新しい記録"));
      QVERIFY(!frame->isVisible());
      QVERIFY(List("dirFolder")->isVisible());
      QVERIFY(Texts(List("dirFolder")).contains("新しい記録"));
      QVERIFY(form.isVisible());
      QCOMPARE(PathLine(), folder);
      // Cancel while the frame is shown only closes the frame.
      Button("cmdShortCut_4")->click();
      QCOMPARE(Edit("txtNewFolder")->text(), QString());
      Edit("txtNewFolder")->setText("unused");
      Button("cmdCancel")->click();
      QVERIFY(!frame->isVisible());
      QVERIFY(List("dirFolder")->isVisible());
      QVERIFY(form.isVisible());
      QVERIFY(!fs::exists(folder + "unused"));
      Button("cmdCancel")->click();
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(form.Cancel());
    QVERIFY(messages_->shown.empty());
  }

  void TheFolderListGoesDownAndUp() {
    const std::string start = Folder("start");
    Folder("start/a/b");
    Touch(start + "a/file.txt");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(2);
    ShowAnd([&] {
      QCOMPARE(Texts(List("dirFolder")), (QStringList{"..", "a"}));
      DoubleClick(List("dirFolder"), "a");
      QCOMPARE(PathLine(), start + "a/");
      QCOMPARE(Texts(List("dirFolder")), (QStringList{"..", "b"}));
      QCOMPARE(Texts(List("filFile")), QStringList{"file.txt"});
      DoubleClick(List("dirFolder"), "..");
      QCOMPARE(PathLine(), start);
      Button("cmdCancel")->click();
    });
  }

  void TheDriveListHoldsTheTopAndTheHomeFolder() {
    const std::string home = Folder("home");
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    ShowAnd([&] {
      auto* drives = Control<QComboBox>(form, "drvDrive");
      QCOMPARE(drives->itemText(0), QString("/"));
      const int home_index = drives->findText(QString::fromStdString(home));
      QVERIFY(home_index > 0);
      // The current folder lies outside the home folder, on the top drive.
      QCOMPARE(drives->currentText(), QString("/"));
      drives->setCurrentIndex(home_index);
      QCOMPARE(PathLine(), home);
      drives->setCurrentIndex(0);
      QCOMPARE(PathLine(), std::string("/"));
      QVERIFY(!Texts(List("dirFolder")).contains(".."));
      // Opening a folder inside the home folder selects its drive.
      QVERIFY(form.OpenFolder(Folder("home/inner")));
      QCOMPARE(drives->currentIndex(), home_index);
      Button("cmdCancel")->click();
    });
  }

  void EnterMovesToTheNextControl() {
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(2);
    ShowAnd([&] {
      form.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&form));
      QLineEdit* name = Edit("txtFileName");
      name->setFocus();
      QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(name));
      QTest::keyClick(name, Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Button("cmdOK")));
      QVERIFY(form.isVisible());
      QVERIFY(messages_->shown.empty());
      Button("cmdCancel")->click();
    });
  }

  void TheWindowIsPlacedWhereTheCallerSays() {
    frmDialogBox& form = frmDialogBox::Instance();
    form.Mode(1);
    form.PosTop(50);
    form.PosLeft(60);
    QPoint where;
    ShowAnd([&] {
      where = form.frameGeometry().topLeft();
      Button("cmdCancel")->click();
    });
    QCOMPARE(where, QPoint(60, 50));
  }

  void TheFolderChooserIsTheFolderModeWithTenSecondMessages() {
    const std::string folder = Folder("start/out");
    QDir::setCurrent(QString::fromStdString(folder));
    frmDialogBox& form = frmDialogBox::Instance();
    DialogFolderChooser chooser;
    QString caption;
    int mode = -1;
    QTimer::singleShot(0, &form, [&] {
      caption = form.windowTitle();
      mode = form.Mode();
      fs::remove(Place("start/out"));
      Button("cmdOK")->click();
    });
    const std::optional<std::string> chosen = chooser.ChooseFolder("SCORE", "出力フォルダ指定");
    QCOMPARE(caption, QString("出力フォルダ指定"));
    QCOMPARE(mode, 1);
    QCOMPARE(messages_->asked.size(), std::size_t{1});
    QCOMPARE(messages_->asked[0].timer_seconds, 10);
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, folder);
    QCOMPARE(Remembered("SCORE"), folder);

    QTimer::singleShot(0, &form, [] { Button("cmdCancel")->click(); });
    QVERIFY(!chooser.ChooseFolder("SCORE", "出力フォルダ指定").has_value());
  }
};

QTEST_MAIN(DialogBoxTest)
#include "dialog_box_test.moc"
