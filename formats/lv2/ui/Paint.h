#pragma once

// The few cairo helpers the view's controls share: colours from the palette,
// rounded boxes and aligned text.

#include <cairo.h>

#include <cstdint>

#include "formats/lv2/ui/Palette.h"

namespace brisendel {

class Paint {
 public:
  enum Align { kLeft, kCentre, kRight };

  static void colour(cairo_t* cr, std::uint32_t c, double alpha = 1.0) {
    cairo_set_source_rgba(cr, Palette::red(c), Palette::green(c), Palette::blue(c), alpha);
  }

  static void roundedBox(cairo_t* cr, double x, double y, double w, double h, double r) {
    if (r > w / 2) r = w / 2;
    if (r > h / 2) r = h / 2;
    constexpr double quarter = 1.5707963267948966;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -quarter, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, quarter);
    cairo_arc(cr, x + r, y + h - r, r, quarter, 2 * quarter);
    cairo_arc(cr, x + r, y + r, r, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
  }

  // Text whose vertical middle is at y, aligned on x; returns its width.
  static double text(cairo_t* cr, const char* s, double x, double y, double size, std::uint32_t c,
                     Align align = kLeft, bool bold = false) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s, &extents);
    double left = x;
    if (align == kCentre) left = x - extents.x_advance / 2;
    if (align == kRight) left = x - extents.x_advance;
    colour(cr, c);
    cairo_move_to(cr, left, y + size * 0.36);
    cairo_show_text(cr, s);
    return extents.x_advance;
  }
};

}  // namespace brisendel
