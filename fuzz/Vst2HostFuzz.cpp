// Plays the fuzzer's bytes to Brisendel's VST 2 record as a host would: any
// dispatcher opcode with any index, value and opt and a buffer of the size the
// opcode promises (or null), parameters set to any float and read back, single
// and double precision processing of 0 to 65536 frames in place or not, rate,
// block size and mains changes in any order, and sometimes effClose at the end.
//
// After every call it checks what a host relies on, and traps when it fails:
// - getParameter gives back what was stored (clamped to 0..1, NaN ignored);
// - the record keeps its shape and the latency of 4096 frames;
// - the text answers hold what they should and end within their limit;
// - a processing call allocates nothing, reports bad buffers (and writes
//   nothing then), and gives finite output once 8192 frames of bounded finite
//   input have gone in, and the input delayed by 4096 frames once those frames
//   went through with Center and Side at 100 % and one Window.
//
// One instance serves every run: it is brought back to its first state between
// runs (suspend, effect reset, parameters, program name, rate and block size)
// and built anew only after a run closed it, which a run's bytes ask for
// through their sum.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "effect/BrisendelEffect.h"
#include "effect/Parameters.h"
#include "formats/vst2/VSTPlugin.h"
#include "formats/vst2/sdk/AEffectX.h"
#include "fuzz/AllocationWatch.h"
#include "fuzz/DelayedStereo.h"
#include "fuzz/FuzzBytes.h"

namespace {

using brisendel::Parameters;

constexpr VstInt32 kLatency = 4096;
// What separate outputs hold before a call that must not write them.
constexpr float kMarker = -7.0f;
constexpr unsigned kMaxFrames = DelayedStereo::MAX_FRAMES;
// The frames a run may process, counted at Quality 1, so that a run stays
// short at every Quality: three windows' worth, enough to see the delayed input
// come out after the latency. A window at Quality q costs about
// q + 2^(q-1) / 64 times one at Quality 1 (silent windows cost nothing).
constexpr double kWorkBudget = 3 * 2048.0;
// effClose ends a run only when its bytes add up to FuzzBytes::RARE_SUM (the
// first byte is free for that): the instance built after a close costs as
// much as a hundred runs, so closing stays about one run in 256.

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

long reports = 0;
void countReport(const char*) { ++reports; }

// The sizes of the records hosts pass for these opcodes (the VST 2.4 layouts on
// a 64-bit build). The plug-in answers them without reading or writing them, so
// any access past their end is a finding.
constexpr std::size_t kPinPropertiesSize = 128;
constexpr std::size_t kParameterPropertiesSize = 152;
constexpr std::size_t kMidiProgramNameSize = 80;
constexpr std::size_t kMidiProgramCategorySize = 72;
constexpr std::size_t kMidiKeyNameSize = 80;
constexpr std::size_t kPatchChunkInfoSize = 64;
constexpr std::size_t kEventsSize = 32;
constexpr std::size_t kVariableIoSize = 48;
constexpr std::size_t kRectSize = 8;

// What ptr points at for an opcode.
enum class Ptr {
  none,      // null
  textOut,   // a text buffer of limit + 1 bytes
  textIn,    // a NUL-terminated host text of any length
  record,    // a record of `size` bytes
  slot,      // a pointer the plug-in may set
  opaque,    // a window handle or vendor data: anything
  chunk,     // `value` bytes of chunk data
  speakers,  // speaker arrangements, ptr and value
};

struct OpcodeShape {
  Ptr ptr;
  std::size_t size;  // limit of a text, size of a record
};

OpcodeShape shapeOf(VstInt32 opcode) {
  switch (opcode) {
    case effSetProgramName:
    case effString2Parameter:
    case effCanDo:
      return {Ptr::textIn, 0};
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return {Ptr::textOut, kVstMaxProgNameLen};
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
      return {Ptr::textOut, kVstMaxParamStrLen};
    case effGetEffectName:
      return {Ptr::textOut, kVstMaxEffectNameLen};
    case effGetVendorString:
      return {Ptr::textOut, kVstMaxVendorStrLen};
    case effGetProductString:
    case effShellGetNextPlugin:
      return {Ptr::textOut, kVstMaxProductStrLen};
    case effGetErrorText:
      return {Ptr::textOut, 255};
    case effEditGetRect:
    case effGetChunk:
      return {Ptr::slot, 0};
    case effEditDraw:
      return {Ptr::record, kRectSize};
    case effEditOpen:
    case effVendorSpecific:
      return {Ptr::opaque, 0};
    case effSetChunk:
      return {Ptr::chunk, 0};
    case effProcessEvents:
      return {Ptr::record, kEventsSize};
    case effGetInputProperties:
    case effGetOutputProperties:
      return {Ptr::record, kPinPropertiesSize};
    case effGetParameterProperties:
      return {Ptr::record, kParameterPropertiesSize};
    case effProcessVarIo:
      return {Ptr::record, kVariableIoSize};
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram:
      return {Ptr::record, kMidiProgramNameSize};
    case effGetMidiProgramCategory:
      return {Ptr::record, kMidiProgramCategorySize};
    case effGetMidiKeyName:
      return {Ptr::record, kMidiKeyNameSize};
    case effBeginLoadBank:
    case effBeginLoadProgram:
      return {Ptr::record, kPatchChunkInfoSize};
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
      return {Ptr::speakers, 0};
    default:
      return {Ptr::none, 0};
  }
}

// Whether `text` ends within limit + 1 bytes.
bool terminated(const char* text, std::size_t limit) {
  return std::memchr(text, '\0', limit + 1) != nullptr;
}

// The text queries the plug-in answers whatever it returns.
bool answersText(VstInt32 opcode) {
  return opcode == effGetProgramName || opcode == effGetParamLabel ||
         opcode == effGetParamDisplay || opcode == effGetParamName;
}

// A buffer whose end is the end of a heap block, so the sanitizer catches a
// read or write past `count` elements.
template <typename T>
T* tail(std::vector<T>& storage, std::size_t count) {
  return storage.data() + storage.size() - count;
}

class Host {
 public:
  Host() {
    AbstractStereoAudioEffectX::setFailureReporter(&countReport);
    for (auto* v : {&_floatIn[0], &_floatIn[1], &_floatOut[0], &_floatOut[1]})
      v->assign(kMaxFrames, 0.0f);
    for (auto* v : {&_doubleIn[0], &_doubleIn[1], &_doubleOut[0], &_doubleOut[1]})
      v->assign(kMaxFrames, 0.0);
  }

