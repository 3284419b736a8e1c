#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/WaveBytes.h"

// Helpers of the brisendel end-to-end tests: running the built program, and writing
// and reading WAVE files byte by byte, independently of the library's reader and
// writer, so that damaged and unusual files can be made and outputs checked exactly.
namespace tooltest {

struct RunResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

// How the child runs: a file size limit in bytes (0: none, as the test runs), with
// SIGXFSZ ignored (writes past the limit fail) or at its default (it kills).
struct RunLimits {
  unsigned long long fileSize = 0;
  bool fileSizeSignalIgnored = false;
};

// Runs brisendel with the arguments (no shell), standard input closed.
RunResult runBrisendel(const std::vector<std::string>& arguments, const RunLimits& limits = {});
// The plug-in built in this tree.
std::string pluginPath();

using spl_test::readFile;
using spl_test::TempDir;
using spl_test::writeFile;

// Interleaved stereo (or any channel count) samples and how they are stored.
struct Wave {
  unsigned formatTag = 1;  // 1 integer PCM, 3 float, 0xFFFE extensible
  unsigned subFormat = 1;  // for extensible files: 1 or 3
  unsigned channels = 2;
  unsigned sampleRate = 44100;
  unsigned bits = 16;
  std::vector<double> samples;  // interleaved, -1..1
  unsigned frames() const {
    return channels == 0 ? 0 : static_cast<unsigned>(samples.size() / channels);
  }
};

// A 32-bit float file of the test signal below.
Wave floatWave(unsigned frames, double amplitude);

// Encodes like the library's RIFF writer: integers scaled by 2^(bits-1) - 1 and rounded down.
std::vector<std::uint8_t> encodeWave(const Wave& wave);
// Decodes a plain PCM or float file (integers divided by 2^(bits-1), as brisendel
// and most audio programs read them); fails the test on anything else.
Wave readWave(const std::string& path);

// Any file libsndfile decodes: its format (container | coding) and its samples.
struct Audio {
  int format = 0;
  int sampleRate = 0;
  int channels = 0;
  std::vector<double> samples;  // interleaved, as libsndfile normalizes them
};
// Fails the test (and returns an empty Audio) when libsndfile cannot open the file.
Audio readAudio(const std::string& path);
// Writes interleaved stereo samples through libsndfile in `format` at `sampleRate`.
void writeAudio(const std::string& path, int format, int sampleRate,
                const std::vector<double>& samples);

// A reproducible test signal: tones, noise and an out-of-phase part, `frames` long.
std::vector<double> testSignal(unsigned frames, double amplitude);

// Processes interleaved stereo `input` directly through the library's imager inside
// the overlapped stream processor, removes the 4096-frame latency and returns exactly
// as many frames as were given.
std::vector<double> referenceRender(const std::vector<double>& input, double center, double side,
                                    bool autoGain, unsigned quality, int windowMode);

}  // namespace tooltest
