#include "host/SharedLibrary.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace brisendel {

SharedLibrary::~SharedLibrary() { close(); }

#ifdef _WIN32

namespace {

// The system's text for the last error, without its trailing line break.
std::string lastErrorText() {
  const DWORD code = GetLastError();
  char* message = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
  std::string text = length != 0 && message != nullptr ? std::string(message, length)
                                                       : "error " + std::to_string(code);
  if (message != nullptr) LocalFree(message);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

// Paths arrive as UTF-8; LoadLibraryW takes UTF-16, so names outside the
// ANSI code page load too.
std::wstring widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                      wide.data(), size);
  return wide;
}

}  // namespace

const char* SharedLibrary::moduleSuffix() { return ".dll"; }

bool SharedLibrary::open(const std::string& path, std::string& why) {
  close();
  const std::wstring widePath = widen(path);
  if (widePath.empty()) {
    why = "the path is empty or not UTF-8";
    return false;
  }
  HMODULE module = LoadLibraryW(widePath.c_str());
  if (module == nullptr) {
    why = lastErrorText();
    return false;
  }
  _handle = module;
  return true;
}

void SharedLibrary::close() {
  if (_handle == nullptr) return;
  FreeLibrary(static_cast<HMODULE>(_handle));
  _handle = nullptr;
}

void* SharedLibrary::function(const char* name) const {
  if (_handle == nullptr) return nullptr;
  const FARPROC address = GetProcAddress(static_cast<HMODULE>(_handle), name);
  void* result = nullptr;
  static_assert(sizeof(address) == sizeof(result), "function and object pointers differ");
  std::memcpy(&result, &address, sizeof(result));
  return result;
}

#else

const char* SharedLibrary::moduleSuffix() { return ".so"; }

bool SharedLibrary::open(const std::string& path, std::string& why) {
  close();
  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* text = dlerror();
    why = text != nullptr ? text : "unknown reason";
    return false;
  }
  _handle = handle;
  return true;
}

void SharedLibrary::close() {
  if (_handle == nullptr) return;
  dlclose(_handle);
  _handle = nullptr;
}

void* SharedLibrary::function(const char* name) const {
  return _handle != nullptr ? dlsym(_handle, name) : nullptr;
}

#endif

}  // namespace brisendel
