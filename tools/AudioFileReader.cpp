#include "tools/AudioFileReader.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/AudioFormat.h"
#include "tools/ContainerDataSize.h"
#include "tools/ToolError.h"

namespace brisendel {

AudioFileReader::AudioFileReader(const std::string& path) : AudioFileReader(path, path) {}

AudioFileReader::AudioFileReader(const std::string& path, const std::string& shownPath)
    : _path(shownPath) {
  // The system's own words for the common cases; libsndfile's would be vaguer.
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    throw ToolError(_path + ": cannot open: " + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) throw ToolError(_path + ": is a directory, not an audio file");
  SF_INFO info{};
  _file = sf_open(path.c_str(), SFM_READ, &info);
  if (_file == nullptr) {
    throw ToolError(_path +
                    ": cannot be read as audio: " + AudioFormat::failureText(sf_strerror(nullptr)));
  }
  if (info.channels != 2) {
    close();
    if (info.channels == 1)
      throw ToolError(_path + ": mono file (1 channel); brisendel takes stereo files only");
    throw ToolError(_path + ": " + std::to_string(info.channels) +
                    " channels; brisendel takes stereo files only");
  }
  if (info.frames < 0 || info.samplerate <= 0) {
    close();
    throw ToolError(_path + ": cannot be read as audio: no usable length or sample rate");
  }
  // A download cut short is not a shorter song: libsndfile reads such a file as far as
  // the bytes go, so the container's own declaration decides.
  const ContainerDataSize data = ContainerDataSize::inspect(path);
  if (data.isCutShort()) {
    close();
    throw ToolError(_path + ": damaged file (the data chunk declares " +
                    std::to_string(data.getDeclaredBytes()) + " bytes, " +
                    std::to_string(data.getPresentBytes()) + " follow)");
  }
  _lengthChecked = data.isKnown();
  _sampleRate = info.samplerate;
  _format = info.format;
  if (info.frames != SF_COUNT_MAX) {
    _frames = static_cast<std::uint64_t>(info.frames);
    return;
  }
  // Length unknown (a FLAC or Ogg stream written to a pipe says 0 or nothing): what
  // decodes is the file. Counted once, then read again from the start.
  _frames = decodeToEnd();
  close();
  SF_INFO again{};
  _file = sf_open(path.c_str(), SFM_READ, &again);
  if (_file == nullptr) {
    throw ToolError(_path +
                    ": cannot be read as audio: " + AudioFormat::failureText(sf_strerror(nullptr)));
  }
  _position = 0;
}

std::uint64_t AudioFileReader::decodeToEnd() {
  constexpr unsigned CHUNK = 16384;
  if (_interleaved.size() < std::size_t(CHUNK) * 2) _interleaved.resize(std::size_t(CHUNK) * 2);
  for (;;) {
    const sf_count_t n = sf_readf_double(_file, _interleaved.data(), CHUNK);
    if (n <= 0) break;
    _position += static_cast<std::uint64_t>(n);
  }
  return _position;
}

void AudioFileReader::close() {
  if (_file != nullptr) sf_close(_file);
  _file = nullptr;
}

AudioFileReader::~AudioFileReader() { close(); }

void AudioFileReader::read(double* left, double* right, unsigned frames) {
  const unsigned wanted = static_cast<unsigned>(
      std::min<std::uint64_t>(frames, _frames - std::min(_frames, _position)));
  if (_interleaved.size() < std::size_t(wanted) * 2) _interleaved.resize(std::size_t(wanted) * 2);
  unsigned got = 0;
  while (got < wanted) {
    const sf_count_t n =
        sf_readf_double(_file, _interleaved.data() + std::size_t(got) * 2, wanted - got);
    if (n <= 0) {
      const int error = sf_error(_file);
      throw ToolError(_path + ": damaged file: only " + std::to_string(_position + got) + " of " +
                      std::to_string(_frames) + " frames could be decoded" +
                      (error != SF_ERR_NO_ERROR
                           ? " (" + AudioFormat::failureText(sf_strerror(_file)) + ")"
                           : ""));
    }
    got += static_cast<unsigned>(n);
  }
  for (unsigned i = 0; i < wanted; ++i) {
    left[i] = _interleaved[2 * std::size_t(i)];
    right[i] = _interleaved[2 * std::size_t(i) + 1];
  }
  std::fill(left + wanted, left + frames, 0.0);
  std::fill(right + wanted, right + frames, 0.0);
  _position += wanted;
}

}  // namespace brisendel
