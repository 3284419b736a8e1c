#include "spl/io/riff/RiffWaveInfo.h"

#include <sstream>

#include "spl/io/IntegerCodec.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/io/riff/RiffWaveInfo";
}

void RiffWaveInfo::parse(const unsigned char* bytes, std::size_t size) {
  SPL_REQUIRE(size >= FORMAT_SIZE, "size", kSource);
  const IntegerCodec codec;
  _formatId = static_cast<std::uint32_t>(codec.decode(bytes + 0, 2, false));
  _numChannels = static_cast<std::uint32_t>(codec.decode(bytes + 2, 2, false));
  _numSamplePerSec = static_cast<std::uint32_t>(codec.decode(bytes + 4, 4, false));
  _numBytesPerSample = static_cast<std::uint32_t>(codec.decode(bytes + 14, 2, false)) / 8;
}

void RiffWaveInfo::serialize(unsigned char* bytes, std::size_t size) const {
  SPL_REQUIRE(size >= FORMAT_SIZE, "size", kSource);
  const IntegerCodec codec;
  codec.encode(bytes + 0, 2, false, _formatId);
  codec.encode(bytes + 2, 2, false, _numChannels);
  codec.encode(bytes + 4, 4, false, _numSamplePerSec);
  codec.encode(bytes + 8, 4, false, getNumBytesPerSec());
  codec.encode(bytes + 12, 2, false, getNumBytesPerFrame());
  codec.encode(bytes + 14, 2, false, getNumBitsPerSample());
}

void RiffWaveInfo::describe(std::ostream& out) const {
  if (_formatId == FORMAT_PCM) {
    out << "Linear PCM Integer, ";
  } else if (_formatId == FORMAT_FLOAT) {
    out << "Linear PCM Floating Point, ";
  } else {
    out << "Unknown Format, ";
  }
  out << _numSamplePerSec << "Hz, " << getNumBitsPerSample() << "bits, " << _numChannels << "ch"
      << std::endl;
}

std::string RiffWaveInfo::toString() const {
  std::ostringstream out;
  out << "RiffWaveInfo[" << static_cast<const void*>(this) << "][_formatId=" << _formatId
      << ", _numChannels= " << _numChannels << ", _numSamplePerSec=" << _numSamplePerSec
      << "_numBytesPerSample=" << _numBytesPerSample << "]";
  return out.str();
}

}  // namespace spl
