#pragma once

// The library's one way of reporting a broken precondition: a std::runtime_error
// whose text is  message " (at " source ", " line ") "  with the trailing blank.
// `source` is the path of the checking file without extension, e.g.
// "spl/clip/DefaultClip". Callers check before they change any state.
//
// Every check goes through the macros below; nothing calls fail() or
// assertionFailed() by hand.
//
// Fixed lines. The line number is part of the text callers see: hosts log it,
// tools print it and callers' tests compare it. Most checks report the line
// they stand on (SPL_FAIL, SPL_REQUIRE, SPL_ASSERT). A check whose reported
// line was settled before the code around it last moved keeps that number
// with the _AT forms, which take the line explicitly. The number is then a
// named constant beside the file's `kSource`, called kLine<What the check
// guards>, e.g. `constexpr unsigned kLineBlockLength = 21;`, so that a reader
// sees at once that it is not the line it stands on. Moving such a check never
// changes its text; moving code above a check of the first kind does, so before
// moving code above one, fix its current line with the _AT form.

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
#define SPL_REQUIRE(condition, message, source)  \
  do {                                           \
    if (!(condition)) SPL_FAIL(message, source); \
  } while (0)

// Assertion that stays active in release builds.
#define SPL_ASSERT(condition)         \
  ((condition) ? static_cast<void>(0) \
               : ::spl::assertionFailed(#condition, __FILE__, __LINE__, __func__))

// The same three with a fixed line (a kLine... constant, see above).
#define SPL_FAIL_AT(message, source, line) ::spl::fail((message), (source), (line))

#define SPL_REQUIRE_AT(condition, message, source, line)  \
  do {                                                    \
    if (!(condition)) SPL_FAIL_AT(message, source, line); \
  } while (0)

// Names `source` (not the compiler's file name) with the fixed line.
#define SPL_ASSERT_AT(condition, source, line) \
  ((condition) ? static_cast<void>(0)          \
               : ::spl::assertionFailed(#condition, (source), (line), __func__))
