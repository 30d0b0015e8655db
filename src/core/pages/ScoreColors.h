#pragma once

#include <string>

namespace lanereport {

// The two score colour tables of the pages, as CSS colour texts. Exactly 300 is a perfect game;
// the other rows are lower bounds (250, 200, 150, 100, 50, below). Callers colour an average by
// the number its "#0.0" text shows (ShownAverage), so 199.96 is coloured as 200.

// Cell background colour of a score: "#ffccff" for 300 down to "#ccccff" below 50.
std::string ScoreBackColor(double score);
// Text colour of a score: "#ff00ff" for 300 down to "#3333ff" below 50.
std::string ScoreTextColor(double score);

// The number that the "#0.0" text of an average shows, read back: 149.96 gives 150.0.
double ShownAverage(double average);

}  // namespace lanereport
