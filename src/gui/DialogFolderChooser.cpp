#include "DialogFolderChooser.h"

#include <QString>

#include "frmDialogBox.h"
#include "util/FileChooserRules.h"

namespace lanereport::gui {
namespace {

constexpr int kMessageSeconds = 10;

}  // namespace

std::optional<std::string> DialogFolderChooser::ChooseFolder(std::string_view user,
                                                             std::string_view caption) {
  frmDialogBox& chooser = frmDialogBox::Instance();
  chooser.Mode(kChooseFolder);
  chooser.User(std::string(user));
  chooser.TimerSet(kMessageSeconds);
  chooser.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
  chooser.Show();
  if (chooser.Cancel()) return std::nullopt;
  return chooser.FullPathName();
}

}  // namespace lanereport::gui
