#pragma once

#include <stdexcept>
#include <string>

namespace brisendel {

// A module that cannot be hosted: it does not load, has no VST 2.4 entry, is no
// stereo effect, or has no step the host asked for. Its text is one line that
// names the module's file and the problem, ready to be shown to the user.
class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace brisendel
