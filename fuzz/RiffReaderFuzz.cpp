// Feeds arbitrary bytes to RiffReader::open and reads every frame it offers.
// Besides the sanitizers' findings it traps when the reader promises frames
// that are not in the input, stays open after a failed open, or does not give
// silence past the end.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "spl/clip/DefaultClip.h"
#include "spl/clip/ZeroClip.h"
#include "spl/io/riff/RiffReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  spl::RiffReader reader;
  try {
    reader.open(std::make_unique<std::istringstream>(
        std::string(reinterpret_cast<const char*>(data), size)));
  } catch (const std::runtime_error&) {
    if (reader.isOpen()) __builtin_trap();
    return 0;
  }

  const spl::RiffWaveInfo& info = reader.getInfo();
  const std::uint64_t bytesPerFrame = info.getNumBytesPerFrame();
  if (bytesPerFrame == 0) __builtin_trap();
  if (reader.getDataOffset() + bytesPerFrame * reader.getFrameCount() > size) __builtin_trap();
  std::ostringstream text;
  reader.describe(text);
  text << info.toString();

  const unsigned channels = info.getNumChannels();
  std::unique_ptr<spl::Clip> clip;
  if (channels <= spl::DefaultClip::MAX_CHANNEL) {
    clip = std::make_unique<spl::DefaultClip>(channels, 0);
  } else {
    clip = std::make_unique<spl::ZeroClip>(channels, 0);
  }

  const unsigned steps[] = {1, 7, 4096};
  unsigned step = 0;
  try {
    while (reader.getPosition() < reader.getFrameCount()) {
      const unsigned before = reader.getPosition();
      const unsigned length = steps[step < 2 ? step : 2];
      ++step;
      reader.read(*clip, length);
      if (clip->getLength() != length || reader.getPosition() <= before) __builtin_trap();
    }
    reader.read(*clip, 3);
    for (unsigned c = 0; c < clip->getNumChannels(); ++c) {
      for (unsigned p = 0; p < clip->getLength(); ++p) {
        if (clip->get(c, p) != 0.0) __builtin_trap();
      }
    }
  } catch (const std::runtime_error&) {
    // Formats the reader carries but cannot decode fail on their first sample.
    const std::uint32_t format = info.getFormatId();
    if (format == 1 || format == 3) __builtin_trap();
  }
  return 0;
}
