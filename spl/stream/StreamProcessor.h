#pragma once

#include "spl/stream/StreamSink.h"
#include "spl/stream/StreamSource.h"

namespace spl {

// Both ends of a stream: handed to producers as a sink, to consumers as a source.
class StreamProcessor : public StreamSink, public StreamSource {};

}  // namespace spl
