#pragma once

// The library's one way of reporting a broken precondition: a std::runtime_error
// whose text is  message " (at " source ", " line ") "  with the trailing blank.
// `source` is the path of the checking file without extension, e.g.
// "spl/clip/DefaultClip". Callers check before they change any state.

#include <string>

namespace spl {

// Builds the exception text; exposed so that tests and tools can compose it.
std::string failureText(const std::string& message, const char* source, unsigned line);

// Throws std::runtime_error with failureText(message, source, line).
[[noreturn]] void fail(const std::string& message, const char* source, unsigned line);

// Stops the process with the failed condition, the file and the line, in every
// build type (unlike assert, which NDEBUG silences). For preconditions only a
// programming error can break.
[[noreturn]] void assertionFailed(const char* condition, const char* file, unsigned line,
                                  const char* function);

}  // namespace spl

// Throws the library's error with the line of the check itself.
#define SPL_FAIL(message, source) ::spl::fail((message), (source), __LINE__)

// Fails with `message` unless `condition` holds.
#define SPL_REQUIRE(condition, message, source) \
  do {                                          \
    if (!(condition)) SPL_FAIL(message, source); \
  } while (0)

// Assertion that stays active in release builds.
#define SPL_ASSERT(condition) \
  ((condition) ? static_cast<void>(0) \
               : ::spl::assertionFailed(#condition, __FILE__, __LINE__, __func__))
