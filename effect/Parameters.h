#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brisendel {

// Brisendel's parameters as every host, format, view and the tool see them:
// names, LV2 symbols, units, ranges, steps, defaults, display texts and
// descriptions, read from the rows of effect/ParameterTable.def. Header-only and
// constexpr, so that a view module can use it without linking the effect, and
// with nothing that allocates, so that the audio thread may use it too.
//
// Values come in two forms. The plain value is what the host shows (Center in
// percent, Quality 1..9, Window 0 for A and 1 for B). The normalized value
// (0..1) is what VST 2 hosts store: parameter i with n steps selects step k for
// normalized values in [k/n, (k+1)/n), and a step set by its plain value is
// stored at the centre of that share.
class Parameters {
 public:
  // How a parameter's steps are shown, and how LV2 marks its port.
  enum class Kind {
    kNumber,   // digits and a unit; a real-valued LV2 control the effect rounds to the step
    kInteger,  // digits; an lv2:integer control
    kToggle,   // off and on, each with a text; an lv2:toggled control
    kChoice,   // a text per step; an lv2:integer lv2:enumeration control with scale points
  };

  // One row of the table.
  struct Info {
    const char* name;
    const char* symbol;
    const char* label;
    Kind kind;
    double minimum;
    double maximum;
    double step;
    double defaultValue;
    // The steps' display texts of a Toggle or Choice, '|' between them.
    const char* texts;
    const char* comment;

    constexpr unsigned stepCount() const {
      return static_cast<unsigned>((maximum - minimum) / step + 0.5) + 1;
    }
    constexpr double plainOfStep(unsigned index) const { return minimum + index * step; }
    // The step nearest `plain` (halves away from the minimum), clamped to the
    // range. NaN gives the first step: callers that must ignore NaN check first.
    constexpr unsigned stepOfPlain(double plain) const {
      const double last = stepCount() - 1.0;
      double position = (plain - minimum) / step;
      // Clamped before rounding, so that no value outside the steps reaches the conversion.
      if (!(position > 0.0)) position = 0.0;
      if (position > last) position = last;
      const auto whole = static_cast<unsigned>(position);
      return position - whole >= 0.5 ? whole + 1 : whole;
    }
    // The centre of step `index`'s share of 0..1.
    constexpr double normalizedOfStep(unsigned index) const { return (index + 0.5) / stepCount(); }
    // The step a normalized value selects: the first for values from 0 down and
    // NaN, the last for values from 1 up.
    constexpr unsigned stepOfNormalized(double normalized) const {
      const unsigned count = stepCount();
      if (!(normalized > 0.0)) return 0;
      if (normalized >= 1.0) return count - 1;
      const auto index = static_cast<unsigned>(normalized * count);
      return index < count ? index : count - 1;
    }
    // The normalized value a fresh instance holds, as VST 2 hosts read it: the
    // default's position in the range (0 at the minimum, 1 at the maximum),
    // not its step's centre. It selects the default's step all the same.
    constexpr double defaultNormalized() const {
      return (defaultValue - minimum) / (maximum - minimum);
    }
    constexpr bool hasTexts() const { return kind == Kind::kToggle || kind == Kind::kChoice; }
    // The text of step `index` of a Toggle or Choice; empty for the other kinds
    // and past the last text.
    constexpr std::string_view stepText(unsigned index) const {
      if (!hasTexts()) return {};
      const char* begin = texts;
      for (; index > 0; --index) {
        while (*begin != '\0' && *begin != '|') ++begin;
        if (*begin == '\0') return {};
        ++begin;
      }
      const char* end = begin;
      while (*end != '\0' && *end != '|') ++end;
      return std::string_view(begin, static_cast<std::size_t>(end - begin));
    }
    // Writes the display text of step `index` ("0".."200", "Disabled"/"Enabled",
    // "1".."9", "A"/"B") into `buffer`, cut to size - 1 characters and always
    // terminated, and returns the length written. TEXT_CAPACITY holds any.
    constexpr std::size_t displayText(unsigned index, char* buffer, std::size_t size) const {
      if (size == 0) return 0;
      char digits[24] = {};
      std::string_view text;
      if (hasTexts()) {
        text = stepText(index);
      } else {
        text = wholeNumber(plainOfStep(index), digits);
      }
      std::size_t length = 0;
      for (; length < text.size() && length + 1 < size; ++length) buffer[length] = text[length];
      buffer[length] = '\0';
      return length;
    }

