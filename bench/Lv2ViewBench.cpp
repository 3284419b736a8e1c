// What the view costs the LV2 plug-in: run on 512-frame blocks of noise at
// 48000 Hz, Quality 1, 5 and 9, with the view closed (/0) and open (/1), the
// open one sending its meter messages as a host would read them. The counter
// per_block_us is the mean run; compare /1 with /0 of the same Quality in one
// run of the program (repetitions interleave them):
//   spl_bench --benchmark_filter=Lv2View --benchmark_repetitions=5
//             --benchmark_enable_random_interleaving=true

#include <benchmark/benchmark.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "formats/lv2/ViewMessages.h"
#include "host/SharedLibrary.h"
#include "tests/formats/lv2/TestUridMap.h"

namespace {

constexpr std::uint32_t kBlock = 512;
constexpr std::uint32_t kCapacity = 8192;
constexpr double kRate = 48000.0;

void BM_Lv2View(benchmark::State& state) {
  const float quality = static_cast<float>(state.range(0));
  const bool open = state.range(1) != 0;
  brisendel::SharedLibrary library;
  std::string why;
  if (!library.open(BRISENDEL_LV2_MODULE, why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  const auto* descriptor =
      reinterpret_cast<LV2_Descriptor_Function>(library.function("lv2_descriptor"))(0);
  brisendel_test::TestUridMap uris;
  LV2_URID_Map& map = *uris.map();
  const LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  LV2_Handle handle = descriptor->instantiate(descriptor, kRate, "", features);

  const std::size_t frames = 1 << 18;
  std::vector<float> left(frames), right(frames), outLeft(kBlock), outRight(kBlock);
  std::mt19937 generator(1);
  std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
  for (std::size_t i = 0; i < frames; ++i) {
    left[i] = uniform(generator);
    right[i] = 0.5f * left[i] + uniform(generator);
  }
  float controls[6] = {80.0f, 140.0f, 1.0f, quality, 1.0f, 0.0f};
  for (std::uint32_t p = 4; p < 10; ++p) descriptor->connect_port(handle, p, &controls[p - 4]);
  std::vector<std::uint64_t> control(kCapacity / 8), notify(kCapacity / 8);
  descriptor->connect_port(handle, 2, outLeft.data());
  descriptor->connect_port(handle, 3, outRight.data());
  descriptor->connect_port(handle, brisendel::ViewMessages::CONTROL_PORT, control.data());
  descriptor->connect_port(handle, brisendel::ViewMessages::NOTIFY_PORT, notify.data());
  const LV2_URID sequence = uris(LV2_ATOM__Sequence);
  auto* controlSequence = reinterpret_cast<LV2_Atom_Sequence*>(control.data());
  auto* notifySequence = reinterpret_cast<LV2_Atom_Sequence*>(notify.data());
  // The view says it is open in the first run's control sequence.
  brisendel::ViewMessages messages(&map);
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &map);
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(control.data()), kCapacity);
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_sequence_head(&forge, &frame, 0);
  if (open) {
    lv2_atom_forge_frame_time(&forge, 0);
    std::uint8_t stateAtom[brisendel::ViewMessages::VIEW_STATE_SIZE];
    messages.writeViewState(stateAtom, sizeof stateAtom, true);
    lv2_atom_forge_write(&forge, stateAtom, sizeof stateAtom);
  }
  lv2_atom_forge_pop(&forge, &frame);
  descriptor->activate(handle);

  std::size_t at = 0;
  std::int64_t sent = 0;
  for (auto _ : state) {
    descriptor->connect_port(handle, 0, left.data() + at);
    descriptor->connect_port(handle, 1, right.data() + at);
    notifySequence->atom.size = kCapacity - sizeof(LV2_Atom);
    descriptor->run(handle, kBlock);
    sent += notifySequence->atom.size > sizeof(LV2_Atom_Sequence_Body);
    // Later runs carry no message from the view.
    controlSequence->atom.type = sequence;
    controlSequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
    at = (at + kBlock) % (frames - kBlock);
  }
  state.counters["per_block_us"] = benchmark::Counter(
      double(state.iterations()) * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["messages_per_s"] = double(sent) / (double(state.iterations()) * kBlock / kRate);
  descriptor->cleanup(handle);
}

}  // namespace

BENCHMARK(BM_Lv2View)
    ->ArgsProduct({{1, 5, 9}, {0, 1}})
    ->ArgNames({"quality", "view"})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(1.0);
