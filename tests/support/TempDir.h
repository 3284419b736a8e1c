#pragma once

#include <filesystem>
#include <random>
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
    // A random name that no other test holds: create_directory reports whether it made
    // the folder itself, so two tests (or two test programs) never share one.
    const auto base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const auto candidate = base / ("spl-test-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        _path = candidate.string();
        return;
      }
    }
    throw std::runtime_error("cannot create a temporary folder");
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
