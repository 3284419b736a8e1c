#include "tools/SegmentedRender.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/AudioFileReader.h"
#include "tools/AudioFileWriter.h"
#include "tools/PluginHost.h"
#include "tools/ProgressBar.h"

namespace brisendel {

namespace {

// One piece of work: input frames [first - preRoll, first + length + latency) of the
// file and, once rendered, output frames [first, first + length).
struct Segment {
  std::uint64_t first = 0;
  unsigned preRoll = 0;
  unsigned length = 0;
  std::vector<double> input[2];
  std::vector<double> output[2];
  bool done = false;
};

// The host callback of a loaded module answers from one process-wide state, which
// starting and stopping an instance rewrite: instances come and go one at a time.
std::mutex instanceLifetime;

}  // namespace

SegmentedRender::SegmentedRender(InstanceFactory factory, unsigned latency, unsigned hop,
                                 unsigned blockSize, unsigned jobs)
    : _factory(std::move(factory)),
      _latency(latency),
      _hop(hop),
      _blockSize(blockSize),
      _jobs(jobs) {}

std::uint64_t SegmentedRender::segmentLength(std::uint64_t frames) const {
  const std::uint64_t hops = (frames + _hop - 1) / _hop;
  const auto shareOf = [hops](std::uint64_t parts) { return (hops + parts - 1) / parts; };
  // Each segment costs a pre-roll and a tail of two hops each: keep segments of at
  // least 32 hops (an eighth of overhead at most) unless the jobs would go idle.
  const std::uint64_t perSegment =
      std::max(shareOf(4ull * _jobs), std::min<std::uint64_t>(32, shareOf(_jobs)));
  return std::clamp<std::uint64_t>(perSegment, 1, 256) * _hop;
}

void SegmentedRender::run(AudioFileReader& reader, AudioFileWriter& writer, ProgressBar& progress) {
  const std::uint64_t frames = reader.getNumFrames();
  const std::uint64_t length = segmentLength(frames);
  const double sampleRate = reader.getSampleRate();
  const unsigned preRollFull = 2 * _hop;

  std::mutex lock;
  std::condition_variable changed;
  std::deque<Segment*> waiting;  // read, not yet taken by a worker
  bool stopping = false;
  std::exception_ptr failure;

  // Each worker keeps one instance for all its segments: its first windows of a new
  // segment still hold the end of the previous one, but they fall in the pre-roll. A
  // segment pushes a whole number of hops (the file's last one is padded with
  // silence), so the instance stays on the file's hop grid whatever it renders next.
  const auto renderSegment = [this, sampleRate](std::unique_ptr<PluginHost>& host,
                                                Segment& segment) {
    if (!host) {
      const std::lock_guard<std::mutex> guard(instanceLifetime);
      host = _factory();
      host->start(sampleRate, static_cast<int>(_blockSize));
    }
    const std::size_t total = segment.input[0].size();
    const std::size_t pushed = (total + _hop - 1) / _hop * _hop;
    segment.input[0].resize(pushed, 0.0);
    segment.input[1].resize(pushed, 0.0);
    std::vector<double> out[2] = {std::vector<double>(_blockSize), std::vector<double>(_blockSize)};
    segment.output[0].assign(segment.length, 0.0);
    segment.output[1].assign(segment.length, 0.0);
    // Output frame k of this segment belongs to input frame k - latency; the
    // pre-roll's frames are dropped like the latency.
    const std::size_t keepFrom = std::size_t(segment.preRoll) + _latency;
    for (std::size_t at = 0; at < pushed; at += _blockSize) {
      const unsigned n = static_cast<unsigned>(std::min<std::size_t>(_blockSize, pushed - at));
      const double* inputs[2] = {segment.input[0].data() + at, segment.input[1].data() + at};
      double* outputs[2] = {out[0].data(), out[1].data()};
      host->process(inputs, outputs, static_cast<int>(n));
      for (unsigned i = 0; i < n; ++i) {
        const std::size_t frame = at + i;
        if (frame < keepFrom || frame - keepFrom >= segment.length) continue;
        segment.output[0][frame - keepFrom] = out[0][i];
        segment.output[1][frame - keepFrom] = out[1][i];
      }
    }
    segment.input[0] = {};
    segment.input[1] = {};
  };
  const auto release = [](std::unique_ptr<PluginHost>& host) {
    const std::lock_guard<std::mutex> guard(instanceLifetime);
    host.reset();
  };

  const auto work = [&]() {
    std::unique_ptr<PluginHost> host;
    for (;;) {
      Segment* segment = nullptr;
      {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return stopping || !waiting.empty(); });
        if (stopping) break;
        segment = waiting.front();
        waiting.pop_front();
      }
      try {
        renderSegment(host, *segment);
      } catch (...) {
        const std::lock_guard<std::mutex> guard(lock);
        if (!failure) failure = std::current_exception();
        stopping = true;
        changed.notify_all();
        break;
      }
      const std::lock_guard<std::mutex> guard(lock);
      segment->done = true;
      changed.notify_all();
    }
    release(host);
  };

  std::vector<std::thread> workers;
  const auto stopWorkers = [&]() {
    {
      const std::lock_guard<std::mutex> guard(lock);
      stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers) worker.join();
    workers.clear();
  };

  // The input frames read so far end at `readTo`; the last latency + pre-roll of them
  // are kept, since the next segment starts that far back.
  std::vector<double> history[2];
  std::uint64_t historyFrom = 0;
  std::uint64_t readTo = 0;
  std::uint64_t nextFirst = 0;
  std::uint64_t written = 0;
  std::deque<std::unique_ptr<Segment>> inFlight;  // in file order
  try {
    for (unsigned j = 0; j < _jobs; ++j) workers.emplace_back(work);
    while (written < frames) {
      while (nextFirst < frames && inFlight.size() < 2ull * _jobs) {
        auto segment = std::make_unique<Segment>();
        segment->first = nextFirst;
        segment->length = static_cast<unsigned>(std::min(length, frames - nextFirst));
        segment->preRoll = static_cast<unsigned>(std::min<std::uint64_t>(preRollFull, nextFirst));
        const std::uint64_t from = segment->first - segment->preRoll;
        const std::uint64_t to = segment->first + segment->length + _latency;
        const std::size_t fresh = static_cast<std::size_t>(to - readTo);
        for (int c = 0; c < 2; ++c) {
          std::vector<double>& input = segment->input[c];
          input.assign(history[c].begin() + static_cast<std::ptrdiff_t>(from - historyFrom),
                       history[c].end());
          input.resize(input.size() + fresh);
        }
        reader.read(segment->input[0].data() + (readTo - from),
                    segment->input[1].data() + (readTo - from), static_cast<unsigned>(fresh));
        readTo = to;
        const std::size_t kept =
            std::min<std::size_t>(std::size_t(preRollFull) + _latency, to - from);
        historyFrom = to - kept;
        for (int c = 0; c < 2; ++c)
          history[c].assign(segment->input[c].end() - static_cast<std::ptrdiff_t>(kept),
                            segment->input[c].end());
        nextFirst += segment->length;
        {
          const std::lock_guard<std::mutex> guard(lock);
          waiting.push_back(segment.get());
        }
        changed.notify_all();
        inFlight.push_back(std::move(segment));
      }
      Segment& front = *inFlight.front();
      {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [&] { return stopping || front.done; });
        if (!front.done) break;  // a worker failed
      }
      writer.write(front.output[0].data(), front.output[1].data(), front.length);
      written += front.length;
      progress.update(written);
      inFlight.pop_front();
    }
  } catch (...) {
    stopWorkers();
    throw;
  }
  stopWorkers();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace brisendel
