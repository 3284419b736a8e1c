// Renders generated signals through Brisendel's VST 2 module and compares
// renders, for the checks that two builds of the effect compute the same sound.
//
//   render_compare signal <signal.wav>
//   render_compare lv2 <module> <signal.wav> <lv2 render.wav>
//                  <center> <side> <autogain> <quality> <window>
//   render_compare render <module> <render file>
//   render_compare compare <reference render file> <other render file>
//
// The LV2 bundle against the VST 2 module, through files as users meet them
// (tests/formats/lv2/check-bundle.sh): `signal` writes a generated stereo
// signal as a 32-bit float WAVE file; `lv2` renders it through the module's
// single-precision path at the given LV2 port values (percent, 0 or 1, 1..9,
// 0 (A) or 1 (B)) and compares the result with what lv2apply rendered from
// it: equal sample for sample.
//
// One build against another (scripts/test-windows.sh, scripts/test-aarch64.sh):
// `render` renders one generated signal at Quality 1, 5 and 9 with both
// windows on the double path and writes the output as raw doubles; `compare`
// compares two such files within 1e-12 of the first one's peak. Different
// compilers, C runtimes and maths libraries must still give the same sound.
//
// The WAVE files go through the library's own reader and writer, so the
// program builds for every target the module builds for.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/vst2/VSTPlugin.h"
#include "host/PluginHost.h"
#include "spl/clip/DefaultClip.h"
#include "spl/io/riff/RiffReader.h"
#include "spl/io/riff/RiffWriter.h"

namespace {

constexpr int kRate = 44100;
// Blocks the renders are cut into: never lined up with the hop.
constexpr int kBlock = 1000;
// A render whose peak stays below this is silent, and would agree with anything.
constexpr double kAudible = 0.01;

// Two channels of samples.
template <typename Sample>
struct Stereo {
  std::vector<Sample> left, right;
};

void processBlock(brisendel::PluginHost& host, float* in[2], float* out[2], int frames) {
  host.processFloat(in, out, frames);
}

void processBlock(brisendel::PluginHost& host, double* in[2], double* out[2], int frames) {
  host.process(in, out, frames);
}

// What the started host renders from `input`, sent in blocks of kBlock frames.
template <typename Sample>
Stereo<Sample> renderBlocks(brisendel::PluginHost& host, Stereo<Sample> input) {
  const std::size_t frames = input.left.size();
  Stereo<Sample> output{std::vector<Sample>(frames), std::vector<Sample>(frames)};
  for (std::size_t pos = 0; pos < frames; pos += kBlock) {
    const int n = static_cast<int>(std::min<std::size_t>(kBlock, frames - pos));
    Sample* in[2] = {&input.left[pos], &input.right[pos]};
    Sample* out[2] = {&output.left[pos], &output.right[pos]};
    processBlock(host, in, out, n);
  }
  return output;
}

// Compares `other` with `reference` sample for sample and prints the figures
// after `label`. Fails (1) on different lengths, a silent reference, a NaN on
// either side, or a difference above `tolerance` times the reference's peak;
// a tolerance of 0 allows no difference at all.
template <typename Sample>
int compareSamples(const std::string& label, const std::vector<Sample>& reference,
                   const std::vector<Sample>& other, double tolerance) {
  if (reference.size() != other.size()) {
    std::fprintf(stderr, "%sdifferent lengths: %zu and %zu samples\n", label.c_str(),
                 reference.size(), other.size());
    return 1;
  }
  std::size_t differing = 0;
  double peak = 0.0, largest = 0.0;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    if (!(reference[i] == other[i])) {
      ++differing;
      const double difference = std::fabs(double(reference[i]) - double(other[i]));
      if (!(difference <= largest)) largest = std::isnan(difference) ? INFINITY : difference;
    }
    peak = std::max(peak, std::fabs(double(reference[i])));
  }
  std::printf("%s%zu samples, peak %.17g, %zu differ, largest difference %.3g (%.3g of the peak)\n",
              label.c_str(), reference.size(), peak, differing, largest,
              peak > 0.0 ? largest / peak : largest);
  if (!(peak > kAudible)) {
    std::fprintf(stderr, "the reference render is silent\n");
    return 1;
  }
  if (!(largest <= tolerance * peak)) {
    std::fprintf(stderr, "the renders differ by more than %g of the peak\n", tolerance);
    return 1;
  }
  return 0;
}

