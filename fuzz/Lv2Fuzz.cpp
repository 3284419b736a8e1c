// Plays the fuzzer's bytes to Brisendel's LV2 plug-in as a host would: an
// instance made at any rate (0, negative, NaN, huge) with or without urid:map,
// ports connected, reconnected or left unconnected, control values of any
// float, run of any length, activate and deactivate in any order, and any
// bytes as atom messages on the `control` port, with a `notify` buffer of any
// capacity.
//
// After every call it checks what a host and the view rely on, and traps when
// it fails: the latency port says 4096; run allocates nothing; with all four
// audio ports connected the output is finite once the history allows it and
// the delayed input at Center and Side 100 % (DelayedStereo); with an audio
// port missing the connected outputs are silent; the notify port holds a
// well-formed sequence within its capacity, and every meter message in it is
// one the view accepts.
//
// Instances are made once per kind (with or without urid:map, at one of four
// rates) and brought back to their first state between runs; a run whose bytes
// ask for it through their sum makes an instance of its own at any rate and
// cleans it up.

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "effect/Parameters.h"
#include "formats/lv2/ViewMessages.h"
#include "fuzz/AllocationWatch.h"
#include "fuzz/DelayedStereo.h"
#include "fuzz/FuzzBytes.h"
#include "fuzz/UridMap.h"

using brisendel::Parameters;
using brisendel::ViewMessages;

namespace {

constexpr std::uint32_t kInLeft = 0, kInRight = 1, kOutLeft = 2, kOutRight = 3;
constexpr std::uint32_t kFirstControl = Parameters::LV2_FIRST_CONTROL_PORT;
constexpr std::uint32_t kLatency = kFirstControl + Parameters::COUNT;
constexpr std::uint32_t kControl = ViewMessages::CONTROL_PORT;
constexpr std::uint32_t kNotify = ViewMessages::NOTIFY_PORT;
constexpr std::uint32_t kNumPorts = kNotify + 1;
constexpr unsigned kMaxFrames = DelayedStereo::MAX_FRAMES;
// Two and a half windows' worth of Quality 1 per run: the delayed input comes
// out for the last 1024 frames. Less than the VST 2 target's three: a run's
// calls here take fewer bytes, so nearly every run spends all of it.
constexpr double kWorkBudget = 2.5 * 2048.0;
// A run makes an instance of its own when its bytes add up to
// FuzzBytes::RARE_SUM (its first byte then chooses nothing else): making one
// costs as much as a hundred runs, so it stays about one run in 256.
// Input up to this level gives meter sums and goniometer points the view
// takes as a signal.
constexpr double kMeteredLevel = 100.0;

// The instance and what the host knows of it.
struct Instance {
  LV2_Handle handle = nullptr;
  bool mapped = false;
  // Steps the controls last set (the effect keeps them between runs).
  unsigned steps[Parameters::COUNT] = {};
  // Views the control messages opened and did not close yet.
  unsigned openViews = 0;
  // Whether a run processed since the last activate, and whether anything
  // changed since the instance's first state.
  bool processed = false;
  bool touched = false;
};

class Host {
 public:
  Host() {
    _descriptor = lv2_descriptor(0);
    FUZZ_CHECK(_descriptor != nullptr && lv2_descriptor(1) == nullptr);
    _mapFeature = {LV2_URID__map, _uris.map()};
    _messages = std::make_unique<ViewMessages>(_uris.map());
    _sequenceType = _uris(LV2_ATOM__Sequence);
    for (auto* v : {&_audio[0], &_audio[1], &_audio[2], &_audio[3]}) v->assign(kMaxFrames, 0.0f);
  }

  void run(const std::uint8_t* data, std::size_t size) {
    FuzzBytes in(data, size);
    const std::uint8_t header = in.u8();
    Instance fresh;
    Instance* instance;
    if (FuzzBytes::sum(data, size) == FuzzBytes::RARE_SUM) {
      fresh = instantiate(in.f64(), in.pick(4));
      if (fresh.handle == nullptr) return;
      instance = &fresh;
    } else {
      instance = &pooled(header & 7);
    }
    _instance = instance;
    startRun();

    for (int op = 0; op < 64 && !in.empty(); ++op) {
      switch (in.pick(8)) {
        case 0:
          connect(in);
          break;
        case 1:
        case 2:
          setControl(in);
          break;
        case 3:
        case 4:
          runOnce(in);
          break;
        case 5:
          _descriptor->activate(_instance->handle);
          afterActivate();
          break;
        case 6:
          _descriptor->deactivate(_instance->handle);
          break;
        case 7:
          makeMessages(in);
          break;
      }
    }
    if (instance == &fresh) {
      _descriptor->cleanup(fresh.handle);
    }
    _instance = nullptr;
  }

