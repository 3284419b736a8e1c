// The parameter table's step arithmetic and texts as a view uses them, without
// the effect: every step survives the trip through its plain and its normalized
// value, and display texts are cut to any buffer and always terminated.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "effect/Parameters.h"

using brisendel::Parameters;

namespace {

TEST(Parameters, EveryStepRoundTripsThroughPlainAndNormalized) {
  for (const Parameters::Info& p : Parameters::TABLE) {
    SCOPED_TRACE(p.name);
    const unsigned count = p.stepCount();
    for (unsigned step = 0; step < count; ++step) {
      ASSERT_EQ(p.stepOfPlain(p.plainOfStep(step)), step);
      ASSERT_EQ(p.stepOfNormalized(p.normalizedOfStep(step)), step);
    }
    EXPECT_EQ(p.stepOfNormalized(1.0), count - 1);
    EXPECT_EQ(p.stepOfNormalized(1e300), count - 1);
    EXPECT_EQ(p.stepOfNormalized(-0.5), 0u);
    EXPECT_EQ(p.stepOfPlain(p.maximum + 1000.0), count - 1);
    EXPECT_EQ(p.stepOfPlain(p.minimum - 1000.0), 0u);
  }
  EXPECT_EQ(Parameters::findSymbol("window"), Parameters::kWindow);
  EXPECT_EQ(Parameters::findSymbol("Window"), -1);
}

TEST(Parameters, DisplayTextsAreCutToTheBufferAndTerminated) {
  const Parameters::Info& center = Parameters::TABLE[Parameters::kCenter];
  const Parameters::Info& autoGain = Parameters::TABLE[Parameters::kAutoGain];
  char text[Parameters::TEXT_CAPACITY];
  EXPECT_EQ(center.displayText(200, text, sizeof(text)), 3u);
  EXPECT_STREQ(text, "200");
  EXPECT_EQ(autoGain.displayText(0, text, sizeof(text)), 8u);
  EXPECT_STREQ(text, "Disabled");

  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(autoGain.displayText(1, small, 3), 2u);
  EXPECT_STREQ(small, "En");
  EXPECT_EQ(small[3], 'x') << "wrote past the size given";
  EXPECT_EQ(center.displayText(150, small, 1), 0u);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(center.displayText(150, nullptr, 0), 0u);
}

}  // namespace
