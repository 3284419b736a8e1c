#pragma once

#include <cairo.h>

#include <string>
#include <utility>
#include <vector>

namespace brisendel {

// A plain x-y line plot for the guide's pictures that the stereo field picture does not
// cover (levels over time, a measure over the Quality steps): a title, labelled axes
// with a grid, and one curve per series in the colours of the stereo field picture,
// named in a legend. Points outside the y range sit on its edge.
class LinePlotPicture {
 public:
  struct Series {
    std::string name;
    std::vector<std::pair<double, double>> points;  // (x, y), x rising
    bool marks = false;                             // a dot on every point
  };
  struct Axis {
    std::string label;
    double low = 0.0;
    double high = 1.0;
    double step = 0.1;  // between grid lines and labels
  };

  LinePlotPicture(std::string title, Axis x, Axis y, std::vector<Series> series);

  // A note under the title, e.g. what the curves were made of.
  void setNote(std::string note) { _note = std::move(note); }

  // Paints the whole of a width x height surface behind `cr`.
  void draw(cairo_t* cr, int width, int height) const;

 private:
  std::string _title;
  std::string _note;
  Axis _x;
  Axis _y;
  std::vector<Series> _series;
};

}  // namespace brisendel
