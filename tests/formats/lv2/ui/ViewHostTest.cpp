// Brisendel's view driven the way a host drives it: BrisendelUI.so loaded,
// instantiated in a window of ours with urid:map, ui:touch and ui:resize, fed
// control values and meter messages, idled, and read back pixel by pixel. The
// pointer is moved and clicked through XTest as a user would. Positions and
// colours come from the view's own layout and palette, and from the plots'
// own scales.
//
// Runs under a private Xvfb (run-under-xvfb.sh). Screenshots at the default
// size and at 600x360 are left in the build folder.

#include <cairo.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/ThirdOctaveBands.h"
#include "draw/BandPlot.h"
#include "effect/Parameters.h"
#include "formats/lv2/ViewMessages.h"
#include "formats/lv2/ui/MeterState.h"
#include "formats/lv2/ui/Palette.h"
#include "formats/lv2/ui/ViewLayout.h"
#include "host/SharedLibrary.h"
#include "tests/formats/lv2/TestUridMap.h"

// Xlib's last: it defines Bool and None as macros, which GoogleTest's and
// LV2's headers must not see.
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
// clang-format on

using brisendel::BandPlot;
using brisendel::Palette;
using brisendel::Parameters;
using brisendel::ThirdOctaveBands;
using brisendel::ViewLayout;
using brisendel::ViewMessages;

namespace {

constexpr std::uint32_t SIDE_PORT = 5, CENTER_PORT = 4;

// The window's pixels as 0xRRGGBB.
struct Shot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t at(double x, double y) const {
    const int ix = std::clamp(int(std::floor(x)), 0, width - 1);
    const int iy = std::clamp(int(std::floor(y)), 0, height - 1);
    return pixels[std::size_t(iy) * width + ix];
  }
  static int distance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift : {0, 8, 16})
      worst = std::max(worst, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return worst;
  }
  // Whether a pixel within `radius` of (x, y) is within `tolerance` of `colour`.
  bool near(double x, double y, std::uint32_t colour, int radius = 1, int tolerance = 24) const {
    for (int dy = -radius; dy <= radius; ++dy)
      for (int dx = -radius; dx <= radius; ++dx)
        if (distance(at(x + dx, y + dy), colour) <= tolerance) return true;
    return false;
  }
  // How much of `colour` lies over `ground` in the five pixels of a column
  // around y, in pixels' worth: a thin anti-aliased line whatever its phase.
  double coverage(double x, double y, std::uint32_t colour, std::uint32_t ground) const {
    auto channel = [](std::uint32_t c, int shift) { return double((c >> shift) & 0xff); };
    double along = 0, norm = 0;
    for (int shift : {0, 8, 16}) {
      const double d = channel(colour, shift) - channel(ground, shift);
      norm += d * d;
    }
    for (int dy = -2; dy <= 2; ++dy) {
      double dot = 0;
      for (int shift : {0, 8, 16})
        dot += (channel(at(x, y + dy), shift) - channel(ground, shift)) *
               (channel(colour, shift) - channel(ground, shift));
      along += std::max(0.0, dot / norm);
    }
    return along;
  }
  void save(const std::string& path) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = pixels[std::size_t(y) * width + x];
    cairo_surface_mark_dirty(surface);
    EXPECT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS) << path;
    cairo_surface_destroy(surface);
  }
};

// A recorded call from the view to the host.
struct Call {
  enum Kind { kWrite, kTouch, kMessage } kind;
  std::uint32_t port;
  float value;
  bool grabbed;
  std::vector<std::uint8_t> atom;
};

int openFiles() {
  int count = 0;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (readdir(folder)) ++count;
    closedir(folder);
  }
  return count;
}

// Sums of a band whose two channels have equal power and the given width.
ViewMessages::Sums bandOfWidth(double db) {
  const double r = std::pow(10.0, db / 10.0);
  return {1000.0f, 1000.0f, float(1000.0 * (1 - r) / (1 + r))};
}
double correlationOfWidth(double db) {
  const double r = std::pow(10.0, db / 10.0);
  return (1 - r) / (1 + r);
}

