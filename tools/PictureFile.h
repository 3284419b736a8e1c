#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

namespace brisendel {

// Draws a picture of width x height pixels into `cr`.
using Drawing = std::function<void(cairo_t* cr, int width, int height)>;

// A drawing written as a PNG or an SVG file, under a temporary name renamed when
// complete like every output of brisendel. Throws ToolError naming the path when the
// picture cannot be drawn or written, or `path` is one of `protectedInputs`.
void writePng(const std::string& path, int width, int height, const Drawing& drawing,
              const std::vector<std::string>& protectedInputs = {});
void writeSvg(const std::string& path, int width, int height, const Drawing& drawing,
              const std::vector<std::string>& protectedInputs = {});

}  // namespace brisendel
