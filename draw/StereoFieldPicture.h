#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "draw/BandPlot.h"
#include "draw/Goniometer.h"

namespace brisendel {

// The stereo field of one or more signals in one picture: on the left the side-to-mid
// energy ratio and the L/R correlation per third-octave band, one curve per signal; on
// the right one goniometer per signal (mid up, left channel towards the upper left),
// all on one scale. Laid out for 1200 x 800 and legible from 480 x 300 up: at small
// sizes the notes shorten and the captions that repeat the axes go.
class StereoFieldPicture {
 public:
  struct Entry {
    std::string name;  // shown in the legend and above the goniometer
    BandPlot::Values width{};
    BandPlot::Values correlation{};
    GoniometerCounts goniometer;  // not owned; must outlive the drawing
  };

  explicit StereoFieldPicture(std::vector<Entry> entries) : _entries(std::move(entries)) {}

  // Paints the whole of a width x height surface behind `cr`.
  void draw(cairo_t* cr, int width, int height) const;

  const std::vector<Entry>& getEntries() const { return _entries; }

 private:
  std::vector<Entry> _entries;
};

}  // namespace brisendel
