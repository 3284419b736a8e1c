#pragma once

#include <cairo.h>

#include <initializer_list>
#include <string>

namespace brisendel {

// Text in sans-serif at `size`: alignX 0 starts it at x, 0.5 centres it, 1 ends it
// there; alignY lowers the baseline by that share of the text's height.
void showText(cairo_t* cr, double x, double y, const std::string& words, double size,
              bool bold = false, double alignX = 0.0, double alignY = 0.0);
// Reading upwards, centred on (x, y), the baseline at x.
void showVerticalText(cairo_t* cr, double x, double y, const std::string& words, double size);
double textWidth(cairo_t* cr, const std::string& words, double size, bool bold = false);
// The first of `choices` (longest first) that is at most `room` wide, else the last.
std::string fittingText(cairo_t* cr, std::initializer_list<std::string> choices, double room,
                        double size, bool bold = false);

}  // namespace brisendel
