#include "tools/SegmentedRender.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/PluginHost.h"
#include "tools/AudioFileReader.h"
#include "tools/AudioFileWriter.h"
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

// The input frames a segment shares with the one before it: the last `capacity`
// frames read, which the next segment's pre-roll and latency read again.
class InputHistory {
 public:
  explicit InputHistory(std::size_t capacity) : _capacity(capacity) {}

  // Copies the kept frames from file frame `from` on to the start of `input`; returns
  // how many there were.
  std::size_t copyInto(std::uint64_t from, std::vector<double> input[2]) const {
    const auto skip = static_cast<std::ptrdiff_t>(from - _from);
    for (int c = 0; c < 2; ++c) input[c].assign(_frames[c].begin() + skip, _frames[c].end());
    return _frames[0].size() - static_cast<std::size_t>(skip);
  }
  // Keeps the end of `input`, whose last frame is file frame `to` - 1.
  void keepEndOf(const std::vector<double> input[2], std::uint64_t to) {
    const std::size_t kept = std::min(_capacity, input[0].size());
    _from = to - kept;
    for (int c = 0; c < 2; ++c)
      _frames[c].assign(input[c].end() - static_cast<std::ptrdiff_t>(kept), input[c].end());
  }

 private:
  std::size_t _capacity;
  std::uint64_t _from = 0;  // file frame of _frames' first
  std::vector<double> _frames[2];
};

// The input side, on the calling thread: reads the file once, in order, and hands out
// each segment's input from the history and fresh frames.
class SegmentReader {
 public:
  SegmentReader(AudioFileReader& reader, unsigned overlap) : _reader(reader), _history(overlap) {}

  // Fills the segment's input with file frames [from, to); `from` lies at most the
  // overlap before the end of what was read.
  void fill(Segment& segment, std::uint64_t from, std::uint64_t to) {
    const std::size_t kept = _history.copyInto(from, segment.input);
    const auto fresh = static_cast<std::size_t>(to - _readTo);
    for (std::vector<double>& input : segment.input) input.resize(kept + fresh);
    _reader.read(segment.input[0].data() + kept, segment.input[1].data() + kept,
                 static_cast<unsigned>(fresh));
    _readTo = to;
    _history.keepEndOf(segment.input, to);
  }

 private:
  AudioFileReader& _reader;
  InputHistory _history;
  std::uint64_t _readTo = 0;
};

// Renders one segment with `host`, which has rendered the segments before it (or none).
// The segment pushes a whole number of hops (the file's last one is padded with
// silence), so the instance stays on the file's hop grid whatever it renders next; its
// first windows still hold the end of the previous segment, but they fall in the
// pre-roll.
void renderSegment(PluginHost& host, Segment& segment, unsigned latency, unsigned hop,
                   unsigned blockSize) {
  const std::size_t total = segment.input[0].size();
  const std::size_t pushed = (total + hop - 1) / hop * hop;
  segment.input[0].resize(pushed, 0.0);
  segment.input[1].resize(pushed, 0.0);
  std::vector<double> out[2] = {std::vector<double>(blockSize), std::vector<double>(blockSize)};
  segment.output[0].assign(segment.length, 0.0);
  segment.output[1].assign(segment.length, 0.0);
  // Output frame k of this segment belongs to input frame k - latency; the pre-roll's
  // frames are dropped like the latency.
  const std::size_t keepFrom = std::size_t(segment.preRoll) + latency;
  for (std::size_t at = 0; at < pushed; at += blockSize) {
    const unsigned n = static_cast<unsigned>(std::min<std::size_t>(blockSize, pushed - at));
    const double* inputs[2] = {segment.input[0].data() + at, segment.input[1].data() + at};
    double* outputs[2] = {out[0].data(), out[1].data()};
    host.process(inputs, outputs, static_cast<int>(n));
    for (unsigned i = 0; i < n; ++i) {
      const std::size_t frame = at + i;
      if (frame < keepFrom || frame - keepFrom >= segment.length) continue;
      segment.output[0][frame - keepFrom] = out[0][i];
      segment.output[1][frame - keepFrom] = out[1][i];
    }
  }
  segment.input[0] = {};
  segment.input[1] = {};
}

// The worker threads: each takes segments in the order they were submitted, renders
// them with a plug-in instance of its own (made on its first segment, kept for the
// rest) and marks them done. The first failure stops every worker and is kept.
class WorkerPool {
 public:
  using RenderFunction = std::function<void(PluginHost&, Segment&)>;

