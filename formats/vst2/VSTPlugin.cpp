#include "formats/vst2/VSTPlugin.h"

#include <new>

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  // A failing constructor releases the storage and throws; the entry stops it.
  return new (std::nothrow) VSTPlugin(audioMaster);
}

VSTPlugin::VSTPlugin(audioMasterCallback audioMaster)
    : AbstractStereoAudioEffectX(audioMaster, 1, NUM_PARAMS) {
  setUniqueID(UNIQUE_ID);
  for (VstInt32 i = 0; i < NUM_PARAMS; ++i) {
    addParameterName(BrisendelEffect::parameterName(i));
    addParameterLabel(BrisendelEffect::parameterLabel(i));
  }
  setInitialDelay(static_cast<VstInt32>(BrisendelEffect::LATENCY));
}

void VSTPlugin::setParameter(VstInt32 index, float value) {
  // Widened exactly, so that getParameter gives the host back what it wrote.
  _effect.setNormalized(index, static_cast<double>(value));
}

float VSTPlugin::getParameter(VstInt32 index) {
  return static_cast<float>(_effect.getNormalized(index));
}

void VSTPlugin::setBlockSize(VstInt32 newBlockSize) {
  AbstractStereoAudioEffectX::setBlockSize(newBlockSize);
  if (newBlockSize > 0) _effect.reserve(static_cast<unsigned>(newBlockSize));
}

std::string VSTPlugin::getEffectNameString() { return "Brisendel"; }

std::string VSTPlugin::getVendorNameString() { return "Orlask"; }

std::string VSTPlugin::getProductNameString() { return "Orlask Series"; }

std::string VSTPlugin::getParameterDisplayString(VstInt32 index) {
  return _effect.displayText(index);
}

void VSTPlugin::processStereo(const float* const* inputs, float* const* outputs, unsigned frames) {
  _effect.process(inputs, outputs, frames);
}

void VSTPlugin::processStereo(const double* const* inputs, double* const* outputs,
                              unsigned frames) {
  _effect.process(inputs, outputs, frames);
}
