// The messages between the plug-in and its view: what the plug-in forges the
// view reads back unchanged, a full buffer takes nothing, and whatever else
// arrives (cut, retyped, random) is refused or at least never yields values
// outside what a signal gives.

#include <gtest/gtest.h>
#include <lv2/atom/util.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "formats/lv2/ViewMessages.h"
#include "tests/formats/lv2/TestUridMap.h"

using brisendel::ViewMessages;
using brisendel_test::TestUridMap;

namespace {

constexpr int BANDS = ViewMessages::BAND_COUNT;

ViewMessages::Meters sampleMeters(unsigned points) {
  ViewMessages::Meters m;
  m.sampleRate = 48000;
  m.frames = 4096;
  for (int b = 0; b < BANDS; ++b) {
    m.inputBands[b] = {1.0f + b, 2.0f + b, 0.5f * b};
    m.outputBands[b] = {3.0f + b, 1.0f + b, -0.25f * b};
  }
  m.inputTotal = {40, 50, -10};
  m.outputTotal = {60, 70, 20};
  m.points = points;
  for (unsigned i = 0; i < 2 * points; ++i) m.goniometer[i] = std::sin(0.1f * i);
  return m;
}

// A sequence the way a plug-in fills its notify port in run.
class Sequence {
 public:
  Sequence(TestUridMap& map, std::size_t capacity) : _bytes(capacity + 64, 0xAB) {
    lv2_atom_forge_init(&forge, map.map());
    lv2_atom_forge_set_buffer(&forge, _bytes.data(), capacity);
    lv2_atom_forge_sequence_head(&forge, &_frame, 0);
  }
  const LV2_Atom_Sequence* atom() const {
    return reinterpret_cast<const LV2_Atom_Sequence*>(_bytes.data());
  }
  std::vector<std::uint8_t> bytes() const { return _bytes; }
  LV2_Atom_Forge forge;

 private:
  std::vector<std::uint8_t> _bytes;
  LV2_Atom_Forge_Frame _frame;
};

std::vector<std::uint8_t> forgedMessage(TestUridMap& map, const ViewMessages& messages,
                                        const ViewMessages::Meters& meters) {
  Sequence sequence(map, 8192);
  EXPECT_TRUE(messages.forgeMetersEvent(&sequence.forge, 0, meters));
  const LV2_Atom_Event* event = lv2_atom_sequence_begin(&sequence.atom()->body);
  const auto* start = reinterpret_cast<const std::uint8_t*>(&event->body);
  return {start, start + sizeof(LV2_Atom) + event->body.size};
}

void expectSameMeters(const ViewMessages::Meters& a, const ViewMessages::Meters& b) {
  EXPECT_EQ(a.sampleRate, b.sampleRate);
  EXPECT_EQ(a.frames, b.frames);
  for (int i = 0; i < BANDS; ++i) {
    EXPECT_EQ(a.inputBands[i].ll, b.inputBands[i].ll);
    EXPECT_EQ(a.inputBands[i].lr, b.inputBands[i].lr);
    EXPECT_EQ(a.outputBands[i].rr, b.outputBands[i].rr);
    EXPECT_EQ(a.outputBands[i].lr, b.outputBands[i].lr);
  }
  EXPECT_EQ(a.inputTotal.lr, b.inputTotal.lr);
  EXPECT_EQ(a.outputTotal.rr, b.outputTotal.rr);
  ASSERT_EQ(a.points, b.points);
  for (unsigned i = 0; i < 2 * a.points; ++i) EXPECT_EQ(a.goniometer[i], b.goniometer[i]);
}

// What a parsed message may never hold, however it was made.
void expectPlausible(const ViewMessages::Meters& m) {
  ASSERT_TRUE(m.sampleRate >= 1 && m.sampleRate <= 1e7);
  ASSERT_GE(m.frames, 1);
  ASSERT_LE(m.points, ViewMessages::MAX_POINTS);
  auto check = [](const ViewMessages::Sums& s) {
    ASSERT_TRUE(s.ll >= 0 && s.rr >= 0 && std::isfinite(s.ll) && std::isfinite(s.rr));
    ASSERT_LE(std::fabs(s.lr), std::sqrt(double(s.ll) * s.rr) * 1.001 + 1e-30);
  };
  for (int i = 0; i < BANDS; ++i) {
    check(m.inputBands[i]);
    check(m.outputBands[i]);
  }
  for (unsigned i = 0; i < 2 * m.points; ++i) ASSERT_TRUE(std::isfinite(m.goniometer[i]));
}

}  // namespace

