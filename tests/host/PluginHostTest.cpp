// The host library answers each loaded effect from that effect's own host.
#include <gtest/gtest.h>

#include <vector>

#include "host/PluginHost.h"

using brisendel::PluginHost;

namespace {

// What the probe module heard from its host during one processing call: the sample
// rate in the left output, the block size in the right.
std::pair<double, double> heard(PluginHost& host, int frames) {
  std::vector<double> in(std::size_t(frames), 0.0), left(in), right(in);
  const double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  host.process(inputs, outputs, frames);
  return {left.back(), right.back()};
}

}  // namespace

// Two hosts in one process at different rates and block sizes: each effect hears its
// own host's, whichever started last; before the record is handed back nobody knows.
TEST(PluginHost, EachHostAnswersItsOwnEffect) {
  PluginHost first(PROBE_MODULE);
  PluginHost second(PROBE_MODULE);
  EXPECT_EQ(0.0f, first.getParameter(0)) << "a request from inside the entry got a rate";
  first.start(44100.0, 512);
  second.start(96000.0, 64);
  EXPECT_EQ(std::make_pair(44100.0, 512.0), heard(first, 512));
  EXPECT_EQ(std::make_pair(96000.0, 64.0), heard(second, 64));
  first.start(22050.0, 2048);
  EXPECT_EQ(std::make_pair(96000.0, 64.0), heard(second, 64));
  EXPECT_EQ(std::make_pair(22050.0, 2048.0), heard(first, 100));
}
