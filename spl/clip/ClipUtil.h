#pragma once

#include <vector>

#include "spl/clip/Clip.h"
#include "spl/clip/RangedClip.h"

namespace spl {

// Free functions that move samples between clips and vectors of doubles and
// add clips sample by sample. Loops run position by position (outer) and
// channel by channel (inner).
namespace ClipUtil {

// vector = channel `channel` of clip (vector resized to the clip's length).
void copyChannelToVector(const Clip& clip, std::vector<double>& vector, unsigned channel);
// channel `channel` of clip = vector; sizes must match.
void copyVectorToChannel(const std::vector<double>& vector, Clip& clip, unsigned channel);
// vector = the clip's frames one after another.
void interleave(const Clip& clip, std::vector<double>& vector);
// clip = the frames of vector (surplus samples of a partial frame are ignored).
void deinterleave(const std::vector<double>& vector, Clip& clip);
// clip = a + b; clip must be a third clip whose setLength works.
void add(const Clip& a, const Clip& b, Clip& clip);
// Part `index` of `numParts` equal parts of clip, as a view.
RangedClip split(Clip& clip, unsigned numParts, unsigned index);

}  // namespace ClipUtil
}  // namespace spl
