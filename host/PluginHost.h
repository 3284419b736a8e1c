#pragma once

#include <string>
#include <vector>

#include "formats/vst2/sdk/AEffect.h"
#include "host/SharedLibrary.h"

namespace brisendel {

// Hosts one instance of a VST 2.4 effect the way an audio host does: loads the shared
// library (SharedLibrary: dlopen or LoadLibraryW), calls its entry with this host's
// callback and from then on talks to the effect only through the effect record it
// handed back. Each host answers its own effect's requests (sample rate, block size)
// from its own state, found through the record's resvd1 field, which VST 2.4 leaves to
// the host; requests that come before the record exists (from inside the entry) get
// neutral answers. Several hosts may live at once, on different threads, at different
// rates and block sizes. Not thread-safe: one thread drives a host.
class PluginHost {
 public:
  // Normalized values probed across 0..1 to find a parameter's steps.
  static constexpr int STEP_PROBES = 4096;

  PluginHost() = default;
  // Loads the library at `path` and creates the effect (see load).
  explicit PluginHost(const std::string& path) { load(path); }
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;
  // Stops processing, closes the effect and unloads the library.
  ~PluginHost();

  // Loads the library at `path` and creates the effect. Throws HostError naming the
  // path and the problem when the library cannot be loaded, has no entry, refuses to
  // start, or does not hand back a stereo effect record.
  void load(const std::string& path);
  const std::string& getPath() const { return _path; }
  // Closes the effect (effClose) and returns the dispatcher's answer; the record
  // is gone afterwards and the library stays loaded until the next load or the
  // end of the host. 0 when no effect is open.
  VstIntPtr closeEffect();
  // The effect record, for callers that drive it directly; null when none is open.
  AEffect* getEffect() const { return _effect; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;

  // What the host sees in the record and through the text opcodes.
  std::string getEffectName() const;
  std::string getVendorString() const;
  std::string getProductString() const;
  int getUniqueId() const;
  int getVersion() const;
  int getVendorVersion() const;
  int getVstVersion() const;
  int getNumInputs() const;
  int getNumOutputs() const;
  int getNumParams() const;
  int getNumPrograms() const;
  // Latency the effect reports (initialDelay), in frames.
  int getLatency() const;
  bool canDoubleReplacing() const;

  std::string getParameterName(int index) const;
  std::string getParameterLabel(int index) const;
  std::string getParameterDisplay(int index) const;
  float getParameter(int index) const;
  void setParameter(int index, float value);
  // Index of the parameter with this name, or -1.
  int findParameter(const std::string& name) const;
  // The display text of every step of a stepped parameter, lowest first, found the way
  // a host finds them: by setting normalized values across 0..1 and reading the display
  // back. A step covers the share 1/count of the range; its centre selects it. The
  // parameter's value is restored afterwards.
  std::vector<std::string> listSteps(int index);
  // Sets the parameter to the centre of the step whose display text is `display` and
  // returns the text the effect then displays. Throws HostError when no step shows it.
  std::string selectStep(int index, const std::string& display);

  // Prepares processing: sample rate (Hz), the largest block (frames), then resume.
  // From here on this host answers its effect's requests with this rate and size.
  void start(double sampleRate, int maxBlock);
  double getSampleRate() const { return _sampleRate; }
  int getBlockSize() const { return _maxBlock; }
  // Suspends the effect; start may be called again afterwards.
  void stop();
  // Processes `frames` frames (at most maxBlock) of the two input channels into the two
  // output channels, with processDoubleReplacing when the effect offers it, otherwise
  // through single-precision buffers. Does not allocate.
  void process(const double* const inputs[2], double* const outputs[2], int frames);
  // Passes the host's single-precision buffers to processReplacing unchanged.
  void processFloat(float* const inputs[2], float* const outputs[2], int frames);

 private:
  std::string text(int opcode, int index, std::size_t limit) const;
  void unload();

  std::string _path;
  SharedLibrary _library;
  AEffect* _effect = nullptr;
  bool _running = false;
  // What the host callback answers this host's effect; 0 before the first start
  // (a host that does not know yet).
  double _sampleRate = 0.0;
  int _maxBlock = 0;
  std::vector<float> _floatBuffers;  // 4 × maxBlock: two inputs, two outputs
};

}  // namespace brisendel
