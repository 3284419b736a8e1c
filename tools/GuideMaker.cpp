#include "tools/GuideMaker.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <limits>
#include <ostream>
#include <sstream>

#include "analysis/StereoFieldAnalysis.h"
#include "analysis/StereoMeter.h"
#include "draw/StereoFieldPicture.h"
#include "tools/AudioFileReader.h"
#include "tools/DemoMix.h"
#include "tools/FileAnalysis.h"
#include "tools/LinePlotPicture.h"
#include "tools/PictureFile.h"
#include "tools/SafeOutputFile.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

// Small enough for a page, large enough to read: the pictures' size in pixels.
constexpr int PICTURE_WIDTH = 900;
constexpr int PICTURE_HEIGHT = 600;

// The third-octave bands the guide quotes: 250 Hz, where the demo's chords are, and
// 5 kHz, where only its ambience plays.
constexpr int BAND_250 = 11;
constexpr int BAND_5K = 24;

using StereoSamples = GuideMaker::StereoSamples;

StereoSamples readSamples(const std::string& path) {
  AudioFileReader reader(path);
  StereoSamples samples;
  samples.sampleRate = reader.getSampleRate();
  readBlocks(reader, [&samples](const double* left, const double* right, unsigned frames) {
    samples.left.insert(samples.left.end(), left, left + frames);
    samples.right.insert(samples.right.end(), right, right + frames);
  });
  return samples;
}

double decibels(double amplitude) {
  return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}

// The level of both channels together (the RMS of all their samples) over frames
// [begin, end).
double channelRms(const StereoSamples& samples, std::size_t begin, std::size_t end) {
  double sum = 0.0;
  for (std::size_t i = begin; i < end; ++i)
    sum += samples.left[i] * samples.left[i] + samples.right[i] * samples.right[i];
  return end > begin ? std::sqrt(sum / (2.0 * static_cast<double>(end - begin))) : 0.0;
}

double channelRmsDb(double midDb, double sideDb) {
  // Left² + right² = 2 (mid² + side²): the channels' mean power is mid's plus side's.
  return 10.0 * std::log10(std::pow(10.0, midDb / 10.0) + std::pow(10.0, sideDb / 10.0));
}

Drawing drawingOf(const StereoFieldPicture& picture) {
  return [&picture](cairo_t* cr, int width, int height) { picture.draw(cr, width, height); };
}

Drawing drawingOf(const LinePlotPicture& picture) {
  return [&picture](cairo_t* cr, int width, int height) { picture.draw(cr, width, height); };
}

}  // namespace

std::string GuideMaker::Setting::key() const {
  std::string text = "c" + std::to_string(center) + "_s" + std::to_string(side);
  if (autoGain) text += "_ag";
  if (quality != 1) text += "_q" + std::to_string(quality);
  if (window != 'B') text += std::string("_w") + window;
  return text;
}

std::vector<std::pair<std::string, std::string>> GuideMaker::Setting::choices() const {
  return {{"Center", std::to_string(center)},
          {"Side", std::to_string(side)},
          {"AutoGain", autoGain ? "Enabled" : "Disabled"},
          {"Quality", std::to_string(quality)},
          {"Window", std::string(1, window)}};
}

GuideMaker::GuideMaker(std::string folder, std::string workFolder, RenderFunction render,
                       std::ostream& log)
    : _folder(std::move(folder)),
      _workFolder(std::move(workFolder)),
      _render(std::move(render)),
      _log(log) {}

void GuideMaker::make() {
  if (mkdir(_folder.c_str(), 0777) != 0 && errno != EEXIST)
    throw ToolError(_folder + ": cannot create the folder: " + std::strerror(errno));
  _mix = work("mix.wav");
  DemoMix::write(_mix);
  addLevels("mix", _mix);
  addBands("mix", _mix);
  centerAndSide();
  autoGain();
  neutral();
  quality();
  window();
  writeNumbers();
}

std::string GuideMaker::render(const std::string& input, const std::string& inputKey,
                               const Setting& setting) {
  const std::string path = work(inputKey + "-" + setting.key() + ".wav");
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    _render(input, path, setting);
    _log << "rendered " << path << "\n" << std::flush;
  }
  return path;
}

void GuideMaker::add(const std::string& key, double value, int decimals) {
  std::ostringstream text;
  if (std::isinf(value)) {
    text << (value > 0.0 ? "+inf" : "-inf");
  } else {
    text << std::fixed << std::setprecision(decimals) << value;
    // No "-0.0": a value that rounds to zero is zero.
    if (text.str().find_first_not_of("-0.") == std::string::npos) {
      text.str("");
      text << std::fixed << std::setprecision(decimals) << 0.0;
    }
  }
  _numbers.emplace_back(key, text.str());
}