  void run(const std::uint8_t* data, std::size_t size) {
    FuzzBytes in(data, size);
    const bool closeAtEnd = FuzzBytes::sum(data, size) == FuzzBytes::RARE_SUM;
    in.u8();
    start();
    for (int op = 0; op < 96 && !in.empty(); ++op) {
      switch (in.pick(8)) {
        case 0:
        case 1:
        case 2:
          dispatch(in);
          break;
        case 3: {
          const VstInt32 index = in.i32() % 8;
          const float value = in.f32();
          _effect->setParameter(_effect, index, value);
          if (Parameters::isIndex(index) && !std::isnan(value))
            _parameters[index] = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
          break;
        }
        case 4: {
          const VstInt32 index = in.i32();
          const float value = _effect->getParameter(_effect, index);
          FUZZ_CHECK(Parameters::isIndex(index) ? value == _parameters[index] : value == 0.0f);
          break;
        }
        case 5:
          process<float>(in, _floatIn, _floatOut);
          break;
        case 6:
          process<double>(in, _doubleIn, _doubleOut);
          break;
        case 7:
          lifecycle(in);
          break;
      }
      checkRecord();
    }
    if (closeAtEnd) {
      _effect->dispatcher(_effect, effClose, 0, 0, nullptr, 0.0f);
      _effect = nullptr;
    }
  }

