// Copies a folder tree the way the program writes its own files: each file whole (a temporary
// file beside it, then a rename, through MakeFile, folders made as needed), then one flush of
// what was written (FlushWrittenFiles). bench/bulk_bench.sh times it as the floor of writing a
// site's bytes under the program's own rules and keeping them on the disk.
// Usage: copy_whole SOURCE TARGET
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "util/AppError.h"
#include "util/Make.h"

namespace {

// The whole content of the file; raises std::runtime_error when it cannot be read.
std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("読めません：" + path);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw std::runtime_error("読めません：" + path);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc != 3) {
    std::cerr << "使い方: copy_whole 元のフォルダ 先のフォルダ\n";
    return 2;
  }
  const fs::path source = argv[1];
  const fs::path target = argv[2];
  std::error_code error;
  if (!fs::is_directory(source, error)) {
    std::cerr << "copy_whole: フォルダがありません：" << source.string() << "\n";
    return 2;
  }
  try {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(source)) {
      if (!entry.is_regular_file()) continue;
      const fs::path out = target / entry.path().lexically_relative(source);
      lanereport::MakeFile(out.string(), ReadWhole(entry.path().string()));
    }
    lanereport::FlushWrittenFiles();
  } catch (const lanereport::AppError& e) {
    std::cerr << "copy_whole: " << e.Description() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "copy_whole: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