TEST(ViewMessages, MetersRoundTripThroughASequence) {
  TestUridMap map;
  const ViewMessages messages(map.map());
  ASSERT_TRUE(messages.valid());
  for (unsigned points : {0u, 1u, 255u, 256u}) {
    const auto meters = sampleMeters(points);
    Sequence sequence(map, 16384);
    ASSERT_TRUE(messages.forgeMetersEvent(&sequence.forge, 17, meters));
    ASSERT_TRUE(messages.forgeMetersEvent(&sequence.forge, 99, sampleMeters(3)));
    int events = 0;
    LV2_ATOM_SEQUENCE_FOREACH(sequence.atom(), event) {
      ViewMessages::Meters parsed;
      ASSERT_TRUE(messages.parseMeters(&event->body, sizeof(LV2_Atom) + event->body.size, parsed));
      EXPECT_EQ(event->time.frames, events == 0 ? 17 : 99);
      expectSameMeters(parsed, events == 0 ? meters : sampleMeters(3));
      ++events;
    }
    EXPECT_EQ(events, 2);
  }
  // More points than the view draws are refused rather than cut.
  auto tooMany = sampleMeters(256);
  tooMany.points = 257;
  Sequence sequence(map, 16384);
  EXPECT_FALSE(messages.forgeMetersEvent(&sequence.forge, 0, tooMany));
}

TEST(ViewMessages, AFullBufferTakesNoPartOfAMessage) {
  TestUridMap map;
  const ViewMessages messages(map.map());
  const auto meters = sampleMeters(100);
  const std::uint32_t head = sizeof(LV2_Atom_Sequence);
  const std::uint32_t needed = head + ViewMessages::metersEventSize(100);
  for (std::uint32_t capacity = head; capacity <= needed; capacity += 4) {
    Sequence sequence(map, capacity);
    const auto before = sequence.bytes();
    const bool written = messages.forgeMetersEvent(&sequence.forge, 0, meters);
    if (capacity < needed) {
      ASSERT_FALSE(written) << capacity;
      ASSERT_EQ(sequence.bytes(), before) << capacity;
      ASSERT_EQ(sequence.forge.offset, head);
    } else {
      ASSERT_TRUE(written);
      ASSERT_EQ(sequence.forge.offset, needed);
      ASSERT_EQ(sequence.atom()->atom.size, needed - sizeof(LV2_Atom));
    }
  }
}

TEST(ViewMessages, ViewStateRoundTripAndRefusals) {
  TestUridMap map;
  const ViewMessages messages(map.map());
  alignas(8) std::uint8_t buffer[64];
  EXPECT_EQ(messages.writeViewState(buffer, ViewMessages::VIEW_STATE_SIZE - 1, true), 0u);
  for (bool open : {true, false}) {
    const std::uint32_t size = messages.writeViewState(buffer, sizeof buffer, open);
    ASSERT_EQ(size, ViewMessages::VIEW_STATE_SIZE);
    bool parsed = !open;
    ASSERT_TRUE(messages.parseViewState(buffer, size, parsed));
    EXPECT_EQ(parsed, open);
    for (std::uint32_t cut = 0; cut < size; ++cut)
      EXPECT_FALSE(messages.parseViewState(buffer, cut, parsed));
    // A view state is no meter message and the other way round.
    ViewMessages::Meters meters;
    EXPECT_FALSE(messages.parseMeters(buffer, size, meters));
  }
  // A bool of 2 is neither state.
  messages.writeViewState(buffer, sizeof buffer, true);
  std::int32_t two = 2;
  std::memcpy(buffer + 32, &two, 4);
  bool parsed = false;
  EXPECT_FALSE(messages.parseViewState(buffer, ViewMessages::VIEW_STATE_SIZE, parsed));
  // Without a map there are no messages at all.
  const ViewMessages none(nullptr);
  EXPECT_FALSE(none.valid());
  EXPECT_EQ(none.writeViewState(buffer, sizeof buffer, true), 0u);
}

