#pragma once

// A minimal audio host for the tests: loads the plug-in module with dlopen,
// calls its entry with its own callback and drives the effect only through
// the record, as any host would.

#include <dlfcn.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "vst/AEffectX.h"

class TestHost {
 public:
  // The host's answer to audioMasterVersion.
  static VstIntPtr versionAnswer;

  explicit TestHost(const char* path = BRISENDEL_MODULE) {
    _module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (_module == nullptr) throw std::runtime_error(dlerror());
    _entry = reinterpret_cast<Entry>(dlsym(_module, "VSTPluginMain"));
    if (_entry == nullptr) throw std::runtime_error("no VSTPluginMain");
    _effect = _entry(callback);
  }
  ~TestHost() {
    if (_effect != nullptr) _effect->dispatcher(_effect, effClose, 0, 0, nullptr, 0.0f);
    dlclose(_module);
  }
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  AEffect* effect() const { return _effect; }
  AEffect* create() { return _entry(callback); }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     void* ptr = nullptr, float opt = 0.0f) {
    return _effect->dispatcher(_effect, opcode, index, value, ptr, opt);
  }
  // Closes the effect now; returns the dispatcher's answer.
  VstIntPtr close() {
    const VstIntPtr answer = dispatch(effClose);
    _effect = nullptr;
    return answer;
  }

  // The text a query writes, from a buffer far larger than the limit; the
  // query must not have written past limit + 1 bytes.
  std::string text(VstInt32 opcode, VstInt32 index, std::size_t limit) {
    std::vector<char> buffer(256, '#');
    dispatch(opcode, index, 0, buffer.data());
    for (std::size_t i = limit + 1; i < buffer.size(); ++i) {
      if (buffer[i] != '#') throw std::runtime_error("text query wrote past its limit");
    }
    return std::string(buffer.data());
  }

  void setParameter(VstInt32 index, float value) { _effect->setParameter(_effect, index, value); }
  float getParameter(VstInt32 index) { return _effect->getParameter(_effect, index); }

  void processDouble(double* inL, double* inR, double* outL, double* outR, VstInt32 frames) {
    double* in[2] = {inL, inR};
    double* out[2] = {outL, outR};
    _effect->processDoubleReplacing(_effect, in, out, frames);
  }
  void processFloat(float* inL, float* inR, float* outL, float* outR, VstInt32 frames) {
    float* in[2] = {inL, inR};
    float* out[2] = {outL, outR};
    _effect->processReplacing(_effect, in, out, frames);
  }

 private:
  typedef AEffect* (*Entry)(audioMasterCallback);

  static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? versionAnswer : 0;
  }

  void* _module = nullptr;
  Entry _entry = nullptr;
  AEffect* _effect = nullptr;
};

inline VstIntPtr TestHost::versionAnswer = 2400;
