#include "formats/lv2/ui/BrisendelView.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "draw/CorrelationMeter.h"
#include "draw/Goniometer.h"
#include "draw/Text.h"
#include "formats/lv2/ui/ControlPainter.h"
#include "formats/lv2/ui/Paint.h"

namespace brisendel {

namespace {

// Two presses on one control within this many milliseconds are a double click.
constexpr unsigned long DOUBLE_CLICK_MS = 400;
// Dragging with Shift or Ctrl held moves a slider this much slower.
constexpr double FINE_DRAG = 0.1;

// A wheel notch moves a control one step; a control in digits, whose steps
// are fine (1 %), five, and one with Shift or Ctrl held.
constexpr unsigned COARSE_NOTCH_STEPS = 5;

int scaled(int size, double scale) { return int(std::lround(size * scale)); }

std::uint32_t portOf(int control) { return Parameters::LV2_FIRST_CONTROL_PORT + control; }

// The control on `port`, or -1.
int controlOf(std::uint32_t port) {
  return port >= Parameters::LV2_FIRST_CONTROL_PORT &&
                 port - Parameters::LV2_FIRST_CONTROL_PORT < std::uint32_t(Parameters::COUNT)
             ? int(port - Parameters::LV2_FIRST_CONTROL_PORT)
             : -1;
}

// The value of the step nearest `value`; NaN and infinities are no value at
// all and come back as NaN.
float settle(int control, float value) {
  if (!std::isfinite(value)) return NAN;
  const Parameters::Info& c = Parameters::TABLE[control];
  return float(c.plainOfStep(c.stepOfPlain(value)));
}

}  // namespace

BrisendelView::BrisendelView(const Host& host, WindowId parent, double scale)
    : _host(host),
      _messages(host.map),
      _layout(scaled(ViewLayout::DEFAULT_WIDTH, scale), scaled(ViewLayout::DEFAULT_HEIGHT, scale),
              scale),
      _lastIdle(std::chrono::steady_clock::now()) {
  for (int i = 0; i < Parameters::COUNT; ++i) _values[i] = float(Parameters::TABLE[i].defaultValue);
  _display = XOpenDisplay(nullptr);
  if (_display == nullptr) throw std::runtime_error("Brisendel view: cannot open the X display");
  XWindowAttributes parentAttributes;
  if (!XGetWindowAttributes(_display, parent, &parentAttributes)) {
    XCloseDisplay(_display);
    throw std::runtime_error("Brisendel view: the host's parent window is not there");
  }
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(_display, DefaultScreen(_display));
  attributes.event_mask =
      ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask;
  _window = XCreateWindow(_display, parent, 0, 0, unsigned(_layout.width()),
                          unsigned(_layout.height()), 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  _visual = parentAttributes.visual;
  _depth = parentAttributes.depth;
  _gc = XCreateGC(_display, _window, 0, nullptr);
  _surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, _layout.width(), _layout.height());
  XMapWindow(_display, _window);
  XFlush(_display);
  if (_host.resize && _host.resize->ui_resize)
    _host.resize->ui_resize(_host.resize->handle, _layout.width(), _layout.height());
}

BrisendelView::~BrisendelView() {
  cairo_surface_destroy(_surface);
  XFreeGC(_display, _gc);
  XDestroyWindow(_display, _window);
  XCloseDisplay(_display);
}

void BrisendelView::announce(bool open) {
  if (!_messages.valid() || !_host.write) return;
  alignas(8) std::uint8_t buffer[ViewMessages::VIEW_STATE_SIZE];
  const std::uint32_t size = _messages.writeViewState(buffer, sizeof buffer, open);
  if (size)
    _host.write(_host.controller, ViewMessages::CONTROL_PORT, size, _messages.eventTransfer(),
                buffer);
}

void BrisendelView::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                              const void* buffer) {
  if (buffer == nullptr) return;
  if (port == ViewMessages::NOTIFY_PORT) {
    if (!_messages.valid() || format != _messages.eventTransfer()) return;
    ViewMessages::Meters meters;
    if (!_messages.parseMeters(buffer, size, meters)) return;
    _meters.accept(meters);
    _dirty = true;
    return;
  }
  const int control = controlOf(port);
  if (control < 0 || format != 0 || size != sizeof(float)) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  value = settle(control, value);
  if (std::isnan(value) || value == _values[control]) return;
  _values[control] = value;
  _dirty = true;
}

