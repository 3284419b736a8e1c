// Checks the LV2 bundle against the VST 2 module through files, as users meet
// them: writes a generated stereo signal, and compares what lv2apply rendered
// from it with what Brisendel.so renders on its single-precision path at the
// same settings. Equal means equal sample for sample.
//
//   lv2_render_compare signal <file.wav>
//   lv2_render_compare compare <Brisendel.so> <signal.wav> <lv2 render.wav>
//                      <center> <side> <autogain> <quality> <window>
//
// The settings are the LV2 port values: percent, 0 or 1, 1..9, 0 (A) or 1 (B).

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/PluginHost.h"

namespace {

constexpr int kRate = 44100;
// A second of sound: several windows past the latency.
constexpr sf_count_t kFrames = kRate;
// Blocks the VST render is cut into: odd, so that they never line up with the hop.
constexpr int kBlock = 1000;

struct Stereo {
  std::vector<float> left, right;
};

// Noise that the channels partly share, and a tone in the left channel only.
Stereo generated() {
  Stereo signal{std::vector<float>(kFrames), std::vector<float>(kFrames)};
  std::uint32_t own = 12345, shared = 67890;
  for (sf_count_t i = 0; i < kFrames; ++i) {
    own = own * 1664525u + 1013904223u;
    shared = shared * 1664525u + 1013904223u;
    const double a = (own >> 8) / 8388608.0 - 1.0, b = (shared >> 8) / 8388608.0 - 1.0;
    const double tone = 0.25 * std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / kRate);
    signal.left[i] = static_cast<float>(0.3 * b + 0.1 * a + tone);
    signal.right[i] = static_cast<float>(0.3 * b - 0.1 * a);
  }
  return signal;
}

void writeFile(const std::string& path, const Stereo& signal) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) throw std::runtime_error(path + ": " + sf_strerror(nullptr));
  std::vector<float> interleaved;
  for (std::size_t i = 0; i < signal.left.size(); ++i) {
    interleaved.push_back(signal.left[i]);
    interleaved.push_back(signal.right[i]);
  }
  const sf_count_t written = sf_writef_float(file, interleaved.data(), kFrames);
  sf_close(file);
  if (written != kFrames) throw std::runtime_error(path + ": short write");
}

Stereo readFile(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) throw std::runtime_error(path + ": " + sf_strerror(nullptr));
  if (info.channels != 2 || (info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT) {
    sf_close(file);
    throw std::runtime_error(path + ": not a stereo 32-bit float file");
  }
  std::vector<float> interleaved(static_cast<std::size_t>(info.frames) * 2);
  const sf_count_t read = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  if (read != info.frames) throw std::runtime_error(path + ": short read");
  Stereo signal;
  for (std::size_t i = 0; i < interleaved.size(); i += 2) {
    signal.left.push_back(interleaved[i]);
    signal.right.push_back(interleaved[i + 1]);
  }
  return signal;
}

// The VST module's render of `input` at the given LV2 port values, each set
// the way a host's generic editor sets it: by the step its display shows.
Stereo renderVst(const std::string& module, Stereo input, const std::vector<int>& settings) {
  brisendel::PluginHost host(module);
  const std::string displays[5] = {std::to_string(settings[0]), std::to_string(settings[1]),
                                   settings[2] != 0 ? "Enabled" : "Disabled",
                                   std::to_string(settings[3]), settings[4] != 0 ? "B" : "A"};
  const char* const names[5] = {"Center", "Side", "AutoGain", "Quality", "Window"};
  for (int p = 0; p < 5; ++p) host.selectStep(host.findParameter(names[p]), displays[p]);
  host.start(kRate, kBlock);
  Stereo output{std::vector<float>(input.left.size()), std::vector<float>(input.left.size())};
  for (std::size_t pos = 0; pos < input.left.size(); pos += kBlock) {
    const int n = static_cast<int>(std::min<std::size_t>(kBlock, input.left.size() - pos));
    float* in[2] = {&input.left[pos], &input.right[pos]};
    float* out[2] = {&output.left[pos], &output.right[pos]};
    host.processFloat(in, out, n);
  }
  return output;
}

int compare(const std::string& module, const std::string& signalPath, const std::string& lv2Path,
            const std::vector<int>& settings) {
  const Stereo lv2 = readFile(lv2Path);
  const Stereo vst = renderVst(module, readFile(signalPath), settings);
  if (lv2.left.size() != vst.left.size()) {
    std::fprintf(stderr, "lengths differ: LV2 %zu frames, VST %zu frames\n", lv2.left.size(),
                 vst.left.size());
    return 1;
  }
  std::size_t differing = 0;
  double largest = 0.0, peak = 0.0;
  for (const auto& [a, b] :
       {std::make_pair(&lv2.left, &vst.left), std::make_pair(&lv2.right, &vst.right)}) {
    for (std::size_t i = 0; i < a->size(); ++i) {
      // Compared as bits' worth of value: a NaN on either side differs.
      if (!((*a)[i] == (*b)[i])) {
        ++differing;
        largest = std::max(largest, static_cast<double>(std::fabs((*a)[i] - (*b)[i])));
      }
      peak = std::max(peak, static_cast<double>(std::fabs((*b)[i])));
    }
  }
  std::printf(
      "center %d side %d autogain %d quality %d window %d: %zu samples, peak %.6f, "
      "%zu differ (largest difference %g)\n",
      settings[0], settings[1], settings[2], settings[3], settings[4], lv2.left.size() * 2, peak,
      differing, largest);
  // A silent render would agree with anything.
  if (!(peak > 0.01)) {
    std::fprintf(stderr, "the VST render is silent\n");
    return 1;
  }
  return differing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "signal" && argc == 3) {
      writeFile(argv[2], generated());
      return 0;
    }
    if (mode == "compare" && argc == 10) {
      std::vector<int> settings;
      for (int i = 5; i < 10; ++i) settings.push_back(std::stoi(argv[i]));
      return compare(argv[2], argv[3], argv[4], settings);
    }
    std::fprintf(stderr,
                 "usage: lv2_render_compare signal <file.wav>\n"
                 "       lv2_render_compare compare <module> <signal.wav> <lv2 render.wav> "
                 "<center> <side> <autogain> <quality> <window>\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lv2_render_compare: %s\n", error.what());
    return 1;
  }
}
