#include "draw/CorrelationMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "draw/Text.h"

namespace brisendel {

Rect correlationMeterBar(const Rect& box, const DrawScale& s, bool scaleFigures) {
  if (!scaleFigures) return box;
  // The bar takes the upper part, the scale's figures the rest.
  return {box.x, box.y, box.w, std::max(box.h - s.text(13) - s.text(4), box.h / 2)};
}

double correlationMeterX(const Rect& bar, double correlation) {
  return bar.x + bar.w * (std::clamp(correlation, -1.0, 1.0) + 1.0) / 2.0;
}

void drawCorrelationMeter(cairo_t* cr, const Rect& box, const DrawScale& s, double correlation,
                          const Colour& colour, bool scaleFigures) {
  const double labels = s.text(13);
  const Rect bar = correlationMeterBar(box, s, scaleFigures);
  const auto xOf = [&bar](double value) { return correlationMeterX(bar, value); };
  cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
  cairo_rectangle(cr, bar.x, bar.y, bar.w, bar.h);
  cairo_fill(cr);
  if (!std::isnan(correlation)) {
    const Colour fill = correlation < 0.0 ? Colour{0.84, 0.15, 0.10} : colour;
    cairo_set_source_rgb(cr, fill.r, fill.g, fill.b);
    const double zero = xOf(0.0);
    const double at = xOf(correlation);
    cairo_rectangle(cr, std::min(zero, at), bar.y, std::fabs(at - zero), bar.h);
    cairo_fill(cr);
  }
  cairo_set_line_width(cr, s.line(1.0));
  for (double v : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
    const double x = xOf(v);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_move_to(cr, x, bar.y + (v == 0.0 ? 0.0 : bar.h * 0.6));
    cairo_line_to(cr, x, bar.y + bar.h);
    cairo_stroke(cr);
    if (!scaleFigures) continue;
    char figure[16];
    std::snprintf(figure, sizeof(figure), v == 0.0 ? "0" : "%+g", v);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    const double align = v == -1.0 ? 0.0 : v == 1.0 ? 1.0 : 0.5;
    showText(cr, x, bar.y + bar.h + labels, figure, s.text(12), false, align);
  }
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_rectangle(cr, bar.x, bar.y, bar.w, bar.h);
  cairo_stroke(cr);
  if (!std::isnan(correlation)) {
    // Rounded first, so that a hair below zero reads "+0.00", not "-0.00".
    const double shown = std::round(std::clamp(correlation, -1.0, 1.0) * 100.0) / 100.0 + 0.0;
    char figure[16];
    std::snprintf(figure, sizeof(figure), "%+.2f", shown);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    const bool right = shown < 0.0;  // the figure goes where the bar is not
    showText(cr, right ? bar.x + bar.w - s.text(6) : bar.x + s.text(6), bar.y + bar.h / 2, figure,
             s.text(13), true, right ? 1.0 : 0.0, 0.35);
  }
}

}  // namespace brisendel
