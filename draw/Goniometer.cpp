#include "draw/Goniometer.h"

#include <algorithm>
#include <cmath>

#include "draw/CairoSurface.h"
#include "draw/Text.h"

namespace brisendel {

namespace {

// The white square with its axes: mid up and down, side across, and the two
// channels' diagonals dashed.
void drawFrame(cairo_t* cr, const Rect& box, const DrawScale& s) {
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_fill(cr);
  const double cx = box.x + box.w / 2;
  const double cy = box.y + box.h / 2;
  cairo_set_line_width(cr, s.line(1.0));
  cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
  cairo_move_to(cr, cx, box.y);
  cairo_line_to(cr, cx, box.y + box.h);
  cairo_move_to(cr, box.x, cy);
  cairo_line_to(cr, box.x + box.w, cy);
  cairo_stroke(cr);
  const double dashes[] = {s.line(4.0), s.line(4.0)};
  cairo_set_dash(cr, dashes, 2, 0.0);
  cairo_move_to(cr, box.x, box.y);
  cairo_line_to(cr, box.x + box.w, box.y + box.h);
  cairo_move_to(cr, box.x + box.w, box.y);
  cairo_line_to(cr, box.x, box.y + box.h);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0.0);
}

// The border over whatever was drawn inside, the letters that say which way is
// which, and the name above.
void drawLabels(cairo_t* cr, const Rect& box, const DrawScale& s, const Colour& colour,
                const std::string& name) {
  const double cx = box.x + box.w / 2;
  const double cy = box.y + box.h / 2;
  cairo_set_line_width(cr, s.line(1.0));
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  const double inset = s.text(6);
  const double letters = box.y + s.text(16);
  showText(cr, cx, letters, "M", s.text(13), true, 0.5);
  showText(cr, box.x + inset, letters, "L", s.text(13), true);
  showText(cr, box.x + box.w - inset, letters, "R", s.text(13), true, 1.0);
  showText(cr, box.x + inset, cy - inset, "+S", s.text(12));
  showText(cr, box.x + box.w - inset, cy - inset, "-S", s.text(12), false, 1.0);
  if (!name.empty()) {
    cairo_set_source_rgb(cr, colour.r * 0.8, colour.g * 0.8, colour.b * 0.8);
    showText(cr, box.x, box.y - s.text(8), name, s.text(14), true);
  }
}

}  // namespace

void drawGoniometer(cairo_t* cr, const Rect& box, const DrawScale& s,
                    const GoniometerCounts& counts, double span, const Colour& colour,
                    const std::string& name) {
  drawFrame(cr, box, s);

  // The cells within the span, merged so that one shown cell is at least a pixel or
  // two: a line-thin image (identical channels) must not vanish.
  const int grid = counts.grid;
  const int within = std::max(1, static_cast<int>(std::lround(grid * span)));
  const int first = (grid - within) / 2;
  int merge = 1;
  while (within / merge > 128) merge *= 2;
  const int shown = within / merge;
  std::vector<double> merged(std::size_t(shown) * shown, 0.0);
  if (counts.cells != nullptr) {
    for (int row = 0; row < shown * merge; ++row) {
      for (int column = 0; column < shown * merge; ++column) {
        merged[std::size_t(row / merge) * shown + std::size_t(column / merge)] +=
            counts.cells[std::size_t(first + row) * grid + std::size_t(first + column)];
      }
    }
  }
  const double most = merged.empty() ? 0.0 : *std::max_element(merged.begin(), merged.end());
  // (A box of no size would make cairo's scaling singular, an error on the context.)
  if (most > 0.0 && box.w > 0.0 && box.h > 0.0) {
    // One pixel per cell in an image of its own, scaled onto the box: an SVG then
    // holds one embedded picture instead of a rectangle per cell.
    CairoSurface cells(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, shown, shown));
    cairo_surface_flush(cells.get());
    unsigned char* pixels = cairo_image_surface_get_data(cells.get());
    const int stride = cairo_image_surface_get_stride(cells.get());
    const double scale = 1.0 / std::log1p(most);
    for (int row = 0; row < shown; ++row) {
      for (int column = 0; column < shown; ++column) {
        const double count = merged[std::size_t(row) * shown + std::size_t(column)];
        // Mid grows upwards; side (L-R)/2 to the left, so a left-only signal leans upper left.
        auto* pixel =
            reinterpret_cast<std::uint32_t*>(pixels + std::size_t(shown - 1 - row) * stride) +
            (shown - 1 - column);
        if (count <= 0.0) {
          *pixel = 0;
          continue;
        }
        const double alpha = 0.25 + 0.75 * std::log1p(count) * scale;
        const auto channel = [alpha](double c) {
          return static_cast<std::uint32_t>(std::lround(255.0 * c * alpha));
        };
        *pixel = (static_cast<std::uint32_t>(std::lround(255.0 * alpha)) << 24) |
                 (channel(colour.r) << 16) | (channel(colour.g) << 8) | channel(colour.b);
      }
    }
    cairo_surface_mark_dirty(cells.get());
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_clip(cr);
    cairo_translate(cr, box.x, box.y);
    cairo_scale(cr, box.w / shown, box.h / shown);
    cairo_set_source_surface(cr, cells.get(), 0.0, 0.0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  drawLabels(cr, box, s, colour, name);
}

void drawGoniometer(cairo_t* cr, const Rect& box, const DrawScale& s,
                    const GoniometerPoints& points, double span, const Colour& colour,
                    const std::string& name) {
  drawFrame(cr, box, s);
  if (points.sideMid != nullptr && points.count > 0 && span > 0.0) {
    const double cx = box.x + box.w / 2;
    const double cy = box.y + box.h / 2;
    const double xPerUnit = box.w / 2 / span;
    const double yPerUnit = box.h / 2 / span;
    // Dots a little larger than a line, translucent so that where many meet
    // reads darker, as the shade of a count does.
    const double dot = s.text(2.6);
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.w, box.h);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, 0.7);
    for (unsigned i = 0; i < points.count; ++i) {
      const double side = points.sideMid[2 * i];
      const double mid = points.sideMid[2 * i + 1];
      if (!std::isfinite(side) || !std::isfinite(mid)) continue;
      // Side (L - R)/2 to the left, as the cells are drawn.
      const double x = cx - std::clamp(side, -2.0 * span, 2.0 * span) * xPerUnit;
      const double y = cy - std::clamp(mid, -2.0 * span, 2.0 * span) * yPerUnit;
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, dot / 2, 0.0, 2.0 * M_PI);
    }
    cairo_fill(cr);
    cairo_restore(cr);
  }
  drawLabels(cr, box, s, colour, name);
}

double goniometerSpan(const std::vector<GoniometerCounts>& all) {
  double span = 1.0;
  while (span > 1.0 / 16.0) {
    const double half = span / 2.0;
    bool fits = true;
    for (const GoniometerCounts& counts : all) {
      if (counts.cells == nullptr) continue;
      const int grid = counts.grid;
      const int within = static_cast<int>(std::lround(grid * half));
      const int first = (grid - within) / 2;
      double inside = 0.0;
      double every = 0.0;
      for (int row = 0; row < grid; ++row) {
        for (int column = 0; column < grid; ++column) {
          const double count = counts.cells[std::size_t(row) * grid + std::size_t(column)];
          every += count;
          if (row >= first && row < first + within && column >= first && column < first + within)
            inside += count;
        }
      }
      if (inside < 0.999 * every) fits = false;
    }
    if (!fits) break;
    span = half;
  }
  return span;
}

}  // namespace brisendel
