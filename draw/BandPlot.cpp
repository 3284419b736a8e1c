#include "draw/BandPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "draw/Text.h"

namespace brisendel {

namespace {

constexpr double LOW_HZ = 16.0;
constexpr double HIGH_HZ = 25000.0;

std::string hertz(double hz) {
  char buffer[32];
  if (hz >= 1000.0) {
    std::snprintf(buffer, sizeof(buffer), "%gk", hz / 1000.0);
  } else {
    std::snprintf(buffer, sizeof(buffer), "%g", hz);
  }
  return buffer;
}

template <typename Source, typename Value>
BandPlot::Values valuesOf(const Source& source, Value value) {
  BandPlot::Values values{};
  for (std::size_t b = 0; b < values.size(); ++b) values[b] = value(source[b]);
  return values;
}

}  // namespace

BandPlot::BandPlot(const Rect& box, const DrawScale& scale, double top, double bottom, double step)
    : _box(box), _scale(scale), _top(top), _bottom(bottom), _step(step) {}

BandPlot BandPlot::width(const Rect& box, const DrawScale& scale) {
  BandPlot plot(box, scale, 10.0, -50.0, 10.0);
  plot._title = "Width per third-octave band: side-to-mid energy";
  plot._label = "side / mid (dB)";
  return plot;
}

BandPlot BandPlot::correlation(const Rect& box, const DrawScale& scale) {
  BandPlot plot(box, scale, 1.0, -1.0, 0.5);
  plot._title = "L/R correlation per third-octave band";
  plot._label = "correlation";
  return plot;
}

BandPlot::Values BandPlot::widthValues(const StereoFieldAnalysis::Bands& bands) {
  return valuesOf(bands, [](const StereoFieldAnalysis::Band& band) { return band.sideToMidDb; });
}
BandPlot::Values BandPlot::widthValues(const StereoFieldAnalysis::BandSums& sums) {
  return valuesOf(sums, [](const StereoSums& band) { return band.sideToMidDb(); });
}
BandPlot::Values BandPlot::correlationValues(const StereoFieldAnalysis::Bands& bands) {
  return valuesOf(bands, [](const StereoFieldAnalysis::Band& band) { return band.correlation; });
}
BandPlot::Values BandPlot::correlationValues(const StereoFieldAnalysis::BandSums& sums) {
  return valuesOf(sums, [](const StereoSums& band) { return band.correlation(); });
}

double BandPlot::xOfFrequency(double hz) const {
  return _box.x + _box.w * std::log(hz / LOW_HZ) / std::log(HIGH_HZ / LOW_HZ);
}

double BandPlot::yOfValue(double value) const {
  return _box.y + _box.h * (_top - std::clamp(value, _bottom, _top)) / (_top - _bottom);
}

void BandPlot::drawAxes(cairo_t* cr) const {
  const Rect& box = _box;
  const DrawScale& s = _scale;
  cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_fill(cr);
  cairo_set_line_width(cr, s.line(1.0));
  // On a narrow or low plot a label that would touch the one before it is left out;
  // its grid line stays.
  const double font = s.text(13);
  double labelsEnd = -1e300;
  for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
    const double x = xOfFrequency(hz);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_move_to(cr, x, box.y);
    cairo_line_to(cr, x, box.y + box.h);
    cairo_stroke(cr);
    const std::string label = hertz(hz);
    const double half = textWidth(cr, label, font) / 2;
    if (_frequencyLabels && x - half > labelsEnd + s.text(4)) {
      cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
      showText(cr, x, box.y + box.h + s.text(18), label, font, false, 0.5);
      labelsEnd = x + half;
    }
  }
  double labelAbove = 1e300;
  for (double v = _bottom; v <= _top + 1e-9; v += _step) {
    const double y = box.y + box.h * (_top - v) / (_top - _bottom);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    if (std::fabs(v) < 1e-9) cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
    cairo_move_to(cr, box.x, y);
    cairo_line_to(cr, box.x + box.w, y);
    cairo_stroke(cr);
    if (y < labelAbove - 1.2 * font) {
      char value[32];
      std::snprintf(value, sizeof(value), _step < 1.0 ? "%.1f" : "%.0f", v);
      cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
      showText(cr, box.x - s.text(8), y, value, font, false, 1.0, 0.35);
      labelAbove = y;
    }
  }
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  if (!_title.empty()) showText(cr, box.x, box.y - s.text(10), _title, s.text(16), true);
  if (!_label.empty())
    showVerticalText(cr, box.x - s.text(48), box.y + box.h / 2, _label, s.text(14));
}

Colour BandPlot::shade(const Colour& base, Emphasis emphasis) {
  return emphasis == Emphasis::Dimmed ? base.faded(0.55) : base;
}

void BandPlot::drawCurve(cairo_t* cr, const Values& values, const Colour& base,
                         Emphasis emphasis) const {
  const DrawScale& s = _scale;
  const Colour colour = shade(base, emphasis);
  const double lineWidth = emphasis == Emphasis::Bold     ? 3.5
                           : emphasis == Emphasis::Dimmed ? 1.5
                                                          : 2.5;
  const double radius = emphasis == Emphasis::Bold ? 4.5 : emphasis == Emphasis::Dimmed ? 3.0 : 4.0;
  cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
  cairo_set_line_width(cr, s.line(lineWidth));
  bool drawing = false;
  for (int b = 0; b < ThirdOctaveBands::NUM_BANDS; ++b) {
    const double v = values[std::size_t(b)];
    if (std::isnan(v)) {
      drawing = false;
      continue;
    }
    const double x = xOfFrequency(ThirdOctaveBands::centre(b));
    if (drawing) {
      cairo_line_to(cr, x, yOfValue(v));
    } else {
      cairo_move_to(cr, x, yOfValue(v));
      drawing = true;
    }
  }
  cairo_stroke(cr);
  for (int b = 0; b < ThirdOctaveBands::NUM_BANDS; ++b) {
    const double v = values[std::size_t(b)];
    if (std::isnan(v)) continue;
    const double x = xOfFrequency(ThirdOctaveBands::centre(b));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, yOfValue(v), s.text(radius), 0.0, 2.0 * M_PI);
    if (v < _bottom || v > _top) {
      cairo_set_line_width(cr, s.line(1.5));
      cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
      cairo_stroke(cr);
    } else {
      cairo_fill(cr);
    }
  }
}

}  // namespace brisendel
