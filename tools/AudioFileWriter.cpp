#include "tools/AudioFileWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "tools/AudioFormat.h"
#include "tools/ToolError.h"

namespace brisendel {

AudioFileWriter::AudioFileWriter(const std::string& path, const std::string& shownPath, int format,
                                 int sampleRate)
    : _shownPath(shownPath),
      _container(format & SF_FORMAT_TYPEMASK),
      _bits(AudioFormat::integerBits(format)) {
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
  if (_bits > 0) {
    _integers.resize(std::size_t(CHUNK_FRAMES) * 2);
  } else {
    _doubles.resize(std::size_t(CHUNK_FRAMES) * 2);
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
  // Left-justified 32-bit codes: libsndfile shifts them down to the file's depth,
  // which is exact once the low bits are zero.
  const double scale = std::ldexp(1.0, _bits - 1);
  const double highest = scale - 1.0;
  const int shift = 32 - _bits;
  for (unsigned frame = 0; frame < frames; ++frame) {
    for (int channel = 0; channel < 2; ++channel) {
      const double value = (channel == 0 ? left : right)[frame];
      const std::size_t at = std::size_t(_pending) * 2 + std::size_t(channel);
      if (_bits > 0) {
        // Counted on the code written: a value a rounding step beyond full scale that
        // rounds onto it is written exactly; 1.0 itself is one code too many.
        double code = std::nearbyint(value * scale);
        if (!(code >= -scale && code <= highest)) {
          ++_clipped;
          code = std::isnan(code) ? 0.0 : std::clamp(code, -scale, highest);
        }
        const auto integer = static_cast<std::int64_t>(code);
        _integers[at] = static_cast<int>(static_cast<std::uint32_t>(integer) << shift);
      } else if (_limited && !(std::fabs(value) <= 1.0)) {
        ++_clipped;
        _doubles[at] = std::isnan(value) ? 0.0 : (value > 0.0 ? 1.0 : -1.0);
      } else {
        _doubles[at] = value;
      }
    }
    if (++_pending == CHUNK_FRAMES) flush();
  }
}

void AudioFileWriter::flush() {
  if (_pending == 0) return;
  const sf_count_t written = _bits > 0 ? sf_writef_int(_file, _integers.data(), _pending)
                                       : sf_writef_double(_file, _doubles.data(), _pending);
  if (written != static_cast<sf_count_t>(_pending)) {
    const int error = sf_error(_file);
    fail(error != SF_ERR_NO_ERROR ? AudioFormat::failureText(sf_strerror(_file))
                                  : "the disk is full or the file size limit reached");
  }
  _written += _pending;
  _pending = 0;
}

void AudioFileWriter::close() {
  if (_file == nullptr) return;
  flush();
  if (_written == 0 && (_container == SF_FORMAT_FLAC || _container == SF_FORMAT_MPEG)) {
    // These encoders start on the first frame: without one they would leave the file
    // empty, which is no file of their type. Their headers are due now.
    sf_command(_file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
  }
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
