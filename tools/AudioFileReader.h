#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;

namespace brisendel {

// Reads a stereo audio file of any format libsndfile decodes, from the start to the
// end, as samples of -1..1 (integer codings divided by 2^(bits-1)). Reading past the
// end gives silence, which is how a render pushes out the plug-in's tail. A file whose
// container declares more data than it holds is refused as damaged; one whose length
// is not declared (streamed to a pipe) is as long as what decodes. Owns the open file;
// one thread uses it.
class AudioFileReader {
 public:
  // Opens `path` and checks it is stereo. Throws ToolError naming the path: it does
  // not exist, is a folder, cannot be decoded, or has other than two channels.
  explicit AudioFileReader(const std::string& path);
  // The same, naming `shownPath` in its errors (the file may be a temporary one).
  AudioFileReader(const std::string& path, const std::string& shownPath);
  ~AudioFileReader();
  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  std::uint64_t getNumFrames() const { return _frames; }
  int getSampleRate() const { return _sampleRate; }
  // The libsndfile format (container | coding).
  int getFormat() const { return _format; }

  // Reads the next `frames` frames into `left` and `right` (each at least `frames`
  // long); frames past the end are zeros. Throws ToolError when the file ends or
  // fails to decode before the length it declared.
  void read(double* left, double* right, unsigned frames);
  // Decodes the rest of the file and returns the frames decoded from the start,
  // which are fewer than getNumFrames when a compressed stream breaks off early.
  std::uint64_t decodeToEnd();
  // The length comes from a container size that the bytes of the file bear out (not
  // from a compressed stream's header, nor counted by decoding).
  bool isLengthChecked() const { return _lengthChecked; }

 private:
  void close();

  std::string _path;  // as shown in errors
  sf_private_tag* _file = nullptr;
  std::uint64_t _frames = 0;
  std::uint64_t _position = 0;
  int _sampleRate = 0;
  int _format = 0;
  bool _lengthChecked = false;
  std::vector<double> _interleaved;
};

}  // namespace brisendel
