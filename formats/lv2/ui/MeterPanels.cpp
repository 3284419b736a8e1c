#include "formats/lv2/ui/MeterPanels.h"

#include <cmath>
#include <cstdio>

#include "formats/lv2/ui/Paint.h"

namespace brisendel {

namespace {

using Rect = ViewLayout::Rect;

void panel(cairo_t* cr, const ViewLayout& layout, const Rect& r, const char* title,
           const char* unit) {
  Paint::colour(cr, Palette::PANEL);
  Paint::roundedBox(cr, r.x, r.y, r.w, r.h, layout.pad() * 0.6);
  cairo_fill(cr);
  const double y = r.y + layout.font() * 0.75;
  const double w = Paint::text(cr, title, r.x + layout.pad(), y, layout.font(), Palette::TITLE,
                               Paint::kLeft, true);
  if (unit)
    Paint::text(cr, unit, r.x + layout.pad() * 1.6 + w, y, layout.smallFont(), Palette::DIM_TEXT);
}

void hline(cairo_t* cr, const Rect& plot, double y, std::uint32_t c, double width) {
  Paint::colour(cr, c);
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, plot.x, std::round(y) + 0.5);
  cairo_line_to(cr, plot.right(), std::round(y) + 0.5);
  cairo_stroke(cr);
}

void vline(cairo_t* cr, const Rect& plot, double x, std::uint32_t c, double width) {
  Paint::colour(cr, c);
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, std::round(x) + 0.5, plot.y);
  cairo_line_to(cr, std::round(x) + 0.5, plot.bottom());
  cairo_stroke(cr);
}

void note(cairo_t* cr, const ViewLayout& layout, const Rect& plot, const char* text) {
  Paint::text(cr, text, plot.cx(), plot.cy(), layout.font(), Palette::DIM_TEXT, Paint::kCentre);
}

constexpr double OCTAVES[] = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
constexpr const char* OCTAVE_TEXTS[] = {"31", "63", "125", "250", "500",
                                        "1k", "2k", "4k",  "8k",  "16k"};

void frequencyGrid(cairo_t* cr, const ViewLayout& layout, const Rect& plot) {
  for (double hz : OCTAVES) vline(cr, plot, layout.frequencyX(hz), Palette::GRID, 1.0);
}

