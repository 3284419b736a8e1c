// Brisendel.so (Brisendel.dll on Windows) as a host sees it: identity,
// dispatcher, parameters and texts, and the audio path through the record.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "formats/vst2/VSTPlugin.h"
#include "formats/vst2/sdk/AEffectX.h"
#include "host/PluginHost.h"
#include "host/SharedLibrary.h"

using brisendel::PluginHost;

namespace {

constexpr int kDelay = VSTPlugin::WINDOW_LENGTH;

// The plug-in module as built in this tree, loaded and opened by a host.
class TestHost : public PluginHost {
 public:
  TestHost() : PluginHost(BRISENDEL_MODULE) {}

  AEffect* effect() const { return getEffect(); }

  // The text a query writes, from a buffer far larger than the limit; the
  // query must not have written past limit + 1 bytes.
  std::string text(VstInt32 opcode, VstInt32 index, std::size_t limit) const {
    std::vector<char> buffer(256, '#');
    dispatch(opcode, index, 0, buffer.data());
    for (std::size_t i = limit + 1; i < buffer.size(); ++i) {
      if (buffer[i] != '#') throw std::runtime_error("text query wrote past its limit");
    }
    return std::string(buffer.data());
  }

  void processDouble(double* inL, double* inR, double* outL, double* outR, VstInt32 frames) {
    const double* in[2] = {inL, inR};
    double* out[2] = {outL, outR};
    process(in, out, frames);
  }
  void processFloat(float* inL, float* inR, float* outL, float* outR, VstInt32 frames) {
    float* in[2] = {inL, inR};
    float* out[2] = {outL, outR};
    PluginHost::processFloat(in, out, frames);
  }
};

TEST(BrisendelHost, IdentityAsTheHostSeesIt) {
  TestHost host;
  const AEffect* e = host.effect();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numParams, VSTPlugin::NUM_PARAMS);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
  EXPECT_EQ(e->uniqueID, 0x31343368);  // the characters 1, 4, 3, h
  EXPECT_EQ(e->initialDelay, kDelay);
  EXPECT_EQ(e->version, 1);

  EXPECT_EQ(host.text(effGetEffectName, 0, 32), "Brisendel");
  EXPECT_EQ(host.text(effGetVendorString, 0, 64), "Orlask");
  EXPECT_EQ(host.text(effGetProductString, 0, 64), "Orlask Series");
  EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, nullptr), 1);
  EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host.dispatch(effGetPlugCategory), 0);
  char bypass[] = "bypass";
  EXPECT_EQ(host.dispatch(effCanDo, 0, 0, bypass), 0);
  EXPECT_EQ(host.dispatch(effGetVendorVersion), 0);
  EXPECT_EQ(host.dispatch(effGetTailSize), 0);
  EXPECT_EQ(host.dispatch(effIdentify), 0x4E764566);
  for (VstInt32 opcode : {9, 16, 17, 18, 20, 21, 28, 43, 57, 80}) {
    EXPECT_EQ(host.dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
  }
  EXPECT_EQ(host.closeEffect(), 1);
}

VstIntPtr versionZeroHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 0 : 1;
}

TEST(BrisendelHost, VersionZeroHostGetsNoEffect) {
  brisendel::SharedLibrary module;
  std::string why;
  ASSERT_TRUE(module.open(BRISENDEL_MODULE, why)) << why;
  using Entry = AEffect* (*)(audioMasterCallback);
  for (const char* name : {"VSTPluginMain", "main"}) {
    void* symbol = module.function(name);
    ASSERT_NE(symbol, nullptr) << name;
    Entry entry = nullptr;
    std::memcpy(&entry, &symbol, sizeof(entry));
    EXPECT_EQ(entry(versionZeroHost), nullptr) << name;
  }
}

TEST(BrisendelHost, ProgramHasOneNameWhateverTheIndex) {
  TestHost host;
  EXPECT_EQ(host.text(effGetProgramName, 0, 24), "default");
  char name[] = "A program name of thirty chars";
  host.dispatch(effSetProgramName, 0, 0, name);
  EXPECT_EQ(host.text(effGetProgramName, 0, 24), "A program name of thirty");
  host.dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(host.dispatch(effGetProgram), 0);
}

