#include "tools/StereoFieldPicture.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "tools/SafeOutputFile.h"
#include "tools/StereoFieldAnalysis.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

struct Colour {
  double r, g, b;
};
// Distinct for the common forms of colour blindness (Okabe and Ito).
const Colour PALETTE[] = {{0.00, 0.45, 0.70}, {0.90, 0.38, 0.00}, {0.00, 0.62, 0.45},
                          {0.80, 0.47, 0.65}, {0.34, 0.71, 0.91}, {0.84, 0.37, 0.00}};
const Colour& colourOf(std::size_t index) {
  return PALETTE[index % (sizeof(PALETTE) / sizeof(PALETTE[0]))];
}

// The band plots' shared frequency axis and their value ranges.
constexpr double LOW_HZ = 16.0;
constexpr double HIGH_HZ = 25000.0;
constexpr double DB_TOP = 10.0;
constexpr double DB_BOTTOM = -50.0;

struct Box {
  double x, y, w, h;
};

void text(cairo_t* cr, double x, double y, const std::string& words, double size, bool bold = false,
          double alignX = 0.0, double alignY = 0.0) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, words.c_str(), &extents);
  // alignX: 0 starts the text at x, 0.5 centres it, 1 ends it there; alignY lowers
  // the baseline by that share of the text's height.
  cairo_move_to(cr, x - alignX * extents.x_advance, y + alignY * extents.height);
  cairo_show_text(cr, words.c_str());
}

void verticalText(cairo_t* cr, double x, double y, const std::string& words, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, -M_PI / 2.0);
  text(cr, 0.0, 0.0, words, size, false, 0.5, 0.0);
  cairo_restore(cr);
}

double xOfFrequency(const Box& box, double hz) {
  return box.x + box.w * std::log(hz / LOW_HZ) / std::log(HIGH_HZ / LOW_HZ);
}

std::string hertz(double hz) {
  char buffer[32];
  if (hz >= 1000.0) {
    std::snprintf(buffer, sizeof(buffer), "%gk", hz / 1000.0);
  } else {
    std::snprintf(buffer, sizeof(buffer), "%g", hz);
  }
  return buffer;
}

// A band plot's frame, grid, frequency axis and value axis; `label` on the value axis.
void axes(cairo_t* cr, const Box& box, double top, double bottom, double step,
          const std::string& title, const std::string& label, bool frequencyLabels) {
  cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.0);
  for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
    const double x = xOfFrequency(box, hz);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_move_to(cr, x, box.y);
    cairo_line_to(cr, x, box.y + box.h);
    cairo_stroke(cr);
    if (frequencyLabels) {
      cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
      text(cr, x, box.y + box.h + 18, hertz(hz), 13, false, 0.5);
    }
  }
  for (double v = bottom; v <= top + 1e-9; v += step) {
    const double y = box.y + box.h * (top - v) / (top - bottom);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    if (std::fabs(v) < 1e-9) cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
    cairo_move_to(cr, box.x, y);
    cairo_line_to(cr, box.x + box.w, y);
    cairo_stroke(cr);
    char value[32];
    std::snprintf(value, sizeof(value), step < 1.0 ? "%.1f" : "%.0f", v);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    text(cr, box.x - 8, y, value, 13, false, 1.0, 0.35);
  }
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  text(cr, box.x, box.y - 10, title, 16, true);
  verticalText(cr, box.x - 48, box.y + box.h / 2, label, 14);
}

// One curve through the bands' values; values beyond the range sit on its edge, drawn
// as hollow marks so that they do not pass for measured values.
template <typename Value>
void curve(cairo_t* cr, const Box& box, const StereoFieldAnalysis& analysis, double top,
           double bottom, const Colour& colour, Value value) {
  const auto yOf = [&](double v) {
    return box.y + box.h * (top - std::clamp(v, bottom, top)) / (top - bottom);
  };
  cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
  cairo_set_line_width(cr, 2.5);
  bool drawing = false;
  for (const StereoFieldAnalysis::Band& band : analysis.getBands()) {
    const double v = value(band);
    if (std::isnan(v)) {
      drawing = false;
      continue;
    }
    const double x = xOfFrequency(box, band.centre);
    if (drawing) {
      cairo_line_to(cr, x, yOf(v));
    } else {
      cairo_move_to(cr, x, yOf(v));
      drawing = true;
    }
  }
  cairo_stroke(cr);
  for (const StereoFieldAnalysis::Band& band : analysis.getBands()) {
    const double v = value(band);
    if (std::isnan(v)) continue;
    const double x = xOfFrequency(box, band.centre);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, yOf(v), 4.0, 0.0, 2.0 * M_PI);
    if (v < bottom || v > top) {
      cairo_set_line_width(cr, 1.5);
      cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
      cairo_stroke(cr);
    } else {
      cairo_fill(cr);
    }
  }
}

