// A stand-in effect module for the host library's tests: it reports what its host
// answers. Each processing call writes the host's sample rate into the left output and
// its block size into the right; parameter 0 reads back the sample rate the host gave
// from inside the entry, before the record existed. PROBE_UNIQUE_ID and PROBE_LATENCY
// set what the record reports, so the same source also stands in for a module that
// claims to be Brisendel with a latency a render cannot use.
#include <new>

#include "formats/vst2/sdk/AEffectX.h"

namespace {

struct Probe {
  AEffect record{};
  audioMasterCallback host = nullptr;
  float rateAtEntry = 0.0f;
};

Probe& probeOf(AEffect* effect) { return *reinterpret_cast<Probe*>(effect->object); }

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == effClose) delete &probeOf(effect);
  return 0;
}

template <typename Sample>
void process(AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 frames) {
  (void)inputs;
  const Probe& probe = probeOf(effect);
  const auto rate =
      static_cast<Sample>(probe.host(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0));
  const auto block =
      static_cast<Sample>(probe.host(effect, audioMasterGetBlockSize, 0, 0, nullptr, 0));
  for (VstInt32 i = 0; i < frames; ++i) {
    outputs[0][i] = rate;
    outputs[1][i] = block;
  }
}

void setParameter(AEffect*, VstInt32, float) {}
float getParameter(AEffect* effect, VstInt32) { return probeOf(effect).rateAtEntry; }

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  auto* probe = new (std::nothrow) Probe;
  if (probe == nullptr) return nullptr;
  AEffect& record = probe->record;
  record.magic = kEffectMagic;
  record.dispatcher = dispatch;
  record.setParameter = setParameter;
  record.getParameter = getParameter;
  record.processReplacing = process<float>;
  record.processDoubleReplacing = process<double>;
  record.numParams = 1;
  record.numInputs = 2;
  record.numOutputs = 2;
  record.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  record.uniqueID = PROBE_UNIQUE_ID;
  record.initialDelay = PROBE_LATENCY;
  record.object = probe;
  probe->host = host;
  // A request from inside the entry: the host cannot know yet whose record this is.
  probe->rateAtEntry =
      static_cast<float>(host(&record, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f));
  return &record;
}
