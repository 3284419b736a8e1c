#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace brisendel {

class AudioFileReader;
class AudioFileWriter;
class PluginHost;
class ProgressBar;

// Renders a file on several threads with a result identical, bit for bit, to one
// plug-in instance rendering it from start to end. The file is cut into segments that
// start at multiples of the plug-in's hop; each worker renders its segments with a
// plug-in instance of its own, starting each segment one window early (the pre-roll)
// and pushing a whole number of hops, so that every window behind a kept output frame
// holds exactly the input frames it holds in the single-instance render, on the same
// hop grid. The overlap-add of two windows is then the same sum of the same two
// numbers. Frames before the file's start and after its end are silence in both.
//
// The calling thread reads the input and writes the output in order; `jobs` worker
// threads render. At most two segments per worker are in memory at once.
class SegmentedRender {
 public:
  // Makes a loaded plug-in instance with the chosen parameters, not yet started.
  // Called on worker threads, once per worker, possibly on several at once (each
  // host answers its own instance, so instances need not take turns).
  using InstanceFactory = std::function<std::unique_ptr<PluginHost>()>;

  // `latency`: the plug-in's reported delay; `hop`: frames between window starts
  // (the pre-roll is two hops, one window); `blockSize`: host block in frames.
  SegmentedRender(InstanceFactory factory, unsigned latency, unsigned hop, unsigned blockSize,
                  unsigned jobs);

  // Renders every frame of `reader` into `writer`, latency compensated. Rethrows the
  // first failure of any worker after all workers have stopped.
  void run(AudioFileReader& reader, AudioFileWriter& writer, ProgressBar& progress);

  // Frames per segment for a file of `frames` frames: about four segments per job for
  // an even load, but no fewer than 32 hops (each costs a pre-roll and a tail) while
  // every job still gets a segment, and at most 256 hops (memory); always a multiple
  // of the hop.
  std::uint64_t segmentLength(std::uint64_t frames) const;

 private:
  InstanceFactory _factory;
  unsigned _latency;
  unsigned _hop;
  unsigned _blockSize;
  unsigned _jobs;
};

}  // namespace brisendel
