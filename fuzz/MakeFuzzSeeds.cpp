// Writes the seed corpora of the host-surface fuzz targets into the folder
// given as the only argument: vst2/, lv2/ and view/, a few sequences each that
// reach what random bytes hardly find (a host's start-up, every opcode, an open
// view, well-formed meter messages). The bytes follow the targets' decoding
// (FuzzBytes): each seed says in its comment which calls it makes.

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "formats/lv2/ViewMessages.h"
#include "fuzz/FuzzBytes.h"
#include "fuzz/UridMap.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void write(const std::string& folder, const std::string& name, const Bytes& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// A host-surface seed: its first byte made so that its bytes add up to
// FuzzBytes::RARE_SUM where the seed closes (VST 2) or makes an instance of
// its own (LV2), and so that they do not elsewhere (the first byte's upper
// bits choose nothing).
void writeSeed(const std::string& folder, const std::string& name, Bytes bytes, bool rare) {
  if (rare) {
    bytes[0] = 0;
    bytes[0] =
        static_cast<std::uint8_t>(FuzzBytes::RARE_SUM - FuzzBytes::sum(bytes.data(), bytes.size()));
  } else if (FuzzBytes::sum(bytes.data(), bytes.size()) == FuzzBytes::RARE_SUM) {
    bytes[0] ^= 0x80;
  }
  write(folder, name, bytes);
}

// FuzzBytes::i32 and i64 take small values as value + 16.
std::uint8_t small(int value) { return static_cast<std::uint8_t>(value + 0x10); }
// FuzzBytes::f32 takes k / 200 as k.
std::uint8_t grid(double value) { return static_cast<std::uint8_t>(value * 200.0 + 0.5); }
constexpr std::uint8_t kRate44100 = 201 + 14;

// A processing call of 2^exponent frames of noise (op 5 single, 6 double).
Bytes vstProcess(std::uint8_t op, unsigned exponent, bool inPlace) {
  return {op,
          3,
          static_cast<std::uint8_t>(exponent),
          inPlace ? std::uint8_t{1} : std::uint8_t{0},
          1,
          1,
          0,
          0x11,
          0x22,
          0x33,
          0x44,
          5,
          1};
}

void vst2Seeds(const std::string& folder) {
  // A host's start-up (rate 44100, block 512, resume), then both precisions.
  const Bytes startup = {7, 3, kRate44100, 0, 9};
  Bytes play = {0};
  append(play, startup);
  append(play, vstProcess(5, 11, false));
  append(play, vstProcess(6, 11, true));
  append(play, vstProcess(5, 10, true));
  writeSeed(folder, "play", play, false);

  // Every opcode 0..80 once (effClose is asked for by the bytes' sum instead).
  Bytes opcodes = {0};
  for (int opcode = 0; opcode <= 80; ++opcode) {
    append(opcodes, {0, static_cast<std::uint8_t>(opcode), small(0), small(1), grid(0.5), 1});
    // Host texts (effSetProgramName, effString2Parameter, effCanDo): five characters.
    if (opcode == 4 || opcode == 27 || opcode == 51) append(opcodes, {5, 'b', 'y', 'p', 'a', 's'});
    if (opcode == 24) append(opcodes, {16});  // chunk bytes
    if (opcode == 42 || opcode == 69) append(opcodes, {0});
  }
  writeSeed(folder, "opcodes", opcodes, false);

  // Each parameter set to a few values and read back, with texts between.
  Bytes parameters = {0};
  for (int index = 0; index < 5; ++index) {
    for (double value : {0.0, 0.26, 0.5, 0.74, 1.0}) {
      append(parameters, {3, small(index), grid(value)});
      append(parameters, {4, small(index)});
      append(parameters, {0, 7, small(index), small(0), 0, 1});  // effGetParamDisplay
    }
  }
  append(parameters, vstProcess(6, 11, false));
  writeSeed(folder, "parameters", parameters, false);

  // A program name of 30 characters, read back; then effClose at the end.
  Bytes program = {0, 0, 4, small(0), small(0), 0, 1, 30};
  for (int i = 0; i < 30; ++i) program.push_back(static_cast<std::uint8_t>('A' + i % 26));
  append(program, {0, 5, small(0), small(0), 0, 1});
  append(program, vstProcess(5, 6, false));
  writeSeed(folder, "close", program, true);

  // Broken blocks: a negative length, no lists, a missing channel.
  Bytes faults = {0};
  for (std::uint8_t fault = 0; fault < 5; ++fault) {
    append(faults, {5, 1, 64, 0, 0, fault, 1, 0, 1, 2, 3, 4, 5, 1});
  }
  writeSeed(folder, "faults", faults, false);
}

