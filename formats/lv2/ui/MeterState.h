#pragma once

// What the meters show: the plug-in's latest sums, smoothed over about 300 ms
// of the view's own time, and the latest goniometer points. Between messages
// the smoothed sums settle on the last ones and then stay still. The sums are
// the analysis' own (StereoSums), so that the view turns them into width and
// correlation exactly as the tool does.

#include <array>

#include "analysis/StereoFieldAnalysis.h"
#include "analysis/StereoSums.h"
#include "formats/lv2/ViewMessages.h"

namespace brisendel {

class MeterState {
 public:
  static constexpr double SMOOTHING_SECONDS = 0.3;
  // The goniometer narrows after its points fit in half of it for this long.
  static constexpr double NARROWING_SECONDS = 2.0;
  static constexpr double MIN_SPAN = 1.0 / 16.0;
  static constexpr int BANDS = ViewMessages::BAND_COUNT;
  static_assert(BANDS == StereoFieldAnalysis::NUM_BANDS,
                "the plug-in sends the analysis' third-octave bands");

  // Takes a parsed message. The first one is shown at once; later ones are
  // approached by advance().
  void accept(const ViewMessages::Meters& meters);
  // Moves the shown sums `seconds` closer to the latest; true when anything
  // the meters show changed.
  bool advance(double seconds);

  bool hasData() const { return _hasData; }
  // Mean powers per frame, as shown.
  const StereoFieldAnalysis::BandSums& inputBands() const { return _shown.inputBands; }
  const StereoFieldAnalysis::BandSums& outputBands() const { return _shown.outputBands; }
  const StereoSums& inputTotal() const { return _shown.inputTotal; }
  const StereoSums& outputTotal() const { return _shown.outputTotal; }
  unsigned points() const { return _points; }
  // (side, mid) of point i at 2 i and 2 i + 1.
  const float* goniometer() const { return _goniometer.data(); }
  // The share of full scale at the goniometer's edges: the smallest power of
  // two from 1/16 to 1 that holds the latest points, as the tool's picture
  // chooses. It widens at once and narrows one step at a time, so that a
  // passing quiet moment does not make it jump.
  double goniometerSpan() const { return _span; }

 private:
  struct Slots {
    StereoFieldAnalysis::BandSums inputBands{};
    StereoFieldAnalysis::BandSums outputBands{};
    StereoSums inputTotal;
    StereoSums outputTotal;
  };

  Slots _target, _shown;
  std::array<float, 2 * ViewMessages::MAX_POINTS> _goniometer{};
  unsigned _points = 0;
  double _span = 1.0;
  // The largest |side| or |mid| of the latest points, and how long they have
  // fitted in half the span.
  double _peak = 0.0;
  double _fitting = 0.0;
  bool _hasData = false;
};

}  // namespace brisendel