class Surface {
 public:
  explicit Surface(cairo_surface_t* surface) : _surface(surface) {}
  ~Surface() { cairo_surface_destroy(_surface); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  cairo_surface_t* get() const { return _surface; }

 private:
  cairo_surface_t* _surface;
};

// The goniometer: density of (side, mid) points on a logarithmic scale, mid up, the
// left channel along the upper-left diagonal; `span` of full scale is shown.
void goniometer(cairo_t* cr, const Box& box, const StereoFieldAnalysis& analysis, double span,
                const Colour& colour, const std::string& name) {
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_fill(cr);
  const double cx = box.x + box.w / 2;
  const double cy = box.y + box.h / 2;
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
  cairo_move_to(cr, cx, box.y);
  cairo_line_to(cr, cx, box.y + box.h);
  cairo_move_to(cr, box.x, cy);
  cairo_line_to(cr, box.x + box.w, cy);
  cairo_stroke(cr);
  const double dashes[] = {4.0, 4.0};
  cairo_set_dash(cr, dashes, 2, 0.0);
  cairo_move_to(cr, box.x, box.y);
  cairo_line_to(cr, box.x + box.w, box.y + box.h);
  cairo_move_to(cr, box.x + box.w, box.y);
  cairo_line_to(cr, box.x, box.y + box.h);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0.0);

  // The analysis' cells within the span, merged so that one shown cell is at least a
  // pixel or two: a line-thin image (identical channels) must not vanish.
  const std::vector<std::uint32_t>& counts = analysis.getGoniometer();
  const int grid = StereoFieldAnalysis::GRID;
  const int within = std::max(1, static_cast<int>(std::lround(grid * span)));
  const int first = (grid - within) / 2;
  int merge = 1;
  while (within / merge > 128) merge *= 2;
  const int shown = within / merge;
  std::vector<double> merged(std::size_t(shown) * shown, 0.0);
  for (int row = 0; row < shown * merge; ++row) {
    for (int column = 0; column < shown * merge; ++column) {
      merged[std::size_t(row / merge) * shown + std::size_t(column / merge)] +=
          counts[std::size_t(first + row) * grid + std::size_t(first + column)];
    }
  }
  const double most = *std::max_element(merged.begin(), merged.end());
  if (most > 0.0) {
    // One pixel per cell in an image of its own, scaled onto the box: an SVG then
    // holds one embedded picture instead of a rectangle per cell.
    Surface cells(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, shown, shown));
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
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  text(cr, cx, box.y + 16, "M", 13, true, 0.5);
  text(cr, box.x + 6, box.y + 16, "L", 13, true);
  text(cr, box.x + box.w - 6, box.y + 16, "R", 13, true, 1.0);
  text(cr, box.x + 6, cy - 6, "+S", 12);
  text(cr, box.x + box.w - 6, cy - 6, "-S", 12, false, 1.0);
  cairo_set_source_rgb(cr, colour.r * 0.8, colour.g * 0.8, colour.b * 0.8);
  text(cr, box.x, box.y - 8, name, 14, true);
}

// The span of full scale the goniometers show: the smallest power of two (down to
// 1/16) that holds 99.9 % of every file's points, so that a quiet file is not a dot,
// a rare peak does not shrink the rest, and all files share one scale.
double goniometerSpan(const std::vector<StereoFieldPicture::Entry>& entries) {
  const int grid = StereoFieldAnalysis::GRID;
  double span = 1.0;
  while (span > 1.0 / 16.0) {
    const double half = span / 2.0;
    const int within = static_cast<int>(std::lround(grid * half));
    const int first = (grid - within) / 2;
    bool fits = true;
    for (const auto& entry : entries) {
      const std::vector<std::uint32_t>& counts = entry.analysis->getGoniometer();
      double inside = 0.0;
      double all = 0.0;
      for (int row = 0; row < grid; ++row) {
        for (int column = 0; column < grid; ++column) {
          const double count = counts[std::size_t(row) * grid + std::size_t(column)];
          all += count;
          if (row >= first && row < first + within && column >= first && column < first + within)
            inside += count;
        }
      }
      if (inside < 0.999 * all) fits = false;
    }
    if (!fits) break;
    span = half;
  }
  return span;
}

std::string decibels(double span) {
  char buffer[48];
  std::snprintf(buffer, sizeof(buffer), "%.0f dBFS", 20.0 * std::log10(span));
  return buffer;
}

void check(cairo_status_t status, const std::string& path) {
  if (status != CAIRO_STATUS_SUCCESS) {
    throw ToolError(path + ": cannot be written: " + cairo_status_to_string(status));
  }
}

}  // namespace

