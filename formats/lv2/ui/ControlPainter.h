#pragma once

// Draws the five controls: Center and Side as sliders with their % value,
// AutoGain and Window as two-state switches, Quality as nine steps.

#include <cairo.h>

#include "formats/lv2/ui/ViewControls.h"
#include "formats/lv2/ui/ViewLayout.h"

namespace brisendel {

class ControlPainter {
 public:
  // `active` is the control being dragged, or -1.
  static void draw(cairo_t* cr, const ViewLayout& layout,
                   const float (&values)[ViewControls::COUNT], int active);
};

}  // namespace brisendel