 private:
  // ---- instances ----------------------------------------------------------------

  // features: 0 none (null list), 1 an empty list, 2 urid:map, 3 urid:map
  // without its data and a feature without a URI.
  Instance instantiate(double rate, unsigned features) {
    static const LV2_Feature noUri = {nullptr, nullptr};
    static const LV2_Feature mapWithoutData = {LV2_URID__map, nullptr};
    const LV2_Feature* none[] = {nullptr};
    const LV2_Feature* mapped[] = {&_mapFeature, nullptr};
    const LV2_Feature* broken[] = {&noUri, &mapWithoutData, nullptr};
    const LV2_Feature* const* lists[] = {nullptr, none, mapped, broken};
    Instance instance;
    instance.handle = _descriptor->instantiate(_descriptor, rate, "", lists[features]);
    FUZZ_CHECK(instance.handle != nullptr);
    instance.mapped = features == 2;
    for (int i = 0; i < Parameters::COUNT; ++i)
      instance.steps[i] = Parameters::TABLE[i].stepOfPlain(Parameters::TABLE[i].defaultValue);
    _descriptor->activate(instance.handle);
    return instance;
  }

  Instance& pooled(unsigned kind) {
    static constexpr double rates[] = {44100.0, 0.0, std::numeric_limits<double>::quiet_NaN(),
                                       -1e300};
    Instance& instance = _pool[kind];
    if (instance.handle == nullptr) instance = instantiate(rates[kind >> 1], (kind & 1) ? 2 : 0);
    return instance;
  }

  // Brings a pooled instance back to its first state: default controls, every
  // view closed, a fresh history; and the host's ports to theirs.
  void startRun() {
    Instance& instance = *_instance;
    if (instance.touched) {
      for (std::uint32_t i = 0; i < Parameters::COUNT; ++i) {
        _controls[i] = static_cast<float>(Parameters::TABLE[i].defaultValue);
        _descriptor->connect_port(instance.handle, kFirstControl + i, &_controls[i]);
        instance.steps[i] = Parameters::TABLE[i].stepOfPlain(_controls[i]);
      }
      _messageBytes.clear();
      _messageType = 0;
      beginSequence();
      if (instance.mapped) {
        for (unsigned v = 0; v < instance.openViews; ++v) appendViewState(false);
      }
      connectMessages();
      for (std::uint32_t p : {kInLeft, kInRight, kOutLeft, kOutRight, kLatency, kNotify})
        _descriptor->connect_port(instance.handle, p, nullptr);
      _descriptor->run(instance.handle, 0);
      instance.openViews = 0;
      instance.processed = true;
    }
    if (instance.processed) {
      _descriptor->activate(instance.handle);
      instance.processed = false;
    }
    instance.touched = false;
    _signal.reset(instance.steps[Parameters::kWindow]);

    // Every port connected, as most hosts do before the first run.
    for (std::uint32_t i = 0; i < Parameters::COUNT; ++i) {
      _controls[i] = static_cast<float>(Parameters::TABLE[i].defaultValue);
      _controlsConnected[i] = true;
      _descriptor->connect_port(instance.handle, kFirstControl + i, &_controls[i]);
    }
    for (bool& connected : _audioConnected) connected = true;
    _inPlace = false;
    _latency = -1.0f;
    _latencyConnected = true;
    _descriptor->connect_port(instance.handle, kLatency, &_latency);
    _messageBytes.clear();
    _messageType = 0;
    connectMessages();
    _notifyCapacity = 4096;
    _work = 0.0;
  }

  void afterActivate() {
    _instance->processed = false;
    _signal.reset(_instance->steps[Parameters::kWindow]);
  }

  // ---- ports --------------------------------------------------------------------

