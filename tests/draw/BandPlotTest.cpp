// A band plot drawn small, as a plug-in's view draws it: each band's value lands where
// the plot's own scale says (a view places its overlays by that scale), a value beyond
// the range sits on the edge as a hollow mark, and a NaN band leaves a gap.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "draw/BandPlot.h"

using brisendel::BandPlot;
using brisendel::Colour;
using brisendel::DrawScale;
using brisendel::Rect;
using brisendel::ThirdOctaveBands;

#if defined(__SANITIZE_ADDRESS__)
// As in the brisendel program: fontconfig, which cairo asks for the fonts, keeps its
// configuration until the process ends; only that library's allocations are exempt.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace {

struct Image {
  Image(int width, int height)
      : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
        cr(cairo_create(surface)) {}
  ~Image() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  // 0xRRGGBB at the pixel holding (x, y).
  std::uint32_t at(double x, double y) {
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) +
                               std::lround(std::floor(y)) * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(row)[std::lround(std::floor(x))] & 0xFFFFFF;
  }
  cairo_surface_t* surface;
  cairo_t* cr;
};

// Touched by the blue curve, wholly or in part: the background and grid are grey.
bool bluish(std::uint32_t pixel) { return int(pixel & 0xFF) - int((pixel >> 16) & 0xFF) > 40; }

}  // namespace

TEST(BandPlot, ValuesLandWhereTheScaleSays) {
  Image image(480, 300);
  const DrawScale scale = DrawScale::forSize(480, 300);
  const BandPlot plot = BandPlot::width(Rect{60, 40, 240, 120}, scale);
  plot.drawAxes(image.cr);
  BandPlot::Values values{};
  for (int b = 0; b < ThirdOctaveBands::NUM_BANDS; ++b) values[std::size_t(b)] = -5.0 - b;
  values[5] = std::numeric_limits<double>::quiet_NaN();
  values[25] = -std::numeric_limits<double>::infinity();
  const Colour blue = Colour::series(0);
  plot.drawCurve(image.cr, values, blue, BandPlot::Emphasis::Bold);
  ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_status(image.cr));

  const std::uint32_t curve = (std::uint32_t(std::lround(blue.r * 255)) << 16) |
                              (std::uint32_t(std::lround(blue.g * 255)) << 8) |
                              std::uint32_t(std::lround(blue.b * 255));
  for (int b : {0, 10, 17, 30}) {
    SCOPED_TRACE(b);
    const double x = plot.xOfFrequency(ThirdOctaveBands::centre(b));
    EXPECT_EQ(curve, image.at(x, plot.yOfValue(values[std::size_t(b)])));
    // Well above and below the mark: not the curve (y grows downwards, values upwards).
    EXPECT_FALSE(bluish(image.at(x, plot.yOfValue(values[std::size_t(b)] + 8.0))));
    EXPECT_FALSE(bluish(image.at(x, plot.yOfValue(values[std::size_t(b)] - 8.0))));
  }
  // -inf: a hollow mark on the bottom edge, white inside (the curve passes through).
  const double x25 = plot.xOfFrequency(ThirdOctaveBands::centre(25));
  const double bottom = plot.getBox().y + plot.getBox().h;
  EXPECT_DOUBLE_EQ(bottom, plot.yOfValue(values[25]));
  EXPECT_EQ(0xFFFFFFu, image.at(x25, bottom));
  // NaN: no mark and no line through the band.
  const double x5 = plot.xOfFrequency(ThirdOctaveBands::centre(5));
  for (double value = -5.0; value >= -15.0; value -= 0.5) {
    EXPECT_FALSE(bluish(image.at(x5, plot.yOfValue(value)))) << value;
  }
}
