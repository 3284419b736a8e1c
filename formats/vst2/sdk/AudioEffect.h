#pragma once

#include "formats/vst2/sdk/AEffect.h"

class AEffEditor;
class AudioEffect;

// The factory of the plug-in module: creates the one effect object for a host
// callback, or returns null when no storage is to be had. Each plug-in defines
// it; the exported entry calls it and stops any exception it raises.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);

// The base adapter between the host and an effect object. It owns the effect
// record that the host talks to, turns the record's plain function calls into
// virtual operations and answers the basic dispatcher opcodes (0 to 24).
// Nothing thrown inside an effect leaves through the record: the static
// trampolines catch everything and give the host a neutral answer.
// The host calls from threads of its choosing; the adapter takes no locks.
class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  // Deletes the attached editor, if any.
  virtual ~AudioEffect();

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

  virtual void open() {}
  virtual void close() {}
  virtual void suspend() {}
  virtual void resume() {}
  // Sample rate in Hz.
  virtual void setSampleRate(float newSampleRate) { sampleRate = newSampleRate; }
  // Largest number of frames the host will pass to one processing call.
  virtual void setBlockSize(VstInt32 newBlockSize) { blockSize = newBlockSize; }

  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames);

  // Parameter values are normalized to 0..1.
  virtual void setParameter(VstInt32 index, float value);
  virtual float getParameter(VstInt32 index);
  // Sets the parameter, then tells the host that it changed.
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  // Text buffers: names hold kVstMaxProgNameLen + 1 bytes, parameter texts kVstMaxParamStrLen + 1.
  virtual void setProgramName(char* name);
  virtual void getProgramName(char* name);
  virtual void getParameterLabel(VstInt32 index, char* label);
  virtual void getParameterDisplay(VstInt32 index, char* text);
  virtual void getParameterName(VstInt32 index, char* text);

  virtual VstInt32 getChunk(void** data, bool isPreset = false);
  virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false);

  virtual void setUniqueID(VstInt32 iD) { cEffect.uniqueID = iD; }
  virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
  virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
  virtual void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
  // Latency in frames, reported to the host through the record.
  virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

  virtual AEffEditor* getEditor() { return editor; }
  virtual AEffect* getAeffect() { return &cEffect; }
  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }

  virtual VstInt32 getMasterVersion();
  virtual VstInt32 getCurrentUniqueId();
  virtual void masterIdle();

  // Number formatting into a buffer of maxLen + 1 bytes.
  virtual void dB2string(float value, char* text, VstInt32 maxLen);
  virtual void Hz2string(float samples, char* text, VstInt32 maxLen);
  virtual void ms2string(float samples, char* text, VstInt32 maxLen);
  virtual void float2string(float value, char* text, VstInt32 maxLen);
  virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);

  // Deprecated operations, kept in their places.
  virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual float getVu() { return 0.0f; }
  virtual void hasVu(bool state = true) { setFlag(effFlagsHasVu, state); }
  virtual void hasClip(bool state = true) { setFlag(effFlagsHasClip, state); }
  virtual void canMono(bool state = true) { setFlag(effFlagsCanMono, state); }
  virtual void setRealtimeQualities(VstInt32 qualities) { cEffect.realQualities = qualities; }
  virtual void setOfflineQualities(VstInt32 qualities) { cEffect.offQualities = qualities; }
  virtual bool isInputConnected(VstInt32 input);
  virtual bool isOutputConnected(VstInt32 output);

  // Attaches an editor (owned from now on) and sets effFlagsHasEditor accordingly.
  void setEditor(AEffEditor* newEditor);

 protected:
  // Calls the host with this record; answers 0 without a host callback.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void setFlag(VstInt32 flag, bool state);

  // The trampolines placed in the record.
  static VstIntPtr dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                       void* ptr, float opt);
  static void processClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames);
  static void setParameterClass(AEffect* e, VstInt32 index, float value);
  static float getParameterClass(AEffect* e, VstInt32 index);
  static void processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
  static void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);

  audioMasterCallback audioMaster;  // may be null: every host request then answers its default
  AEffEditor* editor;               // owned; null unless setEditor attached one
  float sampleRate;                 // Hz
  VstInt32 blockSize;               // frames
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 curProgram;
  AEffect cEffect;  // lives inside the object, so its address is valid for the object's lifetime
};
