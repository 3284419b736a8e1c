#include "tools/Renderer.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "host/PluginHost.h"
#include "tools/AudioFileReader.h"
#include "tools/AudioFileWriter.h"
#include "tools/AudioFormat.h"
#include "tools/ProgressBar.h"
#include "tools/SafeOutputFile.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

// Brisendel's unique identifier ('1433'), as its record reports it to every host.
constexpr int BRISENDEL_UNIQUE_ID = 0x31343368;
// The longest latency a render takes on (frames): a window of Brisendel's is two hops,
// so its latency is even; far beyond any window it would only cost memory.
constexpr int MAX_LATENCY = 1 << 20;

// Segments meet on the hop grid of Brisendel's windows, which the tool learns as any
// host does: the latency in the record is one window, two hops. Another module's grid
// is unknown, and a latency that is no whole number of hops has none.
unsigned hopOf(const PluginHost& host) {
  const int id = host.getUniqueId();
  if (id != BRISENDEL_UNIQUE_ID) {
    char shown[16];
    std::snprintf(shown, sizeof(shown), "0x%08x", static_cast<unsigned>(id));
    throw ToolError(host.getPath() + ": not the Brisendel plug-in (unique id " + shown +
                    ", expected 0x31343368)");
  }
  const int latency = host.getLatency();
  if (latency <= 0 || latency % 2 != 0 || latency > MAX_LATENCY) {
    throw ToolError(host.getPath() + ": the plug-in reports a latency of " +
                    std::to_string(latency) + " frames; expected an even number from 2 to " +
                    std::to_string(MAX_LATENCY));
  }
  return static_cast<unsigned>(latency / 2);
}

// The RIFF size fields of a plain WAV or AIFF file are 32 bits.
constexpr std::uint64_t MAX_32BIT_DATA_BYTES = 0xFFFFFFFFull - 1024;

int bytesPerSample(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 1;
    case SF_FORMAT_PCM_16:
      return 2;
    case SF_FORMAT_PCM_24:
      return 3;
    case SF_FORMAT_DOUBLE:
      return 8;
    default:
      return 4;
  }
}

// Sends standard error to /dev/null while it lives (the process runs no other thread
// meanwhile).
class StandardErrorSilenced {
 public:
  StandardErrorSilenced() : _saved(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY);
    if (_saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~StandardErrorSilenced() {
    if (_saved < 0) return;
    dup2(_saved, STDERR_FILENO);
    close(_saved);
  }
  StandardErrorSilenced(const StandardErrorSilenced&) = delete;
  StandardErrorSilenced& operator=(const StandardErrorSilenced&) = delete;

 private:
  int _saved;
};

// Reads the finished temporary file back, for every format: a full disk can let a
// compressed format's last packets or a header rewrite fail without any error reaching
// the writer. A length the container declares and the file's bytes bear out is
// trusted; a compressed stream is decoded to its end.
void checkWritten(const std::string& temporaryPath, const std::string& outputPath,
                  std::uint64_t frames) {
  std::uint64_t found = 0;
  // A decoder may print its own complaint about a broken stream (mpg123 does); the
  // verdict below is the one line the user gets.
  const StandardErrorSilenced quiet;
  try {
    AudioFileReader written(temporaryPath, outputPath);
    found = written.isLengthChecked() ? written.getNumFrames() : written.decodeToEnd();
  } catch (const ToolError& error) {
    // The reader's line names the output already.
    std::string why = error.what();
    if (why.rfind(outputPath + ": ", 0) == 0) why.erase(0, outputPath.size() + 2);
    throw ToolError(outputPath + ": the output could not be written completely (" + why +
                    "; is the disk full?)");
  }
  if (found != frames) {
    throw ToolError(outputPath + ": the output could not be written completely (" +
                    std::to_string(found) + " of " + std::to_string(frames) +
                    " frames; is the disk full?)");
  }
}

}  // namespace

