#pragma once

// Checks the library's failure text as a whole: exactly
//   message " (at " source ", " line ") "
// where `line` must be a line of `source` (.cpp, else .h) that starts the
// SPL_REQUIRE or SPL_FAIL raising this very message. SPL_SOURCE_ROOT is the repository root.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace spl_test {

inline std::vector<std::string> sourceLines(const std::string& source) {
  std::vector<std::string> lines;
  for (const char* ext : {".cpp", ".h"}) {
    std::ifstream in(std::string(SPL_SOURCE_ROOT) + "/" + source + ext);
    if (!in) continue;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    break;
  }
  return lines;
}

// The statement starting at `line` (1-based), up to its semicolon.
inline std::string statementAt(const std::vector<std::string>& lines, unsigned line) {
  std::string statement;
  for (unsigned i = line - 1; i < lines.size() && i < line + 3; ++i) {
    statement += lines[i];
    if (lines[i].find(';') != std::string::npos) break;
  }
  return statement;
}

template <typename F>
::testing::AssertionResult failsWith(F&& operation, const std::string& message,
                                     const std::string& source) {
  std::string text;
  try {
    operation();
    return ::testing::AssertionFailure() << "no failure, expected \"" << message << "\"";
  } catch (const std::runtime_error& e) {
    text = e.what();
  }
  static const std::regex layout(R"(^([\s\S]*) \(at ([^,]*), ([0-9]+)\) $)");
  std::smatch m;
  if (!std::regex_match(text, m, layout))
    return ::testing::AssertionFailure() << "text \"" << text << "\" has not the failure layout";
  const unsigned line = static_cast<unsigned>(std::stoul(m[3]));
  const std::string expected = message + " (at " + source + ", " + std::to_string(line) + ") ";
  if (text != expected)
    return ::testing::AssertionFailure() << "text \"" << text << "\", expected \"" << expected << "\"";
  const std::vector<std::string> lines = sourceLines(source);
  if (line == 0 || line > lines.size())
    return ::testing::AssertionFailure() << source << " has no line " << line;
  const std::string statement = statementAt(lines, line);
  const std::string& first = lines[line - 1];
  const bool isCheck = first.find("SPL_REQUIRE") != std::string::npos ||
                       first.find("SPL_FAIL") != std::string::npos;
  if (!isCheck || statement.find("\"" + message + "\"") == std::string::npos)
    return ::testing::AssertionFailure()
           << "line " << line << " of " << source << " does not raise \"" << message
           << "\": " << statement;
  return ::testing::AssertionSuccess();
}

}  // namespace spl_test

#define EXPECT_FAILS_WITH(statement, message, source) \
  EXPECT_TRUE(::spl_test::failsWith([&] { statement; }, message, source))
