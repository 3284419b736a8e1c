#pragma once

// Draws the five controls as the parameter table describes them: the ones in
// digits with a unit as sliders with their value, the others as a row of
// segments, one per step, each with its display text.

#include <cairo.h>

#include "effect/Parameters.h"
#include "formats/lv2/ui/ViewLayout.h"

namespace brisendel {

class ControlPainter {
 public:
  // `active` is the control being dragged, or -1.
  static void draw(cairo_t* cr, const ViewLayout& layout, const float (&values)[Parameters::COUNT],
                   int active);
};

}  // namespace brisendel
