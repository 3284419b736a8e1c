#include "draw/StereoFieldPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "draw/Text.h"

namespace brisendel {

namespace {

std::string decibels(double span) {
  char buffer[48];
  std::snprintf(buffer, sizeof(buffer), "%.0f dBFS", 20.0 * std::log10(span));
  return buffer;
}

}  // namespace

void StereoFieldPicture::draw(cairo_t* cr, int widthPixels, int heightPixels) const {
  const double pictureW = widthPixels;
  const double pictureH = heightPixels;
  const DrawScale s = DrawScale::forSize(pictureW, pictureH);
  // Places follow the picture's width and height apart (x and y); text and the gaps
  // that hold it follow the text scale.
  const double x = pictureW / DrawScale::REFERENCE_WIDTH;
  const double t = s.textFactor();

  cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
  cairo_paint(cr);

  std::string names;
  for (const Entry& entry : _entries) names += (names.empty() ? "" : ", ") + entry.name;
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
  showText(cr, s.text(24), s.text(36),
           fittingText(cr, {"Stereo field: " + names, "Stereo field"}, pictureW - s.text(48),
                       s.text(22), true),
           s.text(22), true);

  const double left = 90 * t;
  const double right = 730 * x;
  // The legend: rows under the title, clear of every curve, as many as its names need
  // within the band plots' width.
  struct Item {
    double x;
    double y;
  };
  std::vector<Item> legend;
  const double rowHeight = s.text(20);
  {
    double lx = left;
    double ly = s.text(60);
    for (const Entry& entry : _entries) {
      const double itemWidth = s.text(38) + textWidth(cr, entry.name, s.text(14));
      if (lx > left && lx + itemWidth > right) {
        lx = left;
        ly += rowHeight;
      }
      legend.push_back({lx, ly});
      lx += itemWidth + s.text(30);
    }
  }
  const double extraRows = legend.empty() ? 0.0 : legend.back().y - s.text(60);
  // The band plots share the left column, the width plot taller; where the text would
  // crowd them out, the captions that repeat the shared frequency axis go.
  double top = 110 * t + extraRows;
  double bottom = pictureH - 80 * t;
  double gap = 90 * t;
  const bool compact = bottom - top - gap < 0.5 * pictureH;
  if (compact) {
    bottom = pictureH - 30 * t;
    gap = 36 * t;
  }
  const double flexible = bottom - top - gap;
  const double widthH = flexible * 320.0 / 520.0;
  const Rect widthBox{left, top, right - left, widthH};
  const Rect correlationBox{left, top + widthH + gap, right - left, flexible - widthH};
  BandPlot width = BandPlot::width(widthBox, s);
  BandPlot correlation = BandPlot::correlation(correlationBox, s);
  width.setFrequencyLabels(!compact);
  for (BandPlot* plot : {&width, &correlation}) {
    const double room = plot->getBox().w;
    const std::string& full = plot == &width ? "Width per third-octave band: side-to-mid energy"
                                             : "L/R correlation per third-octave band";
    const std::string& brief = plot == &width ? "Width per band: side / mid" : "L/R correlation";
    plot->setTitle(fittingText(cr, {full, brief}, room, s.text(16), true));
  }
  width.drawAxes(cr);
  correlation.drawAxes(cr);
  for (std::size_t i = 0; i < _entries.size(); ++i) {
    width.drawCurve(cr, _entries[i].width, Colour::series(i));
    correlation.drawCurve(cr, _entries[i].correlation, Colour::series(i));
  }
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  if (!compact) {
    showText(cr, widthBox.x + widthBox.w / 2, widthBox.y + widthBox.h + s.text(40),
             "frequency (Hz)", s.text(14), false, 0.5);
    showText(cr, correlationBox.x + correlationBox.w / 2,
             correlationBox.y + correlationBox.h + s.text(40), "frequency (Hz)", s.text(14), false,
             0.5);
  }
  showText(cr, widthBox.x + s.text(8), widthBox.y + s.text(18),
           fittingText(cr,
                       {"0 dB: as much side as mid.  Hollow marks on the bottom edge: below -50 dB "
                        "(identical channels: -inf)",
                        "0 dB: as much side as mid.  Hollow marks: below -50 dB",
                        "0 dB: as much side as mid"},
                       widthBox.w - s.text(16), s.text(12)),
           s.text(12));

  for (std::size_t i = 0; i < _entries.size(); ++i) {
    const double lx = legend[i].x;
    const double ly = legend[i].y;
    const Colour colour = Colour::series(i);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, s.line(3.0));
    cairo_move_to(cr, lx, ly);
    cairo_line_to(cr, lx + s.text(30), ly);
    cairo_stroke(cr);
    cairo_arc(cr, lx + s.text(15), ly, s.text(4.0), 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    showText(cr, lx + s.text(38), ly, _entries[i].name, s.text(14), false, 0.0, 0.35);
  }

  // Goniometers, stacked in the right column.
  std::vector<GoniometerCounts> counts;
  for (const Entry& entry : _entries) counts.push_back(entry.goniometer);
  const double span = goniometerSpan(counts);
  const double columnX = 800 * x;
  const double columnW = 370 * x;
  const double columnRoom = pictureW - columnX;
  const double first = 100 * t;
  const double last = pictureH - 48 * t;
  const std::size_t count = std::max<std::size_t>(1, _entries.size());
  const double slot = (last - first) / static_cast<double>(count);
  const double side = std::min(columnW, slot - 34 * t);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  showText(cr, columnX, s.text(72),
           fittingText(cr, {"Goniometer (mid up, left to the upper left)", "Goniometer"},
                       columnRoom, s.text(16), true),
           s.text(16), true);
  for (std::size_t i = 0; i < _entries.size(); ++i) {
    const Rect box{columnX + (columnW - side) / 2, first + slot * i + 22 * t, side, side};
    drawGoniometer(cr, box, s, _entries[i].goniometer, span, Colour::series(i), _entries[i].name);
  }
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  const std::string edges = "Edges at " + decibels(span);
  showText(cr, columnX, last + s.text(18),
           fittingText(cr,
                       {edges + " (1.0 = 0 dBFS); 99.9 % of the points lie within.",
                        edges + "; 99.9 % of points within", edges},
                       columnRoom, s.text(12)),
           s.text(12));
  showText(cr, columnX, last + s.text(34),
           fittingText(cr, {"Shade: logarithm of the number of points.", "Shade: log of the count"},
                       columnRoom, s.text(12)),
           s.text(12));
}

}  // namespace brisendel
