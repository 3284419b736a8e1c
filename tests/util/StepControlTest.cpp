#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "spl/util/StepControl.h"
#include "tests/support/FailureCheck.h"

namespace {

constexpr const char* kSource = "spl/util/StepControl";

spl::StepControl<double> percentControl() {
  spl::StepControl<double> control;
  for (int i = 0; i <= 200; ++i) control.addValue(i / 100.0);
  return control;
}

}  // namespace

TEST(StepControl, StartsAtZeroWithoutValues) {
  spl::StepControl<double> control;
  EXPECT_EQ(control.getNormalized(), 0.0);
  EXPECT_SPL_FAILURE_AT(control.getValue(), "assertion error", kSource, 52);
  EXPECT_SPL_FAILURE_AT(control.getIndex(), "assertion error", "spl/util/Util", 203);
}

TEST(StepControl, PercentStepsMapNormalizedValues) {
  spl::StepControl<double> control = percentControl();
  control.setNormalized(0.5);
  EXPECT_EQ(control.getIndex(), 100u);
  EXPECT_EQ(control.getValue(), 1.0);
  control.setNormalized(1.0);
  EXPECT_EQ(control.getIndex(), 200u);
  EXPECT_EQ(control.getValue(), 2.0);
  control.setNormalized(0.0);
  EXPECT_EQ(control.getIndex(), 0u);
  EXPECT_EQ(control.getValue(), 0.0);
  control.setNormalized(0.25);
  EXPECT_EQ(control.getValue(), 0.5);
}

TEST(StepControl, TextSteps) {
  spl::StepControl<std::string> control;
  control.addValue("Disabled");
  control.addValue("Enabled");
  control.setNormalized(0.49);
  EXPECT_EQ(control.getValue(), "Disabled");
  control.setNormalized(0.5);
  EXPECT_EQ(control.getValue(), "Enabled");
  control.setNormalized(1.0);
  EXPECT_EQ(control.getValue(), "Enabled");
  EXPECT_EQ(control.getIndex(), 1u);
}

TEST(StepControl, UnsignedStepsAndSetIndex) {
  spl::StepControl<unsigned int> control;
  for (unsigned i = 1; i <= 9; ++i) control.addValue(i);
  EXPECT_EQ(control.getValue(), 1u);
  control.setNormalized(1.0);
  EXPECT_EQ(control.getValue(), 9u);
  control.setNormalized(0.5);
  EXPECT_EQ(control.getValue(), 5u);

  control.setIndex(3);
  EXPECT_EQ(control.getNormalized(), 3.5 / 9.0);
  EXPECT_EQ(control.getIndex(), 3u);
  EXPECT_EQ(control.getValue(), 4u);
}

TEST(StepControl, KeepsTheHostValueExactly) {
  spl::StepControl<double> control = percentControl();
  for (double x : {0.7, 0.123456789, 1e-300, std::nextafter(1.0, 0.0)}) {
    control.setNormalized(x);
    EXPECT_EQ(control.getNormalized(), x);
  }
}

TEST(StepControl, FailedChecksKeepThePreviousValue) {
  spl::StepControl<double> control = percentControl();
  control.setNormalized(0.3);
  EXPECT_SPL_FAILURE_AT(control.setNormalized(1.5), "assertion error", kSource, 40);
  EXPECT_SPL_FAILURE_AT(control.setNormalized(-0.1), "assertion error", kSource, 39);
  EXPECT_SPL_FAILURE_AT(control.setNormalized(std::nan("")), "assertion error", kSource, 39);
  EXPECT_SPL_FAILURE_AT(control.setIndex(201), "assertion error", kSource, 66);
  EXPECT_EQ(control.getNormalized(), 0.3);
  EXPECT_EQ(control.getIndex(), 60u);
}

// setIndex and getValue go through the table of virtual operations, so a
// subclass that refines setNormalized or getIndex sees those calls.
TEST(StepControl, SetIndexAndGetValueUseTheOverridableOperations) {
  struct Recording : spl::StepControl<unsigned int> {
    void setNormalized(double x) override {
      lastSet = x;
      StepControl::setNormalized(x);
    }
    unsigned getIndex() const override { return 0; }
    double lastSet = -1.0;
  } control;
  control.addValue(10);
  control.addValue(20);
  control.setIndex(1);
  EXPECT_EQ(control.lastSet, 0.75);
  EXPECT_EQ(control.getValue(), 10u);
}
