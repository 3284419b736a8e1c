#include "tools/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/RangedClip.h"
#include "spl/io/riff/RiffReader.h"
#include "spl/io/riff/RiffWaveInfo.h"
#include "spl/io/riff/RiffWriter.h"
#include "tools/PluginHost.h"
#include "tools/ProgressBar.h"
#include "tools/SafeOutputFile.h"
#include "tools/ToolError.h"
#include "tools/WaveHeader.h"

namespace brisendel {

namespace {

constexpr unsigned long long WAVE_HEADER_BYTES = 44;
// The RIFF size field (36 + data bytes) must fit 32 bits.
constexpr unsigned long long MAX_DATA_BYTES = 0xFFFFFFFFull - 36;

std::string channelProblem(unsigned channels) {
  if (channels == 1) return "mono file (1 channel); only stereo files can be rendered";
  return std::to_string(channels) + " channels; only stereo files can be rendered";
}

// The writer's failures concern the output (a full disk, a vanished folder).
void write(spl::RiffWriter& writer, const spl::Clip& clip, const std::string& outputPath) {
  try {
    writer.write(clip);
  } catch (const std::runtime_error& error) {
    throw ToolError(outputPath + ": cannot be written: " + error.what());
  }
}

void finish(spl::RiffWriter& writer, const std::string& outputPath) {
  try {
    writer.close();
  } catch (const std::runtime_error& error) {
    throw ToolError(outputPath + ": cannot be written: " + error.what());
  }
}

}  // namespace

RenderResult Renderer::render(const std::string& inputPath, const std::string& outputPath) {
  const WaveHeader input = WaveHeader::scan(inputPath);
  if (input.getNumChannels() != 2) throw ToolError(inputPath + ": " + channelProblem(input.getNumChannels()));

  const unsigned outFormat = _floatOutput ? WaveHeader::FORMAT_FLOAT : input.getSampleFormat();
  const unsigned outBytes = _floatOutput ? 4 : input.getBytesPerSample();
  const unsigned long long frames = input.getNumFrames();
  const unsigned long long dataBytes = frames * 2 * outBytes;
  if (dataBytes > MAX_DATA_BYTES) {
    throw ToolError(outputPath + ": the output would exceed the 4 GiB limit of a WAVE file");
  }

  SafeOutputFile output(outputPath, inputPath);
  spl::RiffWaveInfo info;
  info.setFormatId(outFormat);
  info.setNumSamplePerSec(input.getSampleRate());
  info.setNumChannels(2);
  info.setNumBytesPerSample(outBytes);

  RenderResult result;
  result.frames = frames;
  result.sampleRate = input.getSampleRate();
  result.outputFormat = std::to_string(outBytes * 8) + "-bit " +
                        (outFormat == WaveHeader::FORMAT_FLOAT ? "float" : "PCM") + ", " +
                        std::to_string(input.getSampleRate()) + " Hz, 2 ch";
  const bool limited = outFormat == WaveHeader::FORMAT_PCM;

  const auto started = std::chrono::steady_clock::now();
  spl::RiffReader reader;
  spl::RiffWriter writer;
  try {
    reader.open(inputPath);
  } catch (const std::runtime_error& error) {
    throw ToolError(inputPath + ": cannot be read: " + error.what());
  }
  try {
    writer.open(output.getTemporaryPath(), info);
  } catch (const std::runtime_error& error) {
    throw ToolError(outputPath + ": cannot be written: " + error.what());
  }
  if (reader.getFrameCount() != frames || reader.getInfo().getNumChannels() != 2) {
    throw ToolError(inputPath + ": cannot be read: the reader finds " + std::to_string(reader.getFrameCount()) +
                    " frames where the header promises " + std::to_string(frames));
  }

  _host.start(input.getSampleRate(), static_cast<int>(_blockSize));
  const unsigned long long latency =
      static_cast<unsigned long long>(std::max(0, _host.getLatency()));
  const unsigned long long toPush = frames + latency;

  spl::DefaultClip inClip(2, _blockSize);
  spl::DefaultClip outClip(2, _blockSize);
  ProgressBar progress(frames, input.getSampleRate(),
                       _progressAllowed && ProgressBar::wanted(frames, input.getSampleRate()),
                       "rendering");
  unsigned long long pushed = 0;
  unsigned long long produced = 0;
  unsigned long long toSkip = latency;
  try {
    while (produced < frames) {
      const unsigned n = static_cast<unsigned>(std::min<unsigned long long>(_blockSize, toPush - pushed));
      // Past the end the reader hands out silence: that pushes out the tail.
      inClip.setLength(n);
      reader.read(inClip, n);
      outClip.setLength(n);
      const double* inputs[2] = {inClip.channelData(0), inClip.channelData(1)};
      double* outputs[2] = {outClip.channelData(0), outClip.channelData(1)};
      _host.process(inputs, outputs, static_cast<int>(n));
      pushed += n;

      const unsigned skip = static_cast<unsigned>(std::min<unsigned long long>(toSkip, n));
      toSkip -= skip;
      const unsigned keep = static_cast<unsigned>(std::min<unsigned long long>(n - skip, frames - produced));
      if (keep == 0) continue;
      if (limited) {
        for (unsigned c = 0; c < 2; ++c) {
          const double* samples = outClip.channelData(c) + skip;
          for (unsigned i = 0; i < keep; ++i) {
            if (!(std::fabs(samples[i]) <= 1.0)) ++result.clipped;
          }
        }
      }
      spl::RangedClip kept(outClip, skip, keep);
      write(writer, kept, outputPath);
      produced += keep;
      progress.update(produced);
    }
    finish(writer, outputPath);
    reader.close();
  } catch (const ToolError&) {
    progress.finish();
    throw;
  } catch (const std::runtime_error& error) {
    progress.finish();
    throw ToolError(inputPath + ": rendering failed: " + error.what());
  }
  progress.finish();
  _host.stop();
  output.commit(WAVE_HEADER_BYTES + dataBytes);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return result;
}

}  // namespace brisendel
