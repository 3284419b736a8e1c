#pragma once

// Draws the meter panels: width and correlation per band (input dim, output
// bold), the overall correlation of input and output, and the output's
// goniometer. The one place that draws meters, so that it can be replaced as
// a whole.

#include <cairo.h>

#include "formats/lv2/ui/MeterState.h"
#include "formats/lv2/ui/ViewLayout.h"

namespace brisendel {

class MeterPanels {
 public:
  // `connected` is false when the host gave no way to receive the plug-in's
  // messages: the panels then say so instead of waiting.
  static void draw(cairo_t* cr, const ViewLayout& layout, const MeterState& meters, bool connected);
};

}  // namespace brisendel