  void connect(FuzzBytes& in) {
    _instance->touched = true;
    const std::uint32_t port = in.pick(kNumPorts + 2);  // the last two do not exist
    const bool null = in.flag();
    if (port <= kOutRight) {
      // Audio ports are (re)connected before each run, at the end of their buffers.
      _audioConnected[port] = !null;
      if (port >= kOutLeft) _inPlace = in.flag();
      return;
    }
    if (port == kControl) {
      if (null) {
        _descriptor->connect_port(_instance->handle, kControl, nullptr);
        _controlConnected = false;
      } else {
        connectMessages();
      }
      return;
    }
    if (port == kNotify) {
      static constexpr std::uint32_t capacities[] = {8,    12,   16,   24,   32,   100,
                                                     1024, 1500, 2047, 2048, 4096, 65536};
      _notifyCapacity = null ? 0 : capacities[in.pick(12)];
      return;
    }
    if (port == kLatency) {
      _latency = -1.0f;
      _latencyConnected = !null;
      _descriptor->connect_port(_instance->handle, kLatency, null ? nullptr : &_latency);
      return;
    }
    if (port >= kFirstControl && port < kLatency) {
      const std::uint32_t index = port - kFirstControl;
      _controlsConnected[index] = !null;
      _descriptor->connect_port(_instance->handle, port, null ? nullptr : &_controls[index]);
      return;
    }
    // A port the plug-in does not have.
    _descriptor->connect_port(_instance->handle, port, null ? nullptr : &_spare);
  }

  // A control value as hosts send them: any float, a step exactly, the edge
  // between two steps, or a fraction of the range.
  void setControl(FuzzBytes& in) {
    _instance->touched = true;
    const unsigned index = in.pick(Parameters::COUNT);
    const Parameters::Info& p = Parameters::TABLE[index];
    float value = 0.0f;
    switch (in.pick(4)) {
      case 0:
        value = in.f32();
        break;
      case 1:
        value = static_cast<float>(p.plainOfStep(in.u8() % p.stepCount()));
        break;
      case 2:
        value = static_cast<float>(p.plainOfStep(in.u8() % p.stepCount()) + p.step / 2);
        if (in.flag()) value = std::nextafter(value, -1e30f);
        break;
      case 3:
        value = static_cast<float>(p.minimum + in.f32() * (p.maximum - p.minimum));
        break;
    }
    _controls[index] = value;
  }

  // ---- atom messages ----------------------------------------------------------

  void appendBytes(const void* bytes, std::size_t size) {
    const auto* b = static_cast<const std::uint8_t*>(bytes);
    _messageBytes.insert(_messageBytes.end(), b, b + size);
  }

  // The sequence body's header: no time unit.
  void beginSequence() {
    const LV2_Atom_Sequence_Body body{0, 0};
    appendBytes(&body, sizeof(body));
  }

  // One event holding a ViewState object, padded to 8 bytes.
  void appendViewState(bool open) {
    std::uint8_t object[ViewMessages::VIEW_STATE_SIZE];
    const std::uint32_t size = _messages->writeViewState(object, sizeof(object), open);
    FUZZ_CHECK(size == sizeof(object));
    const std::int64_t time = 0;
    appendBytes(&time, sizeof(time));
    appendBytes(object, size);
  }

  // The control port's sequence for the following runs: events holding view
  // states, objects of any bytes, or any bytes at all after the sequence header.
  void makeMessages(FuzzBytes& in) {
    _instance->touched = true;
    _messageBytes.clear();
    _messageType = in.pick(8) == 0 ? in.u32() : _sequenceType;
    const unsigned events = in.pick(6);
    if (in.pick(4) == 0) {
      // Raw bytes as the sequence's body.
      std::uint8_t raw[256];
      const std::size_t n = in.bytes(raw, in.u8());
      appendBytes(raw, n);
    } else {
      beginSequence();
      for (unsigned e = 0; e < events; ++e) {
        if (in.pick(3) != 0 && _instance->mapped) {
          appendViewState(in.flag());
        } else {
          // An event of any bytes, its declared size honest or not.
          const std::int64_t time = in.i64();
          std::uint8_t body[96];
          const std::size_t n = in.bytes(body, in.u8() % sizeof(body));
          appendBytes(&time, sizeof(time));
          appendBytes(body, n);
        }
      }
    }
    connectMessages();
  }

  // The control port's buffer: the sequence header and exactly the body bytes.
  void connectMessages() {
    const std::uint32_t body = static_cast<std::uint32_t>(_messageBytes.size());
    _controlBuffer.assign(sizeof(LV2_Atom) + body, 0);
    LV2_Atom header{body, _messageType != 0 ? _messageType : _sequenceType};
    std::memcpy(_controlBuffer.data(), &header, sizeof(header));
    if (body > 0) std::memcpy(_controlBuffer.data() + sizeof(header), _messageBytes.data(), body);
    _descriptor->connect_port(_instance->handle, kControl, _controlBuffer.data());
    _controlConnected = true;
  }