void GuideMaker::addLevels(const std::string& key, const std::string& path) {
  const StereoMeter meter = measureFile(path);
  add(key + ".mid_db", meter.getMidRmsDb(), 1);
  add(key + ".side_db", meter.getSideRmsDb(), 1);
  const double level = channelRmsDb(meter.getMidRmsDb(), meter.getSideRmsDb());
  add(key + ".level_db", level, 1);
  add(key + ".corr", meter.getCorrelation(), 2);
  // Played in mono, a listener hears the mid: how far it lies below the stereo level.
  add(key + ".mono_drop_db", level - meter.getMidRmsDb(), 1);
}

void GuideMaker::addBands(const std::string& key, const std::string& path) {
  StereoFieldAnalysis analysis = analyzeFile(path);
  StereoFieldAnalysis::Bands bands;
  analysis.computeBands(bands);
  // Below -60 dB the width means "no side left"; the guide says so rather than quote
  // the depth of a rounding residue, which varies with the processor's kernels.
  const auto width = [](double db) { return std::max(db, -60.0); };
  add(key + ".width_250", width(bands[BAND_250].sideToMidDb), 0);
  add(key + ".width_5k", width(bands[BAND_5K].sideToMidDb), 0);
  add(key + ".corr_250", bands[BAND_250].correlation, 2);
  add(key + ".corr_5k", bands[BAND_5K].correlation, 2);
}

void GuideMaker::drawField(const std::string& picture,
                           const std::vector<std::pair<std::string, std::string>>& files) const {
  std::vector<StereoFieldAnalysis> analyses;
  analyses.reserve(files.size());
  std::vector<StereoFieldPicture::Entry> entries;
  for (const auto& file : files) {
    analyses.push_back(analyzeFile(file.first));
    StereoFieldAnalysis::Bands bands;
    analyses.back().computeBands(bands);
    StereoFieldPicture::Entry entry;
    entry.name = file.second;
    entry.width = BandPlot::widthValues(bands);
    entry.correlation = BandPlot::correlationValues(bands);
    entry.goniometer = {analyses.back().getGoniometer().data(), StereoFieldAnalysis::GRID};
    entries.push_back(entry);
  }
  const StereoFieldPicture drawing(entries);
  writePng(out(picture), PICTURE_WIDTH, PICTURE_HEIGHT, drawingOf(drawing));
  _log << "wrote " << out(picture) << "\n" << std::flush;
}

void GuideMaker::centerAndSide() {
  std::vector<std::pair<std::string, std::string>> centerRow;
  for (unsigned center : {0u, 50u, 100u, 150u}) {
    Setting setting;
    setting.center = center;
    const std::string path = render(_mix, "mix", setting);
    addLevels(setting.key(), path);
    addBands(setting.key(), path);
    centerRow.emplace_back(
        path, "Center " + std::to_string(center) + (center == 100 ? ", Side 100" : ""));
  }
  drawField("center.png", centerRow);
  std::vector<std::pair<std::string, std::string>> sideRow;
  for (unsigned side : {0u, 50u, 150u, 200u}) {
    Setting setting;
    setting.side = side;
    const std::string path = render(_mix, "mix", setting);
    addLevels(setting.key(), path);
    addBands(setting.key(), path);
    sideRow.emplace_back(path, "Side " + std::to_string(side));
  }
  drawField("side.png", sideRow);
}

void GuideMaker::autoGain() {
  // The rows above and the recipes' settings, with AutoGain on; the recipes' also off.
  const std::pair<unsigned, unsigned> weights[] = {{0, 100},   {50, 100}, {150, 100},
                                                   {100, 0},   {100, 50}, {100, 150},
                                                   {100, 200}, {80, 140}, {50, 200}};
  for (const auto& pair : weights) {
    for (bool on : {false, true}) {
      Setting setting;
      setting.center = pair.first;
      setting.side = pair.second;
      setting.autoGain = on;
      const std::string key = setting.key();
      if (std::none_of(_numbers.begin(), _numbers.end(),
                       [&key](const auto& number) { return number.first == key + ".mid_db"; }))
        addLevels(key, render(_mix, "mix", setting));
    }
  }
}

