#pragma once

#include <cstdint>
#include <string>

namespace brisendel {

class PluginHost;

// What one render did, for the summary line.
struct RenderResult {
  std::uint64_t frames = 0;
  double sampleRate = 0.0;
  double seconds = 0.0;         // wall-clock time of the render
  std::uint64_t clipped = 0;    // output samples beyond full scale, limited by the integer format
  std::string outputFormat;     // e.g. "16-bit PCM, 44100 Hz, 2 ch"
};

// Renders a stereo WAVE file through a loaded effect, as a host renders offline: the
// file goes through in host blocks, the effect's reported latency is compensated (the
// first initialDelay output frames are dropped and the tail is pushed out with
// silence), so the output has the input's length and lines up with it frame for frame.
// The output takes the input's sample format and rate, or 32-bit float.
class Renderer {
 public:
  explicit Renderer(PluginHost& host) : _host(host) {}

  // Host block length in frames, 1 to 1048576 (default 1024).
  void setBlockSize(unsigned frames) { _blockSize = frames; }
  void setFloatOutput(bool on) { _floatOutput = on; }
  // Shows a progress bar on standard error for long files when it is a terminal.
  void setProgressAllowed(bool on) { _progressAllowed = on; }

  // Throws ToolError naming the file and the problem; OUT then does not change (it is
  // written under a temporary name and renamed when complete).
  RenderResult render(const std::string& inputPath, const std::string& outputPath);

 private:
  PluginHost& _host;
  unsigned _blockSize = 1024;
  bool _floatOutput = false;
  bool _progressAllowed = true;
};

}  // namespace brisendel
