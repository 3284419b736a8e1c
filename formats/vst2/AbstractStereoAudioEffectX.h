#pragma once

#include <string>
#include <vector>

#include "effect/StereoBlockFault.h"
#include "formats/vst2/ProgramName.h"
#include "formats/vst2/sdk/AudioEffectX.h"

// The stereo effect base: fixes the effect at two inputs and two outputs, keeps
// the program name and the parameter names and labels, checks the host's
// buffers of every processing call, single or double precision, before it
// hands them to the subclass, and answers every text query from a plain string
// cut to the host's limit.
//
// Threads: the processing operations must not run at the same time as each
// other; text queries and parameter calls may come from other threads. A
// failure during processing is reported through the failure reporter (on
// Windows a modal message box that blocks the processing thread until the user
// dismisses it, elsewhere one line on standard error) and the call returns to
// the host normally.
class AbstractStereoAudioEffectX : public AudioEffectX {
 public:
  // Shows the text of a failure raised during processing to the user.
  using FailureReporter = void (*)(const char* text);
  // The platform's reporter: MessageBoxA with no owner, the text, the caption
  // "runtime_error" and an OK button on Windows; "runtime_error: <text>" as one
  // line on standard error elsewhere.
  static void reportToUser(const char* text);
  // Makes every effect of this module report through `reporter` (null restores
  // reportToUser) and returns the reporter used before. For programs that link
  // the base directly, such as tests; not to be called while processing runs.
  static FailureReporter setFailureReporter(FailureReporter reporter);

  AbstractStereoAudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms,
                             VstInt32 numParams);
  ~AbstractStereoAudioEffectX() override;

  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  // Indices outside the lists answer an empty text.
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;

  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;

  // The contract of a stereo effect.
  virtual std::string getEffectNameString() = 0;
  virtual std::string getVendorNameString() = 0;
  virtual std::string getProductNameString() = 0;
  // The display text of the parameter's current value; any index may be asked.
  virtual std::string getParameterDisplayString(VstInt32 index) = 0;
  // Processes `frames` frames of the two input channels into the two output
  // channels, which may be the same buffers. The buffers are checked: all four
  // are there. Called on the processing thread, once per host call; a
  // std::runtime_error thrown here is reported, not passed to the host.
  virtual void processStereo(const float* const* inputs, float* const* outputs,
                             unsigned frames) = 0;
  virtual void processStereo(const double* const* inputs, double* const* outputs,
                             unsigned frames) = 0;

 protected:
  // Register one name and one label per parameter, in index order, from the constructor.
  void addParameterName(const std::string& name);
  void addParameterLabel(const std::string& label);

 private:
  // The one place a processing failure is shown to the user: the current reporter.
  static void reportProcessingFailure(const char* text);
  template <typename Sample>
  void processBuffers(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);

  // Set and read from the host's non-processing threads, any number at once.
  ProgramName programName{"default"};
  std::vector<std::string> parameterNames;
  std::vector<std::string> parameterLabels;
};
