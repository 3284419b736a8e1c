// The stereo effect base with a small effect: buffers in and out, text answers,
// and how processing failures are contained.

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/vst2/AbstractStereoAudioEffectX.h"
#include "spl/util/Failure.h"

namespace {

// Left out = 2 * left + right, right out = left - right, in double precision;
// throws or shortens the clip on demand.
class MixEffect : public AbstractStereoAudioEffectX {
 public:
  MixEffect() : AbstractStereoAudioEffectX(nullptr, 1, 2) {
    addParameterName("Gain");
    addParameterLabel("dB");
    addParameterName("ABCDEFGHIJ");
    addParameterLabel("");
  }
  std::string getEffectNameString() override { return effectName; }
  std::string getVendorNameString() override { return ""; }
  std::string getProductNameString() override { return std::string(70, 'p'); }
  std::string getParameterDisplayString(VstInt32 index) override {
    if (index == 5) throw std::runtime_error("no display");
    return index == 0 ? "123456789" : "";
  }
  void processStereo(const float* const* in, float* const* out, unsigned frames) override {
    mix(in, out, frames);
  }
  void processStereo(const double* const* in, double* const* out, unsigned frames) override {
    mix(in, out, frames);
  }
  template <typename Sample>
  void mix(const Sample* const* in, Sample* const* out, unsigned frames) {
    ++calls;
    lastLength = frames;
    if (failure == 1) throw std::runtime_error("broken block");
    if (failure == 2) throw 42;
    for (unsigned i = 0; i < frames; ++i) {
      const Sample l = in[0][i];
      const Sample r = in[1][i];
      out[0][i] = 2 * l + r + Sample(1e-9);
      out[1][i] = l - r;
    }
  }

  std::string effectName = "Mix";
  int failure = 0;
  int calls = 0;
  unsigned lastLength = 99;
};

struct Stereo {
  explicit Stereo(std::size_t frames) : left(frames), right(frames) {
    for (std::size_t i = 0; i < frames; ++i) {
      left[i] = 0.1 * static_cast<double>(i) + 1.0 / 3.0;
      right[i] = -0.05 * static_cast<double>(i);
    }
  }
  double* channels[2] = {nullptr, nullptr};
  double** get() {
    channels[0] = left.data();
    channels[1] = right.data();
    return channels;
  }
  std::vector<double> left, right;
};

// What the effect reported, through the replaced failure reporter.
std::vector<std::string> reports;
void recordReport(const char* text) { reports.emplace_back(text); }

class StereoEffectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reports.clear();
    previousReporter = AbstractStereoAudioEffectX::setFailureReporter(&recordReport);
  }
  void TearDown() override { AbstractStereoAudioEffectX::setFailureReporter(previousReporter); }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, void* ptr = nullptr) {
    AEffect* e = effect.getAeffect();
    return e->dispatcher(e, opcode, index, 0, ptr, 0.0f);
  }
  MixEffect effect;
  AbstractStereoAudioEffectX::FailureReporter previousReporter = nullptr;
};

TEST_F(StereoEffectTest, RecordOffersTwoByTwoInBothPrecisions) {
  const AEffect* e = effect.getAeffect();
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
  EXPECT_EQ(e->initialDelay, 0);
}

TEST_F(StereoEffectTest, DoublePathHandsTheHostBuffersToTheEffect) {
  Stereo in(37), out(37);
  AEffect* e = effect.getAeffect();
  e->processDoubleReplacing(e, in.get(), out.get(), 37);
  for (std::size_t i = 0; i < 37; ++i) {
    EXPECT_EQ(out.left[i], 2 * in.left[i] + in.right[i] + 1e-9);
    EXPECT_EQ(out.right[i], in.left[i] - in.right[i]);
  }
}

TEST_F(StereoEffectTest, EmptyBlockStillReachesTheEffect) {
  Stereo in(1), out(1);
  out.left[0] = 5.0;
  AEffect* e = effect.getAeffect();
  e->processDoubleReplacing(e, in.get(), out.get(), 0);
  EXPECT_EQ(effect.calls, 1);
  EXPECT_EQ(effect.lastLength, 0u);
  EXPECT_EQ(out.left[0], 5.0);
}

// Runs one double-precision call whose failure is expected; returns what it
// reported, which must be exactly one text.
std::string failingCall(MixEffect& effect, double** in, double** out, VstInt32 frames) {
  reports.clear();
  AEffect* e = effect.getAeffect();
  e->processDoubleReplacing(e, in, out, frames);
  return reports.size() == 1 ? reports[0] : std::to_string(reports.size()) + " reports";
}

// A failure of the stereo base's own buffer checks, reported as text: the
// library's failure form with the fixed line that names the fault (the texts
// are composed in advance, so that refusing a block allocates nothing).
::testing::AssertionResult baseFailure(const std::string& text, const std::string& message,
                                       unsigned line) {
  const std::string expected =
      spl::failureText(message, "formats/vst2/AbstractStereoAudioEffectX", line);
  if (text != expected) {
    return ::testing::AssertionFailure() << "\"" << text << "\", expected \"" << expected << "\"";
  }
  return ::testing::AssertionSuccess();
}

