// The host adapter driven through its effect record, as a host would, with a
// small effect that counts what reaches it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/vst2/sdk/AEffEditor.h"
#include "formats/vst2/sdk/AudioEffectX.h"
#include "formats/vst2/sdk/VstString.h"

namespace {

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
};

// A host that records every request and answers with `hostAnswer`.
std::vector<HostCall> hostCalls;
VstIntPtr hostAnswer = 0;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                        float opt) {
  hostCalls.push_back({opcode, index, value, ptr, opt});
  return hostAnswer;
}

int destroyed = 0;

class CountingEffect : public AudioEffectX {
 public:
  explicit CountingEffect(audioMasterCallback host) : AudioEffectX(host, 1, 2) {}
  ~CountingEffect() override { ++destroyed; }
  void processReplacing(float**, float**, VstInt32) override {}
  void open() override {
    if (failOpen) throw std::runtime_error("open failed");
  }
  void suspend() override { ++suspends; }
  void resume() override {
    ++resumes;
    AudioEffectX::resume();
  }
  void setProgram(VstInt32 program) override {
    ++setPrograms;
    AudioEffectX::setProgram(program);
  }
  void setParameter(VstInt32 index, float value) override {
    lastIndex = index;
    lastValue = value;
  }
  float getParameter(VstInt32) override { throw std::logic_error("not for the host"); }

  using AudioEffect::setFlag;

  bool failOpen = false;
  int suspends = 0;
  int resumes = 0;
  int setPrograms = 0;
  VstInt32 lastIndex = -1;
  float lastValue = -1.0f;
};

class KeyEditor : public AEffEditor {
 public:
  bool onKeyDown(VstKeyCode& keyCode) override {
    last = keyCode;
    return true;
  }
  VstKeyCode last{};
};

class AdapterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hostCalls.clear();
    hostAnswer = 0;
    destroyed = 0;
    effect = new CountingEffect(recordingHost);
    record = effect->getAeffect();
  }
  void TearDown() override {
    if (record != nullptr) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
  }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return record->dispatcher(record, opcode, index, value, ptr, opt);
  }

  CountingEffect* effect = nullptr;
  AEffect* record = nullptr;
};

TEST_F(AdapterTest, FreshRecordCarriesTheAdapterDefaults) {
  EXPECT_EQ(record->magic, 0x56737450);
  EXPECT_EQ(record->object, effect);
  EXPECT_EQ(record->numPrograms, 1);
  EXPECT_EQ(record->numParams, 2);
  EXPECT_EQ(record->numInputs, 1);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, effFlagsCanReplacing);
  EXPECT_EQ(record->uniqueID, 0x4E6F4566);
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->ioRatio, 1.0f);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(effect->getSampleRate(), 44100.0f);
  EXPECT_EQ(effect->getBlockSize(), 1024);
}

