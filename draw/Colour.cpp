#include "draw/Colour.h"

namespace brisendel {

Colour Colour::series(std::size_t index) {
  static const Colour PALETTE[] = {{0.00, 0.45, 0.70}, {0.90, 0.38, 0.00}, {0.00, 0.62, 0.45},
                                   {0.80, 0.47, 0.65}, {0.34, 0.71, 0.91}, {0.84, 0.37, 0.00}};
  return PALETTE[index % (sizeof(PALETTE) / sizeof(PALETTE[0]))];
}

}  // namespace brisendel
