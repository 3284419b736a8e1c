#include "formats/vst2/AbstractStereoAudioEffectX.h"

#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "effect/StereoBlockFault.h"
#include "formats/vst2/sdk/VstString.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
// The report of each fault in a host's buffers, in the library's failure form
// (spl/util/Failure.h) with the lines these checks have always reported. Fixed
// texts rather than a thrown failure: refusing a block allocates nothing on the
// host's audio thread.
#define BUFFER_FAULT(message, line) \
  message " (at formats/vst2/AbstractStereoAudioEffectX, " #line ") "
const char* bufferFaultText(StereoBlockFault fault) {
  switch (fault) {
    case StereoBlockFault::none:
      break;
    case StereoBlockFault::length:
      return BUFFER_FAULT("length", 65);
    case StereoBlockFault::channelLists:
      return BUFFER_FAULT("channel", 66);
    case StereoBlockFault::inputChannel:
      return BUFFER_FAULT("channel", 67);
    case StereoBlockFault::outputChannel:
      return BUFFER_FAULT("channel", 68);
  }
  return nullptr;
}
#undef BUFFER_FAULT
constexpr unsigned kNumChannels = 2;

// The list entry at index, or an empty text for an index the list does not have.
const char* entryOrEmpty(const std::vector<std::string>& list, VstInt32 index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return "";
  return list[static_cast<std::size_t>(index)].c_str();
}

// Atomic because the reporter may be read on a host's processing thread while
// the thread that replaced it goes on.
std::atomic<AbstractStereoAudioEffectX::FailureReporter> failureReporter{
    &AbstractStereoAudioEffectX::reportToUser};
}  // namespace

AbstractStereoAudioEffectX::AbstractStereoAudioEffectX(audioMasterCallback audioMaster,
                                                       VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffectX(audioMaster, numPrograms, numParams) {
  setNumInputs(kNumChannels);
  setNumOutputs(kNumChannels);
  canProcessReplacing(true);
  canDoubleReplacing(true);
}

AbstractStereoAudioEffectX::~AbstractStereoAudioEffectX() = default;

// ---- processing -----------------------------------------------------------------

void AbstractStereoAudioEffectX::reportToUser(const char* text) {
#ifdef _WIN32
  MessageBoxA(nullptr, text, "runtime_error", MB_OK);
#else
  // No message box here: one line on standard error, written without the heap.
  std::fputs("runtime_error: ", stderr);
  std::fputs(text, stderr);
  std::fputs("\n", stderr);
#endif
}

AbstractStereoAudioEffectX::FailureReporter AbstractStereoAudioEffectX::setFailureReporter(
    FailureReporter reporter) {
  return failureReporter.exchange(reporter != nullptr ? reporter : &reportToUser);
}

void AbstractStereoAudioEffectX::reportProcessingFailure(const char* text) {
  failureReporter.load()(text);
}

template <typename Sample>
void AbstractStereoAudioEffectX::processBuffers(Sample** inputs, Sample** outputs,
                                                VstInt32 sampleFrames) {
  // Some hosts send an empty block with no buffers at all; there is nothing to
  // read or write, so it is not worth a failure report.
  const StereoBlockFault fault = stereoBlockFault(inputs, outputs, sampleFrames);
  if (fault != StereoBlockFault::none) {
    if (sampleFrames != 0) reportProcessingFailure(bufferFaultText(fault));
    return;
  }
  try {
    processStereo(inputs, outputs, static_cast<unsigned>(sampleFrames));
  } catch (const std::runtime_error& e) {
    reportProcessingFailure(e.what());
  } catch (...) {
    reportProcessingFailure("unknown error.");
  }
}

void AbstractStereoAudioEffectX::processReplacing(float** inputs, float** outputs,
                                                  VstInt32 sampleFrames) {
  processBuffers(inputs, outputs, sampleFrames);
}

void AbstractStereoAudioEffectX::processDoubleReplacing(double** inputs, double** outputs,
                                                        VstInt32 sampleFrames) {
  processBuffers(inputs, outputs, sampleFrames);
}

// ---- texts ----------------------------------------------------------------------

void AbstractStereoAudioEffectX::setProgramName(char* name) { programName.set(name); }

void AbstractStereoAudioEffectX::getProgramName(char* name) {
  if (name == nullptr) return;
  char text[ProgramName::MAX_LENGTH + 1];
  programName.get(text);
  vstStrncpy(name, text, kVstMaxProgNameLen);
}

void AbstractStereoAudioEffectX::getParameterLabel(VstInt32 index, char* label) {
  vstStrncpy(label, entryOrEmpty(parameterLabels, index), kVstMaxParamStrLen);
}

void AbstractStereoAudioEffectX::getParameterDisplay(VstInt32 index, char* text) {
  if (text == nullptr) return;
  // Empty first, so that a failing display string still leaves the host a valid text.
  vstStrncpy(text, "", kVstMaxParamStrLen);
  vstStrncpy(text, getParameterDisplayString(index).c_str(), kVstMaxParamStrLen);
}

void AbstractStereoAudioEffectX::getParameterName(VstInt32 index, char* text) {
  vstStrncpy(text, entryOrEmpty(parameterNames, index), kVstMaxParamStrLen);
}

bool AbstractStereoAudioEffectX::getEffectName(char* name) {
  vstStrncpy(name, getEffectNameString().c_str(), kVstMaxEffectNameLen);
  return true;
}

bool AbstractStereoAudioEffectX::getVendorString(char* text) {
  vstStrncpy(text, getVendorNameString().c_str(), kVstMaxVendorStrLen);
  return true;
}

bool AbstractStereoAudioEffectX::getProductString(char* text) {
  vstStrncpy(text, getProductNameString().c_str(), kVstMaxProductStrLen);
  return true;
}

void AbstractStereoAudioEffectX::addParameterName(const std::string& name) {
  parameterNames.push_back(name);
}

void AbstractStereoAudioEffectX::addParameterLabel(const std::string& label) {
  parameterLabels.push_back(label);
}
