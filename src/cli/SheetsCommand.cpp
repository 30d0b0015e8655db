#include <sstream>

#include "CliSupport.h"
#include "CommandTable.h"
#include "Commands.h"
#include "database/Database.h"
#include "database/clsS_OUTPUT_List.h"
#include "util/AppError.h"
#include "util/DateText.h"
#include "util/StringUtil.h"
#include "util/VisibleText.h"
#include "workbook/SelectionBuilder.h"

namespace lanereport::cli {
namespace {

const char* const kUsage = UsageOf("sheets");

// The captions of the 38 switches, in switch order.
const char* const kCaptions[] = {"性別",
                                 "称号",
                                 "肩書きA",
                                 "肩書きB",
                                 "座右の銘",
                                 "身長",
                                 "体重",
                                 "利き腕",
                                 "メールアドレス",
                                 "ボール",
                                 "リスタイ",
                                 "シューズ",
                                 "バッグ",
                                 "スコア合計",
                                 "ゲーム数",
                                 "スコア分布",
                                 "ハイスコア",
                                 "ロースコア",
                                 "ハイシリーズ",
                                 "ローシリーズ",
                                 "ストライク率(全体)",
                                 "サイド率(全体)",
                                 "スペア率(全体)",
                                 "オープン率(全体)",
                                 "ガター率(全体)",
                                 "ファール率(全体)",
                                 "スプリット率(全体)",
                                 "Ｓカバー率(全体)",
                                 "ストライク率(フレーム毎)",
                                 "サイド率(フレーム毎)",
                                 "スペア率(フレーム毎)",
                                 "オープン率(フレーム毎)",
                                 "ガター率(フレーム毎)",
                                 "ファール率(フレーム毎)",
                                 "スプリット率(フレーム毎)",
                                 "Ｓカバー率(フレーム毎)",
                                 "AVG",
                                 "月間AVG"};

std::optional<std::size_t> SwitchIndex(const std::string& word) {
  if (auto n = ParseInteger(word); n && *n >= 0 && *n < 38) return static_cast<std::size_t>(*n);
  const auto& names = clsS_OUTPUT_Data::SwitchNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (EqualsIgnoreCase(names[i], word)) return i;
  }
  return std::nullopt;
}

std::string Summary(const clsS_OUTPUT_Data& d) {
  std::ostringstream s;
  s << VisibleText(d.Sheetname()) << "\t";
  if (d.Condition())
    s << "期間 " << VisibleText(YmdToSlashed(d.StartDate())) << "～"
      << VisibleText(YmdToSlashed(d.EndDate()));
  else
    s << "過去 " << d.Pastcount() << " Game";
  int on = 0;
  for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i) on += d.SwitchValue(i);
  s << "\t項目 " << on;
  return s.str();
}

void Show(const clsS_OUTPUT_Data& d, std::ostream& out) {
  out << "SheetName=" << VisibleText(d.Sheetname()) << "\n"
      << "AlleyName=" << VisibleText(d.AlleyName()) << "\n"
      << "LevelName=" << VisibleText(d.LevelName()) << "\n"
      << "Condition=" << (d.Condition() ? "期間" : "GAME数") << "\n"
      << "StartDate=" << VisibleText(YmdToSlashed(d.StartDate())) << "\n"
      << "EndDate=" << VisibleText(YmdToSlashed(d.EndDate())) << "\n"
      << "PastCount=" << d.Pastcount() << "\n";
  const auto& names = clsS_OUTPUT_Data::SwitchNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    out << i << "\t" << names[i] << "\t" << kCaptions[i] << "\t"
        << (d.SwitchValue(i) ? "on" : "off") << "\n";
}

// Applies the options of add and update; returns a usage error text, or "".
std::string Apply(const Args& args, clsS_OUTPUT_Data& d) {
  if (args.Switch("period") && args.Option("count"))
    return "--period と --count は同時に指定できません";
  if (auto v = args.Option("rename")) d.Sheetname(*v);
  if (auto v = args.Option("alley")) d.AlleyName(*v);
  if (auto v = args.Option("level")) d.LevelName(*v);
  if (args.Switch("period")) d.Condition(true);
  if (auto v = args.Option("count")) {
    d.Condition(false);
    d.Pastcount(*v);
  }
  if (auto v = args.Option("start")) d.StartDate(*v);
  if (auto v = args.Option("end")) d.EndDate(*v);
  if (args.Switch("all") || args.Switch("none")) {
    for (std::size_t i = 0; i < clsS_OUTPUT_Data::kSwitchCount; ++i)
      d.SwitchValue(i, args.Switch("all"));
  }
  for (const char* option : {"on", "off"}) {
    auto list = args.Option(option);
    if (!list) continue;
    for (const std::string& word : Split(*list, ',')) {
      auto index = SwitchIndex(std::string(Trim(word)));
      if (!index) return "項目が正しくありません：" + VisibleText(word);
      d.SwitchValue(*index, std::string(option) == "on");
    }
  }
  return "";
}

}  // namespace

int RunSheets(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<Args> args =
      Args::Parse(words, {"alley", "level", "count", "start", "end", "on", "off", "rename"},
                  {"period", "all", "none"}, error);
  if (!args || args->Positional().empty()) {
    if (!error.empty()) err << error << "\n";
    err << kUsage << "\n";
    return kExitUsage;
  }
  const auto& pos = args->Positional();
  std::string action = pos.size() >= 2 ? pos[1] : "list";
  bool needs_name = action == "show" || action == "add" || action == "update" || action == "delete";
  if ((action != "list" && !needs_name) || (needs_name && pos.size() != 3) ||
      (action == "list" && pos.size() > 2)) {
    err << kUsage << "\n";
    return kExitUsage;
  }
  std::unique_ptr<Database> db = OpenScoreDatabase(pos[0], err);
  if (!db) return kExitFailed;

  if (action == "list") {
    clsS_OUTPUT_List list(*db);
    try {
      list.Load("");
    } catch (const AppError& e) {
      if (e.Number() != kErrNoData) throw;
    }
    for (std::size_t i = 0; i < list.Count(); ++i) out << Summary(list.Item(i)) << "\n";
    return kExitOk;
  }
  clsS_OUTPUT_Data d(*db);
  d.Sheetname(pos[2]);
  if (action == "add") {
    d.AlleyName(kBlankChoice);
    d.LevelName(kBlankChoice);
    d.Condition(true);
    error = Apply(*args, d);
    if (!error.empty()) {
      err << error << "\n" << kUsage << "\n";
      return kExitUsage;
    }
    d.Add();
    out << "シート定義を追加しました：" << VisibleText(d.Sheetname()) << "\n";
    return kExitOk;
  }
  try {
    d.Load();
  } catch (const AppError& e) {
    if (e.Number() != kErrNoData) throw;
    err << "シート定義が見つかりません：" << VisibleText(pos[2]) << "\n";
    return kExitFailed;
  }
  if (action == "show") {
    Show(d, out);
  } else if (action == "delete") {
    d.Delete();
    out << "シート定義を削除しました：" << VisibleText(pos[2]) << "\n";
  } else {
    error = Apply(*args, d);
    if (!error.empty()) {
      err << error << "\n" << kUsage << "\n";
      return kExitUsage;
    }
    d.Update();
    out << "シート定義を更新しました：" << VisibleText(d.Sheetname()) << "\n";
  }
  return kExitOk;
}

}  // namespace lanereport::cli