class ViewHost : public ::testing::Test {
 protected:
  void SetUp() override {
    _display = XOpenDisplay(nullptr);
    ASSERT_NE(_display, nullptr) << "no X server (run this under run-under-xvfb.sh)";
    int event, error, major, minor;
    ASSERT_TRUE(XTestQueryExtension(_display, &event, &error, &major, &minor));
    std::string why;
    ASSERT_TRUE(_library.open(BRISENDEL_LV2_UI_MODULE, why)) << why;
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(_library.function("lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    _descriptor = entry(0);
    ASSERT_NE(_descriptor, nullptr);
    EXPECT_STREQ(_descriptor->URI, "urn:orlask:brisendel#ui");
    EXPECT_EQ(entry(1), nullptr);
    _idle = static_cast<const LV2UI_Idle_Interface*>(
        _descriptor->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(_idle, nullptr);
    _parent = XCreateSimpleWindow(_display, DefaultRootWindow(_display), 0, 0, 1000, 700, 0, 0, 0);
    XMapWindow(_display, _parent);
    XSync(_display, False);
  }

  void TearDown() override {
    close();
    if (_display) {
      XDestroyWindow(_display, _parent);
      XCloseDisplay(_display);
    }
  }

  void open(bool withMap = true, const LV2_Options_Option* options = nullptr) {
    _touch = {
        this, [](LV2UI_Feature_Handle self, std::uint32_t port, bool grabbed) {
          static_cast<ViewHost*>(self)->_calls.push_back({Call::kTouch, port, 0, grabbed, {}});
        }};
    _resize = {this, [](LV2UI_Feature_Handle self, int w, int h) {
                 static_cast<ViewHost*>(self)->_sizes.push_back({w, h});
                 return 0;
               }};
    const LV2_Feature parent = {LV2_UI__parent, reinterpret_cast<void*>(_parent)};
    const LV2_Feature map = {LV2_URID__map, _map.map()};
    const LV2_Feature touch = {LV2_UI__touch, &_touch};
    const LV2_Feature resize = {LV2_UI__resize, &_resize};
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options,
                                        const_cast<LV2_Options_Option*>(options)};
    const LV2_Feature* features[] = {&parent, &touch, &resize, options ? &optionsFeature : nullptr,
                                     nullptr, nullptr};
    features[options ? 4 : 3] = withMap ? &map : nullptr;
    LV2UI_Widget widget = nullptr;
    _handle = _descriptor->instantiate(_descriptor, "urn:orlask:brisendel", BRISENDEL_LV2_BUNDLE,
                                       &ViewHost::write, this, &widget, features);
    ASSERT_NE(_handle, nullptr);
    _view = Window(reinterpret_cast<std::uintptr_t>(widget));
    ASSERT_NE(_view, 0u);
    runIdle();
  }

  void close() {
    if (_handle) _descriptor->cleanup(_handle);
    _handle = nullptr;
  }

  static void write(LV2UI_Controller self, std::uint32_t port, std::uint32_t size,
                    std::uint32_t format, const void* buffer) {
    auto& calls = static_cast<ViewHost*>(self)->_calls;
    if (format == 0 && size == sizeof(float))
      calls.push_back({Call::kWrite, port, *static_cast<const float*>(buffer), false, {}});
    else {
      const auto* bytes = static_cast<const std::uint8_t*>(buffer);
      calls.push_back({Call::kMessage, port, 0, false, {bytes, bytes + size}});
    }
  }

  // Lets the view handle what the server sent it and draw.
  void runIdle(int rounds = 4) {
    for (int i = 0; i < rounds; ++i) {
      XSync(_display, False);
      usleep(5000);
      ASSERT_EQ(_idle->idle(_handle), 0);
    }
    XSync(_display, False);
  }

  void control(std::uint32_t port, float value) {
    _descriptor->port_event(_handle, port, sizeof value, 0, &value);
  }

  void meters(const ViewMessages::Meters& m, std::size_t cut = 0) {
    const ViewMessages messages(_map.map());
    alignas(8) std::uint8_t buffer[8192];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, _map.map());
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof buffer);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge, &frame, 0);
    ASSERT_TRUE(messages.forgeMetersEvent(&forge, 0, m));
    const auto* event =
        lv2_atom_sequence_begin(&reinterpret_cast<LV2_Atom_Sequence*>(buffer)->body);
    _descriptor->port_event(_handle, ViewMessages::NOTIFY_PORT,
                            std::uint32_t(sizeof(LV2_Atom) + event->body.size - cut),
                            _map(LV2_ATOM__eventTransfer), &event->body);
  }

  Shot shot() {
    XWindowAttributes attributes;
    XGetWindowAttributes(_display, _view, &attributes);
    XImage* image = XGetImage(_display, _view, 0, 0, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    Shot s;
    if (image == nullptr) {
      ADD_FAILURE() << "XGetImage failed";
      return s;
    }
    s.width = attributes.width;
    s.height = attributes.height;
    s.pixels.resize(std::size_t(s.width) * s.height);
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x)
        s.pixels[std::size_t(y) * s.width + x] = std::uint32_t(XGetPixel(image, x, y)) & 0xffffff;
    XDestroyImage(image);
    return s;
  }

  // The pointer to a point of the view, in the view's own coordinates.
  void pointTo(double x, double y) {
    int rootX, rootY;
    Window child;
    XTranslateCoordinates(_display, _view, DefaultRootWindow(_display), int(x), int(y), &rootX,
                          &rootY, &child);
    XTestFakeMotionEvent(_display, -1, rootX, rootY, CurrentTime);
    runIdle(1);
  }
  void button(unsigned number, bool down) {
    XTestFakeButtonEvent(_display, number, down, CurrentTime);
    runIdle(1);
  }
  void click() {
    button(1, true);
    button(1, false);
  }

  // The calls for one port, in order.
  std::vector<Call> callsFor(std::uint32_t port) const {
    std::vector<Call> found;
    for (const Call& c : _calls)
      if (c.port == port) found.push_back(c);
    return found;
  }

  Display* _display = nullptr;
  brisendel::SharedLibrary _library;
  const LV2UI_Descriptor* _descriptor = nullptr;
  const LV2UI_Idle_Interface* _idle = nullptr;
  brisendel_test::TestUridMap _map;
  LV2UI_Touch _touch{};
  LV2UI_Resize _resize{};
  Window _parent = 0, _view = 0;
  LV2UI_Handle _handle = nullptr;
  std::vector<Call> _calls;
  std::vector<std::pair<int, int>> _sizes;
};

