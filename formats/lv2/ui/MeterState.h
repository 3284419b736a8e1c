#pragma once

// What the meter panels show: the plug-in's latest sums, smoothed over about
// 300 ms of the view's own time, and the latest goniometer points. Between
// messages the smoothed values settle on the last ones and then stay still.

#include <array>

#include "formats/lv2/ViewMessages.h"

namespace brisendel {

class MeterState {
 public:
  static constexpr double SMOOTHING_SECONDS = 0.3;
  static constexpr int BANDS = ViewMessages::BAND_COUNT;

  // Takes a parsed message. The first one is shown at once; later ones are
  // approached by advance().
  void accept(const ViewMessages::Meters& meters);
  // Moves the shown sums `seconds` closer to the latest; true when anything
  // the panels show changed.
  bool advance(double seconds);

  bool hasData() const { return _hasData; }
  ViewMessages::Figures inputBand(int band) const { return figures(_shown[band]); }
  ViewMessages::Figures outputBand(int band) const { return figures(_shown[BANDS + band]); }
  ViewMessages::Figures inputTotal() const { return figures(_shown[2 * BANDS]); }
  ViewMessages::Figures outputTotal() const { return figures(_shown[2 * BANDS + 1]); }
  unsigned points() const { return _points; }
  // (side, mid) of point i at 2 i and 2 i + 1.
  const float* goniometer() const { return _goniometer.data(); }

 private:
  // Mean powers per frame: L², R², LR.
  struct Powers {
    double ll = 0, rr = 0, lr = 0;
  };
  static ViewMessages::Figures figures(const Powers& p) {
    return ViewMessages::figures(p.ll, p.rr, p.lr);
  }

  // Input bands, output bands, input total, output total.
  static constexpr int SLOTS = 2 * BANDS + 2;
  std::array<Powers, SLOTS> _target{}, _shown{};
  std::array<float, 2 * ViewMessages::MAX_POINTS> _goniometer{};
  unsigned _points = 0;
  bool _hasData = false;
};

}  // namespace brisendel
