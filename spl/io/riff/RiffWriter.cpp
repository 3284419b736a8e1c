#include "spl/io/riff/RiffWriter.h"

#include <cstdint>
#include <cstring>

#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/io/riff/RiffWriter";

// Bytes encoded before they go to the file in one step; a multiple of every sample size.
constexpr std::size_t kStepBytes = 3 * 8 * 1024;

// The largest data size the 32-bit RIFF size field can still describe.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;
}  // namespace

RiffWriter::RiffWriter() = default;

RiffWriter::~RiffWriter() {
  try {
    close();
  } catch (...) {
    // A destructor cannot report; callers who need to know call close().
  }
}

void RiffWriter::open(const std::string& path, const RiffWaveInfo& info) {
  close();
  auto stream =
      std::make_unique<std::ofstream>(path, std::ios::out | std::ios::binary | std::ios::trunc);
  SPL_REQUIRE(stream->is_open(), "open", kSource);

  unsigned char header[HEADER_SIZE];
  std::memcpy(header + 0, "RIFF", 4);
  std::memcpy(header + 4, "    ", 4);
  std::memcpy(header + 8, "WAVE", 4);
  std::memcpy(header + 12, "fmt ", 4);
  _codec.encode(header + 16, 4, false, info.getFormatSize());
  info.serialize(header + 20, RiffWaveInfo::FORMAT_SIZE);
  std::memcpy(header + 36, "data", 4);
  std::memcpy(header + 40, "    ", 4);
  stream->write(reinterpret_cast<const char*>(header), HEADER_SIZE);
  SPL_REQUIRE(!stream->fail(), "open", kSource);

  _stream = std::move(stream);
  _info = info;
  _count = 0;
  if (_bytes.size() != kStepBytes) _bytes.assign(kStepBytes, 0);
}

void RiffWriter::close() {
  if (_stream == nullptr) return;
  const std::uint32_t dataBytes = _info.getNumBytesPerSample() * _count;
  unsigned char size[4];
  _codec.encode(size, 4, false, dataBytes);
  _stream->seekp(40);
  _stream->write(reinterpret_cast<const char*>(size), 4);
  _codec.encode(size, 4, false, 36.0 + dataBytes);
  _stream->seekp(4);
  _stream->write(reinterpret_cast<const char*>(size), 4);
  _stream->close();
  const bool failed = _stream->fail();
  _stream.reset();
  SPL_REQUIRE(!failed, "write", kSource);
}

void RiffWriter::encodeSample(unsigned char* bytes, double value) const {
  const unsigned numBytes = _info.getNumBytesPerSample();
  if (_info.getFormatId() == RiffWaveInfo::FORMAT_PCM) {
    _integerPCM.encode(bytes, numBytes, numBytes != 1, value);
  } else {
    _floatPCM.encode(bytes, numBytes, value);
  }
}

void RiffWriter::write(const Clip& clip) {
  // Writing into no file would lose the samples without a word.
  SPL_REQUIRE(_stream != nullptr, "not open", kSource);
  const unsigned channels = clip.getNumChannels();
  SPL_REQUIRE(channels == _info.getNumChannels(), "number of channels", kSource);
  const unsigned length = clip.getLength();
  const std::uint64_t samples = std::uint64_t(length) * channels;
  if (samples == 0) return;
  const std::uint32_t formatId = _info.getFormatId();
  if (formatId != RiffWaveInfo::FORMAT_PCM && formatId != RiffWaveInfo::FORMAT_FLOAT) {
    SPL_FAIL("unknown valuetype", kSource);
  }
  const unsigned numBytes = _info.getNumBytesPerSample();
  // Beyond this the header could no longer say how long the data is.
  SPL_REQUIRE((_count + samples) * numBytes <= kMaxDataBytes, "size", kSource);

  std::size_t filled = 0;
  std::size_t pending = 0;
  auto flush = [&] {
    _stream->write(reinterpret_cast<const char*>(_bytes.data()),
                   static_cast<std::streamsize>(filled));
    _count += static_cast<unsigned>(pending);
    filled = 0;
    pending = 0;
  };
  try {
    for (unsigned p = 0; p < length; ++p) {
      for (unsigned c = 0; c < channels; ++c) {
        if (filled + numBytes > _bytes.size()) flush();
        encodeSample(_bytes.data() + filled, clip.get(c, p));
        filled += numBytes;
        ++pending;
      }
    }
  } catch (...) {
    // The samples before the failure are written and counted.
    flush();
    throw;
  }
  flush();
  SPL_REQUIRE(!_stream->fail(), "write", kSource);
}

void RiffWriter::process(Clip& clip) { write(clip); }

}  // namespace spl
