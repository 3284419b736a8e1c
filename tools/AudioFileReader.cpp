#include "tools/AudioFileReader.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/AudioFormat.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

// libsndfile reads a RIFF or AIFF file whose data chunk claims more bytes than follow
// as far as the bytes go, and says so only in its log ("data : 8000 (should be
// 3978)"). A download cut short is not a shorter song: refuse it, as a damaged file.
void refuseCutShort(const std::string& path, SNDFILE* file) {
  char log[8192] = {};
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof(log) - 1);
  const std::string text(log);
  for (const char* chunk : {"\ndata : ", "\nSSND : "}) {
    const std::size_t at = text.find(chunk);
    if (at == std::string::npos) continue;
    const std::size_t end = text.find('\n', at + 1);
    const std::string line =
        text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    const std::size_t should = line.find("(should be ");
    if (should == std::string::npos) continue;
    const std::string declared = line.substr(7, line.find(' ', 7) - 7);
    const std::string present = line.substr(should + 11, line.find(')', should) - should - 11);
    sf_close(file);
    throw ToolError(path + ": damaged file (the data chunk declares " + declared + " bytes, " +
                    present + " follow)");
  }
}

}  // namespace

AudioFileReader::AudioFileReader(const std::string& path) : _path(path) {
  // The system's own words for the common cases; libsndfile's would be vaguer.
  struct stat status {};
  if (stat(path.c_str(), &status) != 0)
    throw ToolError(path + ": cannot open: " + std::strerror(errno));
  if (S_ISDIR(status.st_mode)) throw ToolError(path + ": is a directory, not an audio file");
  SF_INFO info{};
  _file = sf_open(path.c_str(), SFM_READ, &info);
  if (_file == nullptr) {
    throw ToolError(path +
                    ": cannot be read as audio: " + AudioFormat::failureText(sf_strerror(nullptr)));
  }
  if (info.channels != 2) {
    sf_close(_file);
    _file = nullptr;
    if (info.channels == 1)
      throw ToolError(path + ": mono file (1 channel); brisendel takes stereo files only");
    throw ToolError(path + ": " + std::to_string(info.channels) +
                    " channels; brisendel takes stereo files only");
  }
  if (info.frames < 0 || info.samplerate <= 0) {
    sf_close(_file);
    _file = nullptr;
    throw ToolError(path + ": cannot be read as audio: no usable length or sample rate");
  }
  refuseCutShort(path, _file);
  _frames = static_cast<std::uint64_t>(info.frames);
  _sampleRate = info.samplerate;
  _format = info.format;
}

AudioFileReader::~AudioFileReader() {
  if (_file != nullptr) sf_close(_file);
}

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
