#pragma once

// Where everything of the view sits for a window size and scale factor: the
// band plots, the goniometer, the correlation meters and the controls, and the
// DrawScale the shared drawing (draw/) takes. Drawing, pointer handling and
// the view's tests all take their positions from here.

#include "draw/BandPlot.h"
#include "draw/DrawScale.h"
#include "draw/Rect.h"
#include "effect/Parameters.h"

namespace brisendel {

class ViewLayout {
 public:
  // A draw/ rectangle with what pointer handling and placing need.
  struct Rect : brisendel::Rect {
    double right() const { return x + w; }
    double bottom() const { return y + h; }
    double cx() const { return x + w / 2; }
    double cy() const { return y + h / 2; }
    bool contains(double px, double py) const {
      return px >= x && px < x + w && py >= y && py < y + h;
    }
  };

  static constexpr int DEFAULT_WIDTH = 860;
  static constexpr int DEFAULT_HEIGHT = 520;

  ViewLayout(int width, int height, double scale);

  int width() const { return _width; }
  int height() const { return _height; }
  double scale() const { return _scale; }
  // Sizes of the controls' label and small texts, in pixels.
  double font() const { return _font; }
  double smallFont() const { return _font * 0.85; }
  double pad() const { return _pad; }
  // How big the shared drawing's text, marks and lines are.
  const DrawScale& drawScale() const { return _draw; }

  Rect header() const { return _header; }
  // The band plots as drawn, with their titles; they place each band's value.
  BandPlot widthPlot() const;
  BandPlot correlationPlot() const;
  Rect goniometerBox() const { return _goniometer; }
  // The overall correlation meters: 0 input, 1 output. The box holds the bar
  // and the figures under it; the bar and the x of a value on it are where
  // drawCorrelationMeter puts them.
  Rect metersTitle() const { return _metersTitle; }
  Rect meterBox(int which) const { return _meter[which]; }
  // Whether the meter shows the scale's figures under its bar.
  static bool meterFigures(int which) { return which == 1; }
  Rect meterBar(int which) const;
  double meterX(int which, double correlation) const;

  // The strip along the bottom that holds the controls.
  Rect controlStrip() const { return _strip; }
  // Whether a control is a slider; the others are rows of segments, one per step.
  static bool isSlider(int control) {
    return Parameters::TABLE[control].kind == Parameters::Kind::kNumber;
  }
  // Whole cell of a control, its label line, and the part that takes the pointer.
  Rect controlCell(int control) const { return _cell[control]; }
  Rect controlLabel(int control) const { return _label[control]; }
  Rect controlBody(int control) const { return _body[control]; }
  // A slider's track, and the x its handle's centre has at a value.
  Rect sliderTrack(int control) const;
  double sliderX(int control, double value) const;
  // Segments of a control that is no slider, lowest value first.
  int segmentCount(int control) const;
  Rect segment(int control, int index) const;
  // The value a pointer x picks on a control (slider: continuous, unrounded).
  double valueAt(int control, double x) const;
  // The control whose cell holds the point, or -1.
  int controlAt(double x, double y) const;

 private:
  int _width, _height;
  double _scale, _font, _pad;
  DrawScale _draw;
  Rect _header, _widthBox, _correlationBox, _goniometer, _metersTitle, _meter[2], _strip;
  Rect _cell[Parameters::COUNT], _label[Parameters::COUNT], _body[Parameters::COUNT];
};

}  // namespace brisendel
