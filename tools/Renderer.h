#pragma once

#include <cstdint>
#include <string>

#include "tools/SegmentedRender.h"

namespace brisendel {

class PluginHost;

// What one render did, for the summary line.
struct RenderResult {
  std::uint64_t frames = 0;
  double sampleRate = 0.0;
  double seconds = 0.0;       // wall-clock time of the render
  std::uint64_t clipped = 0;  // output samples beyond full scale, limited by the format
  std::string outputFormat;   // e.g. "FLAC 24-bit, 44100 Hz, 2 ch"
  unsigned jobs = 1;          // plug-in instances that rendered at once
};

// Renders a stereo audio file through a loaded effect, as a host renders offline: the
// file goes through in host blocks, the effect's reported latency is compensated (the
// first initialDelay output frames are dropped and the tail is pushed out with
// silence), so the output has the input's length and lines up with it frame for frame.
// The output's container follows its extension; its sample coding follows the input's
// (or 32-bit float). With more than one job the file is rendered in segments by fresh
// instances from the factory, with the same result (see SegmentedRender).
class Renderer {
 public:
  // `host` renders alone (one job) and tells the latency; `factory` makes the
  // instances of a render on several jobs.
  Renderer(PluginHost& host, SegmentedRender::InstanceFactory factory);

  // Host block length in frames, 1 to 1048576 (default 1024).
  void setBlockSize(unsigned frames) { _blockSize = frames; }
  void setFloatOutput(bool on) { _floatOutput = on; }
  // Plug-in instances rendering at once, at least 1 (default 1).
  void setJobs(unsigned jobs) { _jobs = jobs; }
  // Shows a progress bar on standard error for long files when it is a terminal.
  void setProgressAllowed(bool on) { _progressAllowed = on; }

  // Throws ToolError naming the file and the problem; OUT then does not change (it is
  // written under a temporary name, read back, and renamed when complete). A module
  // that is not Brisendel (by its unique identifier), or whose latency is no whole
  // number of hops, is refused before anything is read or written.
  RenderResult render(const std::string& inputPath, const std::string& outputPath);

 private:
  PluginHost& _host;
  SegmentedRender::InstanceFactory _factory;
  unsigned _blockSize = 1024;
  unsigned _jobs = 1;
  bool _floatOutput = false;
  bool _progressAllowed = true;
};

}  // namespace brisendel
