#pragma once

#include <cairo.h>

#include "draw/Colour.h"
#include "draw/DrawScale.h"
#include "draw/Rect.h"

namespace brisendel {

// The overall L/R correlation as a horizontal meter across `box`: -1 at the left edge,
// +1 at the right, a bar from 0 to `correlation` (StereoMeter::getCorrelation), red
// where the channels work against each other (below 0), `colour` otherwise, and the
// value in figures beside the scale. A NaN draws the empty scale.
// Where drawCorrelationMeter puts the bar in `box` (the figures go below it), and the x
// of a correlation on it.
Rect correlationMeterBar(const Rect& box, const DrawScale& scale);
double correlationMeterX(const Rect& bar, double correlation);

void drawCorrelationMeter(cairo_t* cr, const Rect& box, const DrawScale& scale, double correlation,
                          const Colour& colour);

}  // namespace brisendel