template <typename Sample>
std::vector<Sample> joined(const Stereo<Sample>& signal) {
  std::vector<Sample> samples(signal.left);
  samples.insert(samples.end(), signal.right.begin(), signal.right.end());
  return samples;
}

// ---- the LV2 bundle against the VST 2 module ----------------------------------

// A second of sound: several windows past the latency.
constexpr std::size_t kSignalFrames = kRate;

// Noise that the channels partly share, and a tone in the left channel only.
Stereo<float> generatedSignal() {
  constexpr double kPi = 3.14159265358979323846;
  Stereo<float> signal{std::vector<float>(kSignalFrames), std::vector<float>(kSignalFrames)};
  std::uint32_t own = 12345, shared = 67890;
  for (std::size_t i = 0; i < kSignalFrames; ++i) {
    own = own * 1664525u + 1013904223u;
    shared = shared * 1664525u + 1013904223u;
    const double a = (own >> 8) / 8388608.0 - 1.0, b = (shared >> 8) / 8388608.0 - 1.0;
    const double tone = 0.25 * std::sin(2.0 * kPi * 440.0 * static_cast<double>(i) / kRate);
    signal.left[i] = static_cast<float>(0.3 * b + 0.1 * a + tone);
    signal.right[i] = static_cast<float>(0.3 * b - 0.1 * a);
  }
  return signal;
}

void writeWave(const std::string& path, const Stereo<float>& signal) {
  const auto frames = static_cast<unsigned>(signal.left.size());
  spl::DefaultClip clip(2, frames);
  std::copy(signal.left.begin(), signal.left.end(), clip.channelData(0));
  std::copy(signal.right.begin(), signal.right.end(), clip.channelData(1));
  spl::RiffWriter writer;
  writer.open(path, spl::RiffWaveInfo(spl::RiffWaveInfo::FORMAT_FLOAT, kRate, 2, 4));
  writer.write(clip);
  writer.close();
}

Stereo<float> readWave(const std::string& path) {
  spl::RiffReader reader;
  reader.open(path);
  const spl::RiffWaveInfo& info = reader.getInfo();
  if (info.getNumChannels() != 2 || info.getFormatId() != spl::RiffWaveInfo::FORMAT_FLOAT ||
      info.getNumBytesPerSample() != 4) {
    throw std::runtime_error(path + ": not a stereo 32-bit float file");
  }
  const unsigned frames = reader.getFrameCount();
  spl::DefaultClip clip(2, 0);
  reader.read(clip, frames);
  // Single-precision samples, widened to double by the reader: narrowing them
  // again gives them back exactly.
  Stereo<float> signal{std::vector<float>(clip.channelData(0), clip.channelData(0) + frames),
                       std::vector<float>(clip.channelData(1), clip.channelData(1) + frames)};
  return signal;
}

// The module's render of `input` at the given LV2 port values, each set the way
// a host's generic editor sets it: by the step its display shows.
Stereo<float> renderLv2Settings(const std::string& module, const Stereo<float>& input,
                                const std::vector<int>& settings) {
  brisendel::PluginHost host(module);
  const std::string displays[5] = {std::to_string(settings[0]), std::to_string(settings[1]),
                                   settings[2] != 0 ? "Enabled" : "Disabled",
                                   std::to_string(settings[3]), settings[4] != 0 ? "B" : "A"};
  const char* const names[5] = {"Center", "Side", "AutoGain", "Quality", "Window"};
  for (int p = 0; p < 5; ++p) host.selectStep(host.findParameter(names[p]), displays[p]);
  host.start(kRate, kBlock);
  return renderBlocks(host, input);
}

