#include "formats/vst2/sdk/AudioEffect.h"

#include <cmath>
#include <cstring>

#include "formats/vst2/sdk/AEffEditor.h"
#include "formats/vst2/sdk/VstString.h"

namespace {

// effIdentify's answer: the characters N, v, E, f read as a big-endian number.
constexpr VstIntPtr kIdentifyAnswer = 0x4E764566;
// The record's unique identifier until the effect sets its own: N, o, E, f.
constexpr VstInt32 kDefaultUniqueId = 0x4E6F4566;
// float2string writes this many characters, counting sign and decimal point.
constexpr VstInt32 kFloatDigits = 8;

AudioEffect* effectOf(AEffect* e) {
  return e != nullptr ? static_cast<AudioEffect*>(e->object) : nullptr;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster_, VstInt32 numPrograms_,
                         VstInt32 numParams_) {
  sampleRate = 44100.0f;
  audioMaster = audioMaster_;
  editor = nullptr;
  blockSize = 1024;
  numPrograms = numPrograms_;
  numParams = numParams_;
  curProgram = 0;

  std::memset(&cEffect, 0, sizeof(cEffect));
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = dispatchEffectClass;
  cEffect.process = processClass;
  cEffect.setParameter = setParameterClass;
  cEffect.getParameter = getParameterClass;
  cEffect.numPrograms = numPrograms;
  cEffect.numParams = numParams;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.flags = effFlagsCanReplacing;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = kDefaultUniqueId;
  cEffect.version = 1;
  cEffect.processReplacing = processClassReplacing;
  cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() { delete editor; }

// ---- trampolines: the only way the host enters the object ----------------------

VstIntPtr AudioEffect::dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt) {
  AudioEffect* effect = effectOf(e);
  if (effect == nullptr) return 0;
  if (opcode == effClose) {
    // The object goes away even if its close fails: the host will not call again.
    try {
      effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
    }
    delete effect;
    return 1;
  }
  try {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void AudioEffect::processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  AudioEffect* effect = effectOf(e);
  if (effect == nullptr) return;
  try {
    effect->process(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void AudioEffect::setParameterClass(AEffect* e, VstInt32 index, float value) {
  AudioEffect* effect = effectOf(e);
  if (effect == nullptr) return;
  try {
    effect->setParameter(index, value);
  } catch (...) {
  }
}

float AudioEffect::getParameterClass(AEffect* e, VstInt32 index) {
  AudioEffect* effect = effectOf(e);
  if (effect == nullptr) return 0.0f;
  try {
    return effect->getParameter(index);
  } catch (...) {
    return 0.0f;
  }
}

void AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                        VstInt32 sampleFrames) {
  AudioEffect* effect = effectOf(e);
  if (effect == nullptr) return;
  try {
    effect->processReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                              VstInt32 sampleFrames) {
  AudioEffect* effect = effectOf(e);
  if (effect == nullptr) return;
  try {
    effect->processDoubleReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

// ---- dispatcher -----------------------------------------------------------------

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  VstIntPtr result = 0;
  switch (opcode) {
    case effOpen:
      open();
      break;
    case effClose:
      close();
      break;
    case effSetProgram:
      if (value < numPrograms) setProgram(static_cast<VstInt32>(value));
      break;
    case effGetProgram:
      result = getProgram();
      break;
    case effSetProgramName:
      setProgramName(static_cast<char*>(ptr));
      break;
    case effGetProgramName:
      getProgramName(static_cast<char*>(ptr));
      break;
    case effGetParamLabel:
      getParameterLabel(index, static_cast<char*>(ptr));
      break;
    case effGetParamDisplay:
      getParameterDisplay(index, static_cast<char*>(ptr));
      break;
    case effGetParamName:
      getParameterName(index, static_cast<char*>(ptr));
      break;
    case effSetSampleRate:
      setSampleRate(opt);
      break;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      break;
    case effMainsChanged:
      if (value == 0) {
        suspend();
      } else {
        resume();
      }
      break;
    case effEditGetRect:
      if (editor != nullptr) result = editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
      break;
    case effEditOpen:
      if (editor != nullptr) result = editor->open(ptr) ? 1 : 0;
      break;
    case effEditClose:
      if (editor != nullptr) editor->close();
      break;
    case effEditIdle:
      if (editor != nullptr) editor->idle();
      break;
    case effIdentify:
      result = kIdentifyAnswer;
      break;
    case effGetChunk:
      result = getChunk(static_cast<void**>(ptr), index != 0);
      break;
    case effSetChunk:
      result = setChunk(ptr, static_cast<VstInt32>(value), index != 0);
      break;
    default:
      break;
  }
  return result;
}

// ---- defaults -------------------------------------------------------------------

void AudioEffect::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  (void)inputs;
  (void)outputs;
  (void)sampleFrames;
}

void AudioEffect::setParameter(VstInt32 index, float value) {
  (void)index;
  (void)value;
}

float AudioEffect::getParameter(VstInt32 index) {
  (void)index;
  return 0.0f;
}

void AudioEffect::setProgramName(char* name) { (void)name; }

void AudioEffect::getProgramName(char* name) { vstStrncpy(name, "", kVstMaxProgNameLen); }

void AudioEffect::getParameterLabel(VstInt32 index, char* label) {
  (void)index;
  vstStrncpy(label, "", kVstMaxParamStrLen);
}

void AudioEffect::getParameterDisplay(VstInt32 index, char* text) {
  (void)index;
  vstStrncpy(text, "", kVstMaxParamStrLen);
}

void AudioEffect::getParameterName(VstInt32 index, char* text) {
  (void)index;
  vstStrncpy(text, "", kVstMaxParamStrLen);
}

VstInt32 AudioEffect::getChunk(void** data, bool isPreset) {
  (void)data;
  (void)isPreset;
  return 0;
}

VstInt32 AudioEffect::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  (void)data;
  (void)byteSize;
  (void)isPreset;
  return 0;
}

void AudioEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
  (void)inputs;
  (void)outputs;
  (void)sampleFrames;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state) {
    cEffect.flags |= flag;
  } else {
    cEffect.flags &= ~flag;
  }
}

// ---- host requests --------------------------------------------------------------

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  if (audioMaster == nullptr) return 0;
  return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
  const VstIntPtr version = callHost(audioMasterVersion);
  return version == 0 ? 1 : static_cast<VstInt32>(version);
}

VstInt32 AudioEffect::getCurrentUniqueId() {
  return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

bool AudioEffect::isInputConnected(VstInt32 input) {
  return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
  return callHost(audioMasterPinConnected, output, 1) == 0;
}

// ---- number formatting ----------------------------------------------------------

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0.0f) {
    vstStrncpy(text, "-oo", maxLen);
  } else {
    // The logarithm in double (log10 of a float would be a float), rounded to
    // single precision only once, at the end.
    float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, maxLen);
  }
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
  const float rate = getSampleRate();
  float2string(samples == 0.0f ? 0.0f : rate / samples, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
  float2string(static_cast<float>(samples * 1000.0 / getSampleRate()), text, maxLen);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
  double v = value;
  // A value that is not a number has no digits; writing them would turn an
  // undefined integer conversion into garbage characters.
  if (std::isnan(v)) {
    vstStrncpy(text, "NaN", maxLen);
    return;
  }
  VstInt32 c = 0;
  const bool negative = v < 0.0;
  if (negative) {
    v = -v;
    c = 1;
  }
  if ((negative && v > 9999999.0) || (!negative && v > 99999999.0)) {
    vstStrncpy(text, "Huge!", maxLen);
    return;
  }

  // Integer part, right to left, in front of the decimal point.
  char digits[32];
  char* s = digits + sizeof(digits) - 1;
  *s = '\0';
  *--s = '.';
  ++c;
  double integer = std::floor(v);
  *--s = static_cast<char>('0' + static_cast<int>(std::fmod(integer, 10.0)));
  integer /= 10.0;
  ++c;
  while (integer >= 1.0 && c < kFloatDigits) {
    *--s = static_cast<char>('0' + static_cast<int>(std::fmod(integer, 10.0)));
    integer /= 10.0;
    ++c;
  }
  if (negative) *--s = '-';
  vstStrncpy(text, s, maxLen);
  if (c >= kFloatDigits) return;

  // Fraction digits fill the rest of the budget, again right to left.
  const VstInt32 n = kFloatDigits - c;
  double m = std::fmod(v, 1.0) * std::pow(10.0, n);
  s = digits + sizeof(digits) - 1;
  *s = '\0';
  for (VstInt32 k = 0; k < n; ++k) {
    if (m <= 0.0) {
      *--s = '0';
    } else {
      *--s = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
      m /= 10.0;
    }
  }
  vstStrncat(text, s, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
  // The text has room for eight characters, as a host's parameter display does:
  // eight digits, or a minus sign and seven. A value that needs more would be
  // cut to a different number (and the most negative value could not even be
  // negated).
  if (value >= 100000000 || value <= -10000000) {
    vstStrncpy(text, "Huge!", maxLen);
    return;
  }
  char digits[16];
  int length = 0;
  if (value < 0) {
    digits[length++] = '-';
    value = -value;
  }
  bool seenNonZero = false;
  for (VstInt32 divisor = 100000000; divisor >= 1; divisor /= 10) {
    const VstInt32 digit = value / divisor;
    value -= digit * divisor;
    if (digit != 0) seenNonZero = true;
    if (seenNonZero) digits[length++] = static_cast<char>('0' + digit);
  }
  digits[length] = '\0';
  vstStrncpy(text, digits, maxLen);
}
