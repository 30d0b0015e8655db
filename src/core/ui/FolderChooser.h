#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lanereport {

// The folder chooser (frmDialogBox in folder mode) as the core sees it.
class FolderChooser {
 public:
  virtual ~FolderChooser() = default;

  // Lets the user pick a folder; user names the caller for the remembered last folder ("SCORE").
  // Returns the folder ending with "/", or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFolder(std::string_view user,
                                                  std::string_view caption) = 0;
};

}  // namespace lanereport
