#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

namespace brisendel {

// Writes a stereo audio file through libsndfile from samples of -1..1. Integer codings
// are rounded here to the nearest step of 2^-(bits-1), the same scale the reader
// divides by, and limited to full scale, so a file read and written back unchanged
// keeps every sample; float codings keep the values as they are. The encoder gets the
// frames in chunks of CHUNK_FRAMES whatever the callers' pieces (a lossy encoder's
// output depends on how its input is cut), so the same frames make the same file. Owns
// the open file; one thread uses it.
class AudioFileWriter {
 public:
  // Frames handed to libsndfile per call, the last chunk excepted.
  static constexpr unsigned CHUNK_FRAMES = 4096;

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
  // Finishes the file (the last chunk, headers, the encoder's last packets); a file
  // of no frames still gets its headers. Throws ToolError.
  void close();
  // Samples the written file does not hold as they came: beyond what the coding
  // holds and limited to full scale, or NaN (written as 0).
  std::uint64_t getClipped() const { return _clipped; }

 private:
  [[noreturn]] void fail(const std::string& why) const;
  // Hands the pending chunk to libsndfile.
  void flush();

  std::string _shownPath;
  sf_private_tag* _file = nullptr;
  int _container = 0;  // libsndfile's major format
  int _bits = 0;       // integer depth, 0 for float codings
  bool _limited = false;
  std::uint64_t _clipped = 0;
  std::uint64_t _written = 0;    // frames handed to libsndfile
  unsigned _pending = 0;         // frames waiting in the chunk
  std::vector<double> _doubles;  // the chunk, interleaved, for float codings
  std::vector<int> _integers;    // the chunk as left-justified codes, for integer codings
};

}  // namespace brisendel
