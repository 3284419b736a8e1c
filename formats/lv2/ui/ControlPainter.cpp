#include "formats/lv2/ui/ControlPainter.h"

#include <cmath>
#include <cstdio>

#include "formats/lv2/ui/Paint.h"

namespace brisendel {

namespace {

using Box = ViewLayout::Rect;

void slider(cairo_t* cr, const ViewLayout& layout, int control, float value, bool active) {
  const Parameters::Info& c = Parameters::TABLE[control];
  const Box track = layout.sliderTrack(control);
  const double r = track.h / 2;
  Paint::colour(cr, Palette::TRACK);
  Paint::roundedBox(cr, track.x - r, track.y, track.w + 2 * r, track.h, r);
  cairo_fill(cr);
  const double x = layout.sliderX(control, value);
  Paint::colour(cr, Palette::FILL);
  Paint::roundedBox(cr, track.x - r, track.y, x - track.x + 2 * r, track.h, r);
  cairo_fill(cr);
  // The default, as a small mark under the track.
  const double d = layout.sliderX(control, c.defaultValue);
  Paint::colour(cr, Palette::DIM_TEXT);
  cairo_set_line_width(cr, 1.0 * layout.scale());
  cairo_move_to(cr, std::round(d) + 0.5, track.bottom() + r * 0.8);
  cairo_line_to(cr, std::round(d) + 0.5, track.bottom() + r * 2.0);
  cairo_stroke(cr);
  const double knob = layout.controlBody(control).h * (active ? 0.3 : 0.27);
  Paint::colour(cr, Palette::HANDLE);
  cairo_arc(cr, x, track.cy(), knob, 0, 2 * M_PI);
  cairo_fill(cr);
}

void segments(cairo_t* cr, const ViewLayout& layout, int control, float value) {
  const Parameters::Info& c = Parameters::TABLE[control];
  const int n = layout.segmentCount(control);
  const double gap = 1.0 * layout.scale(), f = layout.font() * (n > 2 ? 0.9 : 0.95);
  const unsigned shown = c.stepOfPlain(value);
  char text[Parameters::TEXT_CAPACITY];
  for (int i = 0; i < n; ++i) {
    const Box s = layout.segment(control, i);
    const bool on = unsigned(i) == shown;
    Paint::colour(cr, on ? Palette::ACTIVE : Palette::SEGMENT);
    Paint::roundedBox(cr, s.x + gap, s.y, s.w - 2 * gap, s.h, layout.pad() * 0.35);
    cairo_fill(cr);
    c.displayText(unsigned(i), text, sizeof text);
    Paint::text(cr, text, s.cx(), s.cy(), f, on ? Palette::ACTIVE_TEXT : Palette::TEXT,
                Paint::kCentre, on);
  }
}

}  // namespace

void ControlPainter::draw(cairo_t* cr, const ViewLayout& layout,
                          const float (&values)[Parameters::COUNT], int active) {
  for (int i = 0; i < Parameters::COUNT; ++i) {
    const Parameters::Info& c = Parameters::TABLE[i];
    const Box label = layout.controlLabel(i);
    Paint::text(cr, c.name, label.x + layout.pad() * 0.3, label.cy(), layout.font(),
                i == active ? Palette::TITLE : Palette::TEXT);
    if (ViewLayout::isSlider(i)) {
      // The step's own text and the table's unit: "150 %".
      char digits[Parameters::TEXT_CAPACITY], text[2 * Parameters::TEXT_CAPACITY];
      c.displayText(c.stepOfPlain(values[i]), digits, sizeof digits);
      std::snprintf(text, sizeof text, "%s%s%s", digits, c.label[0] != '\0' ? " " : "", c.label);
      Paint::text(cr, text, label.right() - layout.pad() * 0.3, label.cy(), layout.font(),
                  Palette::TITLE, Paint::kRight, true);
      slider(cr, layout, i, values[i], i == active);
    } else {
      segments(cr, layout, i, values[i]);
    }
  }
}

}  // namespace brisendel
