#include "formats/lv2/ui/MeterState.h"

#include <cmath>

namespace brisendel {

void MeterState::accept(const ViewMessages::Meters& meters) {
  const double perFrame = 1.0 / double(meters.frames);
  auto powers = [perFrame](const ViewMessages::Sums& s) {
    return Powers{s.ll * perFrame, s.rr * perFrame, s.lr * perFrame};
  };
  for (int band = 0; band < BANDS; ++band) {
    _target[band] = powers(meters.inputBands[band]);
    _target[BANDS + band] = powers(meters.outputBands[band]);
  }
  _target[2 * BANDS] = powers(meters.inputTotal);
  _target[2 * BANDS + 1] = powers(meters.outputTotal);
  _points = meters.points;
  for (unsigned i = 0; i < 2 * _points; ++i) _goniometer[i] = meters.goniometer[i];
  if (!_hasData) _shown = _target;
  _hasData = true;
}

bool MeterState::advance(double seconds) {
  if (!_hasData || !(seconds > 0.0)) return false;
  const double k = 1.0 - std::exp(-seconds / SMOOTHING_SECONDS);
  bool moved = false;
  auto approach = [k, &moved](double& shown, double target) {
    if (shown == target) return;
    // Close enough to show no difference: land, so that the view comes to rest.
    if (std::fabs(target - shown) <= 1e-4 * std::fabs(target) + 1e-12)
      shown = target;
    else
      shown += (target - shown) * k;
    moved = true;
  };
  for (int i = 0; i < SLOTS; ++i) {
    approach(_shown[i].ll, _target[i].ll);
    approach(_shown[i].rr, _target[i].rr);
    approach(_shown[i].lr, _target[i].lr);
  }
  return moved;
}

}  // namespace brisendel
