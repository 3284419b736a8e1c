#pragma once

#include <stdexcept>
#include <string>

namespace brisendel {

// A failure the user caused or can fix (a missing file, a bad option, a plug-in that
// does not load). Its text is already the one line the program prints, so it names
// the file or option and the problem; main adds nothing but the program's name.
class ToolError : public std::runtime_error {
 public:
  explicit ToolError(const std::string& text) : std::runtime_error(text) {}
};

// A mistake on the command line: printed like a ToolError, followed by the usage.
class UsageError : public ToolError {
 public:
  explicit UsageError(const std::string& text) : ToolError(text) {}
};

}  // namespace brisendel