Renderer::Renderer(PluginHost& host, SegmentedRender::InstanceFactory factory)
    : _host(host), _factory(std::move(factory)) {}

RenderResult Renderer::render(const std::string& inputPath, const std::string& outputPath) {
  const unsigned hop = hopOf(_host);
  const unsigned latency = 2 * hop;
  AudioFileReader reader(inputPath);
  const std::uint64_t frames = reader.getNumFrames();
  const int sampleRate = reader.getSampleRate();
  // The output's name is checked (a folder, the input itself) before its type.
  SafeOutputFile output(outputPath, inputPath);
  const int format =
      AudioFormat::chooseOutput(outputPath, reader.getFormat(), _floatOutput, sampleRate);
  const int container = format & SF_FORMAT_TYPEMASK;
  if ((container == SF_FORMAT_WAV || container == SF_FORMAT_AIFF) &&
      frames * 2 * bytesPerSample(format) > MAX_32BIT_DATA_BYTES) {
    throw ToolError(outputPath + ": the output would exceed the 4 GiB limit of a " +
                    (container == SF_FORMAT_WAV ? "WAV" : "AIFF") +
                    " file; name it .rf64, .w64 or .flac");
  }

  // libsndfile writes an Opus stream of no packets that no decoder, its own included,
  // takes for a file.
  if (frames == 0 && (format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS) {
    throw ToolError(outputPath + ": an Ogg Opus file cannot be empty, and " + inputPath +
                    " holds no frames");
  }
  AudioFileWriter writer(output.getTemporaryPath(), outputPath, format, sampleRate);

  RenderResult result;
  result.frames = frames;
  result.sampleRate = sampleRate;
  result.outputFormat =
      AudioFormat::describe(format) + ", " + std::to_string(sampleRate) + " Hz, 2 ch";

  const auto started = std::chrono::steady_clock::now();
  ProgressBar progress(frames, sampleRate,
                       _progressAllowed && ProgressBar::wanted(frames, sampleRate), "rendering");
  result.jobs = _factory ? _jobs : 1;
  try {
    if (result.jobs > 1) {
      SegmentedRender segmented(_factory, latency, hop, _blockSize, _jobs);
      segmented.run(reader, writer, progress);
    } else {
      _host.start(sampleRate, static_cast<int>(_blockSize));
      const std::uint64_t toPush = frames + latency;
      std::vector<double> in[2] = {std::vector<double>(_blockSize),
                                   std::vector<double>(_blockSize)};
      std::vector<double> out[2] = {std::vector<double>(_blockSize),
                                    std::vector<double>(_blockSize)};
      std::uint64_t pushed = 0;
      std::uint64_t produced = 0;
      std::uint64_t toSkip = latency;
      while (produced < frames) {
        const unsigned n =
            static_cast<unsigned>(std::min<std::uint64_t>(_blockSize, toPush - pushed));
        // Past the end the reader hands out silence: that pushes out the tail.
        reader.read(in[0].data(), in[1].data(), n);
        const double* inputs[2] = {in[0].data(), in[1].data()};
        double* outputs[2] = {out[0].data(), out[1].data()};
        _host.process(inputs, outputs, static_cast<int>(n));
        pushed += n;
        const unsigned skip = static_cast<unsigned>(std::min<std::uint64_t>(toSkip, n));
        toSkip -= skip;
        const unsigned keep =
            static_cast<unsigned>(std::min<std::uint64_t>(n - skip, frames - produced));
        if (keep == 0) continue;
        writer.write(out[0].data() + skip, out[1].data() + skip, keep);
        produced += keep;
        progress.update(produced);
      }
      _host.stop();
    }
    writer.close();
  } catch (...) {
    progress.finish();
    throw;
  }
  progress.finish();
  result.clipped = writer.getClipped();
  checkWritten(output.getTemporaryPath(), outputPath, frames);
  output.commit();
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return result;
}

}  // namespace brisendel
