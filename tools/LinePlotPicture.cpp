#include "tools/LinePlotPicture.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "draw/Colour.h"
#include "draw/Text.h"

namespace brisendel {

namespace {

constexpr double PI = 3.14159265358979323846;

std::string tickText(double value, double step) {
  std::ostringstream text;
  const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  text << std::fixed << std::setprecision(decimals) << value;
  return text.str();
}

}  // namespace

LinePlotPicture::LinePlotPicture(std::string title, Axis x, Axis y, std::vector<Series> series)
    : _title(std::move(title)), _x(std::move(x)), _y(std::move(y)), _series(std::move(series)) {}

void LinePlotPicture::draw(cairo_t* cr, int width, int height) const {
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_paint(cr);
  const double text = std::clamp(std::min(width / 900.0, height / 600.0), 0.6, 1.5);
  const double left = 80.0 * text;
  const double right = width - 24.0 * text;
  const double top = (_note.empty() ? 84.0 : 104.0) * text;
  const double bottom = height - 60.0 * text;

  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  showText(cr, 20.0 * text, 34.0 * text, _title, 22.0 * text, true);
  double legendY = 60.0 * text;
  if (!_note.empty()) {
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.25);
    showText(cr, 20.0 * text, 58.0 * text, _note, 13.0 * text);
    legendY = 82.0 * text;
  }
  // The legend: a short line in each series' colour and its name.
  double x = left;
  for (std::size_t s = 0; s < _series.size(); ++s) {
    const Colour colour = Colour::series(s);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, 2.5 * text);
    cairo_move_to(cr, x, legendY - 5.0 * text);
    cairo_line_to(cr, x + 24.0 * text, legendY - 5.0 * text);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    showText(cr, x + 30.0 * text, legendY, _series[s].name, 14.0 * text);
    x += 30.0 * text + textWidth(cr, _series[s].name, 14.0 * text) + 28.0 * text;
  }

  const auto xOf = [&](double value) {
    return left + (value - _x.low) / (_x.high - _x.low) * (right - left);
  };
  const auto yOf = [&](double value) {
    const double clamped = std::clamp(value, _y.low, _y.high);
    return bottom - (clamped - _y.low) / (_y.high - _y.low) * (bottom - top);
  };

  cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
  cairo_rectangle(cr, left, top, right - left, bottom - top);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.0);
  // Grid lines and their labels; the steps are counted, not accumulated, so that
  // rounding never drops the last line.
  const int yLines = static_cast<int>(std::floor((_y.high - _y.low) / _y.step + 1e-9));
  for (int i = 0; i <= yLines; ++i) {
    const double value = _y.low + i * _y.step;
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_move_to(cr, left, std::round(yOf(value)) + 0.5);
    cairo_line_to(cr, right, std::round(yOf(value)) + 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    showText(cr, left - 8.0 * text, yOf(value), tickText(value, _y.step), 13.0 * text, false, 1.0,
             0.35);
  }
  const int xLines = static_cast<int>(std::floor((_x.high - _x.low) / _x.step + 1e-9));
  for (int i = 0; i <= xLines; ++i) {
    const double value = _x.low + i * _x.step;
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_move_to(cr, std::round(xOf(value)) + 0.5, top);
    cairo_line_to(cr, std::round(xOf(value)) + 0.5, bottom);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    showText(cr, xOf(value), bottom + 20.0 * text, tickText(value, _x.step), 13.0 * text, false,
             0.5);
  }
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  showText(cr, (left + right) / 2.0, bottom + 44.0 * text, _x.label, 14.0 * text, false, 0.5);
  showVerticalText(cr, 24.0 * text, (top + bottom) / 2.0, _y.label, 14.0 * text);
  cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
  cairo_rectangle(cr, left + 0.5, top + 0.5, right - left - 1.0, bottom - top - 1.0);
  cairo_stroke(cr);

  cairo_save(cr);
  cairo_rectangle(cr, left, top - 4.0 * text, right - left, bottom - top + 8.0 * text);
  cairo_clip(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (std::size_t s = 0; s < _series.size(); ++s) {
    const Colour colour = Colour::series(s);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, 1.8 * text);
    bool first = true;
    for (const auto& point : _series[s].points) {
      if (first) {
        cairo_move_to(cr, xOf(point.first), yOf(point.second));
      } else {
        cairo_line_to(cr, xOf(point.first), yOf(point.second));
      }
      first = false;
    }
    cairo_stroke(cr);
    if (!_series[s].marks) continue;
    for (const auto& point : _series[s].points) {
      cairo_arc(cr, xOf(point.first), yOf(point.second), 4.0 * text, 0.0, 2.0 * PI);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

}  // namespace brisendel
