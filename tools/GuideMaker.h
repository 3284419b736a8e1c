#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "tools/LinePlotPicture.h"

namespace brisendel {

// Makes every picture and number of the user's guide (docs/guide.md) from signals it
// synthesises (DemoMix) and renders through the plug-in: the width, correlation and
// goniometer of the demo mix at a row of Center and Side settings, its levels with
// AutoGain on and off, what Quality changes on close notes, what each Window does to
// drum hits, and what the neutral setting gives back. The pictures go into the output
// folder as PNG files, the numbers into its numbers.txt, one "key value" line each,
// each value rounded to the precision the guide quotes.
class GuideMaker {
 public:
  // The plug-in's parameters for one render.
  struct Setting {
    unsigned center = 100;
    unsigned side = 100;
    bool autoGain = false;
    unsigned quality = 1;
    char window = 'B';
    // A short name for the numbers' keys and the audio files, e.g. c0_s100 or
    // c100_s150_ag, with _q9 or _wA where Quality or Window differ from 1 and B.
    std::string key() const;
    // As the plug-in's display texts: Center, Side, AutoGain, Quality, Window.
    std::vector<std::pair<std::string, std::string>> choices() const;
  };
  // Renders the stereo file `in` into `out` through the plug-in at `setting`, with
  // the latency compensated (out lines up with in frame for frame).
  using RenderFunction =
      std::function<void(const std::string& in, const std::string& out, const Setting&)>;

  // A whole stereo file.
  struct StereoSamples {
    std::vector<double> left;
    std::vector<double> right;
    int sampleRate = 0;
  };
  // DemoMix's drum hits, where they start, and their peak level.
  struct DrumHits {
    std::string path;
    StereoSamples input;
    std::size_t ms = 44;  // frames per millisecond
    std::vector<std::size_t> onsets;
    std::size_t shown = 0;  // the onset the pictures show
    double peak = 0.0;      // the largest 1 ms RMS of the input, dBFS
    // The RMS of both channels of the millisecond from frame `at` on, dBFS.
    double level(const StereoSamples& samples, std::size_t at) const;
    // The levels of `samples` around the shown hit, one point per millisecond.
    LinePlotPicture::Series curve(const StereoSamples& samples, const std::string& name) const;
  };

  // Writes into `folder` (created if missing); the audio files go into `workFolder`,
  // which must exist. Progress lines go to `log`.
  GuideMaker(std::string folder, std::string workFolder, RenderFunction render, std::ostream& log);

  // Everything, in the order of the guide. Throws ToolError naming the file at fault.
  void make();

 private:
  std::string work(const std::string& file) const { return _workFolder + "/" + file; }
  std::string out(const std::string& file) const { return _folder + "/" + file; }
  // Renders `input` at `setting` into the work folder (once per setting and input)
  // and returns the rendered file's path.
  std::string render(const std::string& input, const std::string& inputKey, const Setting& setting);
  void add(const std::string& key, double value, int decimals);
  // The meter's numbers of one file under `key`: mid_db, side_db, level_db (both
  // channels), corr, mono_drop_db (level_db less mid_db: what a mono fold-down loses).
  void addLevels(const std::string& key, const std::string& path);
  // The width and correlation of the bands around 250 Hz (the demo's chords) and
  // 5 kHz (its ambience) under `key`.
  void addBands(const std::string& key, const std::string& path);
  // Draws the stereo field of `files` (path, name shown) into the PNG `picture`.
  void drawField(const std::string& picture,
                 const std::vector<std::pair<std::string, std::string>>& files) const;

  DrumHits drumHits();
  // The pre-echo of `output`, rendered from `hits`, under `key`: its energy over the
  // window before each hit (pre_echo_db) and how far ahead it reaches (reach_ms).
  void addSmear(const std::string& key, const DrumHits& hits, const StereoSamples& output);

  void centerAndSide();
  void autoGain();
  void neutral();
  void quality();
  void window();
  void writeNumbers() const;

  std::string _folder;
  std::string _workFolder;
  RenderFunction _render;
  std::ostream& _log;
  std::string _mix;
  std::vector<std::pair<std::string, std::string>> _numbers;
};

}  // namespace brisendel