int BrisendelView::idle() {
  while (XPending(_display) > 0) {
    XEvent event;
    XNextEvent(_display, &event);
    handle(event);
  }
  const auto now = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(now - _lastIdle).count();
  _lastIdle = now;
  // A host that stalled for long shows the latest values rather than a slow glide.
  if (_meters.advance(std::min(seconds, 1.0))) _dirty = true;
  if (_dirty) draw();
  return 0;
}

void BrisendelView::requestSize(int width, int height) {
  if (width < 1 || height < 1) return;
  XResizeWindow(_display, _window, unsigned(width), unsigned(height));
  XFlush(_display);
}

void BrisendelView::handle(const XEvent& event) {
  switch (event.type) {
    case Expose:
      _dirty = true;
      break;
    case ConfigureNotify:
      if (event.xconfigure.window == _window && (event.xconfigure.width != _layout.width() ||
                                                 event.xconfigure.height != _layout.height())) {
        _layout = ViewLayout(event.xconfigure.width, event.xconfigure.height, _layout.scale());
        cairo_surface_destroy(_surface);
        _surface =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, _layout.width(), _layout.height());
        _dirty = true;
      }
      break;
    case ButtonPress:
      press(event.xbutton.button, event.xbutton.x, event.xbutton.y, event.xbutton.state,
            event.xbutton.time);
      break;
    case ButtonRelease:
      release(event.xbutton.button);
      break;
    case MotionNotify:
      motion(event.xmotion.x, event.xmotion.y, event.xmotion.state);
      break;
    default:
      break;
  }
}

void BrisendelView::press(unsigned button, int x, int y, unsigned modifiers, unsigned long time) {
  const int control = _layout.controlAt(x, y);
  const bool fine = modifiers & (ShiftMask | ControlMask);
  if (button == Button4 || button == Button5) {
    if (control >= 0) wheel(control, button == Button4 ? 1 : -1, fine);
    return;
  }
  if (button != Button1 || control < 0 || _drag.control >= 0) return;
  const bool twice = control == _lastPressControl && time - _lastPressTime <= DOUBLE_CLICK_MS;
  _lastPressControl = twice ? -1 : control;
  _lastPressTime = time;
  touch(control, true);
  _drag = {control, x, y, _values[control], fine};
  _dirty = true;
  if (twice)
    edit(control, Parameters::TABLE[control].defaultValue);
  else if (!ViewLayout::isSlider(control))
    edit(control, _layout.valueAt(control, x));
  _drag.value = _values[control];
}

void BrisendelView::release(unsigned button) {
  if (button != Button1 || _drag.control < 0) return;
  touch(_drag.control, false);
  _drag.control = -1;
  _dirty = true;
}

void BrisendelView::motion(int x, int y, unsigned modifiers) {
  if (_drag.control < 0) return;
  const int control = _drag.control;
  const Parameters::Info& c = Parameters::TABLE[control];
  if (!ViewLayout::isSlider(control)) return edit(control, _layout.valueAt(control, x));
  // Right or up raises the value; with a modifier held the same way moves a
  // tenth as far, measured from where the modifier came or went.
  const bool fine = modifiers & (ShiftMask | ControlMask);
  if (fine != _drag.fine) _drag = {control, x, y, _values[control], fine};
  const double pixels = (x - _drag.x) - (y - _drag.y);
  const double perPixel = (c.maximum - c.minimum) / std::max(_layout.sliderTrack(control).w, 1.0);
  edit(control, _drag.value + pixels * perPixel * (fine ? FINE_DRAG : 1.0));
}

void BrisendelView::wheel(int control, int direction, bool fine) {
  const Parameters::Info& c = Parameters::TABLE[control];
  const unsigned steps = ViewLayout::isSlider(control) && !fine ? COARSE_NOTCH_STEPS : 1;
  const bool dragging = _drag.control == control;
  if (!dragging) touch(control, true);
  edit(control, _values[control] + direction * double(steps) * c.step);
  if (!dragging) touch(control, false);
}

