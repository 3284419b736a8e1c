#include "formats/vst2/sdk/AudioEffectX.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "formats/vst2/sdk/AEffEditor.h"
#include "formats/vst2/sdk/VstString.h"

namespace {

constexpr std::size_t kArrangementHeader = offsetof(VstSpeakerArrangement, speakers);

// Speaker i of an arrangement that holds numChannels of them; addressed by byte
// offset because an arrangement may hold more speakers than the declared array.
VstSpeakerProperties* speakerAt(VstSpeakerArrangement* arrangement, VstInt32 i) {
  char* base = reinterpret_cast<char*>(arrangement) + kArrangementHeader;
  return reinterpret_cast<VstSpeakerProperties*>(base + sizeof(VstSpeakerProperties) * i);
}

// The editor's key code from the dispatcher's arguments. The modifier arrives
// as a float; one that no integer can hold becomes 0 instead of an undefined
// conversion.
VstKeyCode keyCodeOf(VstInt32 index, VstIntPtr value, float opt) {
  VstKeyCode keyCode;
  keyCode.character = index;
  keyCode.virt = static_cast<unsigned char>(value & 0xFF);
  const double modifier = std::isfinite(opt) && std::fabs(opt) < 2147483648.0 ? opt : 0.0;
  keyCode.modifier = static_cast<unsigned char>(static_cast<VstInt32>(modifier) & 0xFF);
  return keyCode;
}

}  // namespace

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster_, VstInt32 numPrograms_,
                           VstInt32 numParams_)
    : AudioEffect(audioMaster_, numPrograms_, numParams_) {}

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
  const auto answer = [](bool b) -> VstIntPtr { return b ? 1 : 0; };
  switch (opcode) {
    case effProcessEvents:
      return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
      return answer(canParameterBeAutomated(index));
    case effString2Parameter:
      return answer(string2parameter(index, static_cast<char*>(ptr)));
    case effGetProgramNameIndexed:
      return answer(
          getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)));
    case effGetInputProperties:
      return answer(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
      return answer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory:
      return getPlugCategory();
    case effOfflineNotify:
      return answer(
          offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value), index != 0));
    case effOfflinePrepare:
      return answer(
          offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effOfflineRun:
      return answer(offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effProcessVarIo:
      return answer(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
      return answer(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                          static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBypass:
      return answer(setBypass(value != 0));
    case effGetEffectName:
      return answer(getEffectName(static_cast<char*>(ptr)));
    case effGetVendorString:
      return answer(getVendorString(static_cast<char*>(ptr)));
    case effGetProductString:
      return answer(getProductString(static_cast<char*>(ptr)));
    case effGetVendorVersion:
      return getVendorVersion();
    case effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return canDo(static_cast<char*>(ptr));
    case effGetTailSize:
      return getGetTailSize();
    case effGetParameterProperties:
      return answer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
      if (editor != nullptr) {
        VstKeyCode keyCode = keyCodeOf(index, value, opt);
        return answer(editor->onKeyDown(keyCode));
      }
      return 0;
    case effEditKeyUp:
      if (editor != nullptr) {
        VstKeyCode keyCode = keyCodeOf(index, value, opt);
        return answer(editor->onKeyUp(keyCode));
      }
      return 0;
    case effSetEditKnobMode:
      if (editor != nullptr) return answer(editor->setKnobMode(static_cast<VstInt32>(value)));
      return 0;
    case effGetMidiProgramName:
      return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
      return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
      return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
      return answer(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
      return answer(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram:
      return answer(beginSetProgram());
    case effEndSetProgram:
      return answer(endSetProgram());
    case effGetSpeakerArrangement:
      return answer(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                          static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin:
      return getNextShellPlugin(static_cast<char*>(ptr));
    case effStartProcess:
      return startProcess();
    case effStopProcess:
      return stopProcess();
    case effSetTotalSampleToProcess:
      return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw:
      return answer(setPanLaw(static_cast<VstInt32>(value), opt));
    case effBeginLoadBank:
      return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
      return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
      return answer(setProcessPrecision(static_cast<VstInt32>(value)));
    case effGetNumMidiInputChannels:
      return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
      return getNumMidiOutputChannels();
    default:
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

void AudioEffectX::resume() {
  char capability[32];
  vstStrncpy(capability, kCanDoReceiveVstMidiEvent, sizeof(capability) - 1);
  if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(capability) == 1) wantEvents(1);
}

// ---- effect-side defaults -------------------------------------------------------

bool AudioEffectX::canParameterBeAutomated(VstInt32 index) {
  (void)index;
  return true;
}

bool AudioEffectX::string2parameter(VstInt32 index, char* text) {
  (void)index;
  (void)text;
  return false;
}

bool AudioEffectX::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
  (void)index;
  (void)p;
  return false;
}

bool AudioEffectX::getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
  (void)category;
  (void)index;
  (void)text;
  return false;
}

VstInt32 AudioEffectX::beginLoadBank(VstPatchChunkInfo* ptr) {
  (void)ptr;
  return 0;
}

VstInt32 AudioEffectX::beginLoadProgram(VstPatchChunkInfo* ptr) {
  (void)ptr;
  return 0;
}

bool AudioEffectX::getInputProperties(VstInt32 index, VstPinProperties* properties) {
  (void)index;
  (void)properties;
  return false;
}

bool AudioEffectX::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
  (void)index;
  (void)properties;
  return false;
}

bool AudioEffectX::setSpeakerArrangement(VstSpeakerArrangement* pluginInput,
                                         VstSpeakerArrangement* pluginOutput) {
  (void)pluginInput;
  (void)pluginOutput;
  return false;
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** pluginInput,
                                         VstSpeakerArrangement** pluginOutput) {
  if (pluginInput != nullptr) *pluginInput = nullptr;
  if (pluginOutput != nullptr) *pluginOutput = nullptr;
  return false;
}

bool AudioEffectX::setBypass(bool onOff) {
  (void)onOff;
  return false;
}

bool AudioEffectX::setPanLaw(VstInt32 type, float value) {
  (void)type;
  (void)value;
  return false;
}

bool AudioEffectX::setProcessPrecision(VstInt32 precision) {
  (void)precision;
  return false;
}

VstInt32 AudioEffectX::processEvents(VstEvents* events) {
  (void)events;
  return 0;
}

bool AudioEffectX::processVariableIo(VstVariableIo* varIo) {
  (void)varIo;
  return false;
}

bool AudioEffectX::getEffectName(char* name) {
  (void)name;
  return false;
}

bool AudioEffectX::getVendorString(char* text) {
  (void)text;
  return false;
}

bool AudioEffectX::getProductString(char* text) {
  (void)text;
  return false;
}

VstIntPtr AudioEffectX::vendorSpecific(VstInt32 lArg, VstIntPtr lArg2, void* ptrArg,
                                       float floatArg) {
  (void)lArg;
  (void)lArg2;
  (void)ptrArg;
  (void)floatArg;
  return 0;
}

VstInt32 AudioEffectX::canDo(char* text) {
  (void)text;
  return 0;
}

VstInt32 AudioEffectX::getPlugCategory() {
  return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

VstInt32 AudioEffectX::getMidiProgramName(VstInt32 channel, MidiProgramName* midiProgramName) {
  (void)channel;
  (void)midiProgramName;
  return 0;
}

VstInt32 AudioEffectX::getCurrentMidiProgram(VstInt32 channel, MidiProgramName* currentProgram) {
  (void)channel;
  (void)currentProgram;
  return -1;
}

VstInt32 AudioEffectX::getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category) {
  (void)channel;
  (void)category;
  return 0;
}

bool AudioEffectX::hasMidiProgramsChanged(VstInt32 channel) {
  (void)channel;
  return false;
}

bool AudioEffectX::getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) {
  (void)channel;
  (void)keyName;
  return false;
}

VstInt32 AudioEffectX::getNextShellPlugin(char* name) {
  (void)name;
  return 0;
}

bool AudioEffectX::offlineNotify(VstAudioFile* ptr, VstInt32 numAudioFiles, bool start) {
  (void)ptr;
  (void)numAudioFiles;
  (void)start;
  return false;
}

bool AudioEffectX::offlinePrepare(VstOfflineTask* offline, VstInt32 count) {
  (void)offline;
  (void)count;
  return false;
}

bool AudioEffectX::offlineRun(VstOfflineTask* offline, VstInt32 count) {
  (void)offline;
  (void)count;
  return false;
}

bool AudioEffectX::copyProgram(VstInt32 destination) {
  (void)destination;
  return false;
}

void AudioEffectX::inputConnected(VstInt32 index, bool state) {
  (void)index;
  (void)state;
}

void AudioEffectX::outputConnected(VstInt32 index, bool state) {
  (void)index;
  (void)state;
}

void AudioEffectX::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
  blockSize = newBlockSize;
  sampleRate = newSampleRate;
}

bool AudioEffectX::getErrorText(char* text) {
  (void)text;
  return false;
}

bool AudioEffectX::setViewPosition(VstInt32 x, VstInt32 y) {
  (void)x;
  (void)y;
  return false;
}

// ---- speaker arrangements -------------------------------------------------------

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 nbChannels) {
  if (arrangement == nullptr || nbChannels < 0) return false;
  if (*arrangement != nullptr) {
    std::free(*arrangement);
    *arrangement = nullptr;
  }
  const std::size_t size =
      kArrangementHeader + sizeof(VstSpeakerProperties) * static_cast<std::size_t>(nbChannels);
  void* storage = std::calloc(1, size);
  if (storage == nullptr) return false;
  *arrangement = static_cast<VstSpeakerArrangement*>(storage);
  (*arrangement)->numChannels = nbChannels;
  return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
  if (arrangement == nullptr) return false;
  std::free(*arrangement);
  *arrangement = nullptr;
  return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
  if (to == nullptr || from == nullptr) return false;
  vstStrncpy(to->name, from->name, sizeof(to->name) - 1);
  to->azimuth = from->azimuth;
  to->elevation = from->elevation;
  to->radius = from->radius;
  to->reserved = from->reserved;
  to->type = from->type;
  std::memcpy(to->future, from->future, sizeof(to->future));
  return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
  if (from == nullptr) return false;
  if (!deallocateArrangement(to) || !allocateArrangement(to, from->numChannels)) return false;
  (*to)->type = from->type;
  for (VstInt32 i = 0; i < from->numChannels; ++i) {
    if (!copySpeaker(speakerAt(*to, i), speakerAt(from, i))) return false;
  }
  return true;
}

