#pragma once

namespace lanereport {

// The author's contact address, written in the "made" link of every page head.
inline constexpr const char* kAuthorMailAddress = "lanereport@example.org";

// The generator's home page, linked from the footer of every generated and finished page.
inline constexpr const char* kGeneratorHomePage = "https://lanereport.example.org/";

}  // namespace lanereport
