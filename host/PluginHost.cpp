#include "host/PluginHost.h"

#include <algorithm>
#include <cstring>

#include "formats/vst2/sdk/AEffectX.h"
#include "host/HostError.h"

namespace brisendel {

namespace {

// The host that owns a record, as stored in its resvd1 field once the entry returned;
// null for requests that come before (from inside the entry, or without a record).
const PluginHost* ownerOf(const AEffect* effect) {
  if (effect == nullptr || effect->magic != kEffectMagic || effect->resvd1 == 0) return nullptr;
  return reinterpret_cast<const PluginHost*>(effect->resvd1);
}

// Answers the effect's requests as a plain offline host: VST 2.4, its own host's rate
// and block size, offline processing, and 0 ("no", "don't know") to everything else.
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  const PluginHost* owner = ownerOf(effect);
  switch (opcode) {
    case audioMasterVersion:
      return 2400;
    case audioMasterGetSampleRate:
      return owner != nullptr ? static_cast<VstIntPtr>(owner->getSampleRate()) : 0;
    case audioMasterGetBlockSize:
      return owner != nullptr ? owner->getBlockSize() : 0;
    case audioMasterGetCurrentProcessLevel:
      return 4;  // offline
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
      if (ptr != nullptr) {
        std::strncpy(static_cast<char*>(ptr), "brisendel", 64);
        static_cast<char*>(ptr)[63] = '\0';
        return 1;
      }
      return 0;
    case audioMasterGetVendorVersion:
      return 1;
    default:
      return 0;
  }
}

using EntryFunction = AEffect* (*)(audioMasterCallback);

}  // namespace

PluginHost::~PluginHost() { unload(); }

VstIntPtr PluginHost::closeEffect() {
  if (_effect == nullptr) return 0;
  if (_running) stop();
  // effClose destroys the effect object together with the record inside it.
  const VstIntPtr answer = _effect->dispatcher(_effect, effClose, 0, 0, nullptr, 0.0f);
  _effect = nullptr;
  return answer;
}

void PluginHost::unload() {
  closeEffect();
  _library.close();
}

void PluginHost::load(const std::string& path) {
  unload();
  _path = path;
  std::string why;
  if (!_library.open(path, why)) throw HostError(path + ": cannot load the plug-in: " + why);
  void* symbol = _library.function("VSTPluginMain");
  if (symbol == nullptr) symbol = _library.function("main");
  if (symbol == nullptr) {
    unload();
    throw HostError(path + ": not a VST 2.4 plug-in (no VSTPluginMain entry)");
  }
  EntryFunction entry;
  static_assert(sizeof(entry) == sizeof(symbol), "function and object pointers differ");
  std::memcpy(&entry, &symbol, sizeof(entry));
  AEffect* effect = entry(&hostCallback);
  if (effect == nullptr) {
    unload();
    throw HostError(path + ": the plug-in refused to create an effect");
  }
  if (effect->magic != kEffectMagic) {
    unload();
    throw HostError(path + ": the plug-in returned something that is not a VST effect record");
  }
  _effect = effect;
  // From now on the effect's requests reach this host (resvd1 is the host's to use).
  _effect->resvd1 = reinterpret_cast<VstIntPtr>(this);
  if (_effect->numInputs < 2 || _effect->numOutputs < 2) {
    const std::string counts =
        std::to_string(_effect->numInputs) + " in, " + std::to_string(_effect->numOutputs) + " out";
    unload();
    throw HostError(path + ": not a stereo effect (" + counts + ")");
  }
  dispatch(effOpen);
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) const {
  return _effect->dispatcher(_effect, opcode, index, value, ptr, opt);
}

// Text queries get a generous buffer: a careless effect that writes past the VST
// limits must not overwrite the stack.
std::string PluginHost::text(int opcode, int index, std::size_t limit) const {
  char buffer[256] = {};
  dispatch(opcode, index, 0, buffer);
  buffer[sizeof(buffer) - 1] = '\0';
  std::string result(buffer);
  if (result.size() > limit) result.resize(limit);
  return result;
}

std::string PluginHost::getEffectName() const {
  return text(effGetEffectName, 0, kVstMaxEffectNameLen);
}
std::string PluginHost::getVendorString() const {
  return text(effGetVendorString, 0, kVstMaxVendorStrLen);
}
std::string PluginHost::getProductString() const {
  return text(effGetProductString, 0, kVstMaxProductStrLen);
}
int PluginHost::getUniqueId() const { return _effect->uniqueID; }
int PluginHost::getVersion() const { return _effect->version; }
int PluginHost::getVendorVersion() const { return static_cast<int>(dispatch(effGetVendorVersion)); }
int PluginHost::getVstVersion() const { return static_cast<int>(dispatch(effGetVstVersion)); }
int PluginHost::getNumInputs() const { return _effect->numInputs; }
int PluginHost::getNumOutputs() const { return _effect->numOutputs; }
int PluginHost::getNumParams() const { return _effect->numParams; }
int PluginHost::getNumPrograms() const { return _effect->numPrograms; }
int PluginHost::getLatency() const { return _effect->initialDelay; }
bool PluginHost::canDoubleReplacing() const {
  return (_effect->flags & effFlagsCanDoubleReplacing) != 0 &&
         _effect->processDoubleReplacing != nullptr;
}

