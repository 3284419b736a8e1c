#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "draw/Colour.h"
#include "draw/DrawScale.h"
#include "draw/Rect.h"

namespace brisendel {

// Goniometer counts as StereoFieldAnalysis keeps them: grid x grid cells, row-major,
// row r mid from -1 + 2r/grid upwards, column c side (L - R)/2 from -1 + 2c/grid.
struct GoniometerCounts {
  const std::uint32_t* cells = nullptr;
  int grid = 0;
};

// The goniometer in `box` (best square): the density of (side, mid) points on a
// logarithmic shade, mid up, the left channel along the upper-left diagonal; `span` of
// full scale reaches the edges. `name`, when not empty, goes above the box in a
// darker shade of `colour`. Allocates a small image for the cells; for a view's
// thread, not the audio thread.
void drawGoniometer(cairo_t* cr, const Rect& box, const DrawScale& scale,
                    const GoniometerCounts& counts, double span, const Colour& colour,
                    const std::string& name = "");

// Points as a view receives them: (side, mid) of point i at 2 i and 2 i + 1, side
// (L - R)/2 and mid (L + R)/2 of full scale. Not owned.
struct GoniometerPoints {
  const float* sideMid = nullptr;
  unsigned count = 0;
};

// The same goniometer with each point as a translucent dot instead of a shade of
// counts: for a view that receives a thinned-out stream of points. Points beyond the
// span sit outside the box and are cut off. Allocates nothing.
void drawGoniometer(cairo_t* cr, const Rect& box, const DrawScale& scale,
                    const GoniometerPoints& points, double span, const Colour& colour,
                    const std::string& name = "");

// The span of full scale that goniometers sharing one scale show: the smallest power of
// two (down to 1/16) that holds 99.9 % of every one's points, so that a quiet signal is
// not a dot and a rare peak does not shrink the rest.
double goniometerSpan(const std::vector<GoniometerCounts>& all);

}  // namespace brisendel