   private:
    // A whole number in digits, written at the end of `digits`.
    static constexpr std::string_view wholeNumber(double value, char (&digits)[24]) {
      const bool negative = value < 0.0;
      auto magnitude = static_cast<unsigned long long>(negative ? -value : value);
      std::size_t at = sizeof(digits);
      do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
      } while (magnitude != 0);
      if (negative) digits[--at] = '-';
      return std::string_view(digits + at, sizeof(digits) - at);
    }
  };

  enum Index : int {
#define BRISENDEL_LV2_FIRST_CONTROL_PORT(port)
#define BRISENDEL_PARAMETER(id, ...) k##id,
#include "effect/ParameterTable.def"
#undef BRISENDEL_PARAMETER
#undef BRISENDEL_LV2_FIRST_CONTROL_PORT
    COUNT
  };

  static constexpr Info TABLE[COUNT] = {
#define BRISENDEL_LV2_FIRST_CONTROL_PORT(port)
#define BRISENDEL_PARAMETER(id, name, symbol, label, kind, minimum, maximum, step, defaultValue, \
                            texts, comment)                                                      \
  {name, symbol, label, Kind::k##kind, minimum, maximum, step, defaultValue, texts, comment},
#include "effect/ParameterTable.def"
#undef BRISENDEL_PARAMETER
#undef BRISENDEL_LV2_FIRST_CONTROL_PORT
  };

  // The LV2 port index of parameter 0's control; parameter i's is this plus i.
  static constexpr std::uint32_t LV2_FIRST_CONTROL_PORT =
#define BRISENDEL_LV2_FIRST_CONTROL_PORT(port) port
#define BRISENDEL_PARAMETER(...)
#include "effect/ParameterTable.def"
#undef BRISENDEL_PARAMETER
#undef BRISENDEL_LV2_FIRST_CONTROL_PORT
      ;

  // Room for any display text with its terminating zero.
  static constexpr std::size_t TEXT_CAPACITY = 16;

  static constexpr bool isIndex(int index) { return index >= 0 && index < COUNT; }
  // The index of the parameter with this LV2 symbol, or -1.
  static constexpr int findSymbol(std::string_view symbol) {
    for (int i = 0; i < COUNT; ++i) {
      if (symbol == TABLE[i].symbol) return i;
    }
    return -1;
  }

  // Whether every row is one the helpers above handle: a non-empty range
  // divided into whole steps, the default on a step, a text for every step of
  // a Toggle or Choice (and no texts otherwise), digits only for whole numbers,
  // and every display text within TEXT_CAPACITY.
  static constexpr bool rowIsSound(const Info& p) {
    if (!(p.maximum > p.minimum) || !(p.step > 0.0)) return false;
    const unsigned count = p.stepCount();
    if (p.plainOfStep(count - 1) != p.maximum) return false;
    const unsigned defaultStep = p.stepOfPlain(p.defaultValue);
    if (p.plainOfStep(defaultStep) != p.defaultValue) return false;
    if (p.stepOfNormalized(p.defaultNormalized()) != defaultStep) return false;
    if (p.hasTexts()) {
      if (!p.stepText(count).empty()) return false;
    } else {
      if (*p.texts != '\0') return false;
      if (static_cast<long long>(p.minimum) != p.minimum) return false;
      if (static_cast<long long>(p.step) != p.step) return false;
    }
    for (unsigned i = 0; i < count; ++i) {
      char text[TEXT_CAPACITY + 1] = {};
      const std::size_t length = p.displayText(i, text, sizeof(text));
      if (length == 0 || length >= TEXT_CAPACITY) return false;
    }
    return true;
  }
  static constexpr bool tableIsSound() {
    for (const Info& p : TABLE) {
      if (!rowIsSound(p)) return false;
    }
    return true;
  }
};

static_assert(Parameters::tableIsSound(), "a row of effect/ParameterTable.def is unsound");

}  // namespace brisendel
