// Renders one generated stereo signal through a Brisendel module at Quality 1, 5
// and 9 with both windows (double path) and writes the output as raw doubles;
// or compares two such files within 1e-12 of the first one's peak.
//
//   cross_render render <module> <output file>
//   cross_render compare <reference file> <other file>
//
// CI renders with Brisendel.so here and with Brisendel.dll under Wine and
// compares the two: different compilers, C runtimes and maths libraries must
// still give the same sound.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/vst2/VSTPlugin.h"
#include "host/PluginHost.h"

namespace {

constexpr int kFrames = 5 * VSTPlugin::WINDOW_LENGTH;
constexpr int kBlock = 1000;
constexpr double kRelativeTolerance = 1e-12;

// Two channels of noise built with integer steps and exact scalings only, so
// that every platform starts from the same samples bit for bit.
std::vector<double> generatedChannel(std::uint32_t seed) {
  std::vector<double> samples(kFrames);
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
  std::vector<double> left(kFrames), right(kFrames);
  for (int i = 0; i < kFrames; ++i) {
    left[i] = 0.5 * noise[i];
    right[i] = 0.3 * noise[i] + 0.2 * other[i];  // partly shared, partly its own
  }
  std::vector<double> result;
  for (int quality : {1, 5, 9}) {
    for (float window : {0.0f, 1.0f}) {
      brisendel::PluginHost host(module);
      host.start(44100.0, kBlock);
      host.setParameter(VSTPlugin::kCenter, 0.25f);  // 50 %
      host.setParameter(VSTPlugin::kSide, 0.75f);    // 150 %
      host.setParameter(VSTPlugin::kQuality, static_cast<float>((quality - 0.5) / 9.0));
      host.setParameter(VSTPlugin::kWindow, window);
      std::vector<double> outLeft(kFrames), outRight(kFrames);
      for (int pos = 0; pos < kFrames; pos += kBlock) {
        const int n = std::min(kBlock, kFrames - pos);
        const double* in[2] = {&left[pos], &right[pos]};
        double* out[2] = {&outLeft[pos], &outRight[pos]};
        host.process(in, out, n);
      }
      result.insert(result.end(), outLeft.begin(), outLeft.end());
      result.insert(result.end(), outRight.begin(), outRight.end());
    }
  }
  return result;
}

void write(const std::string& path, const std::vector<double>& samples) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(samples.data()),
             static_cast<std::streamsize>(samples.size() * sizeof(double)));
  if (!file) throw std::runtime_error(path + ": cannot be written");
}

std::vector<double> read(const std::string& path) {
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

int compare(const std::string& referencePath, const std::string& otherPath) {
  const std::vector<double> reference = read(referencePath);
  const std::vector<double> other = read(otherPath);
  if (reference.size() != other.size()) {
    std::fprintf(stderr, "different lengths: %zu and %zu samples\n", reference.size(),
                 other.size());
    return 1;
  }
  double peak = 0.0, largest = 0.0;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    const double difference = std::fabs(reference[i] - other[i]);
    // A NaN on either side is a difference no tolerance covers.
    if (!(difference <= largest)) largest = std::isnan(difference) ? INFINITY : difference;
    peak = std::max(peak, std::fabs(reference[i]));
  }
  std::printf("%zu samples, peak %.17g, largest difference %.3g (%.3g of the peak)\n",
              reference.size(), peak, largest, peak > 0.0 ? largest / peak : largest);
  if (!(peak > 0.0) || !(largest <= kRelativeTolerance * peak)) {
    std::fprintf(stderr, "the renders differ by more than %g of the peak\n", kRelativeTolerance);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode == "render") {
      write(argv[3], renderAll(argv[2]));
      return 0;
    }
    if (mode == "compare") return compare(argv[2], argv[3]);
    std::fprintf(stderr,
                 "usage: cross_render render <module> <output file>\n"
                 "       cross_render compare <reference file> <other file>\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "cross_render: %s\n", error.what());
    return 1;
  }
}