void lv2Seeds(const std::string& folder) {
  // run: 2^exponent frames of noise.
  auto run = [](unsigned exponent) {
    return Bytes{3, 3, static_cast<std::uint8_t>(exponent), 1, 0, 0x11, 0x22, 0x33, 0x44, 5, 1};
  };
  // makeMessages: one ViewState event, open or closed.
  auto view = [](bool open) {
    return Bytes{7, 1, 1, 1, 1, open ? std::uint8_t{1} : std::uint8_t{0}};
  };
  // With urid:map at 44100 Hz: open a view, run, close it, run.
  Bytes viewed = {0x01};
  append(viewed, view(true));
  append(viewed, run(11));
  append(viewed, run(11));
  append(viewed, view(false));
  append(viewed, run(9));
  writeSeed(folder, "view", viewed, false);

  // A small notify buffer, then a view that wants meters.
  Bytes small = {0x01, 0, 11, 0, 2};
  append(small, view(true));
  append(small, run(11));
  append(small, run(11));
  writeSeed(folder, "small-notify", small, false);

  // Without urid:map: controls at their steps, activate, run.
  Bytes plain = {0x00};
  for (std::uint8_t index = 0; index < 5; ++index) append(plain, {1, index, 1, 1});
  append(plain, {5});
  append(plain, run(12));
  writeSeed(folder, "controls", plain, false);

  // An instance of its own at 96000 Hz with urid:map, unconnected inputs, cleanup.
  Bytes fresh = {0, 201 + 15, 2, 0, 0, 1};
  append(fresh, run(8));
  append(fresh, {6, 5});
  append(fresh, run(8));
  writeSeed(folder, "fresh", fresh, true);
}

void viewSeeds(const std::string& folder) {
  UridMap uris;
  brisendel::ViewMessages messages(uris.map());
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, uris.map());

  for (bool open : {false, true}) {
    // Forged where atoms live, at an aligned address; the seed puts a byte before it.
    alignas(8) std::uint8_t object[brisendel::ViewMessages::VIEW_STATE_SIZE];
    messages.writeViewState(object, sizeof(object), open);
    Bytes state = {0};
    state.insert(state.end(), object, object + sizeof(object));
    write(folder, open ? "view-open" : "view-closed", state);
  }

  for (std::uint32_t points : {0u, 3u, brisendel::ViewMessages::MAX_POINTS}) {
    brisendel::ViewMessages::Meters m;
    m.sampleRate = 48000.0;
    m.frames = 1600;
    for (std::size_t b = 0; b < m.inputBands.size(); ++b) {
      m.inputBands[b] = {1.0f + b, 2.0f, 0.5f};
      m.outputBands[b] = {1.0f, 1.0f + b, -0.25f};
    }
    m.inputTotal = {4.0f, 4.0f, 4.0f};
    m.outputTotal = {1.0f, 9.0f, 0.0f};
    m.points = points;
    for (std::uint32_t i = 0; i < 2 * points; ++i) m.goniometer[i] = (i % 7) / 7.0f - 0.5f;
    std::vector<std::uint8_t> buffer(sizeof(LV2_Atom_Sequence) +
                                     brisendel::ViewMessages::metersEventSize(points));
    lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge, &frame, 0);
    messages.forgeMetersEvent(&forge, 0, m);
    lv2_atom_forge_pop(&forge, &frame);
    // The event's atom, after the sequence header and the event's time.
    const std::size_t at = sizeof(LV2_Atom_Sequence) + sizeof(std::int64_t);
    Bytes atom = {0};
    atom.insert(atom.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at), buffer.end());
    write(folder, "meters-" + std::to_string(points), atom);
  }

  // Forged from values: a signal's (44100 Hz, 1470 frames, plain sums), and any.
  Bytes forged = {0x80, 1, 1, 1};
  for (int i = 0; i < 3 * 64 + 40; ++i) forged.push_back(static_cast<std::uint8_t>(i * 37));
  write(folder, "forge-plain", forged);
  forged[3] = 0;
  write(folder, "forge-any", forged);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder holding vst2/, lv2/ and view/>\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  vst2Seeds(root + "/vst2");
  lv2Seeds(root + "/lv2");
  viewSeeds(root + "/view");
  return 0;
}
