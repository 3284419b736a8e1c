#pragma once

// The five controls as the view shows them: the one place that describes them
// (name, port, range, default, steps, texts). Values are the plug-in's plain
// control port values.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace brisendel {

class ViewControls {
 public:
  enum Kind { kSlider, kSwitch, kStepper };
  enum Index { kCenter, kSide, kAutoGain, kQuality, kWindow, COUNT };

  struct Control {
    const char* name;
    std::uint32_t port;
    float min;
    float max;
    float defaultValue;
    float step;      // one wheel notch
    float fineStep;  // one notch with Shift or Ctrl held
    const char* unit;
    Kind kind;
    const char* texts[2];  // a switch's two states, lower value first
  };

  static constexpr std::uint32_t FIRST_PORT = 4;

  static const Control& at(int index) { return CONTROLS[index]; }

  // The control on `port`, or -1.
  static int ofPort(std::uint32_t port) {
    return port >= FIRST_PORT && port < FIRST_PORT + COUNT ? int(port - FIRST_PORT) : -1;
  }

  // Every control takes whole numbers within its range; NaN and infinities
  // are no value at all and come back as NaN.
  static float settle(int index, float value) {
    if (!std::isfinite(value)) return NAN;
    const Control& c = at(index);
    return std::fmin(c.max, std::fmax(c.min, std::round(value)));
  }

  // The text a value is shown with: "150 %", "Enabled", "7".
  static void format(int index, float value, char* out, std::size_t capacity) {
    const Control& c = at(index);
    if (c.kind == kSwitch)
      std::snprintf(out, capacity, "%s", c.texts[value >= (c.min + c.max) / 2 ? 1 : 0]);
    else if (c.unit[0] != '\0')
      std::snprintf(out, capacity, "%d %s", int(value), c.unit);
    else
      std::snprintf(out, capacity, "%d", int(value));
  }

 private:
  static constexpr Control CONTROLS[COUNT] = {
      {"Center", 4, 0.0f, 200.0f, 100.0f, 5.0f, 1.0f, "%", kSlider, {nullptr, nullptr}},
      {"Side", 5, 0.0f, 200.0f, 100.0f, 5.0f, 1.0f, "%", kSlider, {nullptr, nullptr}},
      {"AutoGain", 6, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, "", kSwitch, {"Disabled", "Enabled"}},
      {"Quality", 7, 1.0f, 9.0f, 1.0f, 1.0f, 1.0f, "", kStepper, {nullptr, nullptr}},
      {"Window", 8, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, "", kSwitch, {"A", "B"}},
  };
};

}  // namespace brisendel
