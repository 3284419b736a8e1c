#pragma once

// The messages between Brisendel's LV2 plug-in and its view, as atoms:
//
//   view -> plug-in, on the atom input port "control" (CONTROL_PORT):
//     [] a brisendel:ViewState ; brisendel:open true|false .
//   plug-in -> view, on the atom output port "notify" (NOTIFY_PORT):
//     [] a brisendel:Meters ;
//        brisendel:sampleRate   atom:Double ;
//        brisendel:frames       atom:Long      (frames the sums cover, > 0) ;
//        brisendel:inputBands   atom:Vector of 93 atom:Float ;
//        brisendel:outputBands  atom:Vector of 93 atom:Float ;
//        brisendel:inputTotal   atom:Vector of 3 atom:Float ;
//        brisendel:outputTotal  atom:Vector of 3 atom:Float ;
//        brisendel:goniometer   atom:Vector of 2 n atom:Float, n <= MAX_POINTS .
//
// Each band vector holds (L², R², LR) per third-octave band, lowest band first:
// the sums over `frames` of the squared left and right signal and of their
// product in that band. The totals hold the same sums over the whole band. The
// goniometer holds the output's (side, mid) pairs, side = (L - R) / 2 and
// mid = (L + R) / 2, already thinned out to what the view draws.
//
// Both sides hold one ViewMessages, made off the audio thread. Forging writes
// into the caller's buffer and never allocates; parsing reads only inside the
// bytes it is given, accepts nothing but the exact layout above and rejects any
// message with a missing, repeated, unknown or mistyped property, a wrong count
// or a value that no signal produces.

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace brisendel {

class ViewMessages {
 public:
  // The plug-in's atom ports, after the audio, control and latency ports.
  static constexpr std::uint32_t CONTROL_PORT = 10;
  static constexpr std::uint32_t NOTIFY_PORT = 11;

  // Third-octave bands: centre of band i is 1 kHz * 2^((i + LOWEST_BAND) / 3).
  static constexpr int BAND_COUNT = 31;
  static constexpr int LOWEST_BAND = -17;
  static constexpr std::uint32_t MAX_POINTS = 256;

  static constexpr const char* PREFIX = "urn:orlask:brisendel#";

  static double bandCentre(int band) { return 1000.0 * std::exp2((band + LOWEST_BAND) / 3.0); }

  // Power sums of one stereo pair: L², R² and LR.
  struct Sums {
    float ll = 0.0f;
    float rr = 0.0f;
    float lr = 0.0f;
  };

  struct Meters {
    double sampleRate = 0.0;
    std::int64_t frames = 0;
    std::array<Sums, BAND_COUNT> inputBands{};
    std::array<Sums, BAND_COUNT> outputBands{};
    Sums inputTotal;
    Sums outputTotal;
    std::uint32_t points = 0;
    // (side, mid) of point i at 2 i and 2 i + 1.
    std::array<float, 2 * MAX_POINTS> goniometer{};
  };

  // Maps every URI the messages use; valid() is false when the host's map
  // returned 0 for any of them.
  explicit ViewMessages(const LV2_URID_Map* map) {
    if (map == nullptr || map->map == nullptr) return;
    auto uri = [map](const char* text) { return map->map(map->handle, text); };
    auto own = [&uri](const char* name) {
      char text[96];
      std::strcpy(text, PREFIX);
      std::strcat(text, name);
      return uri(text);
    };
    _atomObject = uri(LV2_ATOM__Object);
    _atomBlank = uri(LV2_ATOM__Blank);
    _atomVector = uri(LV2_ATOM__Vector);
    _atomFloat = uri(LV2_ATOM__Float);
    _atomDouble = uri(LV2_ATOM__Double);
    _atomLong = uri(LV2_ATOM__Long);
    _atomBool = uri(LV2_ATOM__Bool);
    _eventTransfer = uri(LV2_ATOM__eventTransfer);
    _viewState = own("ViewState");
    _open = own("open");
    _meters = own("Meters");
    _keys[kSampleRate] = own("sampleRate");
    _keys[kFrames] = own("frames");
    _keys[kInputBands] = own("inputBands");
    _keys[kOutputBands] = own("outputBands");
    _keys[kInputTotal] = own("inputTotal");
    _keys[kOutputTotal] = own("outputTotal");
    _keys[kGoniometer] = own("goniometer");
    _valid = _atomObject && _atomBlank && _atomVector && _atomFloat && _atomDouble && _atomLong &&
             _atomBool && _eventTransfer && _viewState && _open && _meters;
    for (LV2_URID key : _keys) _valid = _valid && key != 0;
  }

  bool valid() const { return _valid; }
  // The format of write_function and port_event calls that carry an atom.
  LV2_URID eventTransfer() const { return _eventTransfer; }

  // Bytes one Meters event (frame time and object) takes in a sequence.
  static std::uint32_t metersEventSize(std::uint32_t points) {
    return 8 + 16 + 2 * 24 + 2 * vectorPropertySize(3 * BAND_COUNT) + 2 * vectorPropertySize(3) +
           vectorPropertySize(2 * points);
  }
  // Bytes one ViewState object takes.
  static constexpr std::uint32_t VIEW_STATE_SIZE = 16 + 24;

  // Appends one Meters event at `frameTime` to the sequence the forge is
  // writing into its buffer. When the rest of the buffer cannot hold all of
  // it, writes nothing and returns false; so does a forge with a sink instead
  // of a buffer, or meters with more than MAX_POINTS points.
  bool forgeMetersEvent(LV2_Atom_Forge* forge, std::int64_t frameTime, const Meters& m) const {
    if (!_valid || forge == nullptr || forge->buf == nullptr || m.points > MAX_POINTS) return false;
    if (forge->offset > forge->size || forge->size - forge->offset < metersEventSize(m.points) ||
        !forge->stack)
      return false;
    lv2_atom_forge_frame_time(forge, frameTime);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_object(forge, &frame, 0, _meters);
    lv2_atom_forge_key(forge, _keys[kSampleRate]);
    lv2_atom_forge_double(forge, m.sampleRate);
    lv2_atom_forge_key(forge, _keys[kFrames]);
    lv2_atom_forge_long(forge, m.frames);
    forgeSums(forge, _keys[kInputBands], m.inputBands.data(), BAND_COUNT);
    forgeSums(forge, _keys[kOutputBands], m.outputBands.data(), BAND_COUNT);
    forgeSums(forge, _keys[kInputTotal], &m.inputTotal, 1);
    forgeSums(forge, _keys[kOutputTotal], &m.outputTotal, 1);
    lv2_atom_forge_key(forge, _keys[kGoniometer]);
    lv2_atom_forge_vector(forge, sizeof(float), _atomFloat, 2 * m.points, m.goniometer.data());
    lv2_atom_forge_pop(forge, &frame);
    return true;
  }

  // Writes one ViewState object at the start of `buffer`; returns the bytes
  // written (VIEW_STATE_SIZE), or 0 when the buffer is too small.
  std::uint32_t writeViewState(void* buffer, std::uint32_t capacity, bool open) const {
    if (!_valid || buffer == nullptr || capacity < VIEW_STATE_SIZE) return 0;
    LV2_Atom_Forge forge;
    initForge(forge);
    lv2_atom_forge_set_buffer(&forge, static_cast<std::uint8_t*>(buffer), capacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_object(&forge, &frame, 0, _viewState);
    lv2_atom_forge_key(&forge, _open);
    lv2_atom_forge_bool(&forge, open);
    lv2_atom_forge_pop(&forge, &frame);
    return VIEW_STATE_SIZE;
  }

  // Reads a ViewState atom that starts at `data` within `size` bytes.
  bool parseViewState(const void* data, std::size_t size, bool& open) const {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t end = 0;
    if (!objectOf(bytes, size, _viewState, end)) return false;
    bool seen = false, value = false;
    for (std::uint32_t at = 16; at < end;) {
      Property p;
      if (!propertyAt(bytes, at, end, p) || p.key != _open || seen || p.type != _atomBool ||
          p.size != 4)
        return false;
      const std::int32_t flag = read<std::int32_t>(bytes + p.value);
      if (flag != 0 && flag != 1) return false;
      seen = true;
      value = flag != 0;
    }
    if (!seen) return false;
    open = value;
    return true;
  }

  // Reads a Meters atom that starts at `data` within `size` bytes into `out`.
  // On false `out` is left as it was.
  bool parseMeters(const void* data, std::size_t size, Meters& out) const {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t end = 0;
    if (!objectOf(bytes, size, _meters, end)) return false;
    Meters m;
    bool seen[kKeyCount] = {};
    for (std::uint32_t at = 16; at < end;) {
      Property p;
      if (!propertyAt(bytes, at, end, p)) return false;
      int which = 0;
      while (which < kKeyCount && _keys[which] != p.key) ++which;
      if (which == kKeyCount || seen[which]) return false;
      seen[which] = true;
      switch (which) {
        case kSampleRate:
          if (p.type != _atomDouble || p.size != 8) return false;
          m.sampleRate = read<double>(bytes + p.value);
          break;
        case kFrames:
          if (p.type != _atomLong || p.size != 8) return false;
          m.frames = read<std::int64_t>(bytes + p.value);
          break;
        case kInputBands:
        case kOutputBands:
          if (!readSums(bytes, p, BAND_COUNT,
                        (which == kInputBands ? m.inputBands : m.outputBands).data()))
            return false;
          break;
        case kInputTotal:
        case kOutputTotal:
          if (!readSums(bytes, p, 1, which == kInputTotal ? &m.inputTotal : &m.outputTotal))
            return false;
          break;
        case kGoniometer: {
          std::uint32_t count = 0;
          if (!floatVector(bytes, p, count) || count % 2 != 0 || count > 2 * MAX_POINTS)
            return false;
          for (std::uint32_t i = 0; i < count; ++i) {
            const float v = read<float>(bytes + p.value + 8 + 4 * i);
            if (!(std::fabs(v) <= MAX_SAMPLE)) return false;
            m.goniometer[i] = v;
          }
          m.points = count / 2;
          break;
        }
      }
    }
    for (bool s : seen)
      if (!s) return false;
    if (!(m.sampleRate >= 1.0 && m.sampleRate <= 1e7) || m.frames < 1 ||
        m.frames > (std::int64_t{1} << 32))
      return false;
    out = m;
    return true;
  }

 private:
  enum Key {
    kSampleRate,
    kFrames,
    kInputBands,
    kOutputBands,
    kInputTotal,
    kOutputTotal,
    kGoniometer,
    kKeyCount
  };

  // Beyond 60 dB over full scale no sample is a signal any more.
  static constexpr float MAX_SAMPLE = 1000.0f;

  struct Property {
    LV2_URID key;
    std::uint32_t size;   // of the value's body
    LV2_URID type;        // of the value
    std::uint32_t value;  // offset of the value's body
  };

  template <typename T>
  static T read(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
  }

  static std::uint32_t pad8(std::uint32_t n) { return (n + 7u) & ~7u; }
  static std::uint32_t vectorPropertySize(std::uint32_t floats) {
    return 8 + 16 + pad8(4 * floats);
  }

  void initForge(LV2_Atom_Forge& forge) const {
    // lv2_atom_forge_init wants the map itself; these are the types written here.
    std::memset(&forge, 0, sizeof forge);
    forge.Bool = _atomBool;
    forge.Double = _atomDouble;
    forge.Float = _atomFloat;
    forge.Long = _atomLong;
    forge.Object = _atomObject;
    forge.Vector = _atomVector;
  }

  void forgeSums(LV2_Atom_Forge* forge, LV2_URID key, const Sums* sums, std::uint32_t n) const {
    static_assert(sizeof(Sums) == 3 * sizeof(float), "sums are three packed floats");
    lv2_atom_forge_key(forge, key);
    lv2_atom_forge_vector(forge, sizeof(float), _atomFloat, 3 * n, sums);
  }

  // An object atom (Object or Blank) of type `otype` filling at most `size`
  // bytes; `end` becomes the offset just past its body.
  bool objectOf(const std::uint8_t* bytes, std::size_t size, LV2_URID otype,
                std::uint32_t& end) const {
    if (!_valid || bytes == nullptr || size < 16) return false;
    const auto atomSize = read<std::uint32_t>(bytes);
    const auto atomType = read<std::uint32_t>(bytes + 4);
    if (atomType != _atomObject && atomType != _atomBlank) return false;
    // Far beyond any real message; keeps every offset below clear of overflow.
    if (atomSize < 8 || atomSize > size - 8 || atomSize > (1u << 24)) return false;
    if (read<std::uint32_t>(bytes + 12) != otype) return false;
    end = 8 + atomSize;
    return true;
  }

  // The property at `at` (advanced past it and its padding) within `end`.
  static bool propertyAt(const std::uint8_t* bytes, std::uint32_t& at, std::uint32_t end,
                         Property& p) {
    if (end - at < 16) return false;
    p.key = read<std::uint32_t>(bytes + at);
    const auto context = read<std::uint32_t>(bytes + at + 4);
    p.size = read<std::uint32_t>(bytes + at + 8);
    p.type = read<std::uint32_t>(bytes + at + 12);
    p.value = at + 16;
    if (context != 0 || p.size > end - p.value) return false;
    // The last property may go without its padding.
    at = std::min(end, pad8(p.value + p.size));
    return true;
  }

  // A vector of floats; `count` becomes its length.
  bool floatVector(const std::uint8_t* bytes, const Property& p, std::uint32_t& count) const {
    if (p.type != _atomVector || p.size < 8) return false;
    if (read<std::uint32_t>(bytes + p.value) != sizeof(float) ||
        read<std::uint32_t>(bytes + p.value + 4) != _atomFloat || (p.size - 8) % 4 != 0)
      return false;
    count = (p.size - 8) / 4;
    return true;
  }

  // `n` sums: no negative or infinite energy, and |LR| <= sqrt(L² R²) up to
  // the rounding a float sum collects.
  bool readSums(const std::uint8_t* bytes, const Property& p, std::uint32_t n, Sums* out) const {
    std::uint32_t count = 0;
    if (!floatVector(bytes, p, count) || count != 3 * n) return false;
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint8_t* at = bytes + p.value + 8 + 12 * i;
      Sums s{read<float>(at), read<float>(at + 4), read<float>(at + 8)};
      if (!(s.ll >= 0.0f) || !(s.rr >= 0.0f) || !std::isfinite(s.ll) || !std::isfinite(s.rr) ||
          !std::isfinite(s.lr))
        return false;
      const double bound = std::sqrt(double(s.ll) * double(s.rr));
      if (std::fabs(double(s.lr)) > bound * 1.001 + 1e-30) return false;
      out[i] = s;
    }
    return true;
  }

  bool _valid = false;
  LV2_URID _atomObject = 0, _atomBlank = 0, _atomVector = 0, _atomFloat = 0, _atomDouble = 0,
           _atomLong = 0, _atomBool = 0, _eventTransfer = 0;
  LV2_URID _viewState = 0, _open = 0, _meters = 0;
  LV2_URID _keys[kKeyCount] = {};
};

}  // namespace brisendel
