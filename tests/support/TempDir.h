#pragma once

#include <string>

namespace lanereport::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Path() ends without "/".
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Reads a whole file as bytes; "" when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace lanereport::testing