// ---- host requests --------------------------------------------------------------

bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }

bool AudioEffectX::endEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

bool AudioEffectX::ioChanged() { return callHost(audioMasterIOChanged) != 0; }

double AudioEffectX::updateSampleRate() {
  const VstIntPtr rate = callHost(audioMasterGetSampleRate);
  if (rate > 0) sampleRate = static_cast<float>(rate);
  return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
  const VstIntPtr size = callHost(audioMasterGetBlockSize);
  if (size > 0) blockSize = static_cast<VstInt32>(size);
  return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() {
  return static_cast<VstInt32>(callHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency() {
  return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency));
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
  return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() {
  return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState() {
  return static_cast<VstInt32>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::getHostVendorString(char* text) {
  return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
  return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() {
  return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 arg1, VstIntPtr arg2, void* ptrArg,
                                           float floatArg) {
  return callHost(audioMasterVendorSpecific, arg1, arg2, ptrArg, floatArg);
}

bool AudioEffectX::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0; }

VstInt32 AudioEffectX::getHostLanguage() {
  return static_cast<VstInt32>(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::getDirectory() {
  return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::openFileSelector(VstFileSelect* ptr) {
  return ptr != nullptr && callHost(audioMasterOpenFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* ptr) {
  return ptr != nullptr && callHost(audioMasterCloseFileSelector, 0, 0, ptr) != 0;
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, VstInt32 option, bool readSource) {
  return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, VstInt32 option) {
  return callHost(audioMasterOfflineWrite, 0, option, offline) != 0;
}

bool AudioEffectX::offlineStart(VstAudioFile* ptr, VstInt32 numAudioFiles,
                                VstInt32 numNewAudioFiles) {
  return callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, ptr) != 0;
}

bool AudioEffectX::offlineGetCurrentPass() {
  return callHost(audioMasterOfflineGetCurrentPass) != 0;
}

bool AudioEffectX::offlineGetCurrentMetaPass() {
  return callHost(audioMasterOfflineGetCurrentMetaPass) != 0;
}

void AudioEffectX::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter); }

VstInt32 AudioEffectX::tempoAt(VstInt32 pos) {
  return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, pos));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() {
  return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() {
  return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}

bool AudioEffectX::needIdle() { return callHost(audioMasterNeedIdle) != 0; }

AEffect* AudioEffectX::getPreviousPlug(VstInt32 input) {
  (void)input;
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(VstInt32 output) {
  (void)output;
  return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::willProcessReplacing() {
  return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 AudioEffectX::setOutputSamplerate(float samplerate) {
  return static_cast<VstInt32>(callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, samplerate));
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetOutputSpeakerArrangement));
}

void* AudioEffectX::openWindow(VstWindow* window) {
  return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(VstWindow* window) {
  return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

bool AudioEffectX::getChunkFile(void* nativePath) {
  return nativePath != nullptr && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

bool AudioEffectX::sendVstEventsToHost(VstEvents* events) {
  return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}