void GuideMaker::neutral() {
  // Center 100 and Side 100 give the input back: the largest difference of any
  // sample, with both windows, at the cheapest and the dearest Quality.
  const StereoSamples input = readSamples(_mix);
  for (char window : {'A', 'B'}) {
    for (unsigned quality : {1u, 9u}) {
      Setting setting;
      setting.window = window;
      setting.quality = quality;
      const StereoSamples output = readSamples(render(_mix, "mix", setting));
      double largest = 0.0;
      for (std::size_t i = 0; i < input.left.size(); ++i) {
        largest = std::max(largest, std::fabs(output.left[i] - input.left[i]));
        largest = std::max(largest, std::fabs(output.right[i] - input.right[i]));
      }
      // Within the float file's own rounding (2^-24 of full scale, about -144 dB) the
      // output is the input; the guide quotes the bound, not the residue.
      add(std::string("neutral.") + setting.key() + ".max_diff_below_db",
          decibels(largest) < -120.0 ? -120.0 : decibels(largest), 0);
    }
  }
}

void GuideMaker::quality() {
  // Steady notes: does a finer frequency grid separate two close notes better? With
  // the center removed, the right channel, which held only the centre notes, should
  // fall silent; what stays there is the split's error.
  const std::string notes = work("close-notes.wav");
  DemoMix::writeCloseNotes(notes);
  const StereoSamples input = readSamples(notes);
  const std::size_t margin = static_cast<std::size_t>(input.sampleRate) / 2;
  const std::size_t end = input.right.size() - margin;
  double inputRight = 0.0;
  for (std::size_t i = margin; i < end; ++i) inputRight += input.right[i] * input.right[i];
  for (unsigned quality : {1u, 9u}) {
    Setting setting;
    setting.center = 0;
    setting.quality = quality;
    const StereoSamples output = readSamples(render(notes, "notes", setting));
    double right = 0.0;
    for (std::size_t i = margin; i < end; ++i) right += output.right[i] * output.right[i];
    add("quality.q" + std::to_string(quality) + ".notes_residue_db",
        10.0 * std::log10(right / inputRight), 1);
  }

  // The demo mix with the center removed: the largest change Quality 9 makes to a
  // band's width and correlation.
  StereoFieldAnalysis::Bands bands[2];
  for (unsigned q = 0; q < 2; ++q) {
    Setting setting;
    setting.center = 0;
    setting.quality = q == 0 ? 1 : 9;
    StereoFieldAnalysis analysis = analyzeFile(render(_mix, "mix", setting));
    analysis.computeBands(bands[q]);
  }
  double widthChange = 0.0;
  double correlationChange = 0.0;
  for (int b = 0; b < StereoFieldAnalysis::NUM_BANDS; ++b) {
    widthChange =
        std::max(widthChange, std::fabs(bands[1][b].sideToMidDb - bands[0][b].sideToMidDb));
    correlationChange =
        std::max(correlationChange, std::fabs(bands[1][b].correlation - bands[0][b].correlation));
  }
  add("quality.mix_width_change_db", widthChange, 1);
  add("quality.mix_corr_change", correlationChange, 2);

  // Drum hits: less of the processing's spread wraps around into the window.
  DrumHits hits = drumHits();
  std::vector<LinePlotPicture::Series> curves = {hits.curve(hits.input, "drum hit")};
  for (unsigned quality = 1; quality <= 9; ++quality) {
    Setting setting;
    setting.center = 0;
    setting.quality = quality;
    const StereoSamples output = readSamples(render(hits.path, "hits", setting));
    addSmear("quality.q" + std::to_string(quality), hits, output);
    if (quality == 1 || quality == 9)
      curves.push_back(hits.curve(output, "Center 0, Quality " + std::to_string(quality)));
  }
  LinePlotPicture plot("A drum hit with the center removed, at Quality 1 and 9",
                       {"time from the hit (ms)", -120.0, 200.0, 20.0},
                       {"level, 1 ms RMS (dBFS)", -120.0, 0.0, 20.0}, curves);
  writePng(out("quality.png"), PICTURE_WIDTH, PICTURE_HEIGHT * 2 / 3, drawingOf(plot));
  _log << "wrote " << out("quality.png") << "\n" << std::flush;
}