TEST(BrisendelHost, FreshParametersNamesLabelsAndDisplays) {
  TestHost host;
  const std::vector<float> values = {0.5f, 0.5f, 1.0f, 0.0f, 1.0f};
  const std::vector<std::string> names = {"Center", "Side", "AutoGain", "Quality", "Window"};
  const std::vector<std::string> labels = {"%", "%", "", "", ""};
  const std::vector<std::string> displays = {"100", "100", "Enabled", "1", "B"};
  for (VstInt32 i = 0; i < VSTPlugin::NUM_PARAMS; ++i) {
    EXPECT_EQ(host.getParameter(i), values[i]) << i;
    EXPECT_EQ(host.text(effGetParamName, i, 8), names[i]);
    EXPECT_EQ(host.text(effGetParamLabel, i, 8), labels[i]);
    EXPECT_EQ(host.text(effGetParamDisplay, i, 8), displays[i]);
  }
  for (VstInt32 i : {5, 7, -1, 1000}) {
    EXPECT_EQ(host.getParameter(i), 0.0f);
    EXPECT_EQ(host.text(effGetParamName, i, 8), "");
    EXPECT_EQ(host.text(effGetParamLabel, i, 8), "");
    EXPECT_EQ(host.text(effGetParamDisplay, i, 8), "");
  }
}

TEST(BrisendelHost, ParameterStepsAndDisplayTexts) {
  TestHost host;
  host.setParameter(VSTPlugin::kCenter, 0.25f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kCenter, 8), "50");
  EXPECT_EQ(host.getParameter(VSTPlugin::kCenter), 0.25f);
  host.setParameter(VSTPlugin::kCenter, 1.0f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kCenter, 8), "200");
  host.setParameter(VSTPlugin::kSide, 0.0f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kSide, 8), "0");
  host.setParameter(VSTPlugin::kSide,
                    0.07f);  // step 14: 0.14 x 100 must still read as a whole number
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kSide, 8), "14");
  host.setParameter(VSTPlugin::kQuality, 0.5f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kQuality, 8), "5");
  host.setParameter(VSTPlugin::kQuality, 1.0f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kQuality, 8), "9");
  host.setParameter(VSTPlugin::kAutoGain, 0.49f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kAutoGain, 8), "Disabled");
  host.setParameter(VSTPlugin::kWindow, 0.3f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kWindow, 8), "A");
  host.setParameter(VSTPlugin::NUM_PARAMS + 2, 0.5f);
  for (VstInt32 i = 0; i < VSTPlugin::NUM_PARAMS; ++i)
    EXPECT_NE(host.text(effGetParamDisplay, i, 8), "");
}

TEST(BrisendelHost, OutOfRangeValuesAreClampedAndNaNIsIgnored) {
  TestHost host;
  host.setParameter(VSTPlugin::kCenter, 1.5f);
  EXPECT_EQ(host.getParameter(VSTPlugin::kCenter), 1.0f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kCenter, 8), "200");
  host.setParameter(VSTPlugin::kSide, -0.2f);
  EXPECT_EQ(host.getParameter(VSTPlugin::kSide), 0.0f);
  host.setParameter(VSTPlugin::kQuality, std::numeric_limits<float>::infinity());
  EXPECT_EQ(host.getParameter(VSTPlugin::kQuality), 1.0f);
  host.setParameter(VSTPlugin::kAutoGain, 0.3f);
  host.setParameter(VSTPlugin::kAutoGain, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(host.getParameter(VSTPlugin::kAutoGain), 0.3f);
  EXPECT_EQ(host.text(effGetParamDisplay, VSTPlugin::kAutoGain, 8), "Disabled");
}

TEST(BrisendelHost, NullTextBuffersAreIgnored) {
  TestHost host;
  for (VstInt32 opcode : std::vector<VstInt32>{
           effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
           effGetParamName, effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
           effGetSpeakerArrangement, effString2Parameter}) {
    host.dispatch(opcode, 0, 0, nullptr);
  }
  EXPECT_EQ(host.text(effGetProgramName, 0, 24), "default");
}