// Values from the host show where the layout puts them; values no control
// takes change nothing.
TEST_F(ViewHost, ControlsShowTheHostsValues) {
  open();
  ASSERT_FALSE(_sizes.empty());
  EXPECT_EQ(_sizes.front(), std::make_pair(860, 520)) << "the host is told the view's size";
  control(SIDE_PORT, 150);
  control(CENTER_PORT, 40);
  control(6, 0);  // AutoGain: Disabled
  control(7, 7);  // Quality
  control(8, 0);  // Window: A
  float nan = NAN;
  _descriptor->port_event(_handle, SIDE_PORT, sizeof nan, 0, &nan);
  double wide = 150;
  _descriptor->port_event(_handle, SIDE_PORT, sizeof wide, 0, &wide);  // not a float
  control(99, 1);
  runIdle();
  const Shot s = shot();
  const ViewLayout layout(860, 520, 1.0);
  auto sliderAt = [&](int c, double value) {
    return s.at(layout.sliderX(c, value), layout.sliderTrack(c).cy());
  };
  EXPECT_LE(Shot::distance(sliderAt(Parameters::kSide, 150), Palette::HANDLE), 8);
  EXPECT_LE(Shot::distance(sliderAt(Parameters::kSide, 110), Palette::FILL), 8);
  EXPECT_LE(Shot::distance(sliderAt(Parameters::kSide, 185), Palette::TRACK), 8);
  EXPECT_LE(Shot::distance(sliderAt(Parameters::kCenter, 40), Palette::HANDLE), 8);
  EXPECT_LE(Shot::distance(sliderAt(Parameters::kCenter, 100), Palette::TRACK), 8);
  // The active segment of each stepped control, at the inner left of its box
  // (clear of the centred text).
  auto lit = [&](int c, int index) {
    const ViewLayout::Rect r = layout.segment(c, index);
    return Shot::distance(s.at(r.x + 4, r.cy()), Palette::ACTIVE) <= 8;
  };
  for (int i = 0; i < 2; ++i) EXPECT_EQ(lit(Parameters::kAutoGain, i), i == 0) << i;
  for (int i = 0; i < 9; ++i) EXPECT_EQ(lit(Parameters::kQuality, i), i == 6) << i;
  for (int i = 0; i < 2; ++i) EXPECT_EQ(lit(Parameters::kWindow, i), i == 0) << i;
}

