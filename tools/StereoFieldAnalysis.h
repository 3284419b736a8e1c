#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"

namespace brisendel {

// What a stereo file looks like to a mixing engineer: how wide each third-octave band
// is (side-to-mid energy ratio in dB, and the correlation of left and right), and the
// goniometer's picture of the samples (the density of (side, mid) points). Spectra
// are Hann-windowed real DFTs of the whole file, half-overlapping, summed per band.
// Feed it with add() then call finish(); not for the audio thread (it allocates).
class StereoFieldAnalysis {
 public:
  // Bands centred on 1 kHz * 2^(k/3) for k = -17..13: 31 bands, about 20 Hz to 20 kHz,
  // each a third of an octave wide.
  static constexpr int NUM_BANDS = 31;
  // Goniometer cells per axis over -1..1 (full scale) of side and of mid.
  static constexpr int GRID = 512;

  struct Band {
    double low = 0.0;     // Hz
    double centre = 0.0;  // Hz
    double high = 0.0;    // Hz
    // 10 log10(side energy / mid energy) in dB: -inf for identical channels, NaN when
    // the band holds no energy or lies above the Nyquist frequency.
    double sideToMidDb = 0.0;
    // Sum L*R over sqrt(sum L^2 * sum R^2) in the band: 1 identical, 0 unrelated,
    // -1 opposite; NaN as above.
    double correlation = 0.0;
  };

  // `sampleRate` in Hz sets the transform length: the power of two at or above half
  // of it, so that the lowest band still spans a few bins.
  explicit StereoFieldAnalysis(int sampleRate);
  // Reads and analyses a whole stereo file; throws ToolError naming it.
  static StereoFieldAnalysis analyzeFile(const std::string& path);

  void add(const double* left, const double* right, unsigned frames);
  // Processes the last, partial window and fills the bands.
  void finish();

  const std::vector<Band>& getBands() const { return _bands; }
  // GRID x GRID counts, row-major: row r holds mid from -1 + 2r/GRID upwards, column
  // c side = (L - R)/2 from -1 + 2c/GRID. Points outside -1..1 count in the edge cell;
  // frames with a non-finite sample are not counted.
  const std::vector<std::uint32_t>& getGoniometer() const { return _goniometer; }
  // The largest |mid| or |side| seen, for scaling a picture.
  double getPeak() const { return _peak; }
  std::uint64_t getNumFrames() const { return _frames; }
  // Samples that were NaN or infinite: silence in the spectra, and their frames are
  // not in the goniometer.
  std::uint64_t getNonFiniteSamples() const { return _nonFinite; }
  unsigned getTransformLength() const { return _length; }

 private:
  void transformWindow();

  int _sampleRate;
  unsigned _length;
  std::vector<double> _left;  // the window being filled
  std::vector<double> _right;
  unsigned _filled = 0;
  bool _pending = false;   // samples in the window that no transform has seen
  spl::DefaultClip _clip;  // the window as transformed, reused
  spl::RealDiscreteFourierTransform _transform{1};
  std::vector<double> _leftPower;  // per bin, summed over windows
  std::vector<double> _rightPower;
  std::vector<double> _crossPower;  // real part of L times conjugate R
  std::vector<Band> _bands;
  std::vector<std::uint32_t> _goniometer;
  double _peak = 0.0;
  std::uint64_t _frames = 0;
  std::uint64_t _nonFinite = 0;
};

}  // namespace brisendel
