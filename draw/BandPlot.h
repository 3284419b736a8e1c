#pragma once

#include <cairo.h>

#include <array>
#include <string>

#include "analysis/StereoFieldAnalysis.h"
#include "draw/Colour.h"
#include "draw/DrawScale.h"
#include "draw/Rect.h"

namespace brisendel {

// A plot of one value per third-octave band over a logarithmic frequency axis (16 Hz to
// 25 kHz): the stereo width (side-to-mid dB, -50..10) or the L/R correlation (-1..1).
// drawAxes draws the background, grid, value labels and titles around the rectangle;
// drawCurve one signal's values on top. Values beyond the range sit on its edge as
// hollow marks, NaN values (no energy) break the curve.
class BandPlot {
 public:
  using Values = std::array<double, ThirdOctaveBands::NUM_BANDS>;
  enum class Emphasis {
    Normal,  // one of several files
    Dimmed,  // for comparison behind another, e.g. a plug-in's input
    Bold     // in front, e.g. a plug-in's output
  };

  // The plot lies in `box`; the value labels and the vertical title need about
  // scale.text(90) to its left, the title scale.text(30) above it and the frequency
  // labels scale.text(24) below it.
  static BandPlot width(const Rect& box, const DrawScale& scale);
  static BandPlot correlation(const Rect& box, const DrawScale& scale);

  // The values of each band, from an analysis' bands or from summed band energies.
  static Values widthValues(const StereoFieldAnalysis::Bands& bands);
  static Values widthValues(const StereoFieldAnalysis::BandSums& sums);
  static Values correlationValues(const StereoFieldAnalysis::Bands& bands);
  static Values correlationValues(const StereoFieldAnalysis::BandSums& sums);

  // An empty title or label is left out.
  void setTitle(std::string title) { _title = std::move(title); }
  void setLabel(std::string label) { _label = std::move(label); }
  // The frequency under the plot (on by default).
  void setFrequencyLabels(bool shown) { _frequencyLabels = shown; }

  // The colour a curve of `base` is drawn in with `emphasis`.
  static Colour shade(const Colour& base, Emphasis emphasis);

  void drawAxes(cairo_t* cr) const;
  void drawCurve(cairo_t* cr, const Values& values, const Colour& colour,
                 Emphasis emphasis = Emphasis::Normal) const;

  const Rect& getBox() const { return _box; }
  double xOfFrequency(double hz) const;
  // Clamped to the range.
  double yOfValue(double value) const;

 private:
  BandPlot(const Rect& box, const DrawScale& scale, double top, double bottom, double step);

  Rect _box;
  DrawScale _scale;
  double _top;
  double _bottom;
  double _step;
  std::string _title;
  std::string _label;
  bool _frequencyLabels = true;
};

}  // namespace brisendel