TEST_F(StereoEffectTest, FailuresAreReportedOnceAndLeaveTheOutputUnwritten) {
  Stereo in(16), out(16);
  std::fill(out.left.begin(), out.left.end(), 7.0);
  effect.failure = 1;
  EXPECT_EQ(failingCall(effect, in.get(), out.get(), 16), "broken block");
  effect.failure = 2;
  EXPECT_EQ(failingCall(effect, in.get(), out.get(), 16), "unknown error.");
  EXPECT_EQ(out.left, std::vector<double>(16, 7.0));

  effect.failure = 0;  // and processing goes on afterwards
  AEffect* rec = effect.getAeffect();
  rec->processDoubleReplacing(rec, in.get(), out.get(), 16);
  EXPECT_EQ(out.right[3], in.left[3] - in.right[3]);
}

TEST_F(StereoEffectTest, UnusableHostBuffersAreReportedNotTouched) {
  Stereo in(8), out(8);
  const std::vector<double> before = out.left;
  const int callsBefore = effect.calls;
  EXPECT_TRUE(baseFailure(failingCall(effect, nullptr, out.get(), 8), "channel", 66));
  EXPECT_TRUE(baseFailure(failingCall(effect, in.get(), nullptr, 8), "channel", 66));
  double* halfNull[2] = {in.left.data(), nullptr};
  EXPECT_TRUE(baseFailure(failingCall(effect, halfNull, out.get(), 8), "channel", 67));
  double* outputHalfNull[2] = {nullptr, out.right.data()};
  EXPECT_TRUE(baseFailure(failingCall(effect, in.get(), outputHalfNull, 8), "channel", 68));
  EXPECT_TRUE(baseFailure(failingCall(effect, in.get(), out.get(), -1), "length", 65));
  reports.clear();
  AEffect* rec = effect.getAeffect();
  rec->processReplacing(rec, nullptr, nullptr, 4);
  EXPECT_EQ(reports.size(), 1u);
  EXPECT_EQ(effect.calls, callsBefore);
  EXPECT_EQ(out.left, before);
}

// Hosts may send an empty block without any buffers; that is no failure.
TEST_F(StereoEffectTest, EmptyBlockWithoutBuffersIsNeitherProcessedNorReported) {
  AEffect* e = effect.getAeffect();
  double* noChannels[2] = {nullptr, nullptr};
  e->processDoubleReplacing(e, nullptr, nullptr, 0);
  e->processDoubleReplacing(e, noChannels, noChannels, 0);
  e->processReplacing(e, nullptr, nullptr, 0);
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(effect.calls, 0);
}

#ifndef _WIN32
// Without a message box the report is one line on standard error.
TEST(StereoEffectReport, IsOneLineOnStandardError) {
  testing::internal::CaptureStderr();
  AbstractStereoAudioEffectX::reportToUser("broken block");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "runtime_error: broken block\n");
}
#endif

TEST_F(StereoEffectTest, TextsAreCutToTheHostLimits) {
  char text[80];
  char longName[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";  // 30 characters
  dispatch(effSetProgramName, 0, longName);
  dispatch(effGetProgramName, 0, text);
  EXPECT_STREQ(text, "ABCDEFGHIJKLMNOPQRSTUVWX");

  effect.effectName = std::string(40, 'e');
  EXPECT_EQ(dispatch(effGetEffectName, 0, text), 1);
  EXPECT_EQ(std::string(text), std::string(32, 'e'));
  EXPECT_EQ(dispatch(effGetVendorString, 0, text), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(dispatch(effGetProductString, 0, text), 1);
  EXPECT_EQ(std::string(text), std::string(64, 'p'));

  dispatch(effGetParamName, 1, text);
  EXPECT_STREQ(text, "ABCDEFGH");
  dispatch(effGetParamLabel, 0, text);
  EXPECT_STREQ(text, "dB");
  dispatch(effGetParamDisplay, 0, text);
  EXPECT_STREQ(text, "12345678");
}

TEST_F(StereoEffectTest, UnknownIndicesAndNullBuffersAreHarmless) {
  char text[kVstMaxProgNameLen + 1];
  for (VstInt32 index : {2, 100, -1}) {
    std::strcpy(text, "x");
    dispatch(effGetParamName, index, text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "x");
    dispatch(effGetParamLabel, index, text);
    EXPECT_STREQ(text, "");
  }
  for (VstInt32 opcode :
       std::vector<VstInt32>{effGetParamName, effGetParamLabel, effGetParamDisplay,
                             effGetProgramName, effSetProgramName}) {
    EXPECT_EQ(dispatch(opcode, 0, nullptr), 0);
  }
  EXPECT_EQ(dispatch(effGetEffectName, 0, nullptr), 1);
  std::strcpy(text, "x");
  EXPECT_EQ(dispatch(effGetParamDisplay, 5, text), 0);  // the failure stops at the record
  EXPECT_STREQ(text, "");
  dispatch(effGetProgramName, 0, text);
  EXPECT_STREQ(text, "default");
}

}  // namespace