void StereoFieldPicture::draw(void* context) const {
  cairo_t* cr = static_cast<cairo_t*>(context);
  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_paint(cr);

  std::string names;
  for (const Entry& entry : _entries) names += (names.empty() ? "" : ", ") + entry.name;
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
  text(cr, 24, 36, "Stereo field: " + names, 22, true);

  const Box width{90, 110, 640, 320};
  const Box correlation{90, 520, 640, 200};
  axes(cr, width, DB_TOP, DB_BOTTOM, 10.0, "Width per third-octave band: side-to-mid energy",
       "side / mid (dB)", true);
  axes(cr, correlation, 1.0, -1.0, 0.5, "L/R correlation per third-octave band", "correlation",
       true);
  for (std::size_t i = 0; i < _entries.size(); ++i) {
    const StereoFieldAnalysis& analysis = *_entries[i].analysis;
    curve(cr, width, analysis, DB_TOP, DB_BOTTOM, colourOf(i),
          [](const StereoFieldAnalysis::Band& band) { return band.sideToMidDb; });
    curve(cr, correlation, analysis, 1.0, -1.0, colourOf(i),
          [](const StereoFieldAnalysis::Band& band) { return band.correlation; });
  }
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  text(cr, width.x + width.w / 2, width.y + width.h + 40, "frequency (Hz)", 14, false, 0.5);
  text(cr, correlation.x + correlation.w / 2, correlation.y + correlation.h + 40, "frequency (Hz)",
       14, false, 0.5);
  text(cr, width.x + 8, width.y + 18,
       "0 dB: as much side as mid.  Hollow marks on the bottom edge: below -50 dB (identical "
       "channels: -inf)",
       12);

  // Legend: one row under the title, clear of every curve.
  double lx = 90;
  for (std::size_t i = 0; i < _entries.size(); ++i) {
    const Colour& colour = colourOf(i);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, 3.0);
    cairo_move_to(cr, lx, 60);
    cairo_line_to(cr, lx + 30, 60);
    cairo_stroke(cr);
    cairo_arc(cr, lx + 15, 60, 4.0, 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, lx + 38, 60, _entries[i].name, 14, false, 0.0, 0.35);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, _entries[i].name.c_str(), &extents);
    lx += 38 + extents.x_advance + 30;
  }

  // Goniometers, stacked in the right column.
  const double span = goniometerSpan(_entries);
  const double columnX = 800;
  const double columnW = 370;
  const double top = 100;
  const double bottom = 752;
  const std::size_t count = std::max<std::size_t>(1, _entries.size());
  const double slot = (bottom - top) / static_cast<double>(count);
  const double side = std::min(columnW, slot - 34);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  text(cr, columnX, 72, "Goniometer (mid up, left to the upper left)", 16, true);
  for (std::size_t i = 0; i < _entries.size(); ++i) {
    const Box box{columnX + (columnW - side) / 2, top + slot * i + 22, side, side};
    goniometer(cr, box, *_entries[i].analysis, span, colourOf(i), _entries[i].name);
  }
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  text(cr, columnX, bottom + 18,
       "Edges at " + decibels(span) + " (1.0 = 0 dBFS); 99.9 % of the points lie within.", 12);
  text(cr, columnX, bottom + 34, "Shade: logarithm of the number of points.", 12);
}

void StereoFieldPicture::writePng(const std::string& path,
                                  const std::vector<std::string>& protectedInputs) const {
  SafeOutputFile output(path, protectedInputs);
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, WIDTH, HEIGHT));
  check(cairo_surface_status(surface.get()), path);
  cairo_t* cr = cairo_create(surface.get());
  draw(cr);
  const cairo_status_t drawn = cairo_status(cr);
  cairo_destroy(cr);
  check(drawn, path);
  check(cairo_surface_write_to_png(surface.get(), output.getTemporaryPath().c_str()), path);
  output.commit();
}

void StereoFieldPicture::writeSvg(const std::string& path,
                                  const std::vector<std::string>& protectedInputs) const {
  SafeOutputFile output(path, protectedInputs);
  {
    Surface surface(cairo_svg_surface_create(output.getTemporaryPath().c_str(), WIDTH, HEIGHT));
    check(cairo_surface_status(surface.get()), path);
    cairo_t* cr = cairo_create(surface.get());
    draw(cr);
    const cairo_status_t drawn = cairo_status(cr);
    cairo_destroy(cr);
    check(drawn, path);
    cairo_surface_finish(surface.get());
    check(cairo_surface_status(surface.get()), path);
  }
  output.commit();
}

}  // namespace brisendel
