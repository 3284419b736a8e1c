#pragma once

// Where everything of the view sits for a window size and scale factor: the
// meter panels, their scales and the controls. Drawing, pointer handling and
// the view's tests all take their positions from here.

#include "formats/lv2/ui/ViewControls.h"

namespace brisendel {

class ViewLayout {
 public:
  struct Rect {
    double x = 0, y = 0, w = 0, h = 0;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
    double cx() const { return x + w / 2; }
    double cy() const { return y + h / 2; }
    bool contains(double px, double py) const {
      return px >= x && px < x + w && py >= y && py < y + h;
    }
  };

  // The width scale of the band panel, in dB of side over mid energy.
  static constexpr double WIDTH_MIN_DB = -30.0;
  static constexpr double WIDTH_MAX_DB = 12.0;

  static constexpr int DEFAULT_WIDTH = 860;
  static constexpr int DEFAULT_HEIGHT = 520;

  ViewLayout(int width, int height, double scale);

  int width() const { return _width; }
  int height() const { return _height; }
  double scale() const { return _scale; }
  // Sizes of the label and the tick texts, in pixels.
  double font() const { return _font; }
  double smallFont() const { return _font * 0.85; }
  double pad() const { return _pad; }

  Rect header() const { return _header; }
  // Panel frames with their titles, and the plots inside them.
  Rect widthPanel() const { return _widthPanel; }
  Rect widthPlot() const { return _widthPlot; }
  Rect correlationPanel() const { return _correlationPanel; }
  Rect correlationPlot() const { return _correlationPlot; }
  Rect goniometerPanel() const { return _goniometerPanel; }
  Rect goniometerPlot() const { return _goniometerPlot; }
  Rect metersPanel() const { return _metersPanel; }
  // The overall correlation bars: 0 input, 1 output; each bar's value is
  // written right of it.
  Rect meterTrack(int which) const { return _meterTrack[which]; }

  // Centre of band `band` (0 .. BAND_COUNT - 1) on both band plots.
  double bandX(int band) const;
  // x of a frequency on both band plots (for the scale's labels).
  double frequencyX(double hertz) const;
  // y of a width on the width plot, clamped to the scale; -inf is its bottom.
  double widthY(double db) const;
  // y of a correlation on the band correlation plot.
  double correlationY(double correlation) const;
  // x of a correlation on a bar of the overall meters.
  double meterX(int which, double correlation) const;

  // Whole cell of a control, its label line, and the part that takes the pointer.
  Rect controlCell(int control) const { return _cell[control]; }
  Rect controlLabel(int control) const { return _label[control]; }
  Rect controlBody(int control) const { return _body[control]; }
  // A slider's track, and the x its handle's centre has at a value.
  Rect sliderTrack(int control) const;
  double sliderX(int control, double value) const;
  // Segments of a switch (2) or stepper (one per value), lowest value first.
  int segmentCount(int control) const;
  Rect segment(int control, int index) const;
  // The value a pointer x picks on a control (slider: continuous, unrounded).
  double valueAt(int control, double x) const;
  // The control whose cell holds the point, or -1.
  int controlAt(double x, double y) const;

 private:
  int _width, _height;
  double _scale, _font, _pad;
  Rect _header, _widthPanel, _widthPlot, _correlationPanel, _correlationPlot;
  Rect _goniometerPanel, _goniometerPlot, _metersPanel, _meterTrack[2];
  Rect _cell[ViewControls::COUNT], _label[ViewControls::COUNT], _body[ViewControls::COUNT];
};

}  // namespace brisendel