// The host's ui:scaleFactor makes the whole view larger: twice the default
// size at 2 (the window as well as what the host is told); a factor no screen
// has leaves the default.
TEST_F(ViewHost, ScaleFactorSizesTheView) {
  auto optionsOf = [this](const float& factor) {
    return std::vector<LV2_Options_Option>{{LV2_OPTIONS_INSTANCE, 0, _map(LV2_UI__scaleFactor),
                                            sizeof factor, _map(LV2_ATOM__Float), &factor},
                                           {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  };
  const float two = 2.0f, huge = 40.0f;
  open(true, optionsOf(two).data());
  ASSERT_FALSE(_sizes.empty());
  EXPECT_EQ(_sizes.back(), std::make_pair(1720, 1040));
  XWindowAttributes window;
  ASSERT_TRUE(XGetWindowAttributes(_display, _view, &window));
  EXPECT_EQ(std::make_pair(window.width, window.height), std::make_pair(1720, 1040));
  close();
  open(true, optionsOf(huge).data());
  EXPECT_EQ(_sizes.back(), std::make_pair(860, 520));
}

// A message with a known width per band: the bold output dots land where the
// scales say, at the default size and after the host shrinks the window; a
// cut or wrongly formatted message changes nothing; without new messages the
// picture stands still.
TEST_F(ViewHost, MetersLandWhereTheScalesSay) {
  open();
  ViewMessages::Meters m;
  m.sampleRate = 48000;
  m.frames = 1000;
  std::vector<double> widths(ViewMessages::BAND_COUNT);
  for (int k = 0; k < ViewMessages::BAND_COUNT; ++k) {
    widths[k] = -27 + (k % 8) * 5;
    m.outputBands[k] = bandOfWidth(widths[k]);
    m.inputBands[k] = bandOfWidth(-25);
  }
  m.inputTotal = {1, 1, 0.9f};
  m.outputTotal = {1, 1, 0.4f};
  m.points = ViewMessages::MAX_POINTS;
  for (unsigned i = 0; i < m.points; ++i) {
    const double t = i * 0.0491, left = 0.7 * std::sin(t), right = 0.5 * std::sin(t + 0.6);
    m.goniometer[2 * i] = float((left - right) / 2);
    m.goniometer[2 * i + 1] = float((left + right) / 2);
  }
  control(SIDE_PORT, 130);
  meters(m);
  runIdle();

  const std::uint32_t output = Palette::pixel(Palette::outputShown());
  const std::uint32_t input = Palette::pixel(Palette::inputShown());
  auto check = [&](const Shot& s, const ViewLayout& layout) {
    const BandPlot width = layout.widthPlot(), correlation = layout.correlationPlot();
    for (int k = 0; k < ViewMessages::BAND_COUNT; ++k) {
      const double x = width.xOfFrequency(ThirdOctaveBands::centre(k));
      EXPECT_TRUE(s.near(x, width.yOfValue(widths[k]), output)) << "width, band " << k;
      // Nothing 4 dB off, on the side away from the line that comes in from the left.
      const double off = k > 0 && widths[k - 1] > widths[k] ? -4 : 4;
      EXPECT_FALSE(s.near(x, width.yOfValue(widths[k] + off), output, 0)) << k;
      EXPECT_TRUE(s.near(x, correlation.yOfValue(correlationOfWidth(widths[k])), output))
          << "correlation, band " << k;
    }
    // The thin, dim input curve at -25 dB (between the grid's lines): about a
    // pixel of its colour there, little a few pixels off. The plot's ground is
    // read where nothing is drawn: low in the width plot, between grid lines.
    const std::uint32_t ground =
        s.at(width.xOfFrequency(ThirdOctaveBands::centre(1)), width.yOfValue(-45));
    for (int k : {7, 15, 30}) {
      const double x = width.xOfFrequency(ThirdOctaveBands::centre(k)) - 2;
      const double y = width.yOfValue(-25);
      EXPECT_GT(s.coverage(x, y, input, ground), 0.8) << k;
      EXPECT_LT(s.coverage(x, y + 6, input, ground), 0.3) << k;
    }
    // The overall meters' bars run from 0 to 0.9 (input) and 0.4 (output).
    auto meterShows = [&](int which, double correlation, std::uint32_t colour) {
      return Shot::distance(s.at(layout.meterX(which, correlation), layout.meterBar(which).cy()),
                            colour) <= 8;
    };
    EXPECT_TRUE(meterShows(0, 0.85, input));
    EXPECT_FALSE(meterShows(0, 0.95, input));
    EXPECT_TRUE(meterShows(1, 0.35, output));
    EXPECT_FALSE(meterShows(1, 0.45, output));
    EXPECT_LE(Shot::distance(s.at(layout.sliderX(Parameters::kSide, 130),
                                  layout.sliderTrack(Parameters::kSide).cy()),
                             Palette::HANDLE),
              8);
  };
  const Shot large = shot();
  ASSERT_EQ(large.width, 860);
  check(large, ViewLayout(860, 520, 1.0));
  large.save(BRISENDEL_VIEW_SCREENSHOTS "view-860x520.png");

  // Damaged messages: a cut one, and one on the wrong port format.
  ViewMessages::Meters other = m;
  for (auto& band : other.outputBands) band = bandOfWidth(6);
  meters(other, 4);
  _descriptor->port_event(_handle, ViewMessages::NOTIFY_PORT, sizeof(float), 0, &other.sampleRate);
  runIdle();
  EXPECT_EQ(shot().pixels, large.pixels) << "a malformed message changed the picture";
  usleep(100000);
  runIdle();
  EXPECT_EQ(shot().pixels, large.pixels) << "the picture moves without messages";

  XResizeWindow(_display, _view, 600, 360);
  runIdle();
  const Shot small = shot();
  ASSERT_EQ(small.width, 600);
  check(small, ViewLayout(600, 360, 1.0));
  small.save(BRISENDEL_VIEW_SCREENSHOTS "view-600x360.png");

  // A new message glides in over about 300 ms rather than jumping.
  const ViewLayout layout(600, 360, 1.0);
  meters(other);
  runIdle(1);
  const BandPlot width = layout.widthPlot();
  const double x3 = width.xOfFrequency(ThirdOctaveBands::centre(3));
  EXPECT_FALSE(shot().near(x3, width.yOfValue(6), output, 0));
  for (int i = 0; i < 100; ++i) {
    usleep(15000);
    runIdle(1);
  }
  EXPECT_TRUE(shot().near(x3, width.yOfValue(6), output));
}

// Dragging Side to the right writes rising values, all inside one touch
// gesture; wheel notches step Center by 5 %, by 1 % with Shift.
TEST_F(ViewHost, DragAndWheelWriteInsideTouchGestures) {
  open();
  const ViewLayout layout(860, 520, 1.0);
  const ViewLayout::Rect track = layout.sliderTrack(Parameters::kSide);
  pointTo(layout.sliderX(Parameters::kSide, 100), track.cy());
  button(1, true);
  for (int dx = 10; dx <= 60; dx += 10)
    pointTo(layout.sliderX(Parameters::kSide, 100) + dx, track.cy());
  button(1, false);
  const auto calls = callsFor(SIDE_PORT);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().kind, Call::kTouch);
  EXPECT_TRUE(calls.front().grabbed);
  EXPECT_EQ(calls.back().kind, Call::kTouch);
  EXPECT_FALSE(calls.back().grabbed);
  float last = 100;
  for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
    ASSERT_EQ(calls[i].kind, Call::kWrite) << i;
    EXPECT_GT(calls[i].value, last);
    last = calls[i].value;
  }
  const double x0 = layout.sliderX(Parameters::kSide, 100);
  EXPECT_EQ(last, std::round(100 + (std::floor(x0) + 60 - std::floor(x0)) * 200 / track.w));
  for (const Call& c : _calls) EXPECT_EQ(c.kind == Call::kMessage || c.port == SIDE_PORT, true);

  _calls.clear();
  const ViewLayout::Rect center = layout.controlBody(Parameters::kCenter);
  pointTo(center.cx(), center.cy());
  button(4, true);
  button(4, false);
  const KeyCode shift = XKeysymToKeycode(_display, XK_Shift_L);
  XTestFakeKeyEvent(_display, shift, True, CurrentTime);
  button(5, true);
  button(5, false);
  XTestFakeKeyEvent(_display, shift, False, CurrentTime);
  runIdle(1);
  const auto wheel = callsFor(CENTER_PORT);
  ASSERT_EQ(wheel.size(), 6u);
  const float expected[] = {105, 104};
  for (int notch = 0; notch < 2; ++notch) {
    EXPECT_TRUE(wheel[3 * notch].kind == Call::kTouch && wheel[3 * notch].grabbed);
    EXPECT_EQ(wheel[3 * notch + 1].kind, Call::kWrite);
    EXPECT_EQ(wheel[3 * notch + 1].value, expected[notch]);
    EXPECT_TRUE(wheel[3 * notch + 2].kind == Call::kTouch && !wheel[3 * notch + 2].grabbed);
  }
}