  // How many views the control port's sequence opens (+) or closes (-), read
  // as the plug-in must read it.
  void applyViewStates() {
    if (!_controlConnected || !_instance->mapped) return;
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(_controlBuffer.data());
    if (sequence->atom.type != _sequenceType) return;
    const std::uint32_t size = sequence->atom.size;
    const auto* body = reinterpret_cast<const std::uint8_t*>(&sequence->body);
    for (std::uint32_t at = sizeof(LV2_Atom_Sequence_Body);
         size >= sizeof(LV2_Atom_Event) && at <= size - sizeof(LV2_Atom_Event);) {
      LV2_Atom_Event event;
      std::memcpy(&event, body + at, sizeof(event));
      if (event.body.size > size - at - sizeof(LV2_Atom_Event)) break;
      bool open = false;
      if (_messages->parseViewState(body + at + sizeof(std::int64_t),
                                    sizeof(LV2_Atom) + event.body.size, open)) {
        if (open) {
          ++_instance->openViews;
        } else if (_instance->openViews > 0) {
          --_instance->openViews;
        }
      }
      at += std::uint32_t(sizeof(LV2_Atom_Event)) + ((event.body.size + 7u) & ~7u);
    }
  }

  // ---- run ----------------------------------------------------------------------

  static std::uint32_t framesOf(FuzzBytes& in) {
    switch (in.pick(8)) {
      case 0:
        return 0;
      case 1:
      case 2:
        return in.u8();
      case 3:
        return 1u << in.pick(17);
      case 4:
        return in.u16() % 8193;
      case 5:
      case 6:
        return in.u32() % (kMaxFrames + 1);
      default:
        return in.u32();
    }
  }

  void runOnce(FuzzBytes& in) {
    Instance& instance = *_instance;
    instance.touched = true;
    std::uint32_t frames = framesOf(in);
    const bool allAudio =
        _audioConnected[0] && _audioConnected[1] && _audioConnected[2] && _audioConnected[3];
    const bool anyAudio =
        _audioConnected[0] || _audioConnected[1] || _audioConnected[2] || _audioConnected[3];
    // The host's buffers hold `frames` frames; without any, any length goes.
    if (anyAudio && frames > kMaxFrames) frames %= kMaxFrames + 1;
    if (anyAudio && frames > 0) {
      // A block with a port missing is only silenced and checked: it counts as
      // frames at Quality 1, so that long ones do not go unbounded.
      const unsigned quality = allAudio ? 1 + instance.steps[Parameters::kQuality] : 1;
      const double cost = quality + std::exp2(quality - 1.0) / 64.0;
      const double affordable = std::floor((kWorkBudget - _work) / cost);
      if (affordable < frames)
        frames = affordable > 0.0 ? static_cast<std::uint32_t>(affordable) : 0;
      _work += cost * frames;
    }
    const unsigned length = anyAudio ? frames : 0;
    _signal.make(in, length, false);

    // The audio ports at the end of their buffers; outputs in place or not.
    float* channels[4] = {};
    for (std::uint32_t p = 0; p < 4; ++p) {
      channels[p] = _audioConnected[p] ? _audio[p].data() + kMaxFrames - length : nullptr;
    }
    if (_inPlace && _audioConnected[kOutLeft] && _audioConnected[kOutRight] &&
        _audioConnected[kInLeft] && _audioConnected[kInRight]) {
      channels[kOutLeft] = channels[kInLeft];
      channels[kOutRight] = channels[kInRight];
    }
    fill(channels, length);
    for (std::uint32_t p = 0; p < 4; ++p)
      _descriptor->connect_port(instance.handle, p, channels[p]);

    // The notify buffer: exactly its capacity, which the atom's size announces.
    _notify.assign(_notifyCapacity, 0xEE);
    if (_notifyCapacity >= sizeof(LV2_Atom)) {
      LV2_Atom header{_notifyCapacity, 0};
      std::memcpy(_notify.data(), &header, sizeof(header));
    }
    _descriptor->connect_port(instance.handle, kNotify,
                              _notifyCapacity > 0 ? _notify.data() : nullptr);

    // What the controls do: NaN is ignored, anything else selects its step.
    for (std::uint32_t i = 0; i < Parameters::COUNT; ++i) {
      if (_controlsConnected[i] && !std::isnan(_controls[i]))
        instance.steps[i] = Parameters::TABLE[i].stepOfPlain(_controls[i]);
    }
    applyViewStates();

    long allocations;
    {
      fuzz_alloc::Watch watch;
      _descriptor->run(instance.handle, frames);
      allocations = watch.count();
    }
    FUZZ_CHECK(allocations == 0);
    if (_latencyConnected) FUZZ_CHECK(_latency == 4096.0f);

    if (allAudio && frames > 0) {
      instance.processed = true;
      const float* outputs[2] = {channels[kOutLeft], channels[kOutRight]};
      _signal.check(
          outputs, length,
          instance.steps[Parameters::kCenter] == 100 && instance.steps[Parameters::kSide] == 100,
          instance.steps[Parameters::kWindow]);
    } else if (length > 0) {
      // A block the plug-in cannot process leaves silence in the outputs it has.
      for (std::uint32_t p : {kOutLeft, kOutRight}) {
        if (channels[p] != nullptr) checkSilent(channels[p], length);
      }
    }
    checkNotify();
  }

