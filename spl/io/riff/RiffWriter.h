#pragma once

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "spl/block/BlockProcessor.h"
#include "spl/io/FloatPCM.h"
#include "spl/io/IntegerCodec.h"
#include "spl/io/IntegerPCM.h"
#include "spl/io/riff/RiffWaveInfo.h"
#include "spl/stream/StreamSink.h"

namespace spl {

// Writes clips into a new uncompressed WAVE file: a 44-byte header ("RIFF",
// "fmt " of 16 bytes, "data") and then the samples frame by frame. The two
// size fields hold blanks until close (or destruction) writes them. Not for
// the audio thread: it writes to disk. Owns its stream.
class RiffWriter : public BlockProcessor, public StreamSink {
 public:
  static constexpr unsigned HEADER_SIZE = 44;

  RiffWriter();
  // Closes the file; a failure to finish it cannot be reported here.
  ~RiffWriter() override;
  RiffWriter(const RiffWriter&) = delete;
  RiffWriter& operator=(const RiffWriter&) = delete;

  // Closes any open file, then creates or truncates the path and writes the
  // header. Fails with "open" when the file cannot be created.
  void open(const std::string& path, const RiffWaveInfo& info);
  // Writes the size fields and closes the file. Fails with "write" when the
  // file system lost any of it (the file is closed all the same).
  void close();
  bool isOpen() const { return _stream != nullptr; }

  // Appends every frame of the clip, which must have the info's channel count.
  void write(const Clip& clip) override;
  // write(clip); the clip is left as it was.
  void process(Clip& clip) override;

  const RiffWaveInfo& getInfo() const { return _info; }
  // Samples written so far, every channel's sample counted.
  unsigned getCount() const { return _count; }

 private:
  void encodeSample(unsigned char* bytes, double value) const;

  std::unique_ptr<std::ofstream> _stream;
  RiffWaveInfo _info;
  unsigned _count = 0;
  IntegerCodec _codec;
  IntegerPCM _integerPCM;
  FloatPCM _floatPCM;
  // Encoded bytes of one write step; sized once, reused by every write.
  std::vector<unsigned char> _bytes;
};

}  // namespace spl