TEST_F(AdapterTest, UnhandledAndDeprecatedOpcodesAnswerZero) {
  EXPECT_EQ(dispatch(effIdentify), 0x4E764566);
  for (VstInt32 opcode :
       {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, 80, 1000, -1}) {
    EXPECT_EQ(dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
  }
  // Editor opcodes without an editor.
  for (VstInt32 opcode :
       std::vector<VstInt32>{effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown,
                             effEditKeyUp, effSetEditKnobMode}) {
    EXPECT_EQ(dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
  }
  EXPECT_EQ(effect->getBlockSize(), 1024);  // 43 did not store anything
  EXPECT_TRUE(hostCalls.empty());
}

TEST_F(AdapterTest, ProgramSelectionComparesSigned) {
  dispatch(effSetProgram, 0, 1);  // == numPrograms: ignored
  EXPECT_EQ(effect->setPrograms, 0);
  dispatch(effSetProgram, 0, -3);
  EXPECT_EQ(effect->setPrograms, 1);
  EXPECT_EQ(dispatch(effGetProgram), -3);
  dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(dispatch(effGetProgram), 0);
}

TEST_F(AdapterTest, MainsChangedSuspendsOnZeroAndResumesOtherwise) {
  dispatch(effMainsChanged, 0, 0);
  dispatch(effMainsChanged, 0, 2);
  dispatch(effMainsChanged, 0, 1);
  EXPECT_EQ(effect->suspends, 1);
  EXPECT_EQ(effect->resumes, 2);
  // Not a synth and canDo does not know MIDI: resume asks the host nothing.
  EXPECT_TRUE(hostCalls.empty());
  effect->isSynth(true);
  dispatch(effMainsChanged, 0, 1);
  ASSERT_EQ(hostCalls.size(), 1u);
  EXPECT_EQ(hostCalls[0].opcode, audioMasterWantMidi);
  EXPECT_EQ(hostCalls[0].value, 1);
}

TEST_F(AdapterTest, StoresRateAndBlockSize) {
  dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  dispatch(effSetBlockSize, 0, 512);
  EXPECT_EQ(effect->getSampleRate(), 48000.0f);
  EXPECT_EQ(effect->getBlockSize(), 512);
}

TEST_F(AdapterTest, CloseThroughTheRecordReleasesTheObject) {
  EXPECT_EQ(dispatch(effClose), 1);
  EXPECT_EQ(destroyed, 1);
  record = nullptr;
}

TEST_F(AdapterTest, ExceptionsStopAtTheRecord) {
  effect->failOpen = true;
  EXPECT_EQ(dispatch(effOpen), 0);
  EXPECT_EQ(record->getParameter(record, 0), 0.0f);
}

TEST_F(AdapterTest, ExtendedAnswersOfAnEffectWithoutOverrides) {
  EXPECT_EQ(dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(dispatch(effGetPlugCategory), 0);
  char bypass[] = "bypass";
  char other[] = "anything";
  EXPECT_EQ(dispatch(effCanDo, 0, 0, bypass), 0);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, other), 0);
  EXPECT_EQ(dispatch(effCanDo, 0, 0, nullptr), 0);
  EXPECT_EQ(dispatch(effGetVendorVersion), 0);
  EXPECT_EQ(dispatch(effGetTailSize), 0);
  EXPECT_EQ(dispatch(effCanBeAutomated, 12345), 1);
  EXPECT_EQ(dispatch(effGetCurrentMidiProgram), -1);
  EXPECT_EQ(dispatch(effSetTotalSampleToProcess, 0, 777), 777);
  char name[33] = "untouched";
  EXPECT_EQ(dispatch(effGetEffectName, 0, 0, name), 0);
  EXPECT_STREQ(name, "untouched");

  VstSpeakerArrangement dummy{};
  VstSpeakerArrangement* in = &dummy;
  VstSpeakerArrangement* out = &dummy;
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);  // no slots: nothing written
  EXPECT_EQ(dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&dummy), &dummy), 0);

  effect->isSynth(true);
  EXPECT_EQ(dispatch(effGetPlugCategory), 2);
}

TEST_F(AdapterTest, KeyDownPassesTheTruncatedModifier) {
  auto* editor = new KeyEditor;
  effect->setEditor(editor);
  EXPECT_NE(record->flags & effFlagsHasEditor, 0);
  EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1FF, nullptr, 2.9f), 1);
  EXPECT_EQ(editor->last.character, 'a');
  EXPECT_EQ(editor->last.virt, 0xFF);
  EXPECT_EQ(editor->last.modifier, 2);
  dispatch(effEditKeyDown, 'b', 0, nullptr, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(editor->last.modifier, 0);
}

TEST_F(AdapterTest, HostRequestsPassTheirArguments) {
  effect->setParameterAutomated(1, 0.25f);
  EXPECT_EQ(effect->lastIndex, 1);
  EXPECT_EQ(effect->lastValue, 0.25f);
  ASSERT_EQ(hostCalls.size(), 1u);
  EXPECT_EQ(hostCalls[0].opcode, audioMasterAutomate);
  EXPECT_EQ(hostCalls[0].index, 1);
  EXPECT_EQ(hostCalls[0].opt, 0.25f);

  hostAnswer = 0;
  EXPECT_EQ(effect->getMasterVersion(), 1);
  EXPECT_TRUE(effect->isInputConnected(3));
  EXPECT_EQ(hostCalls.back().value, 0);
  EXPECT_TRUE(effect->isOutputConnected(3));
  EXPECT_EQ(hostCalls.back().value, 1);

  hostAnswer = 48000;
  EXPECT_EQ(effect->updateSampleRate(), 48000.0);
  hostAnswer = 0;
  EXPECT_EQ(effect->updateSampleRate(), 48000.0);
  hostAnswer = -5;
  EXPECT_EQ(effect->updateBlockSize(), 1024);

  hostAnswer = 2;
  EXPECT_FALSE(effect->sendVstEventsToHost(nullptr));
  hostAnswer = 1;
  EXPECT_TRUE(effect->sendVstEventsToHost(nullptr));
  EXPECT_EQ(hostCalls.back().opcode, audioMasterProcessEvents);

  const std::size_t before = hostCalls.size();
  EXPECT_FALSE(effect->openFileSelector(nullptr));
  EXPECT_FALSE(effect->getChunkFile(nullptr));
  EXPECT_EQ(hostCalls.size(), before);

  effect->sizeWindow(640, 480);
  EXPECT_EQ(hostCalls.back().opcode, audioMasterSizeWindow);
  EXPECT_EQ(hostCalls.back().index, 640);
  EXPECT_EQ(hostCalls.back().value, 480);
}

