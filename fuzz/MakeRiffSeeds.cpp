// Writes the fuzzer's seed corpus into the folder given as the only argument:
// small files in every sample format the reader decodes, plus the layouts it
// has to cope with (extensible formats, extra and padded chunks, a long format
// record, data before its format, a truncated data chunk).

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "spl/clip/DefaultClip.h"
#include "spl/io/riff/RiffWaveInfo.h"
#include "spl/io/riff/RiffWriter.h"

namespace {

using Bytes = std::vector<unsigned char>;

void appendLE(Bytes& bytes, std::uint64_t value, unsigned numBytes) {
  for (unsigned i = 0; i < numBytes; ++i) bytes.push_back((value >> (8 * i)) & 0xFF);
}

Bytes chunk(const std::string& id, const Bytes& payload, std::uint64_t declared) {
  Bytes bytes(id.begin(), id.end());
  appendLE(bytes, declared, 4);
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

Bytes chunk(const std::string& id, const Bytes& payload) {
  return chunk(id, payload, payload.size());
}

Bytes record(unsigned formatId, unsigned channels, unsigned bits, const Bytes& extra = {}) {
  Bytes bytes;
  appendLE(bytes, formatId, 2);
  appendLE(bytes, channels, 2);
  appendLE(bytes, 8000, 4);
  appendLE(bytes, 8000 * channels * (bits / 8), 4);
  appendLE(bytes, channels * (bits / 8), 2);
  appendLE(bytes, bits, 2);
  bytes.insert(bytes.end(), extra.begin(), extra.end());
  return bytes;
}

Bytes extensible(unsigned channels, unsigned bits, unsigned subFormat) {
  Bytes extra;
  appendLE(extra, 22, 2);
  appendLE(extra, bits, 2);
  appendLE(extra, 3, 4);
  appendLE(extra, subFormat, 2);
  for (unsigned char b :
       {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}) {
    extra.push_back(b);
  }
  return record(0xFFFE, channels, bits, extra);
}

void writeRiff(const std::string& path, const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes bytes = {'R', 'I', 'F', 'F'};
  appendLE(bytes, body.size(), 4);
  bytes.insert(bytes.end(), body.begin(), body.end());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];

  struct Format {
    unsigned formatId, numBytes, channels;
  };
  for (const Format f : {Format{1, 1, 1}, Format{1, 2, 2}, Format{1, 3, 1}, Format{1, 4, 2},
                         Format{3, 4, 1}, Format{3, 8, 2}}) {
    spl::DefaultClip clip(f.channels, 5);
    for (unsigned c = 0; c < f.channels; ++c) {
      for (unsigned p = 0; p < 5; ++p) clip.set(c, p, std::sin(1.0 + p + c));
    }
    spl::RiffWriter writer;
    writer.open(dir + "/format" + std::to_string(f.formatId) + "-" + std::to_string(f.numBytes) +
                    "x" + std::to_string(f.channels) + ".wav",
                spl::RiffWaveInfo(f.formatId, 8000, f.channels, f.numBytes));
    writer.write(clip);
    writer.close();
  }

  const Bytes frames = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  writeRiff(dir + "/extensible-int24.wav",
            {chunk("fmt ", extensible(2, 24, 1)), chunk("data", frames)});
  writeRiff(dir + "/extensible-float32.wav",
            {chunk("fmt ", extensible(1, 32, 3)), chunk("data", frames)});
  writeRiff(dir + "/extensible-other.wav",
            {chunk("fmt ", extensible(1, 16, 2)), chunk("data", frames)});
  Bytes padded = chunk("note", {'a', 'b', 'c'});
  padded.push_back(0);
  writeRiff(dir + "/extra-chunks.wav",
            {chunk("LIST", {'I', 'N', 'F', 'O'}), padded, chunk("fmt ", record(1, 2, 16, {0, 0})),
             chunk("data", frames), chunk("smpl", Bytes(8, 0))});
  writeRiff(dir + "/data-first.wav", {chunk("data", frames), chunk("fmt ", record(1, 1, 8))});
  writeRiff(dir + "/truncated-data.wav",
            {chunk("fmt ", record(1, 2, 16)), chunk("data", frames, 0xFFFFFFFF)});
  writeRiff(dir + "/alaw.wav", {chunk("fmt ", record(6, 1, 8)), chunk("data", frames)});
  return 0;
}
