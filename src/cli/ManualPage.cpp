#include "ManualPage.h"

#include <algorithm>
#include <csignal>
#include <string>

#include "CommandTable.h"
#include "Commands.h"
#include "start/StartUp.h"

namespace lanereport::cli {
namespace {

bool IsOptionChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsLowerWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

void AddOnce(std::vector<std::string>& list, std::string word) {
  if (std::find(list.begin(), list.end(), word) == list.end()) list.push_back(std::move(word));
}

// The words of the completion, separated by blanks.
std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

// One entry of a tagged list (.TP): the tag in bold, then its text.
void Entry(std::ostream& out, std::string_view tag, std::string_view text) {
  out << ".TP\n.B " << RoffText(tag) << "\n" << RoffText(text) << "\n";
}

void EntryItalic(std::ostream& out, std::string_view tag, std::string_view text) {
  out << ".TP\n.I " << RoffText(tag) << "\n" << RoffText(text) << "\n";
}

// Lines kept as they are written (the usage texts line up their continuation lines).
void Verbatim(std::ostream& out, std::string_view text) {
  out << ".RS\n.nf\n";
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    out << RoffText(text.substr(start, end - start)) << "\n";
    start = end + 1;
  }
  out << ".fi\n.RE\n";
}

}  // namespace

std::vector<std::string> OptionsOfUsage(std::string_view usage) {
  std::vector<std::string> options;
  for (std::size_t i = usage.find("--"); i != std::string_view::npos; i = usage.find("--", i)) {
    bool word_start = i == 0 || !IsOptionChar(usage[i - 1]);
    std::size_t end = i + 2;
    while (end < usage.size() && IsOptionChar(usage[end])) ++end;
    if (word_start && end > i + 2 && usage[i + 2] != '-')
      AddOnce(options, std::string(usage.substr(i, end - i)));
    i = end;
  }
  return options;
}

std::vector<std::string> KeywordsOfUsage(std::string_view usage) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < usage.size(); ++i) {
    if (usage[i] != '[' && usage[i] != '|') continue;
    std::size_t start = i + 1;
    while (start < usage.size() && (usage[start] == ' ' || usage[start] == '\n')) ++start;
    if (start >= usage.size() || usage[start] < 'a' || usage[start] > 'z') continue;
    std::size_t end = start;
    while (end < usage.size() && IsLowerWordChar(usage[end])) ++end;
    if (end < usage.size() && usage[end] != ' ' && usage[end] != ']' && usage[end] != '|' &&
        usage[end] != '\n')
      continue;
    AddOnce(words, std::string(usage.substr(start, end - start)));
  }
  return words;
}

std::string RoffText(std::string_view text) {
  std::string out;
  bool line_start = true;
  for (char c : text) {
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
    line_start = c == '\n';
  }
  return out;
}