// A double click resets a control to its default, inside a touch gesture.
TEST_F(ViewHost, DoubleClickWritesTheDefault) {
  open();
  control(SIDE_PORT, 150);
  control(8, 0);
  runIdle();
  const ViewLayout layout(860, 520, 1.0);
  const ViewLayout::Rect side = layout.controlLabel(Parameters::kSide);
  pointTo(side.cx(), side.cy());
  click();
  click();
  const auto calls = callsFor(SIDE_PORT);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_TRUE(calls[2].kind == Call::kTouch && calls[2].grabbed);
  EXPECT_EQ(calls[3].kind, Call::kWrite);
  EXPECT_EQ(calls[3].value, 100.0f);
  EXPECT_TRUE(calls[4].kind == Call::kTouch && !calls[4].grabbed);
  // Window: the first click picks A (already shown), the second resets to B.
  const ViewLayout::Rect a = layout.segment(Parameters::kWindow, 0);
  pointTo(a.cx(), a.cy());
  click();
  click();
  const auto window = callsFor(8);
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(window[window.size() - 2].value, 1.0f);
}

// Opening and closing the view again and again leaves no file, window or
// memory behind (the sanitizer build checks the memory at exit), and each
// opening and closing is told to the plug-in when messages can flow.
TEST_F(ViewHost, OpeningAndClosingLeavesNothingBehind) {
  open();
  close();
  const int files = openFiles();
  for (int round = 0; round < 20; ++round) {
    const bool withMap = round % 2 == 0;
    open(withMap);
    meters(ViewMessages::Meters{});  // not even parsed without a map; refused with one
    runIdle(2);
    close();
  }
  EXPECT_EQ(openFiles(), files);
  const ViewMessages messages(_map.map());
  int opened = 0, closed = 0;
  for (const Call& c : _calls) {
    ASSERT_EQ(c.kind, Call::kMessage);
    ASSERT_EQ(c.port, ViewMessages::CONTROL_PORT);
    bool open = false;
    ASSERT_TRUE(messages.parseViewState(c.atom.data(), c.atom.size(), open));
    (open ? opened : closed)++;
  }
  EXPECT_EQ(opened, 11);  // the first opening and the ten with a map
  EXPECT_EQ(closed, 11);
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(_display, _parent, &root, &parent, &children, &count);
  if (children) XFree(children);
  EXPECT_EQ(count, 0u) << "a view's window outlived it";
}