  FUZZ_SAMPLE_LOOP static void checkSilent(const float* channel, unsigned length) {
    for (unsigned i = 0; i < length; ++i) FUZZ_CHECK(channel[i] == 0.0f);
  }

  FUZZ_SAMPLE_LOOP void fill(float* const* channels, unsigned length) {
    for (std::uint32_t p = 0; p < 4; ++p) {
      if (channels[p] == nullptr) continue;
      if (p < 2) {
        const std::vector<double>& source = _signal.source(p);
        for (unsigned i = 0; i < length; ++i) channels[p][i] = static_cast<float>(source[i]);
      } else if (channels[p] != channels[p - 2]) {
        std::fill(channels[p], channels[p] + length, -7.0f);
      }
    }
  }

  // The notify port: a sequence within the capacity whose meter messages the
  // view accepts; a buffer too small for any sequence is left empty.
  void checkNotify() {
    if (_notifyCapacity < sizeof(LV2_Atom) || !_instance->mapped) return;
    LV2_Atom header;
    std::memcpy(&header, _notify.data(), sizeof(header));
    if (_notifyCapacity < sizeof(LV2_Atom_Sequence)) {
      FUZZ_CHECK(header.size == 0);
      return;
    }
    FUZZ_CHECK(header.type == _sequenceType);
    FUZZ_CHECK(header.size >= sizeof(LV2_Atom_Sequence_Body));
    FUZZ_CHECK(header.size <= _notifyCapacity - sizeof(LV2_Atom));
    const std::uint8_t* body = _notify.data() + sizeof(LV2_Atom);
    const bool metered = _signal.quietSinceReset(kMeteredLevel);
    unsigned events = 0;
    for (std::uint32_t at = sizeof(LV2_Atom_Sequence_Body); at < header.size;) {
      FUZZ_CHECK(header.size - at >= sizeof(LV2_Atom_Event));
      LV2_Atom_Event event;
      std::memcpy(&event, body + at, sizeof(event));
      FUZZ_CHECK(event.body.size <= header.size - at - sizeof(LV2_Atom_Event));
      if (metered) {
        ViewMessages::Meters meters;
        FUZZ_CHECK(_messages->parseMeters(body + at + sizeof(std::int64_t),
                                          sizeof(LV2_Atom) + event.body.size, meters));
      }
      ++events;
      at += std::uint32_t(sizeof(LV2_Atom_Event)) + ((event.body.size + 7u) & ~7u);
    }
    FUZZ_CHECK(events <= 1);
    if (events > 0) FUZZ_CHECK(_instance->openViews > 0);
  }

  const LV2_Descriptor* _descriptor = nullptr;
  UridMap _uris;
  LV2_Feature _mapFeature{};
  std::unique_ptr<ViewMessages> _messages;
  LV2_URID _sequenceType = 0;
  Instance _pool[8];
  Instance* _instance = nullptr;

  float _controls[Parameters::COUNT] = {};
  bool _controlsConnected[Parameters::COUNT] = {};
  float _spare = 0.0f;
  float _latency = 0.0f;
  bool _latencyConnected = false;
  std::vector<float> _audio[4];
  bool _audioConnected[4] = {};
  bool _inPlace = false;
  std::vector<std::uint8_t> _messageBytes;
  LV2_URID _messageType = 0;
  std::vector<std::uint8_t> _controlBuffer;
  bool _controlConnected = false;
  std::uint32_t _notifyCapacity = 0;
  std::vector<std::uint8_t> _notify;
  double _work = 0.0;
  DelayedStereo _signal;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Host* host = new Host();
  host->run(data, size);
  return 0;
}
