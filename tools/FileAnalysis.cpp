#include "tools/FileAnalysis.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tools/AudioFileReader.h"

namespace brisendel {

void readBlocks(AudioFileReader& reader,
                const std::function<void(const double*, const double*, unsigned)>& consume) {
  constexpr unsigned BLOCK = 65536;
  std::vector<double> left(BLOCK);
  std::vector<double> right(BLOCK);
  for (std::uint64_t done = 0; done < reader.getNumFrames();) {
    const unsigned n =
        static_cast<unsigned>(std::min<std::uint64_t>(BLOCK, reader.getNumFrames() - done));
    reader.read(left.data(), right.data(), n);
    consume(left.data(), right.data(), n);
    done += n;
  }
}

StereoFieldAnalysis analyzeFile(const std::string& path) {
  AudioFileReader reader(path);
  StereoFieldAnalysis analysis(reader.getSampleRate());
  readBlocks(reader, [&analysis](const double* left, const double* right, unsigned frames) {
    analysis.add(left, right, frames);
  });
  return analysis;
}

StereoMeter measureFile(const std::string& path) {
  AudioFileReader reader(path);
  StereoMeter meter;
  readBlocks(reader, [&meter](const double* left, const double* right, unsigned frames) {
    meter.add(left, right, frames);
  });
  return meter;
}

}  // namespace brisendel
