// Brisendel as an LV2 plug-in: translates the LV2 entry points into calls on
// the format-free BrisendelEffect. The bundle's Turtle files describe the same
// ports in the same order (PortIndex below); a host finds the plug-in there and
// loads this module only to run it.
//
// Threads, as LV2 defines them: instantiate, activate, deactivate and cleanup
// belong to the set-up class and never run beside run on the same instance;
// connect_port and run belong to the audio class. run reads the five control
// ports once at its start, hands changed values to the effect and processes;
// it never allocates, locks or blocks.
//
// The view (BrisendelUI.so) talks to the plug-in through two optional atom
// ports: it says on `control` when it opens and closes, and while one is open
// run measures the input and the output and sends the sums on `notify`, at most
// about 30 times a second. Without urid:map, or with the ports unconnected,
// nothing is measured and run does exactly what it does without a view.
//
// Nothing thrown leaves this file: every entry point catches. A failed
// instantiate returns null, a failed run leaves silence in the outputs.

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

#include "effect/BrisendelEffect.h"
#include "effect/Parameters.h"
#include "effect/StereoBlockFault.h"
#include "effect/StereoFieldMeter.h"
#include "formats/lv2/ViewMessages.h"

namespace {

constexpr const char* PLUGIN_URI = "urn:orlask:brisendel";

// Port indices, in the order the plug-in's Turtle file lists them. The control
// ports, one per parameter, follow the audio ports in the parameter table's
// order; the build writes their Turtle from the same table.
constexpr std::uint32_t FIRST_CONTROL = brisendel::Parameters::LV2_FIRST_CONTROL_PORT;
enum PortIndex : std::uint32_t {
  kInLeft = 0,
  kInRight,
  kOutLeft,
  kOutRight,
  kLatency = FIRST_CONTROL + brisendel::Parameters::COUNT,
  kControl,
  kNotify,
  NUM_PORTS
};
static_assert(kControl == brisendel::ViewMessages::CONTROL_PORT &&
                  kNotify == brisendel::ViewMessages::NOTIFY_PORT,
              "the view's atom ports are where the view sends and listens");
// At most this many meter messages a second.
constexpr double MESSAGES_PER_SECOND = 30.0;
static_assert(FIRST_CONTROL == kOutRight + 1, "the control ports follow the audio ports");
static_assert(kLatency == 9, "the latency port is port 9 in the Turtle file, for good");
static_assert(BrisendelEffect::NUM_PARAMS == brisendel::Parameters::COUNT,
              "one control port per parameter of the effect");

// One plug-in instance: the effect, the host's port buffers and, where the
// host maps URIs, what the view needs.
class BrisendelLv2 {
 public:
  BrisendelLv2(double sampleRate, const LV2_URID_Map* map)
      : _messages(map), _meter(std::make_unique<StereoFieldMeter>(sampleRate)) {
    if (!_messages.valid()) return;
    lv2_atom_forge_init(&_forge, const_cast<LV2_URID_Map*>(map));
    _sequence = map->map(map->handle, LV2_ATOM__Sequence);
    // The meter's own rate: a host's absurd rate is measured as some sane one.
    const double rate = _meter->getSampleRate();
    _interval = static_cast<std::uint32_t>(std::ceil(rate / MESSAGES_PER_SECOND));
    _meter->setInterval(_interval);
  }

  void connect(std::uint32_t port, void* data) {
    if (port < NUM_PORTS) _ports[port] = data;
  }

  void activate() {
    _effect.reset();
    // Without a view the meter is detached and idle, and opening one starts it
    // afresh: clearing its windows here would be work for nothing.
    if (_openViews > 0) _meter->reset();
  }

  void run(std::uint32_t frames) {
    if (auto* latency = port(kLatency)) *latency = static_cast<float>(BrisendelEffect::LATENCY);
    try {
      applyControls();
      readViewMessages();
      process(frames);
    } catch (...) {
      // The host gets silence rather than whatever the failed call left behind.
      silenceOutputs(frames);
    }
    try {
      writeViewMessages(frames);
    } catch (...) {
      // Forging throws nothing; the catch keeps the promise to the host.
    }
  }