// The goniometer's span follows the points' level: wider at once, narrower a
// step at a time, and only after the points have fitted in half of it for a
// while.
TEST(MeterState, GoniometerSpanWidensAtOnceAndNarrowsSlowly) {
  brisendel::MeterState state;
  ViewMessages::Meters m;
  m.sampleRate = 48000;
  m.frames = 1;
  m.points = 1;
  auto level = [&](float peak) {
    m.goniometer[1] = -peak;
    state.accept(m);
  };
  level(0.2f);
  EXPECT_EQ(state.goniometerSpan(), 1.0);
  state.advance(1.9);
  EXPECT_EQ(state.goniometerSpan(), 1.0);
  state.advance(0.2);
  EXPECT_EQ(state.goniometerSpan(), 0.5);
  state.advance(2.1);
  EXPECT_EQ(state.goniometerSpan(), 0.25);
  state.advance(5.0);
  EXPECT_EQ(state.goniometerSpan(), 0.25) << "0.2 does not fit in 0.125";
  level(0.9f);
  EXPECT_EQ(state.goniometerSpan(), 1.0);
  // A louder moment within the time it takes starts the wait again.
  level(0.2f);
  state.advance(1.5);
  level(0.6f);
  state.advance(0.1);
  level(0.2f);
  state.advance(1.5);
  EXPECT_EQ(state.goniometerSpan(), 1.0);
}

}  // namespace