 private:
  // Builds the instance, or brings the one left by the last run back to its
  // first state; nothing here allocates once the instance exists.
  void start() {
    if (_effect == nullptr) {
      // The factory the module's entry calls: the entry itself also defines
      // `main`, for old hosts, which would replace the fuzzer's own.
      AudioEffect* instance = createEffectInstance(hostCallback);
      FUZZ_CHECK(instance != nullptr);
      _effect = instance->getAeffect();
      FUZZ_CHECK(_effect->magic == kEffectMagic);
      _effect->dispatcher(_effect, effOpen, 0, 0, nullptr, 0.0f);
    } else {
      _effect->dispatcher(_effect, effMainsChanged, 0, 0, nullptr, 0.0f);
      // The history, unless the last run left it as reset left it.
      if (_processed) {
        static_cast<VSTPlugin*>(static_cast<AudioEffect*>(_effect->object))->effect().reset();
      }
      char name[] = "default";
      _effect->dispatcher(_effect, effSetProgramName, 0, 0, name, 0.0f);
      _effect->dispatcher(_effect, effSetProgram, 0, 0, nullptr, 0.0f);
      _effect->dispatcher(_effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
      _effect->dispatcher(_effect, effSetBlockSize, 0, 1024, nullptr, 0.0f);
    }
    for (int i = 0; i < Parameters::COUNT; ++i) {
      _parameters[i] = static_cast<float>(Parameters::TABLE[i].defaultNormalized());
      _effect->setParameter(_effect, i, _parameters[i]);
    }
    std::strcpy(_programName, "default");
    _program = 0;
    reports = 0;
    _work = 0.0;
    if (_processed) _signal.reset(step(Parameters::kWindow));
    _processed = false;
    checkRecord();
  }

  unsigned step(int index) const {
    return Parameters::TABLE[index].stepOfNormalized(_parameters[index]);
  }

  void checkRecord() {
    FUZZ_CHECK(_effect->magic == kEffectMagic);
    FUZZ_CHECK(_effect->initialDelay == kLatency);
    FUZZ_CHECK(_effect->numInputs == 2 && _effect->numOutputs == 2);
    FUZZ_CHECK(_effect->numParams == Parameters::COUNT && _effect->numPrograms == 1);
    FUZZ_CHECK(_effect->uniqueID == VSTPlugin::UNIQUE_ID);
    FUZZ_CHECK((_effect->flags & effFlagsCanReplacing) != 0 &&
               (_effect->flags & effFlagsCanDoubleReplacing) != 0);
    for (int i = 0; i < Parameters::COUNT; ++i)
      FUZZ_CHECK(_effect->getParameter(_effect, i) == _parameters[i]);
  }

  // ---- rate, size, mains --------------------------------------------------------

  void lifecycle(FuzzBytes& in) {
    switch (in.pick(4)) {
      case 0:
        _effect->dispatcher(_effect, effSetSampleRate, 0, 0, nullptr, in.f32());
        break;
      case 1:
        _effect->dispatcher(_effect, effSetBlockSize, 0, blockSize(in), nullptr, 0.0f);
        break;
      case 2:
        _effect->dispatcher(_effect, effMainsChanged, 0, in.i64(), nullptr, 0.0f);
        break;
      case 3:
        // A host's start-up, as most do it.
        _effect->dispatcher(_effect, effSetSampleRate, 0, 0, nullptr, in.f32());
        _effect->dispatcher(_effect, effSetBlockSize, 0, blockSize(in), nullptr, 0.0f);
        _effect->dispatcher(_effect, effMainsChanged, 0, 1, nullptr, 0.0f);
        break;
    }
  }

  static VstIntPtr blockSize(FuzzBytes& in) {
    switch (in.pick(4)) {
      case 0:
        return 1 << in.pick(18);
      case 1:
        return in.u16();
      default:
        return in.i64();
    }
  }

  // ---- the dispatcher -----------------------------------------------------------

  static VstInt32 opcodeOf(FuzzBytes& in) {
    const std::uint8_t b = in.u8();
    if (b < 0xD0) return b % 81;  // 0 .. 80
    static constexpr VstInt32 outside[] = {-1,
                                           81,
                                           82,
                                           99,
                                           128,
                                           255,
                                           256,
                                           0x7FFF,
                                           std::numeric_limits<VstInt32>::min(),
                                           std::numeric_limits<VstInt32>::max()};
    return outside[b % (sizeof(outside) / sizeof(outside[0]))];
  }

  void dispatch(FuzzBytes& in) {
    VstInt32 opcode = opcodeOf(in);
    // effClose ends the instance; a run asks for it through its bytes' sum instead.
    if (opcode == effClose) opcode = effOpen;
    const VstInt32 index = in.i32();
    VstIntPtr value = in.i64();
    const float opt = in.f32();
    const bool null = (in.u8() & 7) == 0;
    const OpcodeShape shape = shapeOf(opcode);

    std::vector<char> buffer;
    void* ptr = nullptr;
    void* slot = reinterpret_cast<void*>(std::uintptr_t{0x5EED});
    VstSpeakerArrangement arrangements[2] = {};
    char text[1] = {};
    switch (shape.ptr) {
      case Ptr::none:
        break;
      case Ptr::textOut:
        buffer.assign(shape.size + 1, '\x7F');
        ptr = buffer.data();
        break;
      case Ptr::textIn: {
        const std::size_t length = in.u8() % 96;
        buffer.assign(length + 1, '\0');
        for (std::size_t i = 0; i < length; ++i) {
          const char c = static_cast<char>(in.u8());
          buffer[i] = c != '\0' ? c : 'x';
        }
        ptr = buffer.data();
        break;
      }
      case Ptr::record:
        buffer.assign(shape.size, '\x7F');
        ptr = buffer.data();
        break;
      case Ptr::slot:
        ptr = &slot;
        break;
      case Ptr::opaque:
        ptr = text;
        break;
      case Ptr::chunk:
        value = in.u8();
        buffer.assign(static_cast<std::size_t>(value), '\x42');
        ptr = buffer.data();
        break;
      case Ptr::speakers:
        arrangements[0].numChannels = arrangements[1].numChannels = 2;
        value = reinterpret_cast<VstIntPtr>(opcode == effGetSpeakerArrangement
                                                ? static_cast<void*>(&slot)
                                                : static_cast<void*>(&arrangements[0]));
        ptr = opcode == effGetSpeakerArrangement ? static_cast<void*>(&slot)
                                                 : static_cast<void*>(&arrangements[1]);
        if (in.flag()) value = 0;
        break;
    }
    if (null) ptr = nullptr;

    const VstIntPtr result = _effect->dispatcher(_effect, opcode, index, value, ptr, opt);
    afterDispatch(opcode, index, value, ptr, shape, result);
  }

  void afterDispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     const OpcodeShape& shape, VstIntPtr result) {
    char* text = static_cast<char*>(ptr);
    // Every text the plug-in answers ends within its limit.
    if (shape.ptr == Ptr::textOut && text != nullptr && (result != 0 || answersText(opcode)))
      FUZZ_CHECK(terminated(text, shape.size));
    switch (opcode) {
      case effSetProgramName:
        if (text != nullptr) {
          std::strncpy(_programName, text, kVstMaxProgNameLen);
          _programName[kVstMaxProgNameLen] = '\0';
        }
        break;
      case effGetProgramName:
        if (text != nullptr) FUZZ_CHECK(std::strcmp(text, _programName) == 0);
        break;
      case effSetProgram:
        if (value < 1) _program = static_cast<VstInt32>(value);
        break;
      case effGetProgram:
        FUZZ_CHECK(result == _program);
        break;
      case effGetParamName:
        if (text != nullptr)
          FUZZ_CHECK(std::strcmp(text, BrisendelEffect::parameterName(index)) == 0);
        break;
      case effGetParamLabel:
        if (text != nullptr)
          FUZZ_CHECK(std::strcmp(text, BrisendelEffect::parameterLabel(index)) == 0);
        break;
      case effGetParamDisplay:
        if (text != nullptr) {
          char expected[Parameters::TEXT_CAPACITY] = {};
          if (Parameters::isIndex(index))
            Parameters::TABLE[index].displayText(step(index), expected, sizeof(expected));
          FUZZ_CHECK(std::strcmp(text, expected) == 0);
        }
        break;
      case effGetEffectName:
        FUZZ_CHECK(result == 1);
        if (text != nullptr) FUZZ_CHECK(std::strcmp(text, "Brisendel") == 0);
        break;
      case effGetVendorString:
        FUZZ_CHECK(result == 1);
        if (text != nullptr) FUZZ_CHECK(std::strcmp(text, "Orlask") == 0);
        break;
      case effGetProductString:
        FUZZ_CHECK(result == 1);
        if (text != nullptr) FUZZ_CHECK(std::strcmp(text, "Orlask Series") == 0);
        break;
      case effGetVstVersion:
        FUZZ_CHECK(result == 2400);
        break;
      case effCanDo:
      case effGetTailSize:
      case effGetChunk:
      case effSetChunk:
      case effGetPlugCategory:
        FUZZ_CHECK(result == 0);
        break;
      default:
        break;
    }
  }

