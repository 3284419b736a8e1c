#include "tools/PictureFile.h"

#include <cairo-svg.h>

#include <memory>

#include "draw/CairoSurface.h"
#include "tools/SafeOutputFile.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

enum class Format { Png, Svg };

void check(cairo_status_t status, const std::string& path) {
  if (status != CAIRO_STATUS_SUCCESS) {
    throw ToolError(path + ": cannot be written: " + cairo_status_to_string(status));
  }
}

// The one way a picture reaches its file: a PNG is drawn in memory and encoded into
// the temporary file, an SVG is drawn straight into it; either is renamed onto `path`
// only when cairo reports no failure.
void writePicture(Format format, const std::string& path, int width, int height,
                  const Drawing& drawing, const std::vector<std::string>& protectedInputs) {
  SafeOutputFile output(path, protectedInputs);
  {
    const std::string& file = output.getTemporaryPath();
    CairoSurface surface(format == Format::Png
                             ? cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)
                             : cairo_svg_surface_create(file.c_str(), width, height));
    check(cairo_surface_status(surface.get()), path);
    {
      const std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                                  cairo_destroy);
      drawing(cr.get(), width, height);
      check(cairo_status(cr.get()), path);
    }
    if (format == Format::Png) {
      check(cairo_surface_write_to_png(surface.get(), file.c_str()), path);
    } else {
      cairo_surface_finish(surface.get());
      check(cairo_surface_status(surface.get()), path);
    }
  }
  output.commit();
}

}  // namespace

void writePng(const std::string& path, int width, int height, const Drawing& drawing,
              const std::vector<std::string>& protectedInputs) {
  writePicture(Format::Png, path, width, height, drawing, protectedInputs);
}

void writeSvg(const std::string& path, int width, int height, const Drawing& drawing,
              const std::vector<std::string>& protectedInputs) {
  writePicture(Format::Svg, path, width, height, drawing, protectedInputs);
}

}  // namespace brisendel
