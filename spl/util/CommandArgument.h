#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace spl {

// A cursor over a program's arguments that takes typed values from the front
// (shift) and from the back (pop); the arguments still to be taken are those
// from _first to _last. A take from an empty cursor fails with "assertion
// error" and leaves the cursor unchanged. An argument that does not parse as
// the requested type gives 0 (or the empty text).
class CommandArgument {
 public:
  // Copies the first argc strings; argc of 0 or less gives an empty cursor.
  CommandArgument(int argc, const char* const* argv);
  explicit CommandArgument(const std::vector<std::string>& args);
  virtual ~CommandArgument() = default;

  double shiftDouble();
  double popDouble();
  std::int32_t shiftInt();
  std::int32_t popInt();
  // One whitespace-delimited word of the argument.
  std::string shiftString();
  std::string popString();

  // Gives the last argument taken from the front back; returns the new _first.
  std::int32_t unshift();
  // Gives the last argument taken from the back back.
  void unpop();

  // Arguments not yet taken.
  std::int32_t getRemaining() const { return _last - _first + 1; }
  bool isEmpty() const { return _first > _last; }

 private:
  std::vector<std::string> _args;
  std::int32_t _first = 0;
  std::int32_t _last = -1;
};

}  // namespace spl