  WorkerPool(unsigned jobs, const SegmentedRender::InstanceFactory& factory, double sampleRate,
             unsigned blockSize, RenderFunction render)
      : _factory(factory),
        _sampleRate(sampleRate),
        _blockSize(blockSize),
        _render(std::move(render)) {
    for (unsigned j = 0; j < jobs; ++j) _workers.emplace_back([this] { work(); });
  }
  ~WorkerPool() { stop(); }
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void submit(Segment& segment) {
    {
      const std::lock_guard<std::mutex> guard(_lock);
      _waiting.push_back(&segment);
    }
    _changed.notify_all();
  }
  // Waits until the segment is rendered; false when a worker failed first.
  bool waitFor(const Segment& segment) {
    std::unique_lock<std::mutex> guard(_lock);
    _changed.wait(guard, [&] { return _stopping || segment.done; });
    return segment.done;
  }
  // Stops the workers, waits for them, and rethrows the first failure of any.
  void finish() {
    stop();
    if (_failure) std::rethrow_exception(_failure);
  }

 private:
  void stop() {
    {
      const std::lock_guard<std::mutex> guard(_lock);
      _stopping = true;
    }
    _changed.notify_all();
    for (std::thread& worker : _workers) worker.join();
    _workers.clear();
  }

  void work() {
    std::unique_ptr<PluginHost> host;
    for (;;) {
      Segment* segment = nullptr;
      {
        std::unique_lock<std::mutex> guard(_lock);
        _changed.wait(guard, [&] { return _stopping || !_waiting.empty(); });
        if (_stopping) return;
        segment = _waiting.front();
        _waiting.pop_front();
      }
      try {
        if (!host) {
          host = _factory();
          host->start(_sampleRate, static_cast<int>(_blockSize));
        }
        _render(*host, *segment);
      } catch (...) {
        const std::lock_guard<std::mutex> guard(_lock);
        if (!_failure) _failure = std::current_exception();
        _stopping = true;
        _changed.notify_all();
        return;
      }
      const std::lock_guard<std::mutex> guard(_lock);
      segment->done = true;
      _changed.notify_all();
    }
  }

  const SegmentedRender::InstanceFactory& _factory;
  double _sampleRate;
  unsigned _blockSize;
  RenderFunction _render;
  std::mutex _lock;
  std::condition_variable _changed;
  std::deque<Segment*> _waiting;  // read, not yet taken by a worker
  bool _stopping = false;
  std::exception_ptr _failure;
  std::vector<std::thread> _workers;
};

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

// The scheduler: cuts the file into segments, keeps two per worker in flight, and
// writes the rendered ones in file order.
void SegmentedRender::run(AudioFileReader& reader, AudioFileWriter& writer, ProgressBar& progress) {
  const std::uint64_t frames = reader.getNumFrames();
  const std::uint64_t length = segmentLength(frames);
  const unsigned preRollFull = 2 * _hop;
  SegmentReader input(reader, preRollFull + _latency);
  // Declared before the pool, which joins its workers before the segments they may
  // still hold go.
  std::deque<std::unique_ptr<Segment>> inFlight;  // in file order
  WorkerPool pool(_jobs, _factory, reader.getSampleRate(), _blockSize,
                  [this](PluginHost& host, Segment& segment) {
                    renderSegment(host, segment, _latency, _hop, _blockSize);
                  });
  std::uint64_t nextFirst = 0;
  for (std::uint64_t written = 0; written < frames;) {
    while (nextFirst < frames && inFlight.size() < 2ull * _jobs) {
      auto segment = std::make_unique<Segment>();
      segment->first = nextFirst;
      segment->length = static_cast<unsigned>(std::min(length, frames - nextFirst));
      segment->preRoll = static_cast<unsigned>(std::min<std::uint64_t>(preRollFull, nextFirst));
      input.fill(*segment, segment->first - segment->preRoll,
                 segment->first + segment->length + _latency);
      nextFirst += segment->length;
      pool.submit(*segment);
      inFlight.push_back(std::move(segment));
    }
    const Segment& front = *inFlight.front();
    if (!pool.waitFor(front)) break;  // a worker failed: finish rethrows it
    writer.write(front.output[0].data(), front.output[1].data(), front.length);
    written += front.length;
    progress.update(written);
    inFlight.pop_front();
  }
  pool.finish();
}

}  // namespace brisendel