 private:
  float* port(std::uint32_t index) const { return static_cast<float*>(_ports[index]); }

  void process(std::uint32_t frames) {
    const float* inputs[2] = {port(kInLeft), port(kInRight)};
    float* outputs[2] = {port(kOutLeft), port(kOutRight)};
    if (frames == 0) return;
    if (stereoBlockFault(inputs, outputs, frames) != StereoBlockFault::none) {
      silenceOutputs(frames);
      return;
    }
    _effect.process(inputs, outputs, frames);
  }

  // The view's messages on the control port: only ViewState objects count;
  // anything else, or anything that does not fit inside the sequence the host
  // describes, is passed over.
  void readViewMessages() {
    const auto* sequence = static_cast<const LV2_Atom_Sequence*>(_ports[kControl]);
    if (sequence == nullptr || !_messages.valid() || sequence->atom.type != _sequence) return;
    const std::uint32_t size = sequence->atom.size;
    const auto* body = reinterpret_cast<const std::uint8_t*>(&sequence->body);
    for (std::uint32_t at = sizeof(LV2_Atom_Sequence_Body);
         size >= sizeof(LV2_Atom_Event) && at <= size - sizeof(LV2_Atom_Event);) {
      const auto* event = reinterpret_cast<const LV2_Atom_Event*>(body + at);
      const std::uint32_t room = size - at - std::uint32_t(sizeof(LV2_Atom_Event));
      if (event->body.size > room) break;
      bool open = false;
      if (_messages.parseViewState(&event->body, sizeof(LV2_Atom) + event->body.size, open)) {
        setViewOpen(open);
      }
      at += std::uint32_t(sizeof(LV2_Atom_Event)) + ((event->body.size + 7u) & ~7u);
    }
  }

  // Views may come and go one after another: the plug-in measures while any is open.
  void setViewOpen(bool open) {
    const bool wasOpen = _openViews > 0;
    if (open) {
      ++_openViews;
    } else if (_openViews > 0) {
      --_openViews;
    }
    const bool isOpen = _openViews > 0;
    if (isOpen == wasOpen) return;
    if (isOpen) {
      _meter->reset();
      _due = 0;
    }
    _effect.setMeter(isOpen ? _meter.get() : nullptr);
  }

  // The notify port always gets a well-formed sequence: empty, or with one
  // meter message once an interval's worth of frames has been measured.
  void writeViewMessages(std::uint32_t frames) {
    auto* sequence = static_cast<LV2_Atom_Sequence*>(_ports[kNotify]);
    if (sequence == nullptr || !_messages.valid()) return;
    // The host says how much room the buffer has in the atom's size.
    const std::uint32_t capacity = sequence->atom.size;
    if (capacity < sizeof(LV2_Atom_Sequence)) {
      if (capacity >= sizeof(LV2_Atom)) sequence->atom.size = 0;
      return;
    }
    lv2_atom_forge_set_buffer(&_forge, reinterpret_cast<std::uint8_t*>(sequence), capacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&_forge, &frame, 0);
    // Frames owed a message: what an interval leaves over counts towards the
    // next, so that small blocks still give 30 messages a second, not fewer.
    if (_openViews > 0) _due += frames;
    if (_openViews > 0 && _due >= _interval && _meter->getFrames() > 0) {
      _due = std::min(_due - _interval, _interval);
      _meter->takeReading(_reading);
      toMessage(_reading, _message);
      // A buffer too small for the message gets none; the next one may fit.
      _messages.forgeMetersEvent(&_forge, frames > 0 ? frames - 1 : 0, _message);
    }
    lv2_atom_forge_pop(&_forge, &frame);
  }

