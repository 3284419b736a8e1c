#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

namespace brisendel {

// Writes a stereo audio file through libsndfile from samples of -1..1. Integer codings
// are rounded here to the nearest step of 2^-(bits-1), the same scale the reader
// divides by, and limited to full scale, so a file read and written back unchanged
// keeps every sample; float codings keep the values as they are. Owns the open file;
// one thread uses it.
class AudioFileWriter {
 public:
  // Creates `path` in `format` (container | coding) at `sampleRate` Hz. Errors name
  // `shownPath`, the name the user knows (the file itself may be a temporary one).
  AudioFileWriter(const std::string& path, const std::string& shownPath, int format,
                  int sampleRate);
  // Closes the file if close was not called; errors are then lost.
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Appends `frames` frames. Throws ToolError when they cannot all be written (a full
  // disk, a file size limit).
  void write(const double* left, const double* right, unsigned frames);
  // Finishes the file (headers, the encoder's last packets). Throws ToolError.
  void close();
  // Samples that were beyond full scale and limited to it (or NaN, written as 0).
  std::uint64_t getClipped() const { return _clipped; }

 private:
  [[noreturn]] void fail(const std::string& why) const;

  std::string _shownPath;
  sf_private_tag* _file = nullptr;
  int _bits = 0;  // integer depth, 0 for float codings
  bool _limited = false;
  std::uint64_t _clipped = 0;
  std::vector<double> _doubles;
  std::vector<int> _integers;
};

}  // namespace brisendel
