#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/io/FloatPCM.h"
#include "spl/io/IntegerPCM.h"
#include "spl/io/riff/RiffWaveInfo.h"
#include "spl/stream/StreamSource.h"

namespace spl {

// Reads the frames of an uncompressed WAVE file (integer PCM of 1 to 4 bytes or
// IEEE float of 4 or 8 bytes, also in the extensible wrapper) as clips, from
// the first frame on. Files are outside input: open rejects what cannot be read
// safely, and read never hands out a byte that is not in the file. Past the
// last frame (and while closed) reads give silence. Not for the audio thread:
// it reads from disk. Owns its stream.
class RiffReader : public BlockProcessor, public StreamSource {
 public:
  RiffReader();
  ~RiffReader() override;
  RiffReader(const RiffReader&) = delete;
  RiffReader& operator=(const RiffReader&) = delete;

  // Closes any open file, then opens the path and scans its chunks. A file
  // that cannot be read fails with the library's error and leaves the reader
  // closed.
  void open(const std::string& path);
  // The same over any seekable stream of bytes (for example a file held in
  // memory); the reader takes ownership.
  void open(std::unique_ptr<std::istream> stream);
  void close();
  bool isOpen() const { return _stream != nullptr; }

  // Sets the clip to `length` frames and fills them from the file; frames past
  // the end stay 0.0. With every frame handed out, clears the clip at its
  // current length instead. The clip must have the file's channel count.
  void read(Clip& clip, unsigned length) override;
  // read(clip, clip.getLength()).
  void process(Clip& clip) override;

  // The format line, then "<frames> sample, <seconds> sec", flushed.
  void describe(std::ostream& out) const;

  const RiffWaveInfo& getInfo() const { return _info; }
  // Frames already handed out.
  unsigned getPosition() const { return _position; }
  // Whole frames of the "data" chunk that the file really holds.
  unsigned getFrameCount() const { return _frameCount; }
  // File offset of the first sample byte.
  std::uint64_t getDataOffset() const { return _dataOffset; }

 private:
  double decodeSample(const unsigned char* bytes) const;

  std::unique_ptr<std::istream> _stream;
  unsigned _position = 0;
  unsigned _frameCount = 0;
  std::uint64_t _dataOffset = 0;
  RiffWaveInfo _info;
  IntegerPCM _integerPCM;
  FloatPCM _floatPCM;
  // Raw sample bytes of one read step; sized once, reused by every read.
  std::vector<unsigned char> _bytes;
};

}  // namespace spl