  // ---- processing ---------------------------------------------------------------

  static VstInt32 framesOf(FuzzBytes& in) {
    switch (in.pick(8)) {
      case 0:
        return 0;
      case 1:
      case 2:
        return in.u8();
      case 3:
        return 1 << in.pick(17);  // 1 .. 65536
      case 4:
        return in.u16() % 8193;
      case 5:
      case 6:
        return static_cast<VstInt32>(in.u32() % (kMaxFrames + 1));
      default:
        return in.i32();
    }
  }

  // The host's channels, at the end of their storage, holding the signal (and
  // a marker in separate outputs).
  template <typename Sample>
  FUZZ_SAMPLE_LOOP void fillChannels(std::vector<Sample> (&inputs)[2],
                                     std::vector<Sample> (&outputs)[2], unsigned length,
                                     bool inPlace, Sample** inChannels, Sample** outChannels) {
    for (unsigned c = 0; c < 2; ++c) {
      inChannels[c] = tail(inputs[c], length);
      outChannels[c] = inPlace ? inChannels[c] : tail(outputs[c], length);
      if (!inPlace) std::fill(outChannels[c], outChannels[c] + length, kMarker);
    }
    _signal.copyTo(inChannels, length);
  }

  template <typename Sample>
  FUZZ_SAMPLE_LOOP static void checkUntouched(Sample* const* outputs, unsigned length) {
    for (unsigned c = 0; c < 2; ++c)
      for (unsigned i = 0; i < length; ++i) FUZZ_CHECK(outputs[c][i] == kMarker);
  }

