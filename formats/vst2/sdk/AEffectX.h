#pragma once

// The VST 2.x extensions of the plug-in interface: the extended dispatcher
// opcodes, the further host requests, plug-in categories, the few records this
// adapter reads itself (key code, speaker properties and arrangements), and the
// capability texts. Every other record only passes between host and plug-in by
// pointer, so it is declared here without a body.

#include "formats/vst2/sdk/AEffect.h"

// Records that travel through the dispatcher untouched.
struct ERect;
struct VstEvents;
struct VstPinProperties;
struct VstParameterProperties;
struct VstTimeInfo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstVariableIo;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
struct VstPatchChunkInfo;
struct VstFileSelect;
struct VstWindow;

// A key press passed to an editor.
struct VstKeyCode {
  VstInt32 character;
  unsigned char virt;      // virtual key
  unsigned char modifier;  // modifier key bits
};

// One loudspeaker of an arrangement.
struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  VstInt32 type;
  char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112, "speaker properties layout");

// A speaker arrangement: a header followed by one speaker record per channel.
// The array is declared with 8 entries, but an arrangement made by
// allocateArrangement holds exactly numChannels of them.
struct VstSpeakerArrangement {
  VstInt32 type;
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "speaker arrangement layout");

// Dispatcher opcodes of the 2.x interface, following the basic ones.
enum AEffectXOpcodes : VstInt32 {
  effProcessEvents = effSetChunk + 1,  // 25
  effCanBeAutomated,
  effString2Parameter,
  effGetNumProgramCategories,  // deprecated
  effGetProgramNameIndexed,
  effCopyProgram,    // deprecated
  effConnectInput,   // deprecated
  effConnectOutput,  // deprecated
  effGetInputProperties,
  effGetOutputProperties,
  effGetPlugCategory,
  effGetCurrentPosition,    // deprecated
  effGetDestinationBuffer,  // deprecated
  effOfflineNotify,
  effOfflinePrepare,
  effOfflineRun,
  effProcessVarIo,
  effSetSpeakerArrangement,
  effSetBlockSizeAndSampleRate,  // deprecated
  effSetBypass,
  effGetEffectName,
  effGetErrorText,  // deprecated
  effGetVendorString,
  effGetProductString,
  effGetVendorVersion,
  effVendorSpecific,
  effCanDo,
  effGetTailSize,
  effIdle,             // deprecated
  effGetIcon,          // deprecated
  effSetViewPosition,  // deprecated
  effGetParameterProperties,
  effKeysRequired,  // deprecated
  effGetVstVersion,
  effEditKeyDown,
  effEditKeyUp,
  effSetEditKnobMode,
  effGetMidiProgramName,
  effGetCurrentMidiProgram,
  effGetMidiProgramCategory,
  effHasMidiProgramsChanged,
  effGetMidiKeyName,
  effBeginSetProgram,
  effEndSetProgram,
  effGetSpeakerArrangement,
  effShellGetNextPlugin,
  effStartProcess,
  effStopProcess,
  effSetTotalSampleToProcess,
  effSetPanLaw,
  effBeginLoadBank,
  effBeginLoadProgram,
  effSetProcessPrecision,
  effGetNumMidiInputChannels,
  effGetNumMidiOutputChannels  // 79
};
static_assert(effGetNumMidiOutputChannels == 79, "extended opcode numbering");

// Requests of the 2.x interface that a plug-in makes of the host.
enum AudioMasterOpcodesX : VstInt32 {
  audioMasterWantMidi = 6,  // deprecated
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterTempoAt = 10,                      // deprecated
  audioMasterGetNumAutomatableParameters = 11,  // deprecated
  audioMasterGetParameterQuantization = 12,     // deprecated
  audioMasterIOChanged = 13,
  audioMasterNeedIdle = 14,  // deprecated
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetPreviousPlug = 20,          // deprecated
  audioMasterGetNextPlug = 21,              // deprecated
  audioMasterWillReplaceOrAccumulate = 22,  // deprecated
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterOfflineStart = 25,
  audioMasterOfflineRead = 26,
  audioMasterOfflineWrite = 27,
  audioMasterOfflineGetCurrentPass = 28,
  audioMasterOfflineGetCurrentMetaPass = 29,
  audioMasterSetOutputSampleRate = 30,          // deprecated
  audioMasterGetOutputSpeakerArrangement = 31,  // deprecated
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterVendorSpecific = 35,
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterOpenWindow = 39,   // deprecated
  audioMasterCloseWindow = 40,  // deprecated
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44,
  audioMasterOpenFileSelector = 45,
  audioMasterCloseFileSelector = 46,
  audioMasterGetChunkFile = 48,               // deprecated
  audioMasterGetInputSpeakerArrangement = 49  // deprecated
};

// Plug-in categories answered to effGetPlugCategory.
enum VstPlugCategory : VstInt32 { kPlugCategUnknown = 0, kPlugCategSynth = 2 };

// What a plug-in may ask a host with canHostDo.
inline constexpr const char* kHostCapabilities[] = {"sendVstEvents",
                                                    "sendVstMidiEvent",
                                                    "sendVstTimeInfo",
                                                    "receiveVstEvents",
                                                    "receiveVstMidiEvent",
                                                    "reportConnectionChanges",
                                                    "acceptIOChanges",
                                                    "sizeWindow",
                                                    "offline",
                                                    "openFileSelector",
                                                    "closeFileSelector",
                                                    "startStopProcess",
                                                    "shellCategory",
                                                    "sendVstMidiEventFlagIsRealtime"};

// What a host may ask a plug-in with effCanDo.
inline constexpr const char* kPlugCapabilities[] = {
    "sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline",          "midiProgramNames", "bypass"};

// The one capability text asked at run time (by AudioEffectX::resume).
inline constexpr const char* kCanDoReceiveVstMidiEvent = "receiveVstMidiEvent";
