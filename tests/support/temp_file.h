// A file in a fresh temporary folder, removed with the folder when the object goes.
#pragma once

#include <string>

namespace morvane::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Writes `bytes` to a file of that name in the folder and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace morvane::testing
