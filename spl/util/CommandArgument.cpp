#include "spl/util/CommandArgument.h"

#include <sstream>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/util/CommandArgument";

constexpr unsigned kLineShiftDouble = 24;
constexpr unsigned kLinePopDouble = 33;
constexpr unsigned kLineShiftInt = 42;
constexpr unsigned kLinePopInt = 51;
constexpr unsigned kLineShiftString = 60;
constexpr unsigned kLinePopString = 69;
constexpr unsigned kLineUnshift = 78;
constexpr unsigned kLineUnpop = 83;

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
  SPL_REQUIRE_AT(_first <= _last, "assertion error", kSource, kLineShiftDouble);
  return extract<double>(_args[_first++]);
}

double CommandArgument::popDouble() {
  SPL_REQUIRE_AT(_first <= _last, "assertion error", kSource, kLinePopDouble);
  return extract<double>(_args[_last--]);
}

std::int32_t CommandArgument::shiftInt() {
  SPL_REQUIRE_AT(_first <= _last, "assertion error", kSource, kLineShiftInt);
  return extract<std::int32_t>(_args[_first++]);
}

std::int32_t CommandArgument::popInt() {
  SPL_REQUIRE_AT(_first <= _last, "assertion error", kSource, kLinePopInt);
  return extract<std::int32_t>(_args[_last--]);
}

std::string CommandArgument::shiftString() {
  SPL_REQUIRE_AT(_first <= _last, "assertion error", kSource, kLineShiftString);
  return extract<std::string>(_args[_first++]);
}

std::string CommandArgument::popString() {
  SPL_REQUIRE_AT(_first <= _last, "assertion error", kSource, kLinePopString);
  return extract<std::string>(_args[_last--]);
}

std::int32_t CommandArgument::unshift() {
  SPL_REQUIRE_AT(_first > 0, "assertion error", kSource, kLineUnshift);
  return --_first;
}

void CommandArgument::unpop() {
  SPL_REQUIRE_AT(_last < static_cast<std::int32_t>(_args.size()) - 1, "assertion error", kSource,
                 kLineUnpop);
  ++_last;
}

}  // namespace spl
