#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "spl/proc/BasicComb.h"
#include "spl/proc/BasicIntegrator.h"
#include "spl/proc/CombFilter.h"
#include "spl/proc/Derivation.h"
#include "spl/proc/Integration.h"
#include "spl/proc/Integrator.h"
#include "tests/support/FailureCheck.h"

namespace {

std::vector<double> run(spl::SampleProcessor& processor, const std::vector<double>& input) {
  std::vector<double> output;
  for (double x : input) output.push_back(processor.process(x));
  return output;
}

using Seq = std::vector<double>;

}  // namespace

TEST(SampleProcessors, RunningSumsAndDifferences) {
  spl::Integration integration;
  spl::BasicIntegrator basicIntegrator;
  spl::Derivation derivation;
  EXPECT_EQ(run(integration, {1, 2, 3}), (Seq{1, 3, 6}));
  EXPECT_EQ(run(basicIntegrator, {1, 2, 3, -6}), (Seq{1, 3, 6, 0}));
  EXPECT_EQ(run(derivation, {1, 2, 4}), (Seq{1, 1, 2}));
}

TEST(SampleProcessors, DelayedDifferenceAndSum) {
  spl::CombFilter comb(2);
  spl::Integrator integrator(2);
  spl::BasicComb basicComb(2);
  EXPECT_EQ(run(comb, {1, 2, 3, 4}), (Seq{1, 2, 2, 2}));
  EXPECT_EQ(run(integrator, {1, 2, 3, 4}), (Seq{1, 2, 4, 6}));
  EXPECT_EQ(run(basicComb, {1, 2, 3, 4, 0, 0}), (Seq{1, 2, 2, 2, -3, -4}));
  spl::CombFilter unit(1);
  EXPECT_EQ(run(unit, {5, 7, 7}), (Seq{5, 2, 0}));
}

TEST(SampleProcessors, CombOfIntegrationIsAMovingSum) {
  // The cascaded integrator-comb identity: a running sum followed by a comb
  // of delay D gives the sum of the last D inputs.
  spl::Integration integration;
  spl::BasicComb comb(3);
  const Seq input{1, 2, 3, 4, 5, 6};
  Seq output;
  for (double x : input) output.push_back(comb.process(integration.process(x)));
  EXPECT_EQ(output, (Seq{1, 3, 6, 9, 12, 15}));
}

TEST(SampleProcessors, ZeroDelayIsRefused) {
  EXPECT_SPL_FAILURE_AT(spl::CombFilter(0), "assertion error", "spl/proc/CombFilter", 7);
  EXPECT_SPL_FAILURE_AT(spl::Integrator(0), "assertion error", "spl/proc/Integrator", 7);
  EXPECT_SPL_FAILURE_AT(spl::BasicComb(0), "assertion error", "spl/proc/BasicComb", 12);
}
