#include "tools/WaveHeader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "tools/ToolError.h"

namespace brisendel {

namespace {

std::uint32_t le16(const unsigned char* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t le32(const unsigned char* p) {
  return le16(p) | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// The tail shared by the sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE; the first two
// bytes hold the plain format tag.
const unsigned char GUID_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

WaveHeader WaveHeader::scan(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    throw ToolError(path + ": cannot open: " + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) throw ToolError(path + ": is a directory, not a WAVE file");
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ToolError(path + ": cannot open: " + std::strerror(errno));
  const auto fail = [&path](const std::string& problem) { throw ToolError(path + ": " + problem); };

  file.seekg(0, std::ios::end);
  const std::uint64_t fileSize = static_cast<std::uint64_t>(file.tellg());
  file.seekg(0);
  unsigned char riff[12] = {};
  if (fileSize < 12 || !file.read(reinterpret_cast<char*>(riff), 12) ||
      std::memcmp(riff, "RIFF", 4) != 0) {
    fail("not a WAVE file (no RIFF header)");
  }
  if (std::memcmp(riff + 8, "WAVE", 4) != 0) fail("not a WAVE file (a RIFF file of another kind)");

  WaveHeader header;
  bool haveFormat = false;
  bool haveData = false;
  std::uint32_t formatTag = 0;
  std::uint32_t blockAlign = 0;
  std::uint32_t bitsPerSample = 0;
  std::uint64_t dataBytes = 0;
  std::uint64_t position = 12;
  while (position + 8 <= fileSize) {
    unsigned char chunk[8];
    file.seekg(static_cast<std::streamoff>(position));
    if (!file.read(reinterpret_cast<char*>(chunk), 8)) fail("damaged header (cannot read a chunk)");
    const std::uint64_t size = le32(chunk + 4);
    const std::uint64_t body = position + 8;
    const std::uint64_t available = fileSize - body;
    const std::string id(reinterpret_cast<const char*>(chunk), 4);
    if (id == "fmt ") {
      if (size < 16) fail("damaged header (format chunk of " + std::to_string(size) + " bytes)");
      if (size > available) fail("damaged header (format chunk runs past the end of the file)");
      unsigned char format[40] = {};
      const std::uint64_t wanted = size < 40 ? size : 40;
      if (!file.read(reinterpret_cast<char*>(format), static_cast<std::streamsize>(wanted))) {
        fail("damaged header (cannot read the format chunk)");
      }
      formatTag = le16(format);
      header._numChannels = le16(format + 2);
      header._sampleRate = le32(format + 4);
      blockAlign = le16(format + 12);
      bitsPerSample = le16(format + 14);
      header._extensible = formatTag == FORMAT_EXTENSIBLE;
      if (header._extensible) {
        if (size < 40) fail("damaged header (extensible format chunk of " + std::to_string(size) + " bytes)");
        if (std::memcmp(format + 26, GUID_TAIL, sizeof(GUID_TAIL)) != 0) {
          fail("unsupported sample format (unknown extensible sub-format)");
        }
        formatTag = le16(format + 24);
      }
      haveFormat = true;
    } else if (id == "data") {
      if (size > available) {
        fail("damaged file (the data chunk declares " + std::to_string(size) + " bytes, but only " +
             std::to_string(available) + " follow)");
      }
      dataBytes = size;
      haveData = true;
    }
    position = body + size;
    // Writers that follow the container's rule pad a chunk of odd size with one
    // zero byte; chunk ids never start with zero, so a zero there is padding.
    if (size % 2 == 1 && position < fileSize) {
      char pad = 1;
      file.seekg(static_cast<std::streamoff>(position));
      if (file.get(pad) && pad == 0) ++position;
    }
  }
  if (!haveFormat) fail("damaged header (no format chunk)");
  if (!haveData) fail("damaged header (no data chunk)");

  if (formatTag != FORMAT_PCM && formatTag != FORMAT_FLOAT) {
    fail("unsupported sample format (format tag " + std::to_string(formatTag) +
         "; integer PCM and IEEE float are read)");
  }
  if (header._numChannels == 0) fail("damaged header (0 channels)");
  if (header._sampleRate == 0) fail("damaged header (a sample rate of 0 Hz)");
  const bool pcmSize = bitsPerSample == 8 || bitsPerSample == 16 || bitsPerSample == 24 || bitsPerSample == 32;
  const bool floatSize = bitsPerSample == 32 || bitsPerSample == 64;
  if ((formatTag == FORMAT_PCM && !pcmSize) || (formatTag == FORMAT_FLOAT && !floatSize)) {
    fail("unsupported sample format (" + std::to_string(bitsPerSample) + "-bit " +
         (formatTag == FORMAT_PCM ? "integer" : "float") + " samples)");
  }
  header._sampleFormat = formatTag;
  header._bytesPerSample = bitsPerSample / 8;
  if (blockAlign != header._bytesPerSample * header._numChannels) {
    fail("damaged header (a frame of " + std::to_string(blockAlign) + " bytes for " +
         std::to_string(header._numChannels) + " channels of " + std::to_string(bitsPerSample) + " bits)");
  }
  header._numFrames = static_cast<std::uint32_t>(dataBytes / blockAlign);
  return header;
}

std::string WaveHeader::describe() const {
  return std::to_string(_bytesPerSample * 8) + "-bit " + (_sampleFormat == FORMAT_FLOAT ? "float" : "PCM") +
         ", " + std::to_string(_sampleRate) + " Hz, " + std::to_string(_numChannels) + " ch";
}

}  // namespace brisendel
