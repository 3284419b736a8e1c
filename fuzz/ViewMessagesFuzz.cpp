// The messages between Brisendel's LV2 plug-in and its view, decoded from any
// bytes as the view (parseMeters) and the plug-in (parseViewState) decode what
// arrives on their ports; no display is needed.
//
// The first byte chooses what the rest is:
// - 0..0x7F: an atom for both parsers. An accepted message must hold only
//   what a signal can produce; a refused one leaves the output as it was.
// - 0x80..0xFF: the values of a Meters message, which is forged into a
//   sequence (into a buffer of any capacity) and parsed back: it must come
//   back exactly when its values are ones the view takes, and never be written
//   past the capacity.
//
// URIs are mapped in the order ViewMessages maps them, so the numbers are the
// same every run: atom:Object 1, Blank 2, Vector 3, Float 4, Double 5, Long 6,
// Bool 7, eventTransfer 8, ViewState 9, open 10, Meters 11, then the Meters keys
// sampleRate 12 to goniometer 18 (view.dict holds them as 32-bit words).

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/lv2/ViewMessages.h"
#include "fuzz/DelayedStereo.h"
#include "fuzz/FuzzBytes.h"
#include "fuzz/UridMap.h"

using brisendel::ViewMessages;

namespace {

struct Decoder {
  Decoder() : messages(uris.map()) {
    FUZZ_CHECK(messages.valid());
    lv2_atom_forge_init(&forge, uris.map());
  }
  UridMap uris;
  ViewMessages messages;
  LV2_Atom_Forge forge{};
};

bool sound(const ViewMessages::Sums& s) {
  return s.ll >= 0.0f && s.rr >= 0.0f && std::isfinite(s.ll) && std::isfinite(s.rr) &&
         std::isfinite(s.lr);
}

// What an accepted message promises the view.
void checkAccepted(const ViewMessages::Meters& m) {
  FUZZ_CHECK(m.sampleRate >= 1.0 && m.sampleRate <= 1e7);
  FUZZ_CHECK(m.frames >= 1 && m.frames <= (std::int64_t{1} << 32));
  FUZZ_CHECK(m.points <= ViewMessages::MAX_POINTS);
  for (const auto& s : m.inputBands) FUZZ_CHECK(sound(s));
  for (const auto& s : m.outputBands) FUZZ_CHECK(sound(s));
  FUZZ_CHECK(sound(m.inputTotal) && sound(m.outputTotal));
  for (std::uint32_t i = 0; i < 2 * m.points; ++i)
    FUZZ_CHECK(std::fabs(m.goniometer[i]) <= 1000.0f);
}

void parseAny(Decoder& d, const std::uint8_t* data, std::size_t size) {
  ViewMessages::Meters meters;
  meters.sampleRate = -5.0;
  meters.frames = -5;
  if (d.messages.parseMeters(data, size, meters)) {
    checkAccepted(meters);
  } else {
    FUZZ_CHECK(meters.sampleRate == -5.0 && meters.frames == -5 && meters.points == 0);
  }
  bool open = true;
  if (!d.messages.parseViewState(data, size, open)) FUZZ_CHECK(open);
}

// A float for a meter value: mostly plausible, sometimes anything.
float meterValue(FuzzBytes& in) {
  const float v = in.f32();
  return in.pick(4) == 0 ? -v : v;
}

void forgeAndParse(Decoder& d, FuzzBytes& in) {
  ViewMessages::Meters m;
  m.sampleRate = in.pick(4) == 0 ? in.f64() : 44100.0;
  m.frames = in.pick(4) == 0 ? in.i64() : 1470;
  const bool plain = in.flag();
  auto sums = [&](ViewMessages::Sums& s) {
    if (plain) {
      s = {in.u8() / 8.0f, in.u8() / 8.0f, 0.0f};
      s.lr = std::sqrt(s.ll * s.rr) * (in.u8() / 127.5f - 1.0f);
    } else {
      s = {meterValue(in), meterValue(in), meterValue(in)};
    }
  };
  for (auto& s : m.inputBands) sums(s);
  for (auto& s : m.outputBands) sums(s);
  sums(m.inputTotal);
  sums(m.outputTotal);
  m.points = in.u16() % (ViewMessages::MAX_POINTS + 8);
  for (std::uint32_t i = 0; i < 2 * m.points && i < m.goniometer.size(); ++i)
    m.goniometer[i] = plain ? (in.u8() / 127.5f - 1.0f) : meterValue(in);

  // A sequence buffer of any capacity, exactly that large.
  const std::uint32_t needed = sizeof(LV2_Atom_Sequence) + ViewMessages::metersEventSize(std::min(
                                                               m.points, ViewMessages::MAX_POINTS));
  const std::uint32_t capacity = in.pick(4) == 0 ? needed - 1 - in.u8() % 64 : needed + in.u8();
  std::vector<std::uint8_t> buffer(capacity > 4u << 20 ? 0 : capacity);
  if (buffer.size() < sizeof(LV2_Atom_Sequence)) return;
  lv2_atom_forge_set_buffer(&d.forge, buffer.data(), buffer.size());
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_sequence_head(&d.forge, &frame, 0);
  const bool forged = d.messages.forgeMetersEvent(&d.forge, 0, m);
  lv2_atom_forge_pop(&d.forge, &frame);
  if (m.points > ViewMessages::MAX_POINTS || buffer.size() < needed) {
    FUZZ_CHECK(!forged);
    return;
  }
  FUZZ_CHECK(forged);

  const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(buffer.data());
  FUZZ_CHECK(sizeof(LV2_Atom) + sequence->atom.size <= buffer.size());
  const auto* event = lv2_atom_sequence_begin(&sequence->body);
  const std::size_t eventBytes = sizeof(LV2_Atom) + event->body.size;
  ViewMessages::Meters back;
  const bool parsed = d.messages.parseMeters(&event->body, eventBytes, back);
  if (!parsed) {
    // Only values no signal gives are refused.
    FUZZ_CHECK(!(plain && m.sampleRate == 44100.0 && m.frames == 1470));
    return;
  }
  checkAccepted(back);
  FUZZ_CHECK(back.sampleRate == m.sampleRate && back.frames == m.frames && back.points == m.points);
  FUZZ_CHECK(std::memcmp(back.inputBands.data(), m.inputBands.data(), sizeof(m.inputBands)) == 0);
  FUZZ_CHECK(std::memcmp(back.outputBands.data(), m.outputBands.data(), sizeof(m.outputBands)) ==
             0);
  FUZZ_CHECK(
      std::memcmp(back.goniometer.data(), m.goniometer.data(), 2 * m.points * sizeof(float)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Decoder* decoder = new Decoder();
  if (size == 0) return 0;
  if (data[0] < 0x80) {
    // The atom alone, in a buffer of exactly its size.
    std::vector<std::uint8_t> atom(data + 1, data + size);
    parseAny(*decoder, atom.data(), atom.size());
  } else {
    FuzzBytes in(data + 1, size - 1);
    forgeAndParse(*decoder, in);
  }
  return 0;
}
