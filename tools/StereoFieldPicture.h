#pragma once

#include <string>
#include <vector>

namespace brisendel {

class StereoFieldAnalysis;

// Draws stereo field analyses with cairo: on the left the side-to-mid energy ratio and
// the L/R correlation per third-octave band, one curve per file; on the right one
// goniometer per file (mid up, left channel towards the upper left). Sized for
// 1200 x 800 and legible there. Files are written under a temporary name and renamed
// when complete, like every output of brisendel.
class StereoFieldPicture {
 public:
  struct Entry {
    std::string name;  // shown in the legend and above the goniometer
    const StereoFieldAnalysis* analysis = nullptr;
  };

  static constexpr int WIDTH = 1200;
  static constexpr int HEIGHT = 800;

  explicit StereoFieldPicture(std::vector<Entry> entries) : _entries(std::move(entries)) {}

  // Throws ToolError naming the path when the picture cannot be written or `path` is
  // one of `protectedInputs` (the files the picture shows).
  void writePng(const std::string& path,
                const std::vector<std::string>& protectedInputs = {}) const;
  void writeSvg(const std::string& path,
                const std::vector<std::string>& protectedInputs = {}) const;

 private:
  void draw(void* cairoContext) const;

  std::vector<Entry> _entries;
};

}  // namespace brisendel
