#pragma once

#include <stdexcept>
#include <string>

namespace spl_test {

// Runs f and returns the text of the std::runtime_error it throws, "" if none.
template <typename F>
std::string errorOf(F&& f) {
  try {
    f();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

}  // namespace spl_test
