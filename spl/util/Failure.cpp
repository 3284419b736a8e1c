#include "spl/util/Failure.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace spl {

std::string failureText(const std::string& message, const char* source, unsigned line) {
  std::string text = message;
  text += " (at ";
  text += source;
  text += ", ";
  text += std::to_string(line);
  text += ") ";
  return text;
}

void fail(const std::string& message, const char* source, unsigned line) {
  throw std::runtime_error(failureText(message, source, line));
}

void assertionFailed(const char* condition, const char* file, unsigned line, const char* function) {
  // The same line the standard assert prints, then the same abort.
  std::fprintf(stderr, "%s:%u: %s: Assertion `%s' failed.\n", file, line, function, condition);
  std::fflush(stderr);
  std::abort();
}

}  // namespace spl
