#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace spl_test {

// A fresh empty folder below the system's temporary folder ($TMPDIR or /tmp) for one
// test, removed with everything in it by the destructor.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "spl-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder");
    }
    _path = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return _path; }
  std::string file(const std::string& name) const { return _path + "/" + name; }
  // Names of every entry of the folder.
  std::vector<std::string> list() const {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(_path, ignored)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

 private:
  std::string _path;
};

}  // namespace spl_test
