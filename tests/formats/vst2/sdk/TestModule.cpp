// A minimal plug-in module for the entry tests: its construction asks the
// host for the current unique id and fails when the host answers 13.

#include <stdexcept>

#include "formats/vst2/sdk/AudioEffectX.h"

namespace {

class TinyEffect : public AudioEffectX {
 public:
  explicit TinyEffect(audioMasterCallback host) : AudioEffectX(host, 1, 0) {
    if (getCurrentUniqueId() == 13) throw std::runtime_error("refused");
    setUniqueID(0x54696E79);
  }
  void processReplacing(float**, float**, VstInt32) override {}
};

}  // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
  return new TinyEffect(audioMaster);
}
