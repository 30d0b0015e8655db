#include "PageTestSupport.h"

#include "BowlingNotation.h"
#include "pages/Authorship.h"
#include "scoring/clsResult_Data.h"

namespace lanereport::testing {

std::string PageLines(std::string_view text, std::string_view line_end) {
  const std::string_view cr_marker = "⏎";
  const std::string_view crlf_marker = "↵";
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    std::string_view this_end = line_end;
    if (line.ends_with(cr_marker)) {
      line.remove_suffix(cr_marker.size());
      this_end = "\r";
    } else if (line.ends_with(crlf_marker)) {
      line.remove_suffix(crlf_marker.size());
      this_end = "\r\n";
    }
    out.append(line);
    if (end < text.size()) out.append(this_end);
    start = end + 1;
  }
  for (auto [key, value] :
       {std::pair<std::string_view, std::string_view>{"{MADE}", kAuthorMailAddress},
        {"{HOME}", kGeneratorHomePage}}) {
    for (std::size_t at = out.find(key); at != std::string::npos; at = out.find(key, at)) {
      out.replace(at, key.size(), value);
      at += value.size();
    }
  }
  return out;
}

void AddNotatedGame(Database& db, const std::string& bowler, const std::string& alley,
                    const std::string& level, const std::string& date, long game,
                    std::string_view notation, long handicap, const std::string& memo) {
  clsResult_Data g(db);
  g.BowlerName(bowler);
  g.AlleyName(alley);
  g.LevelName(level);
  g.PlayDate(date);
  g.GameNumber(game);
  EnterGame(g, notation);
  g.Handicap(handicap);
  g.ResultMemo(memo);
  g.Add();
}

WindowSettings InitialLook() {
  WindowSettings look;
  look.Background = "jpg/BG.jpg";
  look.CharacterColor = "#FFFFFF";
  look.Frame1 = "jpg/waku0.jpg";
  look.Frame2 = "jpg/waku.jpg";
  look.Strike = "jpg/strike.jpg";
  look.Spare = "jpg/spare.jpg";
  look.Space = "jpg/space.jpg";
  return look;
}

}  // namespace lanereport::testing