TEST(AdapterWithoutHost, EveryRequestAnswersItsDefault) {
  CountingEffect effect(nullptr);
  EXPECT_EQ(effect.getMasterVersion(), 1);
  EXPECT_EQ(effect.getCurrentUniqueId(), 0);
  EXPECT_TRUE(effect.isInputConnected(0));
  EXPECT_EQ(effect.updateSampleRate(), 44100.0);
  EXPECT_EQ(effect.updateBlockSize(), 1024);
  EXPECT_EQ(effect.getTimeInfo(0), nullptr);
  EXPECT_FALSE(effect.beginEdit(0));
  EXPECT_FALSE(effect.canHostDo(nullptr));
  effect.setParameterAutomated(1, 0.5f);
  EXPECT_EQ(effect.lastValue, 0.5f);
}

// ---- speaker arrangements -------------------------------------------------------

TEST(SpeakerArrangement, CopySpeakerCutsAFullNameTo63Characters) {
  CountingEffect effect(nullptr);
  VstSpeakerProperties from{};
  std::memset(from.name, 'x', sizeof(from.name));
  from.azimuth = 0.5f;
  from.type = 7;
  from.future[27] = 9;
  VstSpeakerProperties to{};
  ASSERT_TRUE(effect.copySpeaker(&to, &from));
  EXPECT_EQ(std::strlen(to.name), 63u);
  EXPECT_EQ(to.azimuth, 0.5f);
  EXPECT_EQ(to.type, 7);
  EXPECT_EQ(to.future[27], 9);
  EXPECT_FALSE(effect.copySpeaker(nullptr, &from));
}

// Speaker i of an arrangement, addressed past the declared array by byte offset.
VstSpeakerProperties* speaker(VstSpeakerArrangement* arrangement, int i) {
  char* bytes = reinterpret_cast<char*>(arrangement) + offsetof(VstSpeakerArrangement, speakers);
  return reinterpret_cast<VstSpeakerProperties*>(bytes + i * sizeof(VstSpeakerProperties));
}

TEST(SpeakerArrangement, MatchCopiesMoreSpeakersThanTheDeclaredArray) {
  CountingEffect effect(nullptr);
  VstSpeakerArrangement* from = nullptr;
  ASSERT_TRUE(effect.allocateArrangement(&from, 10));
  from->type = 3;
  std::strcpy(speaker(from, 9)->name, "last");  // within the allocation, past the declared 8
  VstSpeakerArrangement* to = nullptr;
  ASSERT_TRUE(effect.matchArrangement(&to, from));
  EXPECT_EQ(to->type, 3);
  EXPECT_EQ(to->numChannels, 10);
  EXPECT_STREQ(speaker(to, 9)->name, "last");
  EXPECT_FALSE(effect.matchArrangement(&to, nullptr));
  EXPECT_TRUE(effect.deallocateArrangement(&to));
  EXPECT_EQ(to, nullptr);
  EXPECT_TRUE(effect.deallocateArrangement(&from));
  EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
}

// ---- text helpers ---------------------------------------------------------------

std::string formatFloat(float value, VstInt32 maxLen = 16) {
  CountingEffect effect(nullptr);
  char text[32];
  std::memset(text, '#', sizeof(text));
  effect.float2string(value, text, maxLen);
  return text;
}

std::string formatInt(VstInt32 value) {
  CountingEffect effect(nullptr);
  char text[32];
  effect.int2string(value, text, 16);
  return text;
}

