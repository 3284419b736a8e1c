#pragma once

#include <cstdint>
#include <string>

namespace brisendel {

// What an audio file's container declares about its sample data, read from the header
// itself: libsndfile reads a file whose data is cut short as far as the bytes go and
// reports the shorter length as the file's, so a download cut short would pass for a
// shorter song. Knows the containers that state their data's size in a header: RIFF
// and RIFX WAVE, RF64 and BW64, Sony Wave64, AIFF and AIFC, CAF and Sun/NeXT AU. Any
// other file is "not known" here; its length is what its decoder finds.
class ContainerDataSize {
 public:
  // Reads the header of the file at `path`; a file that cannot be read or parsed is
  // not known (the decoder reports what is wrong with it).
  static ContainerDataSize inspect(const std::string& path);

  // The container was recognised and its data chunk found.
  bool isKnown() const { return _known; }
  // The size field holds a placeholder that writers streaming to a pipe leave (they
  // cannot seek back to fill it in): the data runs to the end of the file.
  bool isStreamed() const { return _streamed; }
  // Bytes of sample data the header declares, and bytes that follow its start.
  std::uint64_t getDeclaredBytes() const { return _declared; }
  std::uint64_t getPresentBytes() const { return _present; }
  // A declared size that the file does not hold: the file was cut short.
  bool isCutShort() const { return _known && !_streamed && _present < _declared; }

 private:
  bool _known = false;
  bool _streamed = false;
  std::uint64_t _declared = 0;
  std::uint64_t _present = 0;
};

}  // namespace brisendel
