#pragma once

#include <string>

namespace brisendel {

// The file formats brisendel reads and writes, in libsndfile's terms: a format is a
// container (major) and a sample coding (sub) ORed together, as in SF_INFO::format.
// Which container an output gets follows the output's file name extension; which
// coding follows the input's, as far as the container holds it.
class AudioFormat {
 public:
  // The container for an output path, from its extension (case-insensitive): .wav
  // .wave, .rf64, .w64, .aif .aiff .aifc, .caf, .flac, .ogg .oga (Vorbis), .opus,
  // .mp3. Throws ToolError naming the path and the extensions known otherwise.
  static int containerFor(const std::string& outputPath);
  // The full format (container and coding) an output gets: the input's coding when the
  // container holds it, else the nearest coding it holds (integer depth kept or raised,
  // float where there is float); lossy containers take their own codec. With
  // `floatSamples` only 32-bit float will do. Throws ToolError naming the output and
  // the combination when the container cannot hold it at this rate (Hz) in stereo.
  static int chooseOutput(const std::string& outputPath, int inputFormat, bool floatSamples,
                          int sampleRate);

  // Bits of an integer PCM coding (8, 16, 24, 32), or 0 for float, lossy and others.
  static int integerBits(int format);
  // A short text such as "FLAC 24-bit", "WAV 32-bit float" or "Ogg Vorbis".
  static std::string describe(int format);
  // libsndfile's text of a failure, without its "Error : " or "System error : " head
  // and final full stop, to end one of brisendel's lines.
  static std::string failureText(const char* text);
};

}  // namespace brisendel
