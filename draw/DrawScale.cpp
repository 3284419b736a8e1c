#include "draw/DrawScale.h"

#include <algorithm>

namespace brisendel {

DrawScale::DrawScale(double factor)
    : _factor(factor), _text(std::max(factor, TEXT_FLOOR)), _line(std::max(factor, LINE_FLOOR)) {}

DrawScale DrawScale::forSize(double width, double height) {
  return DrawScale(std::min(width / REFERENCE_WIDTH, height / REFERENCE_HEIGHT));
}

}  // namespace brisendel
