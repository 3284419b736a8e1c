#pragma once

#include <cairo.h>

#include "draw/Colour.h"
#include "draw/DrawScale.h"
#include "draw/Rect.h"

namespace brisendel {

// The overall L/R correlation as a horizontal meter across `box`: -1 at the left edge,
// +1 at the right, a bar from 0 to `correlation` (StereoMeter::getCorrelation), red
// where the channels work against each other (below 0), `colour` otherwise, and the
// value in figures beside the scale. A NaN draws the empty scale. Meters stacked on one
// scale may leave the scale's figures (-1 .. +1) to the lowest: the bar then takes the
// whole box.
void drawCorrelationMeter(cairo_t* cr, const Rect& box, const DrawScale& scale, double correlation,
                          const Colour& colour, bool scaleFigures = true);

// Where drawCorrelationMeter puts the bar in `box` (the scale's figures, when shown, go
// below it), and the x of a correlation on it.
Rect correlationMeterBar(const Rect& box, const DrawScale& scale, bool scaleFigures = true);
double correlationMeterX(const Rect& bar, double correlation);

}  // namespace brisendel
