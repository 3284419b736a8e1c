// The exported entry of a plug-in module. It is compiled into each module
// (hidden visibility elsewhere) and is the only code the host calls by name.

#include "formats/vst2/sdk/AudioEffect.h"

#ifdef _WIN32
// A DLL exports what its module definition file lists; nothing is marked here.
#define VST_EXPORT extern "C"
#else
#define VST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Asks the host for its version, creates the effect and hands back its record.
// Null when the host answers 0, when no storage is to be had, or when building
// the effect fails: nothing thrown may unwind into the host.
VST_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  try {
    if (audioMaster == nullptr) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect != nullptr ? effect->getAeffect() : nullptr;
  } catch (...) {
    return nullptr;
  }
}

// Older hosts look the entry up as "main". A C++ function cannot carry that
// name, so the symbol is given through the assembler name; a DLL gets it as an
// alias in its module definition file instead.
#ifndef _WIN32
VST_EXPORT AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }
#endif
