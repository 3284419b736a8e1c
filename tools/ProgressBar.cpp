#include "tools/ProgressBar.h"

#include <unistd.h>

#include <string>

namespace brisendel {

namespace {
constexpr double MIN_SECONDS_FOR_BAR = 5.0;
constexpr int BAR_WIDTH = 30;
}  // namespace

ProgressBar::ProgressBar(std::uint64_t totalFrames, double sampleRate, bool enabled,
                         const char* label)
    : _totalFrames(totalFrames),
      _sampleRate(sampleRate),
      _enabled(enabled),
      _label(label),
      _started(std::chrono::steady_clock::now()),
      _lastDrawn(_started) {}

bool ProgressBar::wanted(std::uint64_t totalFrames, double sampleRate) {
  return isatty(STDERR_FILENO) != 0 && sampleRate > 0.0 &&
         static_cast<double>(totalFrames) / sampleRate > MIN_SECONDS_FOR_BAR;
}

void ProgressBar::update(std::uint64_t doneFrames) {
  if (!_enabled) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - _lastDrawn < std::chrono::milliseconds(100)) return;
  _lastDrawn = now;
  draw(doneFrames);
}

void ProgressBar::draw(std::uint64_t doneFrames) {
  const double fraction =
      _totalFrames == 0 ? 1.0 : static_cast<double>(doneFrames) / static_cast<double>(_totalFrames);
  const int filled = static_cast<int>(fraction * BAR_WIDTH);
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - _started).count();
  const double speed =
      elapsed > 0.0 ? static_cast<double>(doneFrames) / _sampleRate / elapsed : 0.0;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(BAR_WIDTH - filled), '.');
  std::fprintf(stderr, "\r%s [%s] %3d%%  %.1fx real time ", _label, bar.c_str(),
               static_cast<int>(fraction * 100.0), speed);
  std::fflush(stderr);
}

void ProgressBar::finish() {
  if (!_enabled) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

}  // namespace brisendel
