#include "formats/lv2/ui/MeterState.h"

#include <algorithm>
#include <cmath>

namespace brisendel {

namespace {

// Every sum of the slots, in one order.
template <typename Slots, typename Each>
void forEachSums(Slots& a, Slots& b, Each each) {
  for (int band = 0; band < MeterState::BANDS; ++band) {
    each(a.inputBands[std::size_t(band)], b.inputBands[std::size_t(band)]);
    each(a.outputBands[std::size_t(band)], b.outputBands[std::size_t(band)]);
  }
  each(a.inputTotal, b.inputTotal);
  each(a.outputTotal, b.outputTotal);
}

}  // namespace

void MeterState::accept(const ViewMessages::Meters& meters) {
  const double perFrame = 1.0 / double(meters.frames);
  auto powers = [perFrame](const ViewMessages::Sums& s) {
    return StereoSums{s.ll * perFrame, s.rr * perFrame, s.lr * perFrame};
  };
  for (int band = 0; band < BANDS; ++band) {
    _target.inputBands[std::size_t(band)] = powers(meters.inputBands[std::size_t(band)]);
    _target.outputBands[std::size_t(band)] = powers(meters.outputBands[std::size_t(band)]);
  }
  _target.inputTotal = powers(meters.inputTotal);
  _target.outputTotal = powers(meters.outputTotal);
  _points = meters.points;
  _peak = 0.0;
  for (unsigned i = 0; i < 2 * _points; ++i) {
    _goniometer[i] = meters.goniometer[i];
    _peak = std::max(_peak, double(std::fabs(meters.goniometer[i])));
  }
  while (_span < 1.0 && _peak > _span) _span *= 2.0;
  if (!_hasData) _shown = _target;
  _hasData = true;
}

bool MeterState::advance(double seconds) {
  if (!_hasData || !(seconds > 0.0)) return false;
  const double k = 1.0 - std::exp(-seconds / SMOOTHING_SECONDS);
  bool moved = false;
  _fitting = _span > MIN_SPAN && _peak <= _span / 2.0 ? _fitting + seconds : 0.0;
  if (_fitting >= NARROWING_SECONDS) {
    _span /= 2.0;
    _fitting = 0.0;
    moved = true;
  }
  auto approach = [k, &moved](double& shown, double target) {
    if (shown == target) return;
    // Close enough to show no difference: land, so that the view comes to rest.
    if (std::fabs(target - shown) <= 1e-4 * std::fabs(target) + 1e-12)
      shown = target;
    else
      shown += (target - shown) * k;
    moved = true;
  };
  forEachSums(_shown, _target, [&approach](StereoSums& shown, const StereoSums& target) {
    approach(shown.left, target.left);
    approach(shown.right, target.right);
    approach(shown.cross, target.cross);
  });
  return moved;
}

}  // namespace brisendel
