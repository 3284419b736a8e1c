#pragma once

#include <cairo.h>

namespace brisendel {

// Owns one cairo surface and destroys it when it goes, so that a surface made
// for a picture or a cached image is never left behind on any path out.
class CairoSurface {
 public:
  explicit CairoSurface(cairo_surface_t* surface) : _surface(surface) {}
  ~CairoSurface() { cairo_surface_destroy(_surface); }
  CairoSurface(const CairoSurface&) = delete;
  CairoSurface& operator=(const CairoSurface&) = delete;
  cairo_surface_t* get() const { return _surface; }

 private:
  cairo_surface_t* _surface;
};

}  // namespace brisendel
