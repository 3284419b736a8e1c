#include "spl/io/riff/RiffReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "spl/io/IntegerCodec.h"
#include "spl/util/Failure.h"

namespace spl {

namespace {
constexpr const char* kSource = "spl/io/riff/RiffReader";

// Bytes read from the file in one step of read(); a multiple of every sample size.
constexpr std::size_t kStepBytes = 3 * 8 * 1024;

// Enough of a format record to reach the sub-format of the extensible wrapper.
constexpr std::size_t kExtensibleSize = 40;

// The last 14 bytes of the sub-format GUIDs of the extensible wrapper; the first
// two hold the plain format code (1 integer PCM, 3 IEEE float).
constexpr unsigned char kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                         0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool readExactly(std::istream& in, unsigned char* bytes, std::size_t count) {
  in.read(reinterpret_cast<char*>(bytes), static_cast<std::streamsize>(count));
  return in.gcount() == static_cast<std::streamsize>(count);
}

bool seekTo(std::istream& in, std::uint64_t offset) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
  return !in.fail();
}
}  // namespace

RiffReader::RiffReader() = default;

RiffReader::~RiffReader() = default;

void RiffReader::open(const std::string& path) {
  close();
  open(std::make_unique<std::ifstream>(path, std::ios::in | std::ios::binary));
}

void RiffReader::open(std::unique_ptr<std::istream> stream) {
  close();
  const IntegerCodec codec;

  // The file's length bounds every chunk, so that no declared size can lead
  // the scan or a later read outside the bytes that are there.
  std::uint64_t fileSize = 0;
  if (stream != nullptr) {
    stream->seekg(0, std::ios::end);
    const std::streamoff end = stream->tellg();
    if (end > 0 && seekTo(*stream, 0)) fileSize = static_cast<std::uint64_t>(end);
  }

  unsigned char header[12];
  if (fileSize < 4 || !readExactly(*stream, header, 4) || std::memcmp(header, "RIFF", 4) != 0) {
    SPL_FAIL("not RIFF", kSource);
  }
  if (!readExactly(*stream, header + 4, 8) || std::memcmp(header + 8, "WAVE", 4) != 0) {
    SPL_FAIL("not RIFF Wave", kSource);
  }

  RiffWaveInfo info;
  std::uint32_t bitsPerSample = 0;
  bool haveFormat = false;
  bool haveData = false;
  std::uint64_t dataOffset = 0;
  std::uint64_t dataSize = 0;

  std::uint64_t position = 12;
  while (fileSize - position >= 8) {
    unsigned char chunk[8];
    if (!seekTo(*stream, position) || !readExactly(*stream, chunk, 8)) break;
    const auto size = static_cast<std::uint64_t>(codec.decode(chunk + 4, 4, false));
    position += 8;
    const std::uint64_t available = fileSize - position;

    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      unsigned char record[kExtensibleSize] = {};
      const std::size_t present =
          static_cast<std::size_t>(std::min<std::uint64_t>({size, available, kExtensibleSize}));
      if (present < RiffWaveInfo::FORMAT_SIZE || !readExactly(*stream, record, present)) {
        SPL_FAIL("format size", kSource);
      }
      info.parse(record, present);
      bitsPerSample = static_cast<std::uint32_t>(codec.decode(record + 14, 2, false));
      if (info.getFormatId() == RiffWaveInfo::FORMAT_EXTENSIBLE && present >= kExtensibleSize &&
          std::memcmp(record + 26, kGuidTail, sizeof kGuidTail) == 0) {
        const auto subFormat = static_cast<std::uint32_t>(codec.decode(record + 24, 2, false));
        if (subFormat == RiffWaveInfo::FORMAT_PCM || subFormat == RiffWaveInfo::FORMAT_FLOAT) {
          info.setFormatId(subFormat);
        }
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      // A size beyond the end (a truncated file, or one whose writer never
      // fixed the size) is cut to the bytes present.
      dataOffset = position;
      dataSize = std::min(size, available);
      haveData = true;
    }

    if (size > available) break;
    position += size;
    // Writers that follow the container's rule pad odd chunks with one zero
    // byte; a chunk id never starts with zero, so skipping it is safe for
    // writers that do not pad.
    if (size % 2 == 1 && position < fileSize) {
      unsigned char pad = 1;
      if (seekTo(*stream, position) && readExactly(*stream, &pad, 1) && pad == 0) ++position;
    }
  }

  if (!haveFormat) SPL_FAIL("no fmt chunk", kSource);
  if (info.getNumChannels() == 0) SPL_FAIL("number of channels", kSource);
  if (info.getNumSamplePerSec() == 0) SPL_FAIL("frames per second", kSource);
  const std::uint32_t formatId = info.getFormatId();
  // Integer samples narrower than their bytes (12 or 20 bits) sit left-justified
  // in containers of whole bytes, the low bits zero, and read as the container.
  if (formatId == RiffWaveInfo::FORMAT_PCM) info.setNumBytesPerSample((bitsPerSample + 7) / 8);
  const std::uint32_t bytesPerSample = info.getNumBytesPerSample();
  if (formatId == RiffWaveInfo::FORMAT_PCM) {
    if (bytesPerSample < 1 || bytesPerSample > IntegerCodec::MAX_BYTES) {
      SPL_FAIL("bits per sample", kSource);
    }
  } else if (formatId == RiffWaveInfo::FORMAT_FLOAT) {
    if (bitsPerSample % 8 != 0 || (bytesPerSample != 4 && bytesPerSample != 8)) {
      SPL_FAIL("bits per sample", kSource);
    }
  } else if (bytesPerSample == 0) {
    // Other formats are carried undecoded, but only with a defined frame size
    // (compressed formats of under 8 bits per sample have none).
    SPL_FAIL("unknown valuetype", kSource);
  }
  if (!haveData) SPL_FAIL("no data chunk", kSource);

  const std::uint64_t bytesPerFrame = std::uint64_t(bytesPerSample) * info.getNumChannels();
  stream->clear();
  _stream = std::move(stream);
  _info = info;
  _dataOffset = dataOffset;
  _frameCount = static_cast<unsigned>(dataSize / bytesPerFrame);
  _position = 0;
  if (_bytes.size() != kStepBytes) _bytes.assign(kStepBytes, 0);
}

