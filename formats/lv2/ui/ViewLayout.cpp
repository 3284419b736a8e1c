#include "formats/lv2/ui/ViewLayout.h"

#include <algorithm>
#include <cmath>

#include "draw/CorrelationMeter.h"

namespace brisendel {

namespace {

// Share of the control strip's width per control.
constexpr double CELL_WEIGHTS[Parameters::COUNT] = {2.0, 2.0, 1.9, 2.2, 1.1};

}  // namespace

ViewLayout::ViewLayout(int width, int height, double scale)
    : _width(std::max(width, 1)), _height(std::max(height, 1)), _scale(scale) {
  const double fit =
      std::clamp(std::min(_width / double(DEFAULT_WIDTH), _height / double(DEFAULT_HEIGHT)) /
                     std::max(scale, 0.25),
                 0.5, 2.0);
  // Text shrinks more slowly than the window, so that small views stay legible.
  _font = std::max(10.0, 12.0 * std::sqrt(fit)) * scale;
  _pad = std::max(6.0, 10.0 * fit) * scale;
  // The shared drawing's tick labels (13 at its factor 1) a little larger than
  // the controls' small text.
  _draw = DrawScale(_font / 13.0);
  const DrawScale& s = _draw;
  const double W = _width, H = _height, p = _pad, f = _font;

  _header = {{0, 0, W, f * 2.4}};
  const double labelH = f * 1.5, bodyH = f * 1.9;
  const double stripH = labelH + bodyH + p * 1.6;
  _strip = {{0, H - stripH, W, stripH}};
  const double top = _header.bottom(), bottom = std::max(_strip.y - p * 0.4, top + 10.0);
  const double middleH = bottom - top;

  // The room BandPlot's titles take above a plot and its frequency labels below.
  const double titleH = s.text(28), frequencyH = s.text(24);

  // Right column: the goniometer's square, and the two correlation meters
  // ending where the band plots' frequency labels do, on one scale whose
  // figures go under the lower.
  const double barH = s.text(16), figuresH = s.text(17), meterGap = p * 0.5;
  const double rowLabelW = s.text(34);
  const double metersH = titleH + 2 * barH + meterGap + figuresH;
  const double square = std::max(20.0, std::min(W * 0.32, middleH - titleH - metersH - p * 0.5));
  const double columnX = W - p - square;
  _goniometer = {{columnX, top + titleH, square, square}};
  _metersTitle = {{columnX, bottom - metersH, square, titleH}};
  _meter[0] = {{columnX + rowLabelW, _metersTitle.bottom(), square - rowLabelW, barH}};
  _meter[1] = {{_meter[0].x, _meter[0].bottom() + meterGap, _meter[0].w, barH + figuresH}};

  // Left: the width per band above the correlation per band; the frequency
  // labels under the lower one only. The value labels take the room left of
  // the plots; the lower title keeps clear of the upper plot's lowest label.
  const double leftX = p + s.text(44), betweenH = s.text(36);
  const double leftW = std::max(columnX - 2 * p - leftX, 20.0);
  const double plotsH = std::max(middleH - titleH - betweenH - frequencyH, 20.0);
  _widthBox = {{leftX, top + titleH, leftW, plotsH * 0.6}};
  _correlationBox = {{leftX, _widthBox.bottom() + betweenH, leftW, plotsH * 0.4}};

  // The control strip.
  double total = 0;
  for (double weight : CELL_WEIGHTS) total += weight;
  double x = p;
  const double unit = (W - p * (Parameters::COUNT + 1)) / total;
  for (int i = 0; i < Parameters::COUNT; ++i) {
    const double w = unit * CELL_WEIGHTS[i];
    _cell[i] = {{x, _strip.y + p * 0.6, w, labelH + bodyH}};
    _label[i] = {{x, _cell[i].y, w, labelH}};
    _body[i] = {{x, _cell[i].y + labelH, w, bodyH}};
    x += w + p;
  }
}

BandPlot ViewLayout::widthPlot() const {
  BandPlot plot = BandPlot::width(_widthBox, _draw);
  plot.setTitle("Width per band: side / mid (dB)");
  plot.setLabel("");
  plot.setFrequencyLabels(false);
  return plot;
}

BandPlot ViewLayout::correlationPlot() const {
  BandPlot plot = BandPlot::correlation(_correlationBox, _draw);
  plot.setTitle("L/R correlation per band");
  plot.setLabel("");
  return plot;
}

ViewLayout::Rect ViewLayout::meterBar(int which) const {
  return {correlationMeterBar(_meter[which], _draw, meterFigures(which))};
}

double ViewLayout::meterX(int which, double correlation) const {
  return correlationMeterX(meterBar(which), correlation);
}

ViewLayout::Rect ViewLayout::sliderTrack(int control) const {
  const Rect& body = _body[control];
  const double inset = body.h * 0.45;
  return {{body.x + inset, body.cy() - body.h * 0.14, body.w - 2 * inset, body.h * 0.28}};
}

double ViewLayout::sliderX(int control, double value) const {
  const Parameters::Info& c = Parameters::TABLE[control];
  const Rect track = sliderTrack(control);
  const double t = (std::clamp(value, c.minimum, c.maximum) - c.minimum) / (c.maximum - c.minimum);
  return track.x + t * track.w;
}

int ViewLayout::segmentCount(int control) const {
  return isSlider(control) ? 0 : int(Parameters::TABLE[control].stepCount());
}

ViewLayout::Rect ViewLayout::segment(int control, int index) const {
  const Rect& body = _body[control];
  const int n = std::max(segmentCount(control), 1);
  const double w = body.w / n;
  return {{body.x + index * w, body.y + body.h * 0.08, w, body.h * 0.84}};
}

double ViewLayout::valueAt(int control, double x) const {
  const Parameters::Info& c = Parameters::TABLE[control];
  if (isSlider(control)) {
    const Rect track = sliderTrack(control);
    return c.minimum + (x - track.x) / track.w * (c.maximum - c.minimum);
  }
  const Rect& body = _body[control];
  const int n = segmentCount(control);
  const int index = std::clamp(int(std::floor((x - body.x) / body.w * n)), 0, n - 1);
  return c.plainOfStep(unsigned(index));
}

int ViewLayout::controlAt(double x, double y) const {
  for (int i = 0; i < Parameters::COUNT; ++i)
    if (_cell[i].contains(x, y)) return i;
  return -1;
}

}  // namespace brisendel