int compareLv2(const std::string& module, const std::string& signalPath, const std::string& lv2Path,
               const std::vector<int>& settings) {
  const Stereo<float> lv2 = readWave(lv2Path);
  const Stereo<float> vst = renderLv2Settings(module, readWave(signalPath), settings);
  char label[96];
  std::snprintf(label, sizeof label,
                "center %d side %d autogain %d quality %d window %d: ", settings[0], settings[1],
                settings[2], settings[3], settings[4]);
  return compareSamples(label, joined(vst), joined(lv2), 0.0);
}

// ---- one build against another -----------------------------------------------

constexpr int kCrossFrames = 5 * VSTPlugin::WINDOW_LENGTH;
constexpr double kCrossTolerance = 1e-12;

// Noise built with integer steps and exact scalings only, so that every
// platform starts from the same samples bit for bit.
std::vector<double> generatedChannel(std::uint32_t seed) {
  std::vector<double> samples(kCrossFrames);
  std::uint32_t state = seed;
  for (double& sample : samples) {
    state = state * 1664525u + 1013904223u;
    sample = (static_cast<double>(state >> 8) - 8388608.0) / 8388608.0;
  }
  return samples;
}

// Renders every setting in turn, each through a fresh instance, and appends
// left then right channel of each to the result.
std::vector<double> renderAll(const std::string& module) {
  const std::vector<double> noise = generatedChannel(12345);
  const std::vector<double> other = generatedChannel(67890);
  Stereo<double> input{std::vector<double>(kCrossFrames), std::vector<double>(kCrossFrames)};
  for (int i = 0; i < kCrossFrames; ++i) {
    input.left[i] = 0.5 * noise[i];
    input.right[i] = 0.3 * noise[i] + 0.2 * other[i];  // partly shared, partly its own
  }
  std::vector<double> result;
  for (int quality : {1, 5, 9}) {
    for (float window : {0.0f, 1.0f}) {
      brisendel::PluginHost host(module);
      host.start(kRate, kBlock);
      host.setParameter(VSTPlugin::kCenter, 0.25f);  // 50 %
      host.setParameter(VSTPlugin::kSide, 0.75f);    // 150 %
      host.setParameter(VSTPlugin::kQuality, static_cast<float>((quality - 0.5) / 9.0));
      host.setParameter(VSTPlugin::kWindow, window);
      const std::vector<double> output = joined(renderBlocks(host, input));
      result.insert(result.end(), output.begin(), output.end());
    }
  }
  return result;
}

void writeRaw(const std::string& path, const std::vector<double>& samples) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(samples.data()),
             static_cast<std::streamsize>(samples.size() * sizeof(double)));
  if (!file) throw std::runtime_error(path + ": cannot be written");
}

std::vector<double> readRaw(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(path + ": cannot be read");
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  if (bytes.empty() || bytes.size() % sizeof(double) != 0) {
    throw std::runtime_error(path + ": not a render (" + std::to_string(bytes.size()) + " bytes)");
  }
  std::vector<double> samples(bytes.size() / sizeof(double));
  std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(samples.data()));
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "signal" && argc == 3) {
      writeWave(argv[2], generatedSignal());
      return 0;
    }
    if (mode == "lv2" && argc == 10) {
      std::vector<int> settings;
      for (int i = 5; i < 10; ++i) settings.push_back(std::stoi(argv[i]));
      return compareLv2(argv[2], argv[3], argv[4], settings);
    }
    if (mode == "render" && argc == 4) {
      writeRaw(argv[3], renderAll(argv[2]));
      return 0;
    }
    if (mode == "compare" && argc == 4) {
      return compareSamples("", readRaw(argv[2]), readRaw(argv[3]), kCrossTolerance);
    }
    std::fprintf(stderr,
                 "usage: render_compare signal <signal.wav>\n"
                 "       render_compare lv2 <module> <signal.wav> <lv2 render.wav> "
                 "<center> <side> <autogain> <quality> <window>\n"
                 "       render_compare render <module> <render file>\n"
                 "       render_compare compare <reference render file> <other render file>\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "render_compare: %s\n", error.what());
    return 1;
  }
}
