#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanereport {

class Database;

// One bowler of the bowler table as the bowler list shows it.
struct BowlerListing {
  long number = 0;
  std::string name;   // Name
  std::string aname;  // AName, the folder of the bowler's pages
  long games = 0;     // rows of the score table under the name, in every level
};

// Every bowler in number order (then name), with the number of games recorded.
std::vector<BowlerListing> ListBowlers(Database& db);

// The bowler a user named: by Name exactly, else by AName ignoring letter case (the first in
// number order when several share it). Nothing when neither matches.
std::optional<BowlerListing> FindBowler(Database& db, std::string_view text);

// The names of the bowlers closest to text, best first, at most count of them: a name that
// differs only in its kind of spaces, letter case or spacing comes first, then names a few
// characters away or holding text (a family name alone). Names and folder names both count;
// far names are left out.
std::vector<std::string> ClosestBowlerNames(Database& db, std::string_view text,
                                            std::size_t count = 3);

}  // namespace lanereport
