#pragma once

#include <string>

namespace brisendel {

// A loaded shared library (a .so through dlopen, a .dll through LoadLibraryW),
// unloaded when the object goes. The one place where the host differs between
// POSIX systems and Windows; everything above it talks to the effect record only.
// Not thread-safe: one thread loads, looks up and unloads.
class SharedLibrary {
 public:
  // File name suffix of a plug-in module on this platform (".so" or ".dll").
  static const char* moduleSuffix();

  SharedLibrary() = default;
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  ~SharedLibrary();

  // Loads the library at `path` (UTF-8), unloading the one held before. On
  // failure returns false, holds nothing, and `why` says what the system said.
  bool open(const std::string& path, std::string& why);
  // Unloads the library; nothing happens when none is held.
  void close();
  bool isOpen() const { return _handle != nullptr; }
  // Address of the exported function `name`, or null when the library has none.
  void* function(const char* name) const;

 private:
  void* _handle = nullptr;
};

}  // namespace brisendel
