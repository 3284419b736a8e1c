#pragma once

namespace brisendel {

// A rectangle on a cairo surface, in the context's units (pixels unless transformed).
struct Rect {
  double x = 0.0;
  double y = 0.0;
  double w = 0.0;
  double h = 0.0;
};

}  // namespace brisendel