void BrisendelView::edit(int control, double value) {
  const float settled = settle(control, float(value));
  if (std::isnan(settled) || settled == _values[control]) return;
  _values[control] = settled;
  _dirty = true;
  if (_host.write) _host.write(_host.controller, portOf(control), sizeof settled, 0, &settled);
}

void BrisendelView::touch(int control, bool grabbed) {
  if (_host.touch && _host.touch->touch)
    _host.touch->touch(_host.touch->handle, portOf(control), grabbed);
}

void BrisendelView::draw() {
  _dirty = false;
  if (cairo_surface_status(_surface) != CAIRO_STATUS_SUCCESS) return;
  cairo_t* cr = cairo_create(_surface);
  Paint::colour(cr, Palette::BACKGROUND);
  cairo_paint(cr);
  const ViewLayout::Rect header = _layout.header();
  const double w = Paint::text(cr, "Brisendel", _layout.pad(), header.cy(), _layout.font() * 1.25,
                               Palette::TITLE, Paint::kLeft, true);
  Paint::text(cr, "stereo field", _layout.pad() * 1.8 + w, header.cy(), _layout.smallFont(),
              Palette::DIM_TEXT);
  drawMeters(cr);
  const ViewLayout::Rect strip = _layout.controlStrip();
  Paint::colour(cr, Palette::STRIP);
  cairo_rectangle(cr, strip.x, strip.y, strip.w, strip.h);
  cairo_fill(cr);
  Paint::colour(cr, Palette::RULE);
  cairo_rectangle(cr, strip.x, strip.y, strip.w, std::max(1.0, _layout.scale()));
  cairo_fill(cr);
  ControlPainter::draw(cr, _layout, _values, _drag.control);
  cairo_destroy(cr);
  cairo_surface_flush(_surface);
  show();
  XSync(_display, False);
}

// The meters in the tool's own drawing: the band plots with the input dimmed
// behind the output, the output's goniometer and the overall correlation of
// both, and the legend that tells the two apart.
void BrisendelView::drawMeters(cairo_t* cr) const {
  const DrawScale& s = _layout.drawScale();
  const ViewLayout::Rect header = _layout.header();
  const Colour in = Palette::input(), out = Palette::output();

  // The legend, right in the header: a line and a mark per signal as the curves draw them.
  double x = header.right() - _layout.pad();
  const char* names[] = {"Output", "Input"};
  const Colour colours[] = {Palette::outputShown(), Palette::inputShown()};
  const double lines[] = {3.5, 1.5}, marks[] = {4.5, 3.0};
  for (int i = 0; i < 2; ++i) {
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    x -= textWidth(cr, names[i], s.text(14));
    showText(cr, x, header.cy(), names[i], s.text(14), false, 0.0, 0.35);
    x -= s.text(8) + s.text(30);
    const Colour& c = colours[i];
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, s.line(lines[i]));
    cairo_move_to(cr, x, header.cy());
    cairo_line_to(cr, x + s.text(30), header.cy());
    cairo_stroke(cr);
    cairo_arc(cr, x + s.text(15), header.cy(), s.text(marks[i]), 0.0, 2.0 * M_PI);
    cairo_fill(cr);
    x -= s.text(24);
  }

  const BandPlot width = _layout.widthPlot(), correlation = _layout.correlationPlot();
  width.drawAxes(cr);
  correlation.drawAxes(cr);
  const char* note = !_messages.valid()   ? "No meters: the host offers no URID map"
                     : !_meters.hasData() ? "Waiting for the plug-in's meters"
                                          : nullptr;
  if (note) {
    const Rect& box = width.getBox();
    cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
    showText(cr, box.x + box.w / 2, box.y + box.h / 2, note, s.text(14), false, 0.5, 0.35);
  } else {
    width.drawCurve(cr, BandPlot::widthValues(_meters.inputBands()), in, Palette::INPUT_EMPHASIS);
    width.drawCurve(cr, BandPlot::widthValues(_meters.outputBands()), out,
                    Palette::OUTPUT_EMPHASIS);
    correlation.drawCurve(cr, BandPlot::correlationValues(_meters.inputBands()), in,
                          Palette::INPUT_EMPHASIS);
    correlation.drawCurve(cr, BandPlot::correlationValues(_meters.outputBands()), out,
                          Palette::OUTPUT_EMPHASIS);
  }

  drawGoniometer(cr, _layout.goniometerBox(), s,
                 GoniometerPoints{_meters.goniometer(), _meters.points()}, _meters.goniometerSpan(),
                 out, "Goniometer: output");
  // As the tool's picture says it: the level at the edges.
  const ViewLayout::Rect box = _layout.goniometerBox();
  char edges[48];
  std::snprintf(edges, sizeof edges, "Edges at %.0f dBFS",
                20.0 * std::log10(_meters.goniometerSpan()));
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  showText(cr, box.right(), box.bottom() + s.text(16), edges, s.text(12), false, 1.0);

  const ViewLayout::Rect title = _layout.metersTitle();
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  showText(cr, title.x, title.bottom() - s.text(10), "L/R correlation", s.text(16), true);
  const char* rows[] = {"In", "Out"};
  for (int which = 0; which < 2; ++which) {
    const double c = !_meters.hasData() ? NAN
                     : which == 0       ? _meters.inputTotal().correlation()
                                        : _meters.outputTotal().correlation();
    drawCorrelationMeter(cr, _layout.meterBox(which), s, c,
                         which == 0 ? Palette::inputShown() : Palette::outputShown(),
                         ViewLayout::meterFigures(which));
    const ViewLayout::Rect bar = _layout.meterBar(which);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    showText(cr, bar.x - s.text(8), bar.cy(), rows[which], s.text(13), false, 1.0, 0.35);
  }
}