TEST(NumberFormatting, FloatUsesAnEightCharacterBudget) {
  EXPECT_EQ(formatFloat(1.5f), "1.500000");
  EXPECT_EQ(formatFloat(-1.5f), "-1.50000");
  EXPECT_EQ(formatFloat(0.0f), "0.000000");
  EXPECT_EQ(formatFloat(0.25f), "0.250000");
  EXPECT_EQ(formatFloat(123.0f), "123.0000");
  EXPECT_EQ(formatFloat(1234567.0f), "1234567.");
  EXPECT_EQ(formatFloat(1.5f, 3), "1.5");
  EXPECT_EQ(formatFloat(1.5f, 0), "");
}

TEST(NumberFormatting, FloatOutsideTheBudgetIsHuge) {
  EXPECT_EQ(formatFloat(100000000.0f), "Huge!");
  EXPECT_EQ(formatFloat(1e30f), "Huge!");
  EXPECT_EQ(formatFloat(-10000000.0f), "Huge!");
  EXPECT_EQ(formatFloat(std::numeric_limits<float>::infinity()), "Huge!");
  EXPECT_EQ(formatFloat(-std::numeric_limits<float>::infinity()), "Huge!");
  EXPECT_EQ(formatFloat(std::numeric_limits<float>::quiet_NaN()), "NaN");
}

TEST(NumberFormatting, IntegersSuppressLeadingZeros) {
  EXPECT_EQ(formatInt(100000000), "Huge!");
  EXPECT_EQ(formatInt(99999999), "99999999");
  EXPECT_EQ(formatInt(-42), "-42");
  EXPECT_EQ(formatInt(1005), "1005");
  EXPECT_EQ(formatInt(0), "");
  EXPECT_EQ(formatInt(-9999999), "-9999999");
  EXPECT_EQ(formatInt(-10000000), "Huge!");  // nine characters would not fit
  EXPECT_EQ(formatInt(-100000000), "Huge!");
  EXPECT_EQ(formatInt(std::numeric_limits<VstInt32>::min()), "Huge!");
}

TEST(NumberFormatting, DecibelsHertzAndMilliseconds) {
  CountingEffect effect(nullptr);
  char text[16];
  effect.dB2string(0.0f, text, 8);
  EXPECT_STREQ(text, "-oo");
  effect.dB2string(-1.0f, text, 8);
  EXPECT_STREQ(text, "-oo");
  effect.dB2string(10.0f, text, 8);
  EXPECT_STREQ(text, "20.00000");
  // 20 log10 is -119.9999961 here; a single-precision logarithm gives -120.000.
  effect.dB2string(0x1.0c6f82p-20f, text, 8);
  EXPECT_STREQ(text, "-119.999");
  effect.Hz2string(0.0f, text, 8);
  EXPECT_STREQ(text, "0.000000");
  effect.Hz2string(441.0f, text, 8);
  EXPECT_STREQ(text, "100.0000");
  effect.ms2string(441.0f, text, 8);
  EXPECT_STREQ(text, "10.00000");
}

TEST(BoundedCopy, StopsAtTheLimitAndTerminatesThere) {
  char text[12];
  std::memset(text, '#', sizeof(text));
  vstStrncpy(text, "abcdefghijk", 8);
  EXPECT_STREQ(text, "abcdefgh");
  EXPECT_EQ(text[9], '#');  // nothing written past position 8

  std::memset(text, '#', sizeof(text));
  vstStrncpy(text, "ab", 8);
  EXPECT_STREQ(text, "ab");
  EXPECT_EQ(text[8], '\0');
  EXPECT_EQ(text[9], '#');

  vstStrncpy(text, nullptr, 8);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(vstStrncpy(nullptr, "abc", 8), nullptr);
}

TEST(BoundedCopy, AppendKeepsTheWholeTextWithinTheLimit) {
  char text[12];
  std::memset(text, '#', sizeof(text));
  vstStrncpy(text, "abcdef", 8);
  vstStrncat(text, "ghijklmnop", 8);
  EXPECT_STREQ(text, "abcdefgh");
  EXPECT_EQ(text[9], '#');
  vstStrncpy(text, "ab", 8);
  vstStrncat(text, "cd", 8);
  EXPECT_STREQ(text, "abcd");
  vstStrncat(text, nullptr, 8);
  EXPECT_STREQ(text, "abcd");
}

}  // namespace
