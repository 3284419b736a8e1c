#include "tools/StereoMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "spl/clip/DefaultClip.h"
#include "tools/AudioFileReader.h"

namespace brisendel {

namespace {
double rmsDb(double squares, double frames) {
  if (frames <= 0.0 || squares <= 0.0) return -std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(squares / frames);
}
}  // namespace

void StereoMeter::add(const spl::Clip& clip) {
  for (unsigned i = 0; i < clip.getLength(); ++i) {
    const double left = clip.get(0, i);
    const double right = clip.get(1, i);
    const double mid = 0.5 * (left + right);
    const double side = 0.5 * (left - right);
    _midSquares += mid * mid;
    _sideSquares += side * side;
    _leftSquares += left * left;
    _rightSquares += right * right;
    _products += left * right;
  }
  _frames += clip.getLength();
}

StereoMeter StereoMeter::measureFile(const std::string& path) {
  AudioFileReader reader(path);
  StereoMeter meter;
  constexpr unsigned BLOCK = 65536;
  spl::DefaultClip clip(2, BLOCK);
  for (std::uint64_t done = 0; done < reader.getNumFrames();) {
    const unsigned n =
        static_cast<unsigned>(std::min<std::uint64_t>(BLOCK, reader.getNumFrames() - done));
    clip.setLength(n);
    reader.read(clip.channelData(0), clip.channelData(1), n);
    meter.add(clip);
    done += n;
  }
  return meter;
}

double StereoMeter::getMidRmsDb() const { return rmsDb(_midSquares, _frames); }
double StereoMeter::getSideRmsDb() const { return rmsDb(_sideSquares, _frames); }

double StereoMeter::getCorrelation() const {
  const double energy = std::sqrt(_leftSquares * _rightSquares);
  return energy > 0.0 ? _products / energy : 0.0;
}

}  // namespace brisendel