std::string PluginHost::getParameterName(int index) const {
  return text(effGetParamName, index, kVstMaxParamStrLen);
}
std::string PluginHost::getParameterLabel(int index) const {
  return text(effGetParamLabel, index, kVstMaxParamStrLen);
}
std::string PluginHost::getParameterDisplay(int index) const {
  return text(effGetParamDisplay, index, kVstMaxParamStrLen);
}
float PluginHost::getParameter(int index) const { return _effect->getParameter(_effect, index); }
void PluginHost::setParameter(int index, float value) {
  _effect->setParameter(_effect, index, value);
}

int PluginHost::findParameter(const std::string& name) const {
  for (int i = 0; i < getNumParams(); ++i) {
    if (getParameterName(i) == name) return i;
  }
  return -1;
}

std::vector<std::string> PluginHost::listSteps(int index) {
  // 4096 probes resolve any parameter of up to a few hundred steps; each run of equal
  // display texts is one step.
  constexpr int PROBES = STEP_PROBES;
  const float saved = getParameter(index);
  std::vector<std::string> steps;
  for (int k = 0; k < PROBES; ++k) {
    setParameter(index, static_cast<float>((k + 0.5) / PROBES));
    std::string shown = getParameterDisplay(index);
    if (steps.empty() || steps.back() != shown) steps.push_back(std::move(shown));
  }
  setParameter(index, saved);
  return steps;
}

std::string PluginHost::selectStep(int index, const std::string& display) {
  const std::vector<std::string> steps = listSteps(index);
  const auto found = std::find(steps.begin(), steps.end(), display);
  if (found == steps.end()) {
    throw HostError(_path + ": parameter " + getParameterName(index) + " has no step \"" + display +
                    "\"");
  }
  const double share = 1.0 / static_cast<double>(steps.size());
  const double centre = (static_cast<double>(found - steps.begin()) + 0.5) * share;
  setParameter(index, static_cast<float>(centre));
  std::string shown = getParameterDisplay(index);
  if (shown != display) {
    throw HostError(_path + ": parameter " + getParameterName(index) + " shows \"" + shown +
                    "\" after being set to \"" + display + "\"");
  }
  return shown;
}

void PluginHost::start(double sampleRate, int maxBlock) {
  if (_running) stop();
  _sampleRate = sampleRate;
  _maxBlock = maxBlock;
  if (!canDoubleReplacing()) _floatBuffers.assign(std::size_t(maxBlock) * 4, 0.0f);
  dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  dispatch(effSetBlockSize, 0, maxBlock);
  // Tell the effect which of its processing functions is coming (1: 64-bit).
  dispatch(effSetProcessPrecision, 0, canDoubleReplacing() ? 1 : 0);
  dispatch(effMainsChanged, 0, 1);
  _running = true;
}

void PluginHost::stop() {
  if (!_running) return;
  dispatch(effMainsChanged, 0, 0);
  _running = false;
}

void PluginHost::process(const double* const inputs[2], double* const outputs[2], int frames) {
  if (canDoubleReplacing()) {
    // The record's signature is not const-correct; the effect only reads its inputs.
    double* in[2] = {const_cast<double*>(inputs[0]), const_cast<double*>(inputs[1])};
    double* out[2] = {outputs[0], outputs[1]};
    _effect->processDoubleReplacing(_effect, in, out, frames);
    return;
  }
  float* base = _floatBuffers.data();
  float* in[2] = {base, base + _maxBlock};
  float* out[2] = {base + 2 * _maxBlock, base + 3 * _maxBlock};
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < frames; ++i) in[c][i] = static_cast<float>(inputs[c][i]);
  }
  _effect->processReplacing(_effect, in, out, frames);
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < frames; ++i) outputs[c][i] = out[c][i];
  }
}

void PluginHost::processFloat(float* const inputs[2], float* const outputs[2], int frames) {
  float* in[2] = {inputs[0], inputs[1]};
  float* out[2] = {outputs[0], outputs[1]};
  _effect->processReplacing(_effect, in, out, frames);
}

}  // namespace brisendel