// The picture is drawn in memory and handed to the server whole, so the window
// never shows half of it. (cairo's own X drawing keeps a record per display
// connection that outlives the connection: each opened view would leave one.)
void BrisendelView::show() {
  const int width = cairo_image_surface_get_width(_surface);
  const int height = cairo_image_surface_get_height(_surface);
  const int stride = cairo_image_surface_get_stride(_surface);
  auto* pixels = reinterpret_cast<char*>(cairo_image_surface_get_data(_surface));
  auto* visual = static_cast<Visual*>(_visual);
  XImage* image = XCreateImage(_display, visual, unsigned(_depth), ZPixmap, 0, nullptr,
                               unsigned(width), unsigned(height), 32, 0);
  if (image == nullptr) return;
  const std::uint32_t one = 1;
  const bool littleEndian = *reinterpret_cast<const std::uint8_t*>(&one) == 1;
  const bool sameLayout = image->bits_per_pixel == 32 && visual->red_mask == 0xff0000 &&
                          visual->green_mask == 0xff00 && visual->blue_mask == 0xff &&
                          (image->byte_order == LSBFirst) == littleEndian;
  if (sameLayout) {
    // cairo's RGB24 is the server's own pixel layout: hand the pixels over as they are.
    image->data = pixels;
    image->bytes_per_line = stride;
  } else {
    // Any other visual takes the pixels one by one through its masks.
    image->data = static_cast<char*>(std::malloc(std::size_t(image->bytes_per_line) * height));
    if (image->data == nullptr) {
      XDestroyImage(image);
      return;
    }
    auto place = [](unsigned long mask, std::uint32_t value8) {
      if (mask == 0) return 0ul;
      int shift = 0, bits = 0;
      while (!((mask >> shift) & 1)) ++shift;
      while ((mask >> (shift + bits)) & 1) ++bits;
      const unsigned long scaled =
          bits >= 8 ? (unsigned long)value8 << (bits - 8) : value8 >> (8 - bits);
      return (scaled << shift) & mask;
    };
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + std::size_t(y) * stride);
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = row[x];
        XPutPixel(image, x, y,
                  place(visual->red_mask, (p >> 16) & 0xff) |
                      place(visual->green_mask, (p >> 8) & 0xff) |
                      place(visual->blue_mask, p & 0xff));
      }
    }
  }
  XPutImage(_display, _window, static_cast<GC>(_gc), image, 0, 0, 0, 0, unsigned(width),
            unsigned(height));
  if (sameLayout) image->data = nullptr;  // cairo's, not the image's
  XDestroyImage(image);
}

}  // namespace brisendel