// One curve over the bands; a band without energy (NaN) breaks it.
template <typename YOf>
void curve(cairo_t* cr, const ViewLayout& layout, const MeterState& meters, bool output, YOf yOf,
           const Rect& plot) {
  const double s = layout.scale();
  cairo_save(cr);
  cairo_rectangle(cr, plot.x, plot.y - 4 * s, plot.w, plot.h + 8 * s);
  cairo_clip(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  bool open = false;
  for (int band = 0; band < MeterState::BANDS; ++band) {
    const double y = yOf(output ? meters.outputBand(band) : meters.inputBand(band));
    if (std::isnan(y)) {
      open = false;
      continue;
    }
    const double x = layout.bandX(band);
    if (open)
      cairo_line_to(cr, x, y);
    else
      cairo_move_to(cr, x, y);
    open = true;
  }
  Paint::colour(cr, output ? Palette::OUTPUT : Palette::INPUT, output ? 1.0 : 0.85);
  cairo_set_line_width(cr, (output ? 2.6 : 1.4) * s);
  cairo_stroke(cr);
  if (output) {
    for (int band = 0; band < MeterState::BANDS; ++band) {
      const double y = yOf(meters.outputBand(band));
      if (std::isnan(y)) continue;
      cairo_arc(cr, layout.bandX(band), y, 2.6 * s, 0, 2 * M_PI);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

void widthPanel(cairo_t* cr, const ViewLayout& layout, const MeterState& meters, bool connected) {
  panel(cr, layout, layout.widthPanel(), "Width per band", "side / mid, dB");
  const Rect plot = layout.widthPlot();
  frequencyGrid(cr, layout, plot);
  char text[16];
  for (double db = ViewLayout::WIDTH_MIN_DB; db <= ViewLayout::WIDTH_MAX_DB; db += 6) {
    const double y = layout.widthY(db);
    hline(cr, plot, y, db == 0 ? Palette::ZERO_LINE : Palette::GRID, 1.0);
    std::snprintf(text, sizeof text, db > 0 ? "+%g" : "%g", db);
    Paint::text(cr, text, plot.x - layout.pad() * 0.6, y, layout.smallFont(), Palette::DIM_TEXT,
                Paint::kRight);
  }
  if (!connected) return note(cr, layout, plot, "No meters: the host offers no URID map");
  if (!meters.hasData()) return note(cr, layout, plot, "Waiting for the plug-in's meters");
  // Identical channels (-inf) lie on the floor; no energy leaves a gap.
  auto yOf = [&layout](const ViewMessages::Figures& f) {
    return std::isnan(f.widthDb) ? NAN : layout.widthY(f.widthDb);
  };
  curve(cr, layout, meters, false, yOf, plot);
  curve(cr, layout, meters, true, yOf, plot);
}

void correlationPanel(cairo_t* cr, const ViewLayout& layout, const MeterState& meters) {
  panel(cr, layout, layout.correlationPanel(), "Correlation per band", "L / R");
  const Rect plot = layout.correlationPlot();
  frequencyGrid(cr, layout, plot);
  const double values[] = {-1, -0.5, 0, 0.5, 1};
  const char* texts[] = {"-1", "-.5", "0", "+.5", "+1"};
  for (int i = 0; i < 5; ++i) {
    const double y = layout.correlationY(values[i]);
    hline(cr, plot, y, values[i] == 0 ? Palette::ZERO_LINE : Palette::GRID, 1.0);
    Paint::text(cr, texts[i], plot.x - layout.pad() * 0.6, y, layout.smallFont(), Palette::DIM_TEXT,
                Paint::kRight);
  }
  const double labelY = plot.bottom() + layout.font() * 0.9;
  for (int i = 0; i < 10; ++i)
    Paint::text(cr, OCTAVE_TEXTS[i], layout.frequencyX(OCTAVES[i]), labelY, layout.smallFont(),
                Palette::DIM_TEXT, Paint::kCentre);
  Paint::text(cr, "Hz", plot.x - layout.pad() * 0.6, labelY, layout.smallFont(), Palette::DIM_TEXT,
              Paint::kRight);
  if (!meters.hasData()) return;
  auto yOf = [&layout](const ViewMessages::Figures& f) {
    return std::isnan(f.correlation) ? NAN : layout.correlationY(f.correlation);
  };
  curve(cr, layout, meters, false, yOf, plot);
  curve(cr, layout, meters, true, yOf, plot);
}

void goniometerPanel(cairo_t* cr, const ViewLayout& layout, const MeterState& meters) {
  panel(cr, layout, layout.goniometerPanel(), "Goniometer", "output");
  const Rect plot = layout.goniometerPlot();
  const double s = layout.scale();
  Paint::colour(cr, Palette::BACKGROUND);
  cairo_rectangle(cr, plot.x, plot.y, plot.w, plot.h);
  cairo_fill(cr);
  const double cx = plot.cx(), cy = plot.cy(), half = plot.w / 2;
  // Mid straight up; a left-only signal towards the upper left, right-only to
  // the upper right.
  Paint::colour(cr, Palette::GRID);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, cx, plot.y);
  cairo_line_to(cr, cx, plot.bottom());
  cairo_move_to(cr, plot.x, cy);
  cairo_line_to(cr, plot.right(), cy);
  cairo_stroke(cr);
  const double dash[] = {3 * s, 3 * s};
  cairo_set_dash(cr, dash, 2, 0);
  cairo_move_to(cr, plot.x, plot.y);
  cairo_line_to(cr, plot.right(), plot.bottom());
  cairo_move_to(cr, plot.right(), plot.y);
  cairo_line_to(cr, plot.x, plot.bottom());
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  const double f = layout.smallFont();
  Paint::text(cr, "M", cx + f * 0.5, plot.y + f * 0.8, f, Palette::DIM_TEXT);
  Paint::text(cr, "L", plot.x + f * 0.9, plot.y + f * 1.6, f, Palette::DIM_TEXT);
  Paint::text(cr, "R", plot.right() - f * 0.9, plot.y + f * 1.6, f, Palette::DIM_TEXT,
              Paint::kRight);

  // A full-scale mono signal (mid 1) reaches nine tenths of the way up.
  const double unit = half * 0.9;
  const float* points = meters.goniometer();
  cairo_save(cr);
  cairo_rectangle(cr, plot.x, plot.y, plot.w, plot.h);
  cairo_clip(cr);
  Paint::colour(cr, Palette::OUTPUT, 0.7);
  const double dot = 1.6 * s;
  for (unsigned i = 0; i < meters.points(); ++i) {
    const double x = cx - points[2 * i] * unit, y = cy - points[2 * i + 1] * unit;
    cairo_rectangle(cr, x - dot / 2, y - dot / 2, dot, dot);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

void correlationMeters(cairo_t* cr, const ViewLayout& layout, const MeterState& meters) {
  panel(cr, layout, layout.metersPanel(), "Correlation", nullptr);
  const char* names[] = {"In", "Out"};
  for (int which = 0; which < 2; ++which) {
    const Rect track = layout.meterTrack(which);
    Paint::colour(cr, Palette::BACKGROUND);
    cairo_rectangle(cr, track.x, track.y, track.w, track.h);
    cairo_fill(cr);
    Paint::text(cr, names[which], track.x - layout.pad() * 0.5, track.cy(), layout.smallFont(),
                Palette::TEXT, Paint::kRight);
    const double zero = layout.meterX(which, 0.0);
    vline(cr, track, zero, Palette::ZERO_LINE, 1.0);
    if (!meters.hasData()) continue;
    const double c = (which == 0 ? meters.inputTotal() : meters.outputTotal()).correlation;
    if (std::isnan(c)) continue;
    char value[16];
    std::snprintf(value, sizeof value, "%+.2f", c);
    Paint::text(cr, value, layout.metersPanel().right() - layout.pad(), track.cy(),
                layout.smallFont(), Palette::TEXT, Paint::kRight);
    const double x = layout.meterX(which, c);
    const std::uint32_t colour = which == 0 ? Palette::INPUT : Palette::OUTPUT;
    Paint::colour(cr, colour, 0.45);
    cairo_rectangle(cr, std::min(zero, x), track.y + track.h * 0.2, std::fabs(x - zero),
                    track.h * 0.6);
    cairo_fill(cr);
    Paint::colour(cr, colour);
    cairo_rectangle(cr, x - 1.5 * layout.scale(), track.y, 3 * layout.scale(), track.h);
    cairo_fill(cr);
  }
  const Rect last = layout.meterTrack(1);
  const double y = last.bottom() + layout.font() * 0.75;
  const char* texts[] = {"-1", "0", "+1"};
  for (int i = 0; i < 3; ++i)
    Paint::text(cr, texts[i], layout.meterX(1, i - 1.0), y, layout.smallFont(), Palette::DIM_TEXT,
                i == 0   ? Paint::kLeft
                : i == 2 ? Paint::kRight
                         : Paint::kCentre);
}

void legend(cairo_t* cr, const ViewLayout& layout) {
  const Rect h = layout.header();
  const double f = layout.smallFont(), s = layout.scale(), y = h.cy();
  double x = h.right() - layout.pad();
  x -= Paint::text(cr, "Output", x, y, f, Palette::TEXT, Paint::kRight) + f * 0.5;
  Paint::colour(cr, Palette::OUTPUT);
  cairo_set_line_width(cr, 2.6 * s);
  cairo_move_to(cr, x - f * 2, y);
  cairo_line_to(cr, x, y);
  cairo_stroke(cr);
  x -= f * 3.2;
  x -= Paint::text(cr, "Input", x, y, f, Palette::TEXT, Paint::kRight) + f * 0.5;
  Paint::colour(cr, Palette::INPUT, 0.85);
  cairo_set_line_width(cr, 1.4 * s);
  cairo_move_to(cr, x - f * 2, y);
  cairo_line_to(cr, x, y);
  cairo_stroke(cr);
}

}  // namespace

void MeterPanels::draw(cairo_t* cr, const ViewLayout& layout, const MeterState& meters,
                       bool connected) {
  legend(cr, layout);
  widthPanel(cr, layout, meters, connected);
  correlationPanel(cr, layout, meters);
  goniometerPanel(cr, layout, meters);
  correlationMeters(cr, layout, meters);
}

}  // namespace brisendel