// ---- audio ----------------------------------------------------------------------

// Deterministic test signal: two channels of noise that floats represent exactly.
struct Signal {
  explicit Signal(std::size_t frames, unsigned seed = 1) : left(frames), right(frames) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (std::size_t i = 0; i < frames; ++i) {
      const float l = uniform(random);
      left[i] = l;
      right[i] = 0.5f * l + 0.5f * uniform(random);
    }
  }
  std::vector<double> left, right;
};

// Runs the whole signal through the double path in host blocks of the given sizes (cycled).
Signal runDouble(TestHost& host, const Signal& input, const std::vector<int>& blocks) {
  Signal output(input.left.size());
  std::size_t pos = 0, k = 0;
  std::vector<double> inL, inR;
  while (pos < input.left.size()) {
    const std::size_t n =
        std::min<std::size_t>(blocks[k++ % blocks.size()], input.left.size() - pos);
    inL.assign(input.left.begin() + pos, input.left.begin() + pos + n);
    inR.assign(input.right.begin() + pos, input.right.begin() + pos + n);
    host.processDouble(inL.data(), inR.data(), &output.left[pos], &output.right[pos],
                       static_cast<VstInt32>(n));
    pos += n;
  }
  return output;
}

// Output frame t must be input frame t - delay (silence before), within tolerance.
void expectDelayed(const Signal& input, const Signal& output, double tolerance,
                   std::size_t from = 0) {
  for (std::size_t t = from; t < output.left.size(); ++t) {
    const double l = t >= kDelay ? input.left[t - kDelay] : 0.0;
    const double r = t >= kDelay ? input.right[t - kDelay] : 0.0;
    ASSERT_NEAR(output.left[t], l, tolerance) << "frame " << t;
    ASSERT_NEAR(output.right[t], r, tolerance) << "frame " << t;
  }
}

TEST(BrisendelAudio, DefaultSettingsDelayTheInputExactly) {
  TestHost host;
  // Rate, block size and mains changes leave the processing chain as it is.
  host.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
  host.dispatch(effSetBlockSize, 0, 512);
  host.dispatch(effMainsChanged, 0, 1);
  const Signal input(6 * kDelay);
  const Signal output = runDouble(host, input, {1024});
  for (std::size_t t = 0; t < 2048; ++t) {
    ASSERT_EQ(output.left[t], 0.0);
    ASSERT_EQ(output.right[t], 0.0);
  }
  expectDelayed(input, output, 1e-12);
  EXPECT_EQ(host.effect()->initialDelay, kDelay);
}

TEST(BrisendelAudio, SinglePathIsTheDoublePathRoundedToFloat) {
  TestHost doubleHost, floatHost;
  const Signal input(3 * kDelay);
  const Signal reference = runDouble(doubleHost, input, {700});
  std::vector<float> inL(input.left.begin(), input.left.end());
  std::vector<float> inR(input.right.begin(), input.right.end());
  std::vector<float> outL(inL.size()), outR(inR.size());
  for (std::size_t pos = 0; pos < inL.size(); pos += 700) {
    const auto n = static_cast<VstInt32>(std::min<std::size_t>(700, inL.size() - pos));
    floatHost.processFloat(&inL[pos], &inR[pos], &outL[pos], &outR[pos], n);
  }
  for (std::size_t t = 0; t < inL.size(); ++t) {
    ASSERT_EQ(outL[t], static_cast<float>(reference.left[t])) << t;
    ASSERT_EQ(outR[t], static_cast<float>(reference.right[t])) << t;
  }
}

