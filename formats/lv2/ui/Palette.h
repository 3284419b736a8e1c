#pragma once

// The view's colours, shared by its drawing and its tests. The meters take
// the tool's picture's colours (draw/), so that the view and the picture read
// alike: the input in the first series colour, dimmed, the output in the
// second, bold. Controls stay neutral greys (0xRRGGBB), so that colour always
// means signal.

#include <cmath>
#include <cstdint>

#include "draw/BandPlot.h"
#include "draw/Colour.h"

namespace brisendel {

struct Palette {
  static constexpr std::uint32_t BACKGROUND = 0xffffff;
  // The control strip along the bottom, and the line above it.
  static constexpr std::uint32_t STRIP = 0xf2f2f2;
  static constexpr std::uint32_t RULE = 0xd6d6d6;
  static constexpr std::uint32_t TEXT = 0x333333;
  static constexpr std::uint32_t DIM_TEXT = 0x737373;
  static constexpr std::uint32_t TITLE = 0x1a1a1a;
  static constexpr std::uint32_t TRACK = 0xd4d4d4;
  static constexpr std::uint32_t FILL = 0x8a8a8a;
  static constexpr std::uint32_t HANDLE = 0x262626;
  static constexpr std::uint32_t SEGMENT = 0xe2e2e2;
  static constexpr std::uint32_t ACTIVE = 0x3b3b3b;
  static constexpr std::uint32_t ACTIVE_TEXT = 0xffffff;

  // Each signal's colour and emphasis, and the colour its curves come out in.
  static Colour input() { return Colour::series(0); }
  static Colour output() { return Colour::series(1); }
  static constexpr BandPlot::Emphasis INPUT_EMPHASIS = BandPlot::Emphasis::Dimmed;
  static constexpr BandPlot::Emphasis OUTPUT_EMPHASIS = BandPlot::Emphasis::Bold;
  static Colour inputShown() { return BandPlot::shade(input(), INPUT_EMPHASIS); }
  static Colour outputShown() { return BandPlot::shade(output(), OUTPUT_EMPHASIS); }

  static double red(std::uint32_t c) { return ((c >> 16) & 0xff) / 255.0; }
  static double green(std::uint32_t c) { return ((c >> 8) & 0xff) / 255.0; }
  static double blue(std::uint32_t c) { return (c & 0xff) / 255.0; }
  // A colour as the pixel 0xRRGGBB it is drawn as.
  static std::uint32_t pixel(const Colour& c) {
    auto byte = [](double v) { return std::uint32_t(std::lround(255.0 * v)) & 0xff; };
    return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
  }
};

}  // namespace brisendel
