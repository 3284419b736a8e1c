#include "spl/util/CommandArgument.h"

#include <sstream>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/util/CommandArgument";

// The line each check has always reported; tools and their users quote them.
constexpr unsigned kShiftDoubleLine = 24;
constexpr unsigned kPopDoubleLine = 33;
constexpr unsigned kShiftIntLine = 42;
constexpr unsigned kPopIntLine = 51;
constexpr unsigned kShiftStringLine = 60;
constexpr unsigned kPopStringLine = 69;
constexpr unsigned kUnshiftLine = 78;
constexpr unsigned kUnpopLine = 83;

template <typename T>
T extract(const std::string& text) {
  std::istringstream in(text);
  T value{};
  in >> value;
  return value;
}
}  // namespace

CommandArgument::CommandArgument(int argc, const char* const* argv) {
  for (int i = 0; i < argc; ++i) _args.emplace_back(argv[i]);
  _last = static_cast<std::int32_t>(_args.size()) - 1;
}

CommandArgument::CommandArgument(const std::vector<std::string>& args) : _args(args) {
  _last = static_cast<std::int32_t>(_args.size()) - 1;
}

double CommandArgument::shiftDouble() {
  if (_first > _last) fail("assertion error", kSource, kShiftDoubleLine);
  return extract<double>(_args[_first++]);
}

double CommandArgument::popDouble() {
  if (_first > _last) fail("assertion error", kSource, kPopDoubleLine);
  return extract<double>(_args[_last--]);
}

std::int32_t CommandArgument::shiftInt() {
  if (_first > _last) fail("assertion error", kSource, kShiftIntLine);
  return extract<std::int32_t>(_args[_first++]);
}

std::int32_t CommandArgument::popInt() {
  if (_first > _last) fail("assertion error", kSource, kPopIntLine);
  return extract<std::int32_t>(_args[_last--]);
}

std::string CommandArgument::shiftString() {
  if (_first > _last) fail("assertion error", kSource, kShiftStringLine);
  return extract<std::string>(_args[_first++]);
}

std::string CommandArgument::popString() {
  if (_first > _last) fail("assertion error", kSource, kPopStringLine);
  return extract<std::string>(_args[_last--]);
}

std::int32_t CommandArgument::unshift() {
  if (!(_first > 0)) fail("assertion error", kSource, kUnshiftLine);
  return --_first;
}

void CommandArgument::unpop() {
  if (!(_last < static_cast<std::int32_t>(_args.size()) - 1)) {
    fail("assertion error", kSource, kUnpopLine);
  }
  ++_last;
}

}  // namespace spl
