#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  return lanereport::cli::RunCommandLine(argc, argv, std::cout, std::cerr);
}