  template <typename Sample>
  void process(FuzzBytes& in, std::vector<Sample> (&inputs)[2], std::vector<Sample> (&outputs)[2]) {
    VstInt32 frames = framesOf(in);
    if (frames > static_cast<VstInt32>(kMaxFrames)) frames %= kMaxFrames + 1;
    const bool inPlace = in.flag();
    const unsigned fault = in.pick(8) == 0 ? 1 + in.pick(5) : 0;

    // Within the run's budget of work.
    const unsigned quality = 1 + step(Parameters::kQuality);
    const double cost = quality + std::exp2(quality - 1.0) / 64.0;
    if (frames > 0) {
      const double affordable = std::floor((kWorkBudget - _work) / cost);
      if (affordable < frames) frames = affordable > 0.0 ? static_cast<VstInt32>(affordable) : 0;
      _work += cost * frames;
    }
    const unsigned length = frames > 0 ? static_cast<unsigned>(frames) : 0;
    const bool doublePrecision = sizeof(Sample) == sizeof(double);
    _signal.make(in, length, doublePrecision);

    Sample* inChannels[2];
    Sample* outChannels[2];
    fillChannels(inputs, outputs, length, inPlace, inChannels, outChannels);
    Sample** inList = inChannels;
    Sample** outList = outChannels;
    Sample* missing[2] = {inChannels[0], nullptr};
    switch (fault) {
      case 1:
        frames = -1 - static_cast<VstInt32>(in.u16());
        break;
      case 2:
        inList = nullptr;
        break;
      case 3:
        outList = nullptr;
        break;
      case 4:
        inList = missing;
        break;
      case 5:
        outList = missing;
        break;
    }

    const long before = reports;
    long allocations;
    {
      fuzz_alloc::Watch watch;
      if (doublePrecision) {
        _effect->processDoubleReplacing(_effect, reinterpret_cast<double**>(inList),
                                        reinterpret_cast<double**>(outList), frames);
      } else {
        _effect->processReplacing(_effect, reinterpret_cast<float**>(inList),
                                  reinterpret_cast<float**>(outList), frames);
      }
      allocations = watch.count();
    }
    FUZZ_CHECK(allocations == 0);

    if (frames < 0 || fault > 1) {
      // Refused before anything was read or written; a block of no frames is
      // no fault worth a report.
      FUZZ_CHECK(reports == before + (frames != 0 ? 1 : 0));
      if (!inPlace) checkUntouched(outChannels, length);
      return;
    }
    FUZZ_CHECK(reports == before);
    _processed = true;
    _signal.check(outChannels, length,
                  step(Parameters::kCenter) == 100 && step(Parameters::kSide) == 100,
                  step(Parameters::kWindow));
  }

  AEffect* _effect = nullptr;
  float _parameters[Parameters::COUNT] = {};
  char _programName[kVstMaxProgNameLen + 1] = {};
  VstInt32 _program = 0;
  double _work = 0.0;
  // Whether a processing call went through since the effect's last reset.
  bool _processed = true;

  DelayedStereo _signal;

  std::vector<float> _floatIn[2], _floatOut[2];
  std::vector<double> _doubleIn[2], _doubleOut[2];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Host* host = new Host();
  host->run(data, size);
  return 0;
}
