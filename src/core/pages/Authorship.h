#pragma once

namespace lanereport {

// The author's contact address, written into the "made" link of every generated page.
inline constexpr const char* kAuthorMailAddress = "lanereport@zepa.example.jp";

// The generator's home page, linked from the footer of the score and monthly pages.
inline constexpr const char* kGeneratorHomePage = "https://zepa.example.jp/lanereport/";

}  // namespace lanereport