void WriteManualPage(std::ostream& out, std::string_view version, std::string_view date) {
  out << ".\\\" The manual page of lanereport, made by the build from its command table.\n"
      << ".TH LANEREPORT 1 \"" << date << "\" \"lanereport " << version
      << "\" \"Lanereport\"\n"
      // Japanese lines break only at blanks: ragged right, no hyphenation.
      << ".ad l\n.nh\n"
      << ".SH NAME\n"
      << "lanereport \\- ボウリングのスコアを Web ページとブックに出力します\n"
      << ".SH SYNOPSIS\n"
      << ".B lanereport\n.br\n"
      << ".B lanereport\n.BI /m N\n.BI /d DB\n.br\n"
      << ".B lanereport\n.I コマンド\n.RI [ 引数 \" ...]\"\n.br\n"
      << ".B lanereport \\-\\-help\n.br\n"
      << ".B lanereport \\-\\-version\n"
      << ".SH DESCRIPTION\n"
      << "Lanereport はボウリングのスコアデータベースを開き、 1 球ごとに記録されたゲームから、"
         " ボウラーの Web サイト（プレーごとのスコア表、 月間表、 紹介ページ、 年間ページ）と"
         " 統計のブック（合計、 アベレージ、 ハイゲーム、 ストライク率、 スペア率など）を"
         " 作成します。 ページは Shift_JIS（コードページ 932）で書き出します。\n"
      << ".PP\n"
      << "引数なしで起動すると画面を開きます： スプラッシュ、 データベースの選択、"
         " 出力処理のメニュー。 コマンドを付けると画面を使わずに実行します。\n"
      << ".SH 画面の起動オプション\n"
      << "ZEPA の他のプログラムは、 画面を直接開くときに次のオプションを付けて起動します。"
         " その画面を閉じると終了します。\n";
  for (const StartModeEntry& mode : StartModeTable())
    Entry(out, "/m" + std::to_string(mode.option), std::string(mode.window) + "を開きます");
  EntryItalic(out, "/dDB",
              "開くスコアデータベース（.db、 または取り込む .mdb）のパス。 /m と一緒に使います");
  out << ".SH コマンド\n";
  for (const CommandEntry& entry : CommandTable()) {
    Entry(out, entry.name, entry.summary);
    Verbatim(out, entry.usage);
  }
  Entry(out, "--help, -h, help [コマンド]",
        "コマンドの一覧、 またはそのコマンドの使い方を表示します。"
        " lanereport コマンド --help も同じです");
  Entry(out, "--version, -V", "バージョンを表示します");
  out << ".PP\n"
         "\"-\" で始まる語は、 \"--\" の後でなければファイル、 フォルダ、 名前とはみなしません。"
         " 相対パスは現在のフォルダから解決します。\n";

  out << ".SH 終了ステータス\n";
  Entry(out, std::to_string(kExitOk), "成功しました");
  Entry(out, std::to_string(kExitFailed), "実行に失敗しました（理由は標準エラー出力に表示します）");
  Entry(out, std::to_string(kExitUsage), "使い方の誤りです（誤りと使い方を表示します）");
  Entry(
      out, std::to_string(kExitLeftOut),
      "読めたものを出力し、 読めない行を除きました （除いた行と件数は標準エラー出力に表示します）");
  Entry(out, std::to_string(128 + SIGINT),
        "Ctrl-C で中止しました。 作成中のページやシートは書かず、"
        " それまでに書いたファイルはそのまま残ります");
  Entry(out, std::to_string(128 + SIGTERM) + ", " + std::to_string(128 + SIGHUP),
        "SIGTERM、 SIGHUP で中止しました（Ctrl-C と同じ扱いです）");

  out << ".SH FILES\n";
  EntryItalic(out, "/usr/share/lanereport/BowlerData.xlsx",
              "既定のテンプレート。 プログラムは実行ファイルのフォルダから見た"
              " ../share/lanereport/ で見つけるので、 展開したパッケージはどこに置いても動きます");
  EntryItalic(out, "/usr/share/lanereport/jpg/",
              "ページの外観の画像。 出力フォルダにないものを最初のページと一緒にコピーします");
  EntryItalic(out, "~/.config/lanereport/ZEPA.INI",
              "ZEPA の INI ファイル。 あれば SYSTEM の Ver を今のバージョンに保ちます"
              "（書いた後は読み取り専用）。 なければ作成しません");
  EntryItalic(out, "~/.config/lanereport/DialogBox.ini",
              "ファイルとフォルダの選択で最後に選んだフォルダ");
  EntryItalic(out, "$XDG_RUNTIME_DIR/lanereport.lock", "複数起動を防ぐロック");
  EntryItalic(out, "出力フォルダ/.lanereport.lock",
              "同じ出力フォルダに同時に書く実行を 1 つにするロック");
  out << ".PP\n"
         "ビルドしたフォルダ（build/bin/）から実行すると、 テンプレート、 画像、"
         " INI ファイルはどれもプログラムと同じフォルダにあります。\n";

  out << ".SH ENVIRONMENT\n";
  Entry(out, "LANEREPORT_HOME",
        "プログラムフォルダ。 設定すると、 テンプレートと画像をここから読み、"
        " ZEPA.INI と DialogBox.ini もここに置きます");
  Entry(out, "XDG_CONFIG_HOME",
        "設定のフォルダ lanereport/ を置くフォルダ（既定は ~/.config）。"
        " user-dirs.dirs のデスクトップのフォルダは既定の出力フォルダになります");
  Entry(out, "XDG_RUNTIME_DIR", "複数起動を防ぐロックのフォルダ（ないときは /tmp）");
  Entry(out, "HOME", "~/.config とデスクトップのフォルダの既定");
  Entry(out, "DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM",
        "画面の表示先。 どれもないと画面は開かず、 そう表示して終了ステータス 1 で終わります");
}

void WriteBashCompletion(std::ostream& out) {
  std::vector<std::string> first = {"help", "--help", "--version"};
  std::vector<std::string> names;
  for (const CommandEntry& entry : CommandTable()) names.push_back(entry.name);
  first.insert(first.begin(), names.begin(), names.end());
  std::vector<std::string> modes;
  for (const StartModeEntry& mode : StartModeTable())
    modes.push_back("/m" + std::to_string(mode.option));

  out << "# bash completion of lanereport, made by the build from its command table.\n"
         "_lanereport() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]}\n"
         "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
         "    case $cur in\n"
         "      /m*) COMPREPLY=($(compgen -W '"
      << Joined(modes)
      << "' -- \"$cur\")) ;;\n"
         "      /*) ;;\n"
         "      *) COMPREPLY=($(compgen -W '"
      << Joined(first)
      << "' -- \"$cur\")) ;;\n"
         "    esac\n"
         "    return\n"
         "  fi\n"
         "  local options= keywords=\n"
         "  case ${COMP_WORDS[1]} in\n"
         "    help) [ \"$COMP_CWORD\" -eq 2 ] && COMPREPLY=($(compgen -W '"
      << Joined(names)
      << "' -- \"$cur\"))\n"
         "      return ;;\n"
         "    /*) [ \"$COMP_CWORD\" -eq 2 ] && COMPREPLY=($(compgen -W '/d' -- \"$cur\"))\n"
         "      return ;;\n";
  for (const CommandEntry& entry : CommandTable()) {
    std::vector<std::string> options = OptionsOfUsage(entry.usage);
    options.push_back("--help");
    out << "    " << entry.name << ") options='" << Joined(options) << "'";
    std::vector<std::string> keywords = KeywordsOfUsage(entry.usage);
    if (!keywords.empty()) out << " keywords='" << Joined(keywords) << "'";
    out << " ;;\n";
  }
  out << "    *) return ;;\n"
         "  esac\n"
         "  local i\n"
         "  for ((i = 2; i < COMP_CWORD; i++)); do\n"
         "    [ \"${COMP_WORDS[i]}\" = -- ] && return\n"
         "  done\n"
         "  if [[ $cur == -* ]]; then\n"
         "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
         "  elif [ -n \"$keywords\" ] && [ \"$COMP_CWORD\" -eq 3 ]; then\n"
         "    COMPREPLY=($(compgen -W \"$keywords\" -- \"$cur\"))\n"
         "  fi\n"
         "}\n"
         "complete -o default -F _lanereport lanereport\n";
}

}  // namespace lanereport::cli