void RiffReader::close() {
  _stream.reset();
  // A closed reader has nothing left to hand out: reads give silence.
  _position = 0;
  _frameCount = 0;
}

double RiffReader::decodeSample(const unsigned char* bytes) const {
  const unsigned numBytes = _info.getNumBytesPerSample();
  if (_info.getFormatId() == RiffWaveInfo::FORMAT_PCM) {
    return _integerPCM.decode(bytes, numBytes, numBytes != 1);
  }
  return _floatPCM.decode(bytes, numBytes);
}

void RiffReader::read(Clip& clip, unsigned length) {
  const unsigned channels = clip.getNumChannels();
  SPL_REQUIRE(channels == _info.getNumChannels(), "number of channels", kSource);
  if (_position == _frameCount) {
    for (unsigned p = 0; p < clip.getLength(); ++p) {
      for (unsigned c = 0; c < channels; ++c) clip.set(c, p, 0.0);
    }
    return;
  }

  clip.setLength(length);
  const unsigned n = std::min(length, _frameCount - _position);
  const std::uint32_t formatId = _info.getFormatId();
  // The format is tested per sample, so an empty read never fails on it.
  if (n > 0 && formatId != RiffWaveInfo::FORMAT_PCM && formatId != RiffWaveInfo::FORMAT_FLOAT) {
    SPL_FAIL("unknown valuetype", kSource);
  }

  const unsigned numBytes = _info.getNumBytesPerSample();
  const std::uint64_t bytesPerFrame = std::uint64_t(numBytes) * channels;
  std::uint64_t remaining = bytesPerFrame * n;
  std::size_t filled = 0;
  std::size_t cursor = 0;
  bool shortRead = !seekTo(*_stream, _dataOffset + bytesPerFrame * _position);
  for (unsigned f = 0; f < n && !shortRead; ++f) {
    for (unsigned c = 0; c < channels; ++c) {
      if (cursor == filled) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kStepBytes));
        _stream->read(reinterpret_cast<char*>(_bytes.data()), static_cast<std::streamsize>(want));
        const auto got = static_cast<std::size_t>(_stream->gcount());
        remaining -= want;
        // A file that shrank since it was opened: the frames that are gone
        // keep the 0.0 that setLength left.
        filled = got - got % numBytes;
        cursor = 0;
        if (filled == 0) {
          shortRead = true;
          break;
        }
      }
      clip.set(c, f, decodeSample(_bytes.data() + cursor));
      cursor += numBytes;
    }
  }
  _position += n;
}

void RiffReader::process(Clip& clip) { read(clip, clip.getLength()); }

void RiffReader::describe(std::ostream& out) const {
  _info.describe(out);
  const std::uint32_t rate = _info.getNumSamplePerSec();
  out << _frameCount << " sample, " << (rate == 0 ? 0 : _frameCount / rate) << " sec" << std::endl;
}

}  // namespace spl
