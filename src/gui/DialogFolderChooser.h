#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/FolderChooser.h"

namespace lanereport::gui {

// The core's folder chooser in the window front end: frmDialogBox in folder mode, its
// messages closing by themselves after 10 seconds, with the caller's caption. The chooser
// remembers the folder per user in DialogBox.ini. Needs the application object.
class DialogFolderChooser : public FolderChooser {
 public:
  std::optional<std::string> ChooseFolder(std::string_view user, std::string_view caption) override;
};

}  // namespace lanereport::gui
