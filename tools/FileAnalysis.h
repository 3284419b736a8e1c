#pragma once

#include <functional>
#include <string>

#include "analysis/StereoFieldAnalysis.h"
#include "analysis/StereoMeter.h"

namespace brisendel {

class AudioFileReader;

// Hands the rest of `reader`'s frames to `consume(left, right, frames)` in blocks.
void readBlocks(AudioFileReader& reader,
                const std::function<void(const double*, const double*, unsigned)>& consume);

// A whole stereo file through the stereo field analysis at its sample rate; throws
// ToolError naming the file.
StereoFieldAnalysis analyzeFile(const std::string& path);
// A whole stereo file through the meter; throws ToolError naming the file.
StereoMeter measureFile(const std::string& path);

}  // namespace brisendel
