#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/FolderChooser.h"
#include "ui/MessageWindow.h"

namespace lanereport::testing {

// Keeps every message shown and every question asked; answers questions with `answer`.
class RecordingMessages : public MessageWindow {
 public:
  void ShowWarning(const MessageText& message) override { shown.push_back(message); }
  bool AskYesNo(const MessageText& message) override {
    asked.push_back(message);
    return answer;
  }
  // The first lines of the messages shown, in order.
  std::vector<std::string> FirstLines() const {
    std::vector<std::string> lines;
    for (const MessageText& m : shown) lines.push_back(m.message1);
    return lines;
  }
  std::vector<long> Colors() const {
    std::vector<long> colors;
    for (const MessageText& m : shown) colors.push_back(m.color);
    return colors;
  }

  bool answer = true;
  std::vector<MessageText> shown;
  std::vector<MessageText> asked;
};

// A folder chooser that answers with a fixed folder, or cancels when it has none; it keeps what
// it was asked with.
class FixedChooser : public FolderChooser {
 public:
  explicit FixedChooser(std::optional<std::string> folder) : folder_(std::move(folder)) {}
  std::optional<std::string> ChooseFolder(std::string_view user,
                                          std::string_view caption) override {
    ++calls;
    this->user = user;
    this->caption = caption;
    return folder_;
  }
  int calls = 0;
  std::string user;
  std::string caption;

 private:
  std::optional<std::string> folder_;
};

// Points $HOME at a folder of the test and the XDG configuration at its .config, and puts both
// back when it goes.
class HomeAt {
 public:
  explicit HomeAt(const std::string& home);
  ~HomeAt();
  HomeAt(const HomeAt&) = delete;
  HomeAt& operator=(const HomeAt&) = delete;

 private:
  std::optional<std::string> home_;
  std::optional<std::string> config_;
};

}  // namespace lanereport::testing