// Each defect alone makes the whole message unreadable.
TEST(ViewMessages, ParserRefusesEveryMalformedMessage) {
  TestUridMap map;
  const ViewMessages messages(map.map());
  const auto good = forgedMessage(map, messages, sampleMeters(8));
  ViewMessages::Meters parsed;
  ASSERT_TRUE(messages.parseMeters(good.data(), good.size(), parsed));

  // Every cut, whether or not the atom's own size was cut with it.
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    ASSERT_FALSE(messages.parseMeters(good.data(), cut, parsed)) << cut;
    auto shortened = good;
    const std::uint32_t size = cut >= 8 ? std::uint32_t(cut - 8) : 0;
    std::memcpy(shortened.data(), &size, 4);
    ASSERT_FALSE(messages.parseMeters(shortened.data(), cut, parsed)) << cut;
  }

  // Single defects, each written over one field of the good message. Offsets:
  // object header 0..15; sampleRate property at 16 (value at 32), frames at 40
  // (value 56), inputBands at 64 (vector body at 80, values from 88).
  auto refused = [&](std::size_t offset, auto value, const char* what) {
    auto bad = good;
    std::memcpy(bad.data() + offset, &value, sizeof value);
    ViewMessages::Meters out = sampleMeters(1);
    EXPECT_FALSE(messages.parseMeters(bad.data(), bad.size(), out)) << what;
    EXPECT_EQ(out.points, 1u) << what << ": a refused message leaves the result alone";
  };
  refused(4, map(LV2_ATOM__Tuple), "not an object");
  refused(12, map("urn:orlask:brisendel#ViewState"), "another object type");
  refused(16, map("urn:orlask:brisendel#unknown"), "an unknown property");
  refused(16, map("urn:orlask:brisendel#frames"), "a property twice");
  refused(20, std::uint32_t{5}, "a property with a context");
  refused(28, map(LV2_ATOM__Float), "sample rate of the wrong type");
  refused(32, 0.0, "no sample rate");
  refused(32, std::numeric_limits<double>::quiet_NaN(), "NaN sample rate");
  refused(56, std::int64_t{0}, "no frames");
  refused(80, std::uint32_t{8}, "vector of 8-byte children");
  refused(84, map(LV2_ATOM__Int), "vector of ints");
  refused(88, -1.0f, "negative energy");
  refused(88, std::numeric_limits<float>::infinity(), "infinite energy");
  refused(96, 100.0f, "LR beyond what L² and R² allow");
  refused(96, std::numeric_limits<float>::quiet_NaN(), "NaN cross power");
  // One band too few: the vector's size says 30 bands.
  refused(72, std::uint32_t{8 + 4 * 3 * (BANDS - 1)}, "30 bands");

  // A goniometer, the last property, with an odd count of floats.
  auto bytes = forgedMessage(map, messages, sampleMeters(8));
  const std::size_t last = bytes.size() - (16 + 8 + 4 * 16);
  std::uint32_t oddSize = 8 + 4 * 15;
  std::memcpy(bytes.data() + last + 8, &oddSize, 4);
  EXPECT_FALSE(messages.parseMeters(bytes.data(), bytes.size(), parsed)) << "odd goniometer";

  // Object or blank: the view reads both.
  auto blank = good;
  const LV2_URID blankType = map(LV2_ATOM__Blank);
  std::memcpy(blank.data() + 4, &blankType, 4);
  EXPECT_TRUE(messages.parseMeters(blank.data(), blank.size(), parsed));
}

// Random bytes, random damage to good messages: never a crash (this runs under
// the sanitizers too), never an implausible value.
TEST(ViewMessages, RandomBytesNeverYieldImplausibleMeters) {
  TestUridMap map;
  const ViewMessages messages(map.map());
  const auto good = forgedMessage(map, messages, sampleMeters(40));
  std::mt19937 random(12345);
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    auto bytes = good;
    const int damage = 1 + int(random() % 4);
    for (int d = 0; d < damage; ++d) {
      const std::size_t at = random() % bytes.size();
      switch (random() % 3) {
        case 0:
          bytes[at] = std::uint8_t(random());
          break;
        case 1: {  // a plausible small word: a URID, a size, a count
          const std::uint32_t word = random() % 40;
          std::memcpy(bytes.data() + (at & ~std::size_t{3}) % (bytes.size() - 3), &word, 4);
          break;
        }
        default:
          bytes.resize(at);
          break;
      }
      if (bytes.size() < 4) break;
    }
    // Parse from an exact-size heap copy so that any read past the end is seen.
    std::vector<std::uint8_t> exact(bytes);
    ViewMessages::Meters parsed;
    if (messages.parseMeters(exact.data(), exact.size(), parsed)) {
      ++accepted;
      expectPlausible(parsed);
    }
    bool open;
    messages.parseViewState(exact.data(), exact.size(), open);
  }
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> noise(random() % 1500);
    for (auto& b : noise) b = std::uint8_t(random());
    if (noise.size() >= 16) {  // an object header, so that the walk gets under way
      const LV2_URID object = map(LV2_ATOM__Object), meters = map("urn:orlask:brisendel#Meters");
      const std::uint32_t size = std::uint32_t(noise.size() - 8);
      std::memcpy(noise.data(), &size, 4);
      std::memcpy(noise.data() + 4, &object, 4);
      std::memcpy(noise.data() + 12, &meters, 4);
    }
    ViewMessages::Meters parsed;
    if (messages.parseMeters(noise.data(), noise.size(), parsed)) expectPlausible(parsed);
  }
  // Damage that leaves a message readable (a changed sample of the goniometer,
  // say) must still happen now and then, or the loop above tests nothing.
  EXPECT_GT(accepted, 0);
}
