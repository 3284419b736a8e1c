#pragma once

namespace brisendel {

// How big the drawing's details are: the stereo field picture is laid out for 1200 x 800
// (factor 1); at other sizes line widths, marks and text follow the factor
// min(width / 1200, height / 800), but text and marks do not shrink below what stays
// readable on a small view (480 x 300), nor lines below half a pixel's worth of weight.
class DrawScale {
 public:
  static constexpr double REFERENCE_WIDTH = 1200.0;
  static constexpr double REFERENCE_HEIGHT = 800.0;
  // Text at 2/3 of its full size (13 px tick labels at about 9 px) is the smallest kept.
  static constexpr double TEXT_FLOOR = 2.0 / 3.0;
  static constexpr double LINE_FLOOR = 0.5;

  explicit DrawScale(double factor = 1.0);
  // The factor for a drawing of width x height pixels.
  static DrawScale forSize(double width, double height);

  double factor() const { return _factor; }
  // A font size, a gap measured in text, or the size of a mark on a curve.
  double text(double size) const { return size * _text; }
  double line(double width) const { return width * _line; }
  double textFactor() const { return _text; }

 private:
  double _factor;
  double _text;
  double _line;
};

}  // namespace brisendel