TEST(BrisendelAudio, AnyHostBlockSizesGiveTheSameStream) {
  const Signal input(5 * kDelay + 123);
  TestHost fixed;
  const Signal reference = runDouble(fixed, input, {4096});

  TestHost varied;
  std::mt19937 random(7);
  std::vector<int> blocks = {0, 1, 31, 157, 8192, 0, 4096, 4097, 2};
  for (int i = 0; i < 20; ++i)
    blocks.push_back(std::uniform_int_distribution<int>(0, 3000)(random));
  const Signal output = runDouble(varied, input, blocks);
  EXPECT_EQ(output.left, reference.left);
  EXPECT_EQ(output.right, reference.right);

  // In-place buffers: the host's input arrays receive the output.
  TestHost inPlace;
  Signal buffer = input;
  for (std::size_t pos = 0; pos < buffer.left.size(); pos += 157) {
    const auto n = static_cast<VstInt32>(std::min<std::size_t>(157, buffer.left.size() - pos));
    inPlace.processDouble(&buffer.left[pos], &buffer.right[pos], &buffer.left[pos],
                          &buffer.right[pos], n);
  }
  EXPECT_EQ(buffer.left, reference.left);
  EXPECT_EQ(buffer.right, reference.right);
}

TEST(BrisendelAudio, OtherWindowAndQualityStillDelayTheInput) {
  TestHost host;
  host.setParameter(VSTPlugin::kWindow, 0.0f);    // window A
  host.setParameter(VSTPlugin::kQuality, 0.25f);  // Quality 3
  const Signal input(5 * kDelay);
  expectDelayed(input, runDouble(host, input, {1000}), 1e-12);
}

TEST(BrisendelAudio, CenterZeroRemovesWhatBothChannelsShare) {
  TestHost host;
  host.setParameter(VSTPlugin::kCenter, 0.0f);    // Center 0
  host.setParameter(VSTPlugin::kSide, 0.5f);      // Side 100
  host.setParameter(VSTPlugin::kAutoGain, 0.0f);  // AutoGain off
  Signal input(8 * kDelay);
  const double twoPi = 2.0 * std::acos(-1.0);
  for (std::size_t i = 0; i < input.left.size(); ++i) {
    input.left[i] = input.right[i] = 0.5 * std::sin(twoPi * 1000.0 * i / 44100.0);
  }
  const Signal output = runDouble(host, input, {512});
  double peak = 0.0;
  for (std::size_t t = 2 * kDelay; t < output.left.size(); ++t) {
    peak = std::max({peak, std::fabs(output.left[t]), std::fabs(output.right[t])});
  }
  // Only the zero-frequency and half-rate components stay, and the sine has almost none.
  EXPECT_LT(peak, 1e-3);
}

TEST(BrisendelAudio, RecoversAfterABlockOfNaNAndInfinities) {
  TestHost host;
  Signal input(8 * kDelay);
  const std::size_t bad = 2 * kDelay + 100;
  for (std::size_t i = bad; i < bad + kDelay; ++i) {
    input.left[i] = i % 3 == 0 ? std::numeric_limits<double>::quiet_NaN()
                               : std::numeric_limits<double>::infinity();
    input.right[i] = -std::numeric_limits<double>::infinity();
  }
  const Signal output = runDouble(host, input, {kDelay});
  // Once three window lengths of good input have followed the bad block, the
  // output is finite and again the delayed input: nothing kept the NaN.
  const std::size_t clean = bad + kDelay + 3 * kDelay;
  ASSERT_LE(clean, output.left.size());
  for (std::size_t t = clean - kDelay; t < output.left.size(); ++t) {
    ASSERT_TRUE(std::isfinite(output.left[t]) && std::isfinite(output.right[t])) << t;
  }
  expectDelayed(input, output, 1e-12, clean - kDelay);
}

// The real report of the module: one line on standard error on Linux; on
// Windows a message box, which without a display (Wine in CI, DISPLAY empty)
// returns at once, so the test shows that the host gets control back and the
// effect goes on processing.
TEST(BrisendelAudio, BadHostBuffersAreReportedAndProcessingGoesOn) {
  TestHost host;
#ifndef _WIN32
  testing::internal::CaptureStderr();
#endif
  host.effect()->processDoubleReplacing(host.effect(), nullptr, nullptr, 64);
  double in[4] = {1, 2, 3, 4};
  host.processDouble(in, in, in, in, -5);
#ifndef _WIN32
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_EQ(report.rfind("runtime_error: ", 0), 0u);
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2);
#endif
  EXPECT_EQ(in[3], 4.0);
  const Signal input(3 * kDelay);
  expectDelayed(input, runDouble(host, input, {333}), 1e-12);
}

}  // namespace
