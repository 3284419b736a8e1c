#include "spl/clip/ClipAdapter.h"

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/clip/ClipAdapter";
}

void ClipAdapter::assign(const Clip&) { SPL_FAIL("unsupported", kSource); }
unsigned ClipAdapter::getNumChannels() const { SPL_FAIL("unsupported", kSource); }
unsigned ClipAdapter::getLength() const { SPL_FAIL("unsupported", kSource); }
double ClipAdapter::get(unsigned, unsigned) const { SPL_FAIL("unsupported", kSource); }
void ClipAdapter::set(unsigned, unsigned, const double&) { SPL_FAIL("unsupported", kSource); }
void ClipAdapter::setLength(unsigned) { SPL_FAIL("unsupported", kSource); }
std::string ClipAdapter::toString() const { SPL_FAIL("unsupported", kSource); }

}  // namespace spl
