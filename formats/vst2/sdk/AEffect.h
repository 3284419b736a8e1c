#pragma once

// The core of the VST 2.4 plug-in interface as this adapter uses it: the integer
// types of every host-facing signature, the effect record shared with the host,
// the host callback, the opcodes of the basic dispatcher and host requests, and
// the record's flag bits. Only fixed-width types cross the boundary, so the
// record has the same layout whichever compiler built the host.

#include <cstddef>
#include <cstdint>

// Signed 32-bit integer of every host-facing signature.
typedef std::int32_t VstInt32;
// Signed integer of pointer width (32 bits in a 32-bit build).
typedef std::intptr_t VstIntPtr;

struct AEffect;

// The host callback; also the shape of the record's dispatcher.
typedef VstIntPtr (*audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr (*AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt);
// Processing functions: a channel array is an array of pointers to one sample array per channel.
typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                   VstInt32 sampleFrames);
typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                         VstInt32 sampleFrames);
typedef void (*AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
typedef float (*AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

// Record magic: the characters V, s, t, P read as a big-endian number.
constexpr VstInt32 kEffectMagic = 0x56737450;

// The effect record. It lives inside the adapter object (`object` leads back to
// it) and is laid out by natural alignment for the build's pointer size.
struct AEffect {
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating process, deprecated
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;  // latency in frames
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(AEffect) == 192, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, dispatcher) == 8, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, process) == 16, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, setParameter) == 24, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, getParameter) == 32, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, numParams) == 44, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, numInputs) == 48, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, numOutputs) == 52, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, flags) == 56, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, resvd1) == 64, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, resvd2) == 72, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, realQualities) == 84, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, offQualities) == 88, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, ioRatio) == 92, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, object) == 96, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, user) == 104, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, version) == 116, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, processReplacing) == 120, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect layout (64-bit)");
static_assert(offsetof(AEffect, future) == 136, "AEffect layout (64-bit)");
#elif INTPTR_MAX == INT32_MAX
static_assert(sizeof(AEffect) == 144, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, dispatcher) == 4, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, process) == 8, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, setParameter) == 12, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, getParameter) == 16, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, numPrograms) == 20, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, numParams) == 24, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, numInputs) == 28, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, numOutputs) == 32, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, flags) == 36, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, resvd1) == 40, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, resvd2) == 44, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, initialDelay) == 48, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, realQualities) == 52, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, offQualities) == 56, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, ioRatio) == 60, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, object) == 64, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, user) == 68, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, uniqueID) == 72, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, version) == 76, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, processReplacing) == 80, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, processDoubleReplacing) == 84, "AEffect layout (32-bit)");
static_assert(offsetof(AEffect, future) == 88, "AEffect layout (32-bit)");
#endif

// Dispatcher opcodes of the basic interface.
enum AEffectOpcodes : VstInt32 {
  effOpen = 0,
  effClose,
  effSetProgram,
  effGetProgram,
  effSetProgramName,
  effGetProgramName,
  effGetParamLabel,
  effGetParamDisplay,
  effGetParamName,
  effGetVu,  // deprecated
  effSetSampleRate,
  effSetBlockSize,
  effMainsChanged,
  effEditGetRect,
  effEditOpen,
  effEditClose,
  effEditDraw,   // deprecated
  effEditMouse,  // deprecated
  effEditKey,    // deprecated
  effEditIdle,
  effEditTop,    // deprecated
  effEditSleep,  // deprecated
  effIdentify,   // deprecated
  effGetChunk,
  effSetChunk,
  effNumOpcodes
};

// Requests of the basic interface that a plug-in makes of the host.
enum AudioMasterOpcodes : VstInt32 {
  audioMasterAutomate = 0,
  audioMasterVersion,
  audioMasterCurrentId,
  audioMasterIdle,
  audioMasterPinConnected  // deprecated
};

// Bits of AEffect::flags.
enum VstAEffectFlags : VstInt32 {
  effFlagsHasEditor = 1 << 0,
  effFlagsHasClip = 1 << 1,  // deprecated
  effFlagsHasVu = 1 << 2,    // deprecated
  effFlagsCanMono = 1 << 3,  // deprecated
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsExtIsAsync = 1 << 10,    // deprecated
  effFlagsExtHasBuffer = 1 << 11,  // deprecated
  effFlagsCanDoubleReplacing = 1 << 12
};

// Text limits of the host buffers; each buffer holds the limit plus one byte for the NUL.
enum VstStringConstants : VstInt32 {
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32
};
