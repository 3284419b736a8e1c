#include "tools/AudioFileWriter.h"

#include <sndfile.h>

#include <cmath>

#include "tools/AudioFormat.h"
#include "tools/ToolError.h"

namespace brisendel {

AudioFileWriter::AudioFileWriter(const std::string& path, const std::string& shownPath, int format,
                                 int sampleRate)
    : _shownPath(shownPath), _bits(AudioFormat::integerBits(format)) {
  const int coding = format & SF_FORMAT_SUBMASK;
  _limited = _bits > 0 || coding == SF_FORMAT_VORBIS || coding == SF_FORMAT_OPUS ||
             coding == SF_FORMAT_MPEG_LAYER_III;
  SF_INFO info{};
  info.format = format;
  info.channels = 2;
  info.samplerate = sampleRate;
  _file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (_file == nullptr) {
    const std::string why = AudioFormat::failureText(sf_strerror(nullptr));
    throw ToolError(shownPath + ": cannot be written as " + AudioFormat::describe(format) + " at " +
                    std::to_string(sampleRate) + " Hz: " + why);
  }
  // The PEAK chunk of float files carries the time of writing: without it, the same
  // render gives the same bytes, and a file the same size as the input's.
  sf_command(_file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  if (!_limited) return;
  if (_bits == 0) {
    // Lossy codecs: the best quality they offer; the render is the product.
    double level = 0.0;
    sf_command(_file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level));
  }
}

AudioFileWriter::~AudioFileWriter() {
  if (_file != nullptr) sf_close(_file);
}

void AudioFileWriter::fail(const std::string& why) const {
  throw ToolError(_shownPath + ": cannot be written: " + why);
}

void AudioFileWriter::write(const double* left, const double* right, unsigned frames) {
  if (_file == nullptr) fail("the file is closed");
  const std::size_t samples = std::size_t(frames) * 2;
  sf_count_t written = 0;
  if (_bits > 0) {
    // Left-justified 32-bit codes: libsndfile shifts them down to the file's depth,
    // which is exact once the low bits are zero.
    const double scale = std::ldexp(1.0, _bits - 1);
    const double highest = scale - 1.0;
    const int shift = 32 - _bits;
    if (_integers.size() < samples) _integers.resize(samples);
    for (std::size_t i = 0; i < samples; ++i) {
      const double value = (i % 2 == 0 ? left : right)[i / 2];
      double code = std::nearbyint(value * scale);
      if (!(std::fabs(value) <= 1.0)) ++_clipped;
      if (std::isnan(code)) code = 0.0;
      if (code > highest) code = highest;
      if (code < -scale) code = -scale;
      const auto integer = static_cast<std::int64_t>(code);
      _integers[i] = static_cast<int>(static_cast<std::uint32_t>(integer) << shift);
    }
    written = sf_writef_int(_file, _integers.data(), frames);
  } else {
    if (_doubles.size() < samples) _doubles.resize(samples);
    for (std::size_t i = 0; i < samples; ++i) {
      double value = (i % 2 == 0 ? left : right)[i / 2];
      if (_limited && !(std::fabs(value) <= 1.0)) {
        ++_clipped;
        value = std::isnan(value) ? 0.0 : (value > 0.0 ? 1.0 : -1.0);
      }
      _doubles[i] = value;
    }
    written = sf_writef_double(_file, _doubles.data(), frames);
  }
  if (written != static_cast<sf_count_t>(frames)) {
    const int error = sf_error(_file);
    fail(error != SF_ERR_NO_ERROR ? AudioFormat::failureText(sf_strerror(_file))
                                  : "the disk is full or the file size limit reached");
  }
}

void AudioFileWriter::close() {
  if (_file == nullptr) return;
  // Buffered encoders (FLAC, Ogg, MP3) write their last packets here; a full disk
  // shows up now or not at all.
  sf_write_sync(_file);
  const int error = sf_error(_file);
  const std::string text =
      error != SF_ERR_NO_ERROR ? AudioFormat::failureText(sf_strerror(_file)) : "";
  const int closed = sf_close(_file);
  _file = nullptr;
  if (error != SF_ERR_NO_ERROR) fail(text);
  if (closed != 0) fail(AudioFormat::failureText(sf_error_number(closed)));
}

}  // namespace brisendel
