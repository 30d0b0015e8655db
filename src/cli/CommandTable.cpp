#include "CommandTable.h"

namespace lanereport::cli {

const std::vector<CommandEntry>& CommandTable() {
  static const std::vector<CommandEntry> table = {
      {"init", RunInit, "空のスコアデータベースを作成します", "使い方: lanereport init DB"},
      {"import-mdb", RunImportMdb, "Jet（.mdb）を取り込み、--update で .db を最新にします",
       "使い方: lanereport import-mdb FILE.mdb [NEW.db] [--jet3-code-page CP]\n"
       "          [--password PW]\n"
       "       lanereport import-mdb FILE.mdb EXISTING.db --update [--jet3-code-page CP]\n"
       "          [--password PW]"},
      {"sample-db", RunSampleDb, "サンプルのスコアデータベースを作成します",
       "使い方: lanereport sample-db DB [--bowlers N] [--years N] [--end-year YYYY]\n"
       "          [--seed N]"},
      {"bowlers", RunBowlers, "ボウラーの一覧（番号、名前、フォルダ名、ゲーム数）を表示します",
       "使い方: lanereport bowlers DB"},
      {"score-pages", RunScorePages, "ボウラーの期間内の各プレーのスコア表を作成します",
       "使い方: lanereport score-pages DB --bowler NAME --from YYYY/MM/DD --to\n"
       "          YYYY/MM/DD [--out DIR] [--keep]"},
      {"score-page", RunScorePage, "1回のプレーのスコア表を作成します",
       "使い方: lanereport score-page DB --bowler NAME --date YYYY/MM/DD --centre NAME\n"
       "          --level NAME --dir DIR"},
      {"monthly-pages", RunMonthlyPages, "ボウラーの月間表を作成します",
       "使い方: lanereport monthly-pages DB --bowler NAME --from YYYY/MM --to YYYY/MM\n"
       "          [--out DIR] [--keep]"},
      {"index-pages", RunIndexPages, "1年分の年間ページ（グラフ付きの index.html）を作成します",
       "使い方: lanereport index-pages DB --year YYYY [--out DIR]"},
      {"profile-pages", RunProfilePages, "ボウラー紹介のページと profiles.js を作成します",
       "使い方: lanereport profile-pages DB --dir DIR [--bowler NAME]"},
      {"workbook", RunWorkbook, "ボウラー情報のブックを作成します（--html でそのページも）",
       "使い方: lanereport workbook DB [--template FILE] [--html] [--out DIR]"},
      {"bulk", RunBulk, "1年分の一括出力：ブックとページ、月間表、スコア表",
       "使い方: lanereport bulk DB --year YYYY [--out DIR] [--template FILE]"},
      {"settings", RunSettings, "11の設定を表示し、または変更します",
       "使い方: lanereport settings DB [KEY=VALUE ...]"},
      {"sheets", RunSheets, "統計シートの定義を表示し、編集します",
       "使い方: lanereport sheets DB [list | show NAME | delete NAME |\n"
       "          add NAME [オプション] | update NAME [オプション]]\n"
       "  オプション: --alley 名前  --level 名前  --period | --count N\n"
       "              --start YYYY/MM/DD  --end YYYY/MM/DD  --rename 新しい名前\n"
       "              --on 項目,...  --off 項目,...  --all（全項目）  --none（項目なし）\n"
       "  項目: 0～37 の番号か Totalavg、MonthAvg などの名前（show NAME で一覧）"},
      {"import-games", RunImportGames, "ゲームを CSV ファイルから取り込みます（1行1ゲーム）",
       "使い方: lanereport import-games DB FILE.csv [--dry-run]\n"
       "  1行目は列名: Bowler_Name, Play_Date, Alley_Name, Level_Name, Game_Number,\n"
       "  FirstFrame1 … TenthFrame3（21投）, Result_Memo, Handicap（順不同）\n"
       "  UTF-8 か CP932、区切りはカンマ・タブ・セミコロン。取り込めない行が1行でも\n"
       "  あれば何も書き込みません。--dry-run は確かめるだけで書き込みません"},
      {"export-games", RunExportGames, "ゲームを CSV ファイル（UTF-8）に書き出します",
       "使い方: lanereport export-games DB [--year YYYY] [--bowler NAME] [FILE.csv]\n"
       "  FILE.csv を省くと標準出力に書き出します。import-games でそのまま取り込めます"},
      {"demo", RunDemo, "サンプルのデータベースとサイトを作成します",
       "使い方: lanereport demo [DIR]"},
  };
  return table;
}

const CommandEntry* FindCommand(std::string_view name) {
  for (const CommandEntry& entry : CommandTable())
    if (name == entry.name) return &entry;
  return nullptr;
}

const char* UsageOf(std::string_view name) {
  const CommandEntry* entry = FindCommand(name);
  return entry ? entry->usage : "";
}

}  // namespace lanereport::cli
