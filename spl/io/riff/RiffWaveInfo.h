#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

namespace spl {

// The sample format of a WAVE file: what its "fmt " chunk says, reduced to the
// four values the reader and writer need. Copied by value.
class RiffWaveInfo {
 public:
  static constexpr std::uint32_t FORMAT_PCM = 1;
  static constexpr std::uint32_t FORMAT_FLOAT = 3;
  static constexpr std::uint32_t FORMAT_EXTENSIBLE = 0xFFFE;
  // Bytes of the format record this class reads and writes.
  static constexpr std::uint32_t FORMAT_SIZE = 16;

  RiffWaveInfo() = default;
  RiffWaveInfo(std::uint32_t formatId, std::uint32_t numSamplePerSec, std::uint32_t numChannels,
               std::uint32_t numBytesPerSample)
      : _formatId(formatId),
        _numSamplePerSec(numSamplePerSec),
        _numChannels(numChannels),
        _numBytesPerSample(numBytesPerSample) {}
  virtual ~RiffWaveInfo() = default;

  // 1 linear PCM integer, 3 IEEE floating point; other values are carried only.
  std::uint32_t getFormatId() const { return _formatId; }
  void setFormatId(std::uint32_t formatId) { _formatId = formatId; }
  // Frames per second (Hz).
  std::uint32_t getNumSamplePerSec() const { return _numSamplePerSec; }
  void setNumSamplePerSec(std::uint32_t rate) { _numSamplePerSec = rate; }
  // Samples per frame.
  std::uint32_t getNumChannels() const { return _numChannels; }
  void setNumChannels(std::uint32_t numChannels) { _numChannels = numChannels; }
  // Bytes of one sample of one channel.
  std::uint32_t getNumBytesPerSample() const { return _numBytesPerSample; }
  void setNumBytesPerSample(std::uint32_t numBytes) { _numBytesPerSample = numBytes; }

  std::uint32_t getNumBytesPerFrame() const { return _numBytesPerSample * _numChannels; }
  std::uint32_t getNumBitsPerSample() const { return _numBytesPerSample * 8; }
  std::uint32_t getNumBytesPerSec() const {
    return _numBytesPerSample * _numChannels * _numSamplePerSec;
  }
  std::uint32_t getFormatSize() const { return FORMAT_SIZE; }

  // Reads the first 16 bytes of a format record; bits per sample become whole
  // bytes, the fraction dropped. Fails with "size" when size is below 16.
  void parse(const unsigned char* bytes, std::size_t size);
  // Writes a 16-byte format record. Fails with "size" when size is below 16.
  void serialize(unsigned char* bytes, std::size_t size) const;

  // One line such as "Linear PCM Integer, 44100Hz, 16bits, 2ch", flushed.
  void describe(std::ostream& out) const;
  std::string toString() const;

 private:
  std::uint32_t _formatId = 0;
  std::uint32_t _numSamplePerSec = 0;
  std::uint32_t _numChannels = 0;
  std::uint32_t _numBytesPerSample = 0;
};

}  // namespace spl
