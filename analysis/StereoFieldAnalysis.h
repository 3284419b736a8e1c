#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/StereoSums.h"
#include "analysis/ThirdOctaveBands.h"
#include "spl/block/RealDiscreteFourierTransform.h"
#include "spl/clip/DefaultClip.h"

namespace brisendel {

// What a stereo stream looks like to a mixing engineer: how wide each third-octave band
// is (side-to-mid energy ratio in dB, and the correlation of left and right), and the
// goniometer's picture of the samples (the density of (side, mid) points). Spectra
// are Hann-windowed real DFTs, half-overlapping, summed per band.
//
// It takes blocks of any length and can be read at any time; the construction
// allocates everything, so add, reset and the compute functions allocate nothing and
// may run on an audio thread. A transform runs inside the add that completes a
// window (every half window length of frames). One thread uses an instance.
class StereoFieldAnalysis {
 public:
  static constexpr int NUM_BANDS = ThirdOctaveBands::NUM_BANDS;
  // Goniometer cells per axis over -1..1 (full scale) of side and of mid.
  static constexpr int GRID = 512;

  struct Band {
    double low = 0.0;     // Hz
    double centre = 0.0;  // Hz
    double high = 0.0;    // Hz
    // StereoSums::sideToMidDb of the band; NaN also when it lies above the Nyquist
    // frequency.
    double sideToMidDb = 0.0;
    // StereoSums::correlation of the band.
    double correlation = 0.0;
  };
  using Bands = std::array<Band, NUM_BANDS>;
  using BandSums = std::array<StereoSums, NUM_BANDS>;

  // `sampleRate` in Hz sets the transform length (transformLengthFor).
  explicit StereoFieldAnalysis(int sampleRate);
  // The power of two at or above half of `sampleRate` (at least 2), so that the lowest
  // band still spans a few bins.
  static unsigned transformLengthFor(int sampleRate);

  // Samples of -1..1; a NaN or infinite sample counts as silence in the spectra and
  // leaves its frame out of the goniometer.
  void add(const double* left, const double* right, unsigned frames);
  void add(const float* left, const float* right, unsigned frames);
  // Back to the state after construction.
  void reset();

  // The bands' sums as they stand, as if the stream ended here: the window being
  // filled is transformed with silence for its rest and counted, without changing
  // what later calls of add give. Non-const: it transforms in the analysis' own
  // work space.
  void computeBandSums(BandSums& out);
  // The same, turned into values; a whole stream added and then read gives the
  // stream's analysis.
  void computeBands(Bands& out);

  // GRID x GRID counts, row-major: row r holds mid from -1 + 2r/GRID upwards, column
  // c side = (L - R)/2 from -1 + 2c/GRID. Points outside -1..1 count in the edge cell;
  // frames with a non-finite sample are not counted.
  const std::vector<std::uint32_t>& getGoniometer() const { return _goniometer; }
  // The largest |mid| or |side| seen, for scaling a picture.
  double getPeak() const { return _peak; }
  std::uint64_t getNumFrames() const { return _frames; }
  std::uint64_t getNonFiniteSamples() const { return _nonFinite; }
  int getSampleRate() const { return _sampleRate; }
  unsigned getTransformLength() const { return _length; }
  const ThirdOctaveBands& getBandLayout() const { return _layout; }

 private:
  template <typename Sample>
  void addFrames(const Sample* left, const Sample* right, unsigned frames);
  // Windows and transforms the _filled frames of the window (the rest silent) into _clip.
  void transformWindow();
  void accumulateWindow();

  int _sampleRate;
  unsigned _length;
  ThirdOctaveBands _layout;
  std::vector<double> _window;  // the Hann factors
  std::vector<double> _left;    // the window being filled
  std::vector<double> _right;
  unsigned _filled = 0;
  bool _pending = false;   // samples in the window that no transform has seen
  spl::DefaultClip _clip;  // the window as transformed, reused
  spl::RealDiscreteFourierTransform _transform{1};
  std::vector<double> _leftPower;  // per bin, summed over windows
  std::vector<double> _rightPower;
  std::vector<double> _crossPower;  // real part of L times conjugate R
  std::vector<std::uint32_t> _goniometer;
  double _peak = 0.0;
  std::uint64_t _frames = 0;
  std::uint64_t _nonFinite = 0;
};

}  // namespace brisendel