GuideMaker::DrumHits GuideMaker::drumHits() {
  DrumHits hits;
  hits.path = work("drum-hits.wav");
  DemoMix::writeDrumHits(hits.path);
  hits.input = readSamples(hits.path);
  hits.ms = static_cast<std::size_t>(hits.input.sampleRate) / 1000;
  for (double onset = DemoMix::DRUM_HIT_FIRST; onset < DemoMix::DRUM_HITS_SECONDS;
       onset += DemoMix::DRUM_HIT_INTERVAL)
    hits.onsets.push_back(static_cast<std::size_t>(onset * hits.input.sampleRate));
  hits.shown = hits.onsets[1];
  hits.peak = -std::numeric_limits<double>::infinity();
  for (std::size_t at = 0; at + hits.ms <= hits.input.left.size(); at += hits.ms)
    hits.peak = std::max(hits.peak, hits.level(hits.input, at));
  return hits;
}

double GuideMaker::DrumHits::level(const StereoSamples& samples, std::size_t at) const {
  return decibels(channelRms(samples, at, std::min(at + ms, samples.left.size())));
}

LinePlotPicture::Series GuideMaker::DrumHits::curve(const StereoSamples& samples,
                                                    const std::string& name) const {
  LinePlotPicture::Series series{name, {}, false};
  for (std::size_t at = shown - 120 * ms; at < shown + 520 * ms; at += ms)
    series.points.emplace_back((double(at) - double(shown)) / double(ms), level(samples, at));
  return series;
}

void GuideMaker::addSmear(const std::string& key, const DrumHits& hits,
                          const StereoSamples& output) {
  // Before each hit the input is silent for longer than a window (93 ms): whatever
  // the output holds there is pre-echo, the processing's spread ahead of the hit.
  // Its energy relative to the hit's peak, and how far ahead of the hit it first
  // rises above 60 dB below that peak, the worst of the hits.
  const std::size_t span = 93 * hits.ms;
  double energy = 0.0;
  std::size_t reach = 0;
  for (const std::size_t onset : hits.onsets) {
    const double rms = channelRms(output, onset - span, onset);
    energy += rms * rms;
    for (std::size_t ahead = 93; ahead > 0; --ahead) {
      if (hits.level(output, onset - ahead * hits.ms) > hits.peak - 60.0) {
        reach = std::max(reach, ahead);
        break;
      }
    }
  }
  add(key + ".pre_echo_db", 10.0 * std::log10(energy / hits.onsets.size()) - hits.peak, 1);
  add(key + ".reach_ms", static_cast<double>(reach), 0);
}

void GuideMaker::window() {
  DrumHits hits = drumHits();
  std::vector<LinePlotPicture::Series> curves = {hits.curve(hits.input, "drum hit")};
  for (char window : {'A', 'B'}) {
    for (unsigned center : {100u, 0u}) {
      Setting setting;
      setting.center = center;
      setting.side = center == 100 ? 150 : 100;
      setting.window = window;
      const StereoSamples output = readSamples(render(hits.path, "hits", setting));
      addSmear("window." + setting.key(), hits, output);
      if (center == 100)
        curves.push_back(hits.curve(output, "Side 150, Window " + std::string(1, window)));
    }
  }
  add("window.peak_dbfs", hits.peak, 1);
  // What the center removal leaves of the mix with Window A (B's are above).
  Setting removeCenter;
  removeCenter.center = 0;
  removeCenter.window = 'A';
  addLevels(removeCenter.key(), render(_mix, "mix", removeCenter));
  LinePlotPicture plot("A drum hit through Window A and Window B",
                       {"time from the hit (ms)", -120.0, 520.0, 40.0},
                       {"level, 1 ms RMS (dBFS)", -120.0, 0.0, 20.0}, curves);
  writePng(out("window.png"), PICTURE_WIDTH, PICTURE_HEIGHT * 2 / 3, drawingOf(plot));
  _log << "wrote " << out("window.png") << "\n" << std::flush;
}

void GuideMaker::writeNumbers() const {
  const std::string path = out("numbers.txt");
  SafeOutputFile output(path, "");
  {
    std::ofstream file(output.getTemporaryPath());
    file << "# The numbers docs/guide.md quotes, as `brisendel guide docs/guide` measures them.\n"
            "# Keys name the render: c<Center>_s<Side>, _ag with AutoGain on, _q<Quality>,\n"
            "# _w<Window>. Levels in dBFS (mid, side, both channels), corr: L/R correlation,\n"
            "# mono_drop: level less mid (what a mono fold-down loses), reach in ms,\n"
            "# width: side-to-mid energy of a third-octave band in dB (-60: none left).\n";
    for (const auto& number : _numbers) file << number.first << " " << number.second << "\n";
    file.flush();
    if (!file) throw ToolError(path + ": cannot be written");
  }
  output.commit();
  _log << "wrote " << path << " (" << _numbers.size() << " numbers)\n" << std::flush;
}

}  // namespace brisendel
