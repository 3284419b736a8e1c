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
  bool _hasData = false;
};

}  // namespace brisendel
