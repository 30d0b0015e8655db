#include "start/StartUp.h"

#include <cctype>

#include "database/MasterLists.h"
#include "ui/MessageWindow.h"
#include "util/AppError.h"
#include "util/IniControl.h"
#include "util/PathControl.h"
#include "util/StringUtil.h"
#include "util/UserFolders.h"

#ifndef LANEREPORT_VERSION
#define LANEREPORT_VERSION "0.0.0"
#endif

namespace lanereport {
namespace {

constexpr const char* kSource = "[basStart]Main";

// The position of the next "/m" option followed by a digit at or after from, or npos.
std::size_t NextModeOption(const std::string& text, std::size_t from) {
  for (std::size_t i = text.find('/', from); i != std::string::npos; i = text.find('/', i + 1)) {
    if (i + 2 < text.size() && (text[i + 1] == 'm' || text[i + 1] == 'M') &&
        std::isdigit(static_cast<unsigned char>(text[i + 2])))
      return i;
  }
  return std::string::npos;
}

}  // namespace

std::string ProgramVersion() {
  return LANEREPORT_VERSION;
}

std::string ZepaIniPath() {
  return GetSettingsFolder() + "ZEPA.INI";
}

std::string UpdateIniVersion(const std::string& ini_path, const std::string& program_version) {
  if (!IsExistFile(ini_path)) return "";
  std::string stored = ReadIni(ini_path, "SYSTEM", "Ver");
  if (stored < program_version) {
    WriteIni(ini_path, "SYSTEM", "Ver", program_version);
    return program_version;
  }
  return stored;
}

const std::vector<StartModeEntry>& StartModeTable() {
  static const std::vector<StartModeEntry> table = {
      {1, "スコア表・月間表・ボウラー表の出力画面"},
      {2, "ボウラー紹介HTMLの画面"},
      {3, "スコア入力の画面"},
      {4, "マスタ登録の画面"},
  };
  return table;
}

bool IsWindowStart(const std::vector<std::string>& args) {
  return args.empty() || StartsWith(args.front(), "/");
}

StartOptions ParseStartOptions(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  StartOptions options;
  bool have_mode = false;
  std::size_t i = 0;
  while ((i = text.find('/', i)) != std::string::npos && i + 1 < text.size()) {
    char key = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    std::size_t start = i + 2;
    std::size_t end;
    if (key == 'd') {
      end = NextModeOption(text, start);
      if (end == std::string::npos) end = text.size();
      options.database = std::string(Trim(std::string_view(text).substr(start, end - start)));
    } else {
      end = text.find('/', start);
      if (end == std::string::npos) end = text.size();
      std::string value(Trim(std::string_view(text).substr(start, end - start)));
      if (key == 'm') {
        std::optional<long long> mode = ParseInteger(value);
        if (!mode || *mode < -32767 || *mode > 32767)
          throw AppError(kErrInvalidValue, kSource,
                         "起動オプション「/m」の値が正しくありません：" + value);
        options.start_mode = static_cast<int>(*mode) - 1;
        have_mode = true;
      }
    }
    i = end;
  }
  if (!have_mode) throw AppError(kErrInvalidValue, kSource, "起動オプション「/m」がありません");
  return options;
}

bool CheckMasters(Database& db, MessageWindow& messages) {
  auto filled = [&messages](auto&& list, const char* warning) {
    try {
      list.SelectRecord("");
      if (list.Count() > 0) return true;
    } catch (const AppError&) {
    }
    messages.ShowWarning({"", warning, 0, 10});
    return false;
  };
  return filled(clsBowler_List(db), "マスタ処理[Bowler] にてボウラーの登録を行ってください") &&
         filled(clsAlley_List(db), "マスタ処理[Alley] にてボウリング場の登録を行ってください") &&
         filled(clsLevel_List(db), "マスタ処理[Level] にてレベルの登録を行ってください");
}

}  // namespace lanereport
