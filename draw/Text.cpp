#include "draw/Text.h"

#include <cmath>

namespace brisendel {

namespace {
void selectFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}
}  // namespace

void showText(cairo_t* cr, double x, double y, const std::string& words, double size, bool bold,
              double alignX, double alignY) {
  selectFont(cr, size, bold);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, words.c_str(), &extents);
  cairo_move_to(cr, x - alignX * extents.x_advance, y + alignY * extents.height);
  cairo_show_text(cr, words.c_str());
}

void showVerticalText(cairo_t* cr, double x, double y, const std::string& words, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, -M_PI / 2.0);
  showText(cr, 0.0, 0.0, words, size, false, 0.5, 0.0);
  cairo_restore(cr);
}

double textWidth(cairo_t* cr, const std::string& words, double size, bool bold) {
  selectFont(cr, size, bold);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, words.c_str(), &extents);
  return extents.x_advance;
}

std::string fittingText(cairo_t* cr, std::initializer_list<std::string> choices, double room,
                        double size, bool bold) {
  std::string chosen;
  for (const std::string& words : choices) {
    chosen = words;
    if (textWidth(cr, words, size, bold) <= room) break;
  }
  return chosen;
}

}  // namespace brisendel
