#include "tools/AudioFormat.h"

#include <sndfile.h>

#include <cctype>
#include <vector>

#include "tools/ToolError.h"

namespace brisendel {

namespace {

std::string extensionOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

bool holds(int format, int sampleRate) {
  SF_INFO info{};
  info.format = format;
  info.channels = 2;
  info.samplerate = sampleRate;
  return sf_format_check(&info) != 0;
}

std::string containerName(int container) {
  switch (container) {
    case SF_FORMAT_WAV:
      return "WAV";
    case SF_FORMAT_WAVEX:
      return "WAV";
    case SF_FORMAT_RF64:
      return "RF64";
    case SF_FORMAT_W64:
      return "W64";
    case SF_FORMAT_AIFF:
      return "AIFF";
    case SF_FORMAT_CAF:
      return "CAF";
    case SF_FORMAT_FLAC:
      return "FLAC";
    case SF_FORMAT_OGG:
      return "Ogg";
    case SF_FORMAT_MPEG:
      return "MPEG";
    default: {
      SF_FORMAT_INFO info{};
      info.format = container;
      if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 &&
          info.name != nullptr) {
        std::string name = info.name;
        return name.substr(0, name.find(' '));
      }
      return "unknown container";
    }
  }
}

std::string codingName(int coding) {
  switch (coding) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return "8-bit";
    case SF_FORMAT_PCM_16:
      return "16-bit";
    case SF_FORMAT_PCM_24:
      return "24-bit";
    case SF_FORMAT_PCM_32:
      return "32-bit";
    case SF_FORMAT_FLOAT:
      return "32-bit float";
    case SF_FORMAT_DOUBLE:
      return "64-bit float";
    case SF_FORMAT_VORBIS:
      return "Vorbis";
    case SF_FORMAT_OPUS:
      return "Opus";
    case SF_FORMAT_MPEG_LAYER_III:
      return "MP3";
    default: {
      SF_FORMAT_INFO info{};
      info.format = coding;
      if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 &&
          info.name != nullptr)
        return info.name;
      return "unknown coding";
    }
  }
}

}  // namespace

int AudioFormat::containerFor(const std::string& outputPath) {
  const std::string extension = extensionOf(outputPath);
  if (extension == "wav" || extension == "wave") return SF_FORMAT_WAV;
  if (extension == "rf64") return SF_FORMAT_RF64;
  if (extension == "w64") return SF_FORMAT_W64;
  if (extension == "aif" || extension == "aiff" || extension == "aifc") return SF_FORMAT_AIFF;
  if (extension == "caf") return SF_FORMAT_CAF;
  if (extension == "flac") return SF_FORMAT_FLAC;
  if (extension == "ogg" || extension == "oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  if (extension == "opus") return SF_FORMAT_OGG | SF_FORMAT_OPUS;
  if (extension == "mp3") return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
  throw ToolError(outputPath + ": unknown output type " +
                  (extension.empty() ? "(no extension)" : "." + extension) +
                  "; use .wav, .rf64, .w64, .aiff, .caf, .flac, .ogg, .opus or .mp3");
}

int AudioFormat::chooseOutput(const std::string& outputPath, int inputFormat, bool floatSamples,
                              int sampleRate) {
  const int chosen = containerFor(outputPath);
  const int container = chosen & SF_FORMAT_TYPEMASK;
  const std::string where = outputPath + ": " + containerName(container);
  if ((chosen & SF_FORMAT_SUBMASK) != 0) {
    // A lossy codec: the input's bit depth means nothing to it, float samples neither.
    if (floatSamples)
      throw ToolError(where + " " + codingName(chosen & SF_FORMAT_SUBMASK) +
                      " cannot hold 32-bit float samples");
    if (!holds(chosen, sampleRate)) {
      throw ToolError(where + " " + codingName(chosen & SF_FORMAT_SUBMASK) +
                      " cannot hold a sample rate of " + std::to_string(sampleRate) +
                      " Hz in stereo");
    }
    return chosen;
  }
  std::vector<int> codings;
  if (floatSamples) {
    codings = {SF_FORMAT_FLOAT};
  } else {
    const int input = inputFormat & SF_FORMAT_SUBMASK;
    switch (input) {
      case SF_FORMAT_PCM_S8:
      case SF_FORMAT_PCM_U8:
        // WAV stores 8-bit samples unsigned, AIFF signed: the same depth either way.
        codings = {input, input == SF_FORMAT_PCM_S8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_S8,
                   SF_FORMAT_PCM_16, SF_FORMAT_PCM_24};
        break;
      case SF_FORMAT_PCM_16:
        codings = {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24};
        break;
      case SF_FORMAT_PCM_24:
        codings = {SF_FORMAT_PCM_24, SF_FORMAT_PCM_32};
        break;
      case SF_FORMAT_PCM_32:
        codings = {SF_FORMAT_PCM_32, SF_FORMAT_FLOAT, SF_FORMAT_PCM_24};
        break;
      case SF_FORMAT_DOUBLE:
        codings = {SF_FORMAT_DOUBLE, SF_FORMAT_FLOAT, SF_FORMAT_PCM_24};
        break;
      default:
        // Float, lossy and companded inputs: float keeps every value the render makes,
        // 24-bit is the deepest a float-less container such as FLAC takes.
        codings = {SF_FORMAT_FLOAT, SF_FORMAT_PCM_24, SF_FORMAT_PCM_16};
        break;
    }
  }
  for (const int coding : codings) {
    if (holds(container | coding, sampleRate)) return container | coding;
  }
  if (!holds(container | SF_FORMAT_PCM_16, sampleRate)) {
    throw ToolError(where + " cannot hold a sample rate of " + std::to_string(sampleRate) +
                    " Hz in stereo");
  }
  throw ToolError(where + " cannot hold " + codingName(codings.front()) + " samples" +
                  (floatSamples ? "; leave out --float" : ""));
}

int AudioFormat::integerBits(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
      return 16;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
      return 32;
    default:
      return 0;
  }
}

std::string AudioFormat::describe(int format) {
  const int container = format & SF_FORMAT_TYPEMASK;
  const int coding = format & SF_FORMAT_SUBMASK;
  if (container == SF_FORMAT_MPEG && coding == SF_FORMAT_MPEG_LAYER_III) return "MP3";
  return containerName(container) + " " + codingName(coding);
}

std::string AudioFormat::failureText(const char* text) {
  std::string line = text != nullptr ? text : "unknown reason";
  for (const char* head : {"System error : ", "Error : "}) {
    if (line.rfind(head, 0) == 0) line.erase(0, std::string(head).size());
  }
  while (!line.empty() && (line.back() == '.' || line.back() == '\n' || line.back() == ' '))
    line.pop_back();
  return line;
}

}  // namespace brisendel
