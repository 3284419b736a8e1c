#include "formats/lv2/ui/ViewLayout.h"

#include <algorithm>
#include <cmath>

#include "formats/lv2/ViewMessages.h"

namespace brisendel {

namespace {

// Share of the control strip's width per control.
constexpr double CELL_WEIGHTS[ViewControls::COUNT] = {2.0, 2.0, 1.9, 2.2, 1.1};

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
  const double W = _width, H = _height, p = _pad, f = _font;

  _header = {0, 0, W, f * 2.2};
  const double labelH = f * 1.5, bodyH = f * 1.9;
  const double stripH = labelH + bodyH + p * 1.6;
  const double top = _header.bottom(), bottom = H - stripH;
  const double middleH = std::max(bottom - top, 10.0);

  // Right column: the goniometer's square above the two correlation bars,
  // both ending where the band panels end.
  const double titleH = f * 2.1, end = top + middleH - p * 0.5;
  const double barH = f * 1.1, labelW = f * 2.6, valueW = f * 3.4;
  const double metersH = titleH + 2 * barH + p * 0.6 + f * 1.6;
  const double square = std::max(20.0, std::min(W * 0.3, middleH - metersH - titleH - p * 2));
  const double columnW = square + 2 * p;
  const double columnX = W - p - columnW;
  _metersPanel = {columnX, end - metersH, columnW, metersH};
  _goniometerPanel = {columnX, top, columnW, _metersPanel.y - p * 0.5 - top};
  const double room = _goniometerPanel.h - titleH - square;
  _goniometerPlot = {columnX + p, top + titleH + std::max(room - p, 0.0) / 2, square, square};
  for (int which = 0; which < 2; ++which) {
    _meterTrack[which] = {columnX + p + labelW, _metersPanel.y + titleH + which * (barH + p * 0.6),
                          columnW - 2 * p - labelW - valueW, barH};
  }

  // Left: the width per band above the correlation per band; one frequency
  // scale below both.
  const double leftX = p, leftW = std::max(columnX - p - leftX, 20.0);
  const double axisW = f * 3.0, freqH = f * 1.4;
  const double plotsH = middleH - 2 * titleH - freqH - p * 1.5;
  const double widthH = std::max(plotsH * 0.6, 10.0), corrH = std::max(plotsH * 0.4, 10.0);
  _widthPanel = {leftX, top, leftW, titleH + widthH + p * 0.5};
  _widthPlot = {leftX + axisW, top + titleH, leftW - axisW - p, widthH};
  _correlationPanel = {leftX, _widthPanel.bottom() + p * 0.5, leftW, titleH + corrH + freqH};
  _correlationPlot = {_widthPlot.x, _correlationPanel.y + titleH, _widthPlot.w, corrH};

  // The control strip.
  double total = 0;
  for (double weight : CELL_WEIGHTS) total += weight;
  double x = p;
  const double unit = (W - p * (ViewControls::COUNT + 1)) / total;
  for (int i = 0; i < ViewControls::COUNT; ++i) {
    const double w = unit * CELL_WEIGHTS[i];
    _cell[i] = {x, bottom + p * 0.6, w, labelH + bodyH};
    _label[i] = {x, _cell[i].y, w, labelH};
    _body[i] = {x, _cell[i].y + labelH, w, bodyH};
    x += w + p;
  }
}

double ViewLayout::bandX(int band) const {
  return _widthPlot.x + (band + 0.5) / ViewMessages::BAND_COUNT * _widthPlot.w;
}

double ViewLayout::frequencyX(double hertz) const {
  const double band = 3.0 * std::log2(hertz / 1000.0) - ViewMessages::LOWEST_BAND;
  return _widthPlot.x + (band + 0.5) / ViewMessages::BAND_COUNT * _widthPlot.w;
}

double ViewLayout::widthY(double db) const {
  if (std::isnan(db)) db = WIDTH_MIN_DB;
  const double t =
      (std::clamp(db, WIDTH_MIN_DB, WIDTH_MAX_DB) - WIDTH_MIN_DB) / (WIDTH_MAX_DB - WIDTH_MIN_DB);
  return _widthPlot.bottom() - t * _widthPlot.h;
}

double ViewLayout::correlationY(double correlation) const {
  const double t = (std::clamp(correlation, -1.0, 1.0) + 1.0) / 2.0;
  return _correlationPlot.bottom() - t * _correlationPlot.h;
}

double ViewLayout::meterX(int which, double correlation) const {
  const Rect& track = _meterTrack[which];
  return track.x + (std::clamp(correlation, -1.0, 1.0) + 1.0) / 2.0 * track.w;
}

ViewLayout::Rect ViewLayout::sliderTrack(int control) const {
  const Rect& body = _body[control];
  const double inset = body.h * 0.45;
  return {body.x + inset, body.cy() - body.h * 0.14, body.w - 2 * inset, body.h * 0.28};
}

double ViewLayout::sliderX(int control, double value) const {
  const ViewControls::Control& c = ViewControls::at(control);
  const Rect track = sliderTrack(control);
  const double t = (std::clamp(value, double(c.min), double(c.max)) - c.min) / (c.max - c.min);
  return track.x + t * track.w;
}

int ViewLayout::segmentCount(int control) const {
  const ViewControls::Control& c = ViewControls::at(control);
  return c.kind == ViewControls::kSlider ? 0 : int(c.max - c.min) + 1;
}

ViewLayout::Rect ViewLayout::segment(int control, int index) const {
  const Rect& body = _body[control];
  const int n = std::max(segmentCount(control), 1);
  const double w = body.w / n;
  return {body.x + index * w, body.y + body.h * 0.08, w, body.h * 0.84};
}

double ViewLayout::valueAt(int control, double x) const {
  const ViewControls::Control& c = ViewControls::at(control);
  if (c.kind == ViewControls::kSlider) {
    const Rect track = sliderTrack(control);
    return c.min + (x - track.x) / track.w * (c.max - c.min);
  }
  const Rect& body = _body[control];
  const int n = segmentCount(control);
  const int index = std::clamp(int(std::floor((x - body.x) / body.w * n)), 0, n - 1);
  return c.min + index;
}

int ViewLayout::controlAt(double x, double y) const {
  for (int i = 0; i < ViewControls::COUNT; ++i)
    if (_cell[i].contains(x, y)) return i;
  return -1;
}

}  // namespace brisendel
