#include <fstream>
#include <iostream>

#include "ManualPage.h"

// Writes the manual page and the bash completion of lanereport from its command table; the
// build runs it. Usage: make_manual MANPAGE COMPLETION VERSION DATE
int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: make_manual MANPAGE COMPLETION VERSION DATE\n";
    return 2;
  }
  std::ofstream page(argv[1], std::ios::binary | std::ios::trunc);
  lanereport::cli::WriteManualPage(page, argv[3], argv[4]);
  std::ofstream completion(argv[2], std::ios::binary | std::ios::trunc);
  lanereport::cli::WriteBashCompletion(completion);
  page.close();
  completion.close();
  if (!page || !completion) {
    std::cerr << "make_manual: cannot write " << argv[1] << " or " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
