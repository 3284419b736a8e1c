#include "tools/DemoMix.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "spl/clip/DefaultClip.h"
#include "spl/io/riff/RiffWaveInfo.h"
#include "spl/io/riff/RiffWriter.h"
#include "tools/SafeOutputFile.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

constexpr double PI = 3.14159265358979323846;

// A small deterministic noise source (xorshift), uniform in −1..1.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : _state(seed) {}
  double next() {
    _state ^= _state << 13;
    _state ^= _state >> 7;
    _state ^= _state << 17;
    return static_cast<double>(_state >> 11) / 4503599627370496.0 - 1.0;
  }

 private:
  std::uint64_t _state;
};

// Four chords of three notes (Hz), 2.5 s each.
const double CHORDS[4][3] = {{220.00, 261.63, 329.63},
                             {174.61, 220.00, 261.63},
                             {261.63, 329.63, 392.00},
                             {196.00, 246.94, 293.66}};

double chordSample(double t) {
  const double chordLength = 2.5;
  const int chord = static_cast<int>(t / chordLength) % 4;
  const double local = std::fmod(t, chordLength);
  // 20 ms fades at each chord change keep the joins free of clicks.
  const double fade = std::min(1.0, std::min(local, chordLength - local) / 0.02);
  double sum = 0.0;
  for (double frequency : CHORDS[chord]) {
    sum += std::sin(2.0 * PI * frequency * t) + 0.4 * std::sin(4.0 * PI * frequency * t) +
           0.15 * std::sin(6.0 * PI * frequency * t);
  }
  return 0.12 * fade * sum;
}

double bellSample(double t) {
  const double interval = 0.5;
  const double local = std::fmod(t, interval);
  return 0.35 * std::exp(-local / 0.06) * std::sin(2.0 * PI * 1760.0 * local);
}

// Pairs of notes (Hz): the first in the center, the second hard left.
const double CLOSE_NOTES[][2] = {{55.0, 61.0}, {220.0, 232.0}, {880.0, 904.0}, {3520.0, 3568.0}};

// Writes `clip` as a 32-bit float stereo WAVE file at SAMPLE_RATE.
void writeClip(const std::string& path, const spl::DefaultClip& clip) {
  SafeOutputFile output(path, "");
  spl::RiffWaveInfo info;
  info.setFormatId(3);
  info.setNumSamplePerSec(DemoMix::SAMPLE_RATE);
  info.setNumChannels(2);
  info.setNumBytesPerSample(4);
  try {
    spl::RiffWriter writer;
    writer.open(output.getTemporaryPath(), info);
    writer.write(clip);
    writer.close();
  } catch (const std::runtime_error& error) {
    throw ToolError(path + ": cannot be written: " + error.what());
  }
  output.commit(44ull + clip.getLength() * 2ull * 4ull);
}

}  // namespace

void DemoMix::write(const std::string& path) {
  const unsigned frames = SAMPLE_RATE * SECONDS;
  spl::DefaultClip clip(2, frames);
  Noise leftNoise(0x9E3779B97F4A7C15ull);
  Noise rightNoise(0xD1B54A32D192ED03ull);
  double leftAmbience = 0.0;
  double rightAmbience = 0.0;
  for (unsigned i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / SAMPLE_RATE;
    // One-pole lowpass: a soft, airy noise bed rather than hiss.
    leftAmbience += 0.15 * (leftNoise.next() - leftAmbience);
    rightAmbience += 0.15 * (rightNoise.next() - rightAmbience);
    const double center = chordSample(t);
    clip.set(0, i, center + 0.25 * leftAmbience + bellSample(t));
    clip.set(1, i, center + 0.25 * rightAmbience);
  }
  writeClip(path, clip);
}

void DemoMix::writeCloseNotes(const std::string& path) {
  const unsigned frames = SAMPLE_RATE * CLOSE_NOTES_SECONDS;
  spl::DefaultClip clip(2, frames);
  for (unsigned i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / SAMPLE_RATE;
    // 50 ms fades in and out keep the ends free of clicks.
    const double fade = std::min(1.0, std::min(t, CLOSE_NOTES_SECONDS - t) / 0.05);
    double center = 0.0;
    double left = 0.0;
    for (const double* pair : CLOSE_NOTES) {
      center += std::sin(2.0 * PI * pair[0] * t);
      left += std::sin(2.0 * PI * pair[1] * t + 1.0);
    }
    clip.set(0, i, 0.1 * fade * (center + left));
    clip.set(1, i, 0.1 * fade * center);
  }
  writeClip(path, clip);
}

void DemoMix::writeDrumHits(const std::string& path) {
  const unsigned frames = SAMPLE_RATE * DRUM_HITS_SECONDS;
  spl::DefaultClip clip(2, frames);
  Noise shared(0x2545F4914F6CDD1Dull);
  Noise leftOwn(0x94D049BB133111EBull);
  Noise rightOwn(0xBF58476D1CE4E5B9ull);
  for (unsigned i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / SAMPLE_RATE;
    const double sinceFirst = t - DRUM_HIT_FIRST;
    const double local = sinceFirst < 0.0 ? -1.0 : std::fmod(sinceFirst, DRUM_HIT_INTERVAL);
    // Every noise source runs on, so each hit's noise differs.
    const double s = shared.next();
    const double l = leftOwn.next();
    const double r = rightOwn.next();
    if (local < 0.0) continue;
    // Full level at once, then a 40 ms decay: silence before, nothing after 0.4 s.
    const double envelope = local < 0.4 ? 0.5 * std::exp(-local / 0.04) : 0.0;
    clip.set(0, i, envelope * (s + l) * 0.7);
    clip.set(1, i, envelope * (s + r) * 0.7);
  }
  writeClip(path, clip);
}

}  // namespace brisendel
