#pragma once

#include <cstdint>
#include <string>

namespace brisendel {

// The layout of a WAVE file as found by walking its chunks before any sample is read,
// so that a file the render cannot use is refused with a message that says why,
// instead of producing noise. Chunks are walked the way the library's reader walks
// them (a zero pad byte after an odd-sized chunk is skipped), but a data chunk that
// claims more bytes than the file holds is refused as damaged rather than cut short.
class WaveHeader {
 public:
  static constexpr std::uint32_t FORMAT_PCM = 1;
  static constexpr std::uint32_t FORMAT_FLOAT = 3;
  static constexpr std::uint32_t FORMAT_EXTENSIBLE = 0xFFFE;

  // Reads and checks the header of `path`. Throws ToolError ("PATH: problem") when the
  // file cannot be opened, is no RIFF WAVE file, is damaged (a chunk runs past the end
  // of the file, no format or data chunk, impossible format fields), or holds samples
  // the library cannot read (neither integer PCM of 8 to 32 bits nor 32/64-bit float,
  // also inside WAVE_FORMAT_EXTENSIBLE). The channel count is not checked here.
  static WaveHeader scan(const std::string& path);

  // PCM or FLOAT: the sample coding, with an extensible file's sub-format resolved.
  std::uint32_t getSampleFormat() const { return _sampleFormat; }
  bool isExtensible() const { return _extensible; }
  std::uint32_t getNumChannels() const { return _numChannels; }
  // Frames per second.
  std::uint32_t getSampleRate() const { return _sampleRate; }
  std::uint32_t getBytesPerSample() const { return _bytesPerSample; }
  std::uint32_t getNumFrames() const { return _numFrames; }
  // A short description such as "16-bit PCM, 44100 Hz, 2 ch".
  std::string describe() const;

 private:
  std::uint32_t _sampleFormat = 0;
  bool _extensible = false;
  std::uint32_t _numChannels = 0;
  std::uint32_t _sampleRate = 0;
  std::uint32_t _bytesPerSample = 0;
  std::uint32_t _numFrames = 0;
};

}  // namespace brisendel