  static void toMessage(const StereoFieldReading& reading, brisendel::ViewMessages::Meters& m) {
    // Every signal keeps |LR| <= sqrt(L² R²), and the view refuses sums that do
    // not. Rounded to float one by one, a channel next to silence can lose its
    // sum below float's range while the cross term keeps a value: the cross
    // term is held to what the rounded sums allow.
    auto sums = [](const StereoFieldReading::Sums& s) {
      const float left = float(s.left), right = float(s.right);
      const double bound = std::sqrt(double(left) * double(right));
      return brisendel::ViewMessages::Sums{left, right, float(std::clamp(s.cross, -bound, bound))};
    };
    m.sampleRate = reading.sampleRate;
    m.frames = reading.frames;
    for (int b = 0; b < StereoFieldReading::NUM_BANDS; ++b) {
      m.inputBands[std::size_t(b)] = sums(reading.inputBands[std::size_t(b)]);
      m.outputBands[std::size_t(b)] = sums(reading.outputBands[std::size_t(b)]);
    }
    m.inputTotal = sums(reading.input);
    m.outputTotal = sums(reading.output);
    m.points = reading.numPoints;
    std::copy(reading.points.begin(), reading.points.begin() + 2 * reading.numPoints,
              m.goniometer.begin());
  }

  // The effect rounds, clamps and ignores NaN; only values that moved since the
  // last run reach it, so a host's steady ports cost nothing per call. A NaN
  // never equals itself and so is passed on each time, and ignored each time.
  void applyControls() {
    for (std::uint32_t i = 0; i < BrisendelEffect::NUM_PARAMS; ++i) {
      const float* control = port(FIRST_CONTROL + i);
      if (!control) continue;
      const float value = *control;
      if (value == _lastControls[i]) continue;
      _lastControls[i] = value;
      _effect.setPlainValue(static_cast<int>(i), value);
    }
  }

  void silenceOutputs(std::uint32_t frames) {
    for (std::uint32_t index : {kOutLeft, kOutRight}) {
      if (float* output = port(index)) std::fill(output, output + frames, 0.0f);
    }
  }

  BrisendelEffect _effect;
  void* _ports[NUM_PORTS] = {};
  brisendel::ViewMessages _messages;
  std::unique_ptr<StereoFieldMeter> _meter;
  LV2_Atom_Forge _forge{};
  LV2_URID _sequence = 0;
  std::uint32_t _interval = 1;
  unsigned _openViews = 0;
  std::uint32_t _due = 0;
  // Kept here rather than on the audio thread's stack: a few kilobytes each.
  StereoFieldReading _reading;
  brisendel::ViewMessages::Meters _message;
  // NaN until the first run, so that every connected control is applied once.
  float _lastControls[BrisendelEffect::NUM_PARAMS] = {NAN, NAN, NAN, NAN, NAN};
};

BrisendelLv2* instanceOf(LV2_Handle handle) { return static_cast<BrisendelLv2*>(handle); }

// The effect does not depend on the sample rate: the window, hop and latency
// are counted in frames; only the view's measurement uses it. Every Quality and
// Window is prepared here, off the audio thread.
LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  try {
    const LV2_URID_Map* map = nullptr;
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
      if ((*f)->URI != nullptr && std::strcmp((*f)->URI, LV2_URID__map) == 0) {
        map = static_cast<const LV2_URID_Map*>((*f)->data);
      }
    }
    return new BrisendelLv2(sampleRate, map);
  } catch (...) {
    return nullptr;
  }
}

void connectPort(LV2_Handle instance, std::uint32_t port, void* data) {
  instanceOf(instance)->connect(port, data);
}

void activate(LV2_Handle instance) {
  try {
    instanceOf(instance)->activate();
  } catch (...) {
    // reset allocates nothing and has nothing to fail on; the catch keeps the
    // promise that no exception reaches the host.
  }
}

void run(LV2_Handle instance, std::uint32_t frames) { instanceOf(instance)->run(frames); }

// Nothing to release or stop: the effect keeps its buffers until cleanup.
void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) { delete instanceOf(instance); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor DESCRIPTOR = {PLUGIN_URI, instantiate, connectPort, activate,
                                   run,        deactivate,  cleanup,     extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index == 0 ? &DESCRIPTOR : nullptr;
}
