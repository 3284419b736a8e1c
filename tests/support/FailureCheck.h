#pragma once

// Checks a library failure as a whole. The text must be exactly
//   message " (at " source ", " line ") "
// and the line must be the check's own:
// - EXPECT_SPL_FAILURE: `line` of `source` (.cpp, else .h) starts an SPL_REQUIRE or
//   SPL_FAIL that raises this very message;
// - EXPECT_SPL_FAILURE_AT: `line` is the given fixed line, and `source` names it in a
//   kLine... constant that an SPL_REQUIRE_AT or SPL_FAIL_AT with this message uses.
// SPL_SOURCE_ROOT is the repository root.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace spl_test {

namespace detail {

inline std::vector<std::string> sourceLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(std::string(SPL_SOURCE_ROOT) + "/" + path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The statement starting at index `first`, up to its semicolon.
inline std::string statementAt(const std::vector<std::string>& lines, std::size_t first) {
  std::string statement;
  for (std::size_t i = first; i < lines.size() && i < first + 4; ++i) {
    statement += lines[i];
    if (lines[i].find(';') != std::string::npos) break;
  }
  return statement;
}

inline bool raisesAtLine(const std::vector<std::string>& lines, unsigned line,
                         const std::string& quoted) {
  if (line == 0 || line > lines.size()) return false;
  static const std::regex check(R"(\bSPL_(REQUIRE|FAIL)\()");
  return std::regex_search(lines[line - 1], check) &&
         statementAt(lines, line - 1).find(quoted) != std::string::npos;
}

inline bool raisesAtFixedLine(const std::vector<std::string>& lines, unsigned line,
                              const std::string& quoted) {
  const std::regex constant(R"(\b(kLine\w+) = )" + std::to_string(line) + ";");
  for (const std::string& declaration : lines) {
    std::smatch name;
    if (!std::regex_search(declaration, name, constant)) continue;
    const std::regex use(R"(\bSPL_(REQUIRE|FAIL)_AT\([\s\S]*\b)" + name[1].str() + R"(\))");
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string statement = statementAt(lines, i);
      if (lines[i].find("_AT(") != std::string::npos && std::regex_search(statement, use) &&
          statement.find(quoted) != std::string::npos) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace detail

// Whether `text` is the failure `message` raised in `source` at the line of its check
// (`fixedLine` 0) or at the given fixed line. For failures that arrive as text, such
// as the ones the plug-in reports to the user.
inline ::testing::AssertionResult isFailureText(const std::string& text, const std::string& message,
                                                const std::string& source, unsigned fixedLine = 0) {
  static const std::regex layout(R"(^[\s\S]* \(at [^,]*, ([0-9]+)\) $)");
  std::smatch m;
  if (!std::regex_match(text, m, layout)) {
    return ::testing::AssertionFailure() << "\"" << text << "\" is not a library failure";
  }
  const unsigned line = static_cast<unsigned>(std::stoul(m[1]));
  const unsigned expectedLine = fixedLine != 0 ? fixedLine : line;
  const std::string expected =
      message + " (at " + source + ", " + std::to_string(expectedLine) + ") ";
  if (text != expected) {
    return ::testing::AssertionFailure() << "\"" << text << "\", expected \"" << expected << "\"";
  }
  const std::string quoted = "\"" + message + "\"";
  for (const char* extension : {".cpp", ".h"}) {
    const std::vector<std::string> lines = detail::sourceLines(source + extension);
    if (fixedLine == 0 ? detail::raisesAtLine(lines, line, quoted)
                       : detail::raisesAtFixedLine(lines, line, quoted)) {
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure()
         << "no check in " << source << " raises " << quoted
         << (fixedLine != 0 ? " at the fixed line " : " at line ") << line;
}

// Whether `operation` fails with the library failure `message` from `source` (see
// isFailureText).
template <typename F>
::testing::AssertionResult failsWith(F&& operation, const std::string& message,
                                     const std::string& source, unsigned fixedLine = 0) {
  try {
    operation();
  } catch (const std::runtime_error& e) {
    return isFailureText(e.what(), message, source, fixedLine);
  }
  return ::testing::AssertionFailure() << "no failure, expected \"" << message << "\"";
}

}  // namespace spl_test

#define EXPECT_SPL_FAILURE(statement, message, source) \
  EXPECT_TRUE(::spl_test::failsWith([&] { statement; }, message, source))

#define EXPECT_SPL_FAILURE_AT(statement, message, source, line) \
  EXPECT_TRUE(::spl_test::failsWith([&] { statement; }, message, source, line))
