#pragma once

#include <cstddef>

namespace brisendel {

struct Colour {
  double r = 0.0;
  double g = 0.0;
  double b = 0.0;

  // The colour of the `index`th file or signal: distinct for the common forms of colour
  // blindness (Okabe and Ito), repeating after six.
  static Colour series(std::size_t index);
  // Towards white by `amount` (0 unchanged, 1 white): a curve shown for comparison.
  Colour faded(double amount) const {
    return {r + (1.0 - r) * amount, g + (1.0 - g) * amount, b + (1.0 - b) * amount};
  }
};

}  // namespace brisendel
