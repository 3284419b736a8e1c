#pragma once

// The view's colours as 0xRRGGBB, shared by its drawing and its tests.

#include <cstdint>

namespace brisendel {

struct Palette {
  static constexpr std::uint32_t BACKGROUND = 0x15171c;
  static constexpr std::uint32_t PANEL = 0x1d2027;
  static constexpr std::uint32_t GRID = 0x2d323c;
  static constexpr std::uint32_t ZERO_LINE = 0x465062;
  static constexpr std::uint32_t TEXT = 0xc9d1dc;
  static constexpr std::uint32_t DIM_TEXT = 0x7f8896;
  static constexpr std::uint32_t TITLE = 0xeef2f7;
  // The input is drawn thin and dim, the output bold and bright.
  static constexpr std::uint32_t INPUT = 0x5f86a8;
  static constexpr std::uint32_t OUTPUT = 0xffa53d;
  static constexpr std::uint32_t TRACK = 0x2b2f38;
  // Controls stay neutral, so that colour always means signal.
  static constexpr std::uint32_t FILL = 0x8c97a6;
  static constexpr std::uint32_t HANDLE = 0xffffff;
  static constexpr std::uint32_t SEGMENT = 0x2b2f38;
  static constexpr std::uint32_t ACTIVE = 0xd3d9e1;
  static constexpr std::uint32_t ACTIVE_TEXT = 0x16181c;

  static double red(std::uint32_t c) { return ((c >> 16) & 0xff) / 255.0; }
  static double green(std::uint32_t c) { return ((c >> 8) & 0xff) / 255.0; }
  static double blue(std::uint32_t c) { return (c & 0xff) / 255.0; }
};

}  // namespace brisendel
