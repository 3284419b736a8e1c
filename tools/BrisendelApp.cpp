#include "tools/BrisendelApp.h"

#include <dirent.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>

#include "draw/StereoFieldPicture.h"
#include "effect/Parameters.h"
#include "host/PluginHost.h"
#include "spl/util/CommandArgument.h"
#include "tools/DemoMix.h"
#include "tools/FileAnalysis.h"
#include "tools/GuideMaker.h"
#include "tools/PictureFile.h"
#include "tools/Renderer.h"
#include "tools/SafeOutputFile.h"
#include "tools/ToolError.h"

namespace brisendel {

namespace {

constexpr const char* PLUGIN_FILE = "Brisendel.so";
constexpr unsigned MAX_BLOCK = 1048576;
// More instances than this only cost memory: each holds two segments in flight.
constexpr unsigned MAX_JOBS = 256;

// Reads a whole number within [low, high] or fails naming the option.
unsigned parseWhole(const std::string& option, const std::string& text, unsigned low,
                    unsigned high) {
  const bool digits =
      !text.empty() && text.size() <= 9 &&
      std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
  const unsigned long value = digits ? std::stoul(text) : 0;
  if (!digits || value < low || value > high) {
    throw UsageError(option + ": expected a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", got \"" + text + "\"");
  }
  return static_cast<unsigned>(value);
}

// The parameter an option such as --center sets, or -1.
int parameterOfOption(const std::string& option) {
  return option.rfind("--", 0) == 0 ? Parameters::findSymbol(option.substr(2)) : -1;
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The render options that set the plug-in's parameters: one per parameter,
// named after its LV2 symbol, with the help text's phrase for each.
const char* const PARAMETER_HELP[] = {
    "Center weight in percent", "Side weight in percent", "normalise the two weights",
    "zero padding: each step doubles the transform length", "window pair"};
static_assert(sizeof(PARAMETER_HELP) / sizeof(PARAMETER_HELP[0]) == Parameters::COUNT,
              "a help phrase for each parameter's option");

std::string parameterOption(const Parameters::Info& parameter) {
  return std::string("--") + parameter.symbol;
}

// What a parameter's option takes: "0..200", "on|off" for a toggle, "A|B" for
// the texts of a choice.
std::string optionValues(const Parameters::Info& parameter) {
  switch (parameter.kind) {
    case Parameters::Kind::kToggle:
      return "on|off";
    case Parameters::Kind::kChoice: {
      std::string values;
      for (unsigned i = 0; i < parameter.stepCount(); ++i)
        values += (i == 0 ? "" : "|") + std::string(parameter.stepText(i));
      return values;
    }
    default:
      return std::to_string(static_cast<long>(parameter.minimum)) + ".." +
             std::to_string(static_cast<long>(parameter.maximum));
  }
}

// Whether every parameter shown in digits takes each whole number of its
// range, from 0 up: what parseWhole reads.
constexpr bool wholeNumbersAreSteps() {
  for (const Parameters::Info& parameter : Parameters::TABLE) {
    if (!parameter.hasTexts() && (parameter.step != 1.0 || parameter.minimum < 0.0)) return false;
  }
  return true;
}
static_assert(wholeNumbersAreSteps(), "the options of numbers read whole numbers");

// The display text the plug-in shows for the value `text` of a parameter's
// option, which the host then selects as a host's user would.
std::string parameterDisplay(const std::string& option, const Parameters::Info& parameter,
                             const std::string& text) {
  unsigned step = 0;
  if (parameter.kind == Parameters::Kind::kToggle) {
    const std::string value = lower(text);
    if (value != "on" && value != "off")
      throw UsageError(option + ": expected on or off, got \"" + text + "\"");
    step = value == "on" ? 1 : 0;
  } else if (parameter.kind == Parameters::Kind::kChoice) {
    const unsigned count = parameter.stepCount();
    for (step = 0; step < count && lower(text) != lower(std::string(parameter.stepText(step)));)
      ++step;
    if (step == count) {
      std::string expected;
      for (unsigned i = 0; i < count; ++i) {
        if (i > 0) expected += i + 1 == count ? " or " : ", ";
        expected += parameter.stepText(i);
      }
      throw UsageError(option + ": expected " + expected + ", got \"" + text + "\"");
    }
  } else {
    const unsigned value = parseWhole(option, text, static_cast<unsigned>(parameter.minimum),
                                      static_cast<unsigned>(parameter.maximum));
    step = parameter.stepOfPlain(value);
  }
  char display[Parameters::TEXT_CAPACITY];
  return std::string(display, parameter.displayText(step, display, sizeof(display)));
}

std::string folderOfProgram() {
  char buffer[4096];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) return ".";
  std::string path(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool isFile(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string formatDb(double value) {
  if (std::isinf(value)) return value > 0.0 ? "+inf" : "-inf";
  std::ostringstream text;
  text << std::fixed << std::setprecision(1) << value;
  return text.str();
}

// The nominal names of the third-octave bands, as meters label them.
const char* const BAND_NAMES[] = {"20",  "25",   "31.5",  "40",   "50",    "63",   "80",    "100",
                                  "125", "160",  "200",   "250",  "315",   "400",  "500",   "630",
                                  "800", "1k",   "1.25k", "1.6k", "2k",    "2.5k", "3.15k", "4k",
                                  "5k",  "6.3k", "8k",    "10k",  "12.5k", "16k",  "20k"};
static_assert(sizeof(BAND_NAMES) / sizeof(BAND_NAMES[0]) == StereoFieldAnalysis::NUM_BANDS,
              "one name per band");

// What the picture shows of an analysed file: its bands and its goniometer, which
// stays in `analysis`.
StereoFieldPicture::Entry pictureEntry(const std::string& name, StereoFieldAnalysis& analysis,
                                       const StereoFieldAnalysis::Bands& bands) {
  StereoFieldPicture::Entry entry;
  entry.name = name;
  entry.width = BandPlot::widthValues(bands);
  entry.correlation = BandPlot::correlationValues(bands);
  entry.goniometer = {analysis.getGoniometer().data(), StereoFieldAnalysis::GRID};
  return entry;
}

constexpr int PICTURE_WIDTH = 1200;
constexpr int PICTURE_HEIGHT = 800;

Drawing drawingOf(const StereoFieldPicture& picture) {
  return [&picture](cairo_t* cr, int width, int height) { picture.draw(cr, width, height); };
}

std::string hexId(int id) {
  std::ostringstream text;
  text << "0x" << std::hex << std::setw(8) << std::setfill('0') << static_cast<unsigned>(id);
  std::string characters;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<unsigned>(id) >> shift) & 0xFF);
    characters += std::isprint(static_cast<unsigned char>(c)) != 0 ? c : '.';
  }
  return text.str() + " ('" + characters + "')";
}

}  // namespace

BrisendelApp::BrisendelApp() {
  setName("brisendel");
  setSummary(
      "render audio files through the Brisendel stereo imager plug-in and draw their stereo field");
  setNotice(
      "Loads Brisendel.so and drives it through its VST 2.4 effect record, as an audio host does.\n"
      "What each control does to a mix, with pictures: /usr/share/doc/brisendel/guide.md (in the "
      "sources: docs/guide.md).");
  setUsage(
      "brisendel render IN OUT [options] | brisendel analyze IN [OUT] [--png FILE] [--svg FILE] | "
      "brisendel info | brisendel demo [DIR] | brisendel guide [DIR]");
  addOption("render IN OUT",
            "process stereo IN into OUT (same length and alignment; OUT's type from its extension:"
            " .wav .rf64 .w64 .aiff .caf .flac .ogg .opus .mp3; IN's sample format where OUT's "
            "type holds it)");
  addOption("analyze IN [OUT]",
            "side-to-mid energy and L/R correlation per third-octave band, goniometers");
  addOption("info", "show what a host sees: identity, latency, inputs, outputs and parameters");
  addOption(
      "demo [DIR]",
      "synthesise a test mix, remove its center and its sides, compare (DIR: brisendel-demo)");
  addOption("guide [DIR]",
            "make every picture and number of the user's guide (DIR: brisendel-guide)");
  for (int i = 0; i < Parameters::COUNT; ++i) {
    const Parameters::Info& parameter = Parameters::TABLE[i];
    addOption(parameterOption(parameter) + " " + optionValues(parameter),
              std::string(PARAMETER_HELP[i]) + " (render)");
  }
  addOption("--block N", "host block length in frames, 1 to 1048576, default 1024 (render)");
  addOption("--float", "write 32-bit float instead of the input's sample format (render)");
  addOption("--jobs N",
            "plug-in instances rendering at once, 1 to 256, default: one per core (render)");
  addOption("--png FILE", "draw the stereo field as a 1200x800 PNG picture (analyze)");
  addOption("--svg FILE", "draw the stereo field as an SVG picture (analyze)");
  addOption("--plugin PATH", "the plug-in to load instead of the one installed next to brisendel");
  addOption("--help", "show this text");
  addOption("--", "end of options: the arguments that follow are files");
}

int BrisendelApp::main(const std::vector<std::string>& arguments) {
  try {
    _arguments = arguments;
    run(arguments);
    return OK;
  } catch (const UsageError& error) {
    std::cerr << "brisendel: " << error.what() << std::endl;
    printUsage(std::cerr);
    return BAD_USAGE;
  } catch (const std::exception& error) {
    std::cerr << "brisendel: " << error.what() << std::endl;
    return FAILED;
  }
}

std::string BrisendelApp::take(spl::CommandArgument& arguments) const {
  const std::size_t index = _arguments.size() - static_cast<std::size_t>(arguments.getRemaining());
  arguments.shiftString();
  return _arguments[index];
}

void BrisendelApp::parseArguments(spl::CommandArgument& arguments) {
  bool optionsEnded = false;
  while (!arguments.isEmpty()) {
    const std::string argument = take(arguments);
    if (argument == "--" && !optionsEnded) {
      optionsEnded = true;  // what follows are files, even when they start with '-'
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      parseOption(argument, arguments);
    } else if (_command.empty()) {
      _command = argument;
    } else {
      _operands.push_back(argument);
    }
  }
  if (_help) return;
  if (_command.empty()) throw UsageError("no command given");
  const std::size_t operands = _operands.size();
  if (_command == "render") {
    if (operands != 2) throw UsageError("render needs an input and an output file");
  } else if (_command == "info") {
    if (operands != 0) throw UsageError("info takes no files");
  } else if (_command == "demo") {
    if (operands > 1) throw UsageError("demo takes at most one folder");
  } else if (_command == "guide") {
    if (operands > 1) throw UsageError("guide takes at most one folder");
  } else if (_command == "analyze") {
    if (operands < 1 || operands > 2) throw UsageError("analyze needs one or two files");
  } else {
    throw UsageError("unknown command \"" + _command + "\"");
  }
  if (_command != "render" && !_renderOptionsSeen.empty()) {
    throw UsageError(_renderOptionsSeen.front() + ": applies to render only");
  }
  if (_command != "analyze" && !_analyzeOptionsSeen.empty()) {
    throw UsageError(_analyzeOptionsSeen.front() + ": applies to analyze only");
  }
}

void BrisendelApp::parseOption(const std::string& argument, spl::CommandArgument& arguments) {
  std::string option = argument;
  std::string value;
  bool haveValue = false;
  const std::size_t equals = argument.find('=');
  if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
    option = argument.substr(0, equals);
    value = argument.substr(equals + 1);
    haveValue = true;
  }
  const auto takeValue = [&]() -> std::string {
    if (haveValue) return value;
    if (arguments.isEmpty()) throw UsageError(option + ": needs a value");
    return take(arguments);
  };
  const auto noValue = [&]() {
    if (haveValue) throw UsageError(option + ": takes no value");
  };

  if (option == "--help" || option == "-h") {
    noValue();
    _help = true;
  } else if (option == "--plugin") {
    _pluginPath = takeValue();
    if (_pluginPath.empty()) throw UsageError("--plugin: needs a path");
  } else if (const int parameter = parameterOfOption(option); parameter >= 0) {
    const Parameters::Info& info = Parameters::TABLE[parameter];
    _choices.push_back({info.name, parameterDisplay(option, info, takeValue())});
    _renderOptionsSeen.push_back(option);
  } else if (option == "--block") {
    _blockSize = parseWhole(option, takeValue(), 1, MAX_BLOCK);
    _renderOptionsSeen.push_back(option);
  } else if (option == "--jobs") {
    _jobs = parseWhole(option, takeValue(), 1, MAX_JOBS);
    _renderOptionsSeen.push_back(option);
  } else if (option == "--png" || option == "--svg") {
    (option == "--png" ? _pngPath : _svgPath) = takeValue();
    if ((option == "--png" ? _pngPath : _svgPath).empty())
      throw UsageError(option + ": needs a file name");
    _analyzeOptionsSeen.push_back(option);
  } else if (option == "--float") {
    noValue();
    _floatOutput = true;
    _renderOptionsSeen.push_back(option);
  } else {
    throw UsageError("unknown option " + option);
  }
}

void BrisendelApp::execute() {
  if (_help) {
    printHeader(std::cout);
    printUsage(std::cout);
    return;
  }
  if (_command == "render") {
    render();
  } else if (_command == "info") {
    info();
  } else if (_command == "guide") {
    guide();
  } else if (_command == "analyze") {
    analyze();
  } else {
    demo();
  }
}

std::string BrisendelApp::findPlugin() const {
  const std::string here = folderOfProgram();
  std::vector<std::string> candidates = {here + "/" + PLUGIN_FILE,
                                         here + "/../lib/vst/" + PLUGIN_FILE,
                                         here + "/../lib/brisendel/" + PLUGIN_FILE};
#ifdef BRISENDEL_PLUGIN_FALLBACK
  candidates.push_back(BRISENDEL_PLUGIN_FALLBACK);
#endif
  for (const std::string& candidate : candidates) {
    if (!isFile(candidate)) continue;
    char resolved[PATH_MAX];
    return realpath(candidate.c_str(), resolved) != nullptr ? std::string(resolved) : candidate;
  }
  throw ToolError(std::string("cannot find ") + PLUGIN_FILE +
                  " (looked next to brisendel and in ../lib/vst); name it with --plugin PATH");
}

void BrisendelApp::loadPlugin(PluginHost& host) const {
  const std::string path = _pluginPath.empty() ? findPlugin() : _pluginPath;
  if (!_pluginPath.empty()) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
      throw ToolError(path + ": cannot load the plug-in: " + std::strerror(errno));
    if (S_ISDIR(status.st_mode)) throw ToolError(path + ": is a directory, not a plug-in");
  }
  host.load(path);
}

unsigned BrisendelApp::jobs() const {
  if (_jobs != 0) return _jobs;
  // The processors this process may run on (taskset, a container's CPU set), not
  // every processor the machine has: more jobs than those only take turns.
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (sched_getaffinity(0, sizeof(allowed), &allowed) == 0)
    return std::clamp(static_cast<unsigned>(CPU_COUNT(&allowed)), 1u, MAX_JOBS);
  return std::clamp(std::thread::hardware_concurrency(), 1u, MAX_JOBS);
}

SegmentedRender::InstanceFactory BrisendelApp::instanceFactory(const PluginHost& host) {
  std::vector<float> values;
  for (int i = 0; i < host.getNumParams(); ++i) values.push_back(host.getParameter(i));
  const std::string path = host.getPath();
  return [path, values]() {
    auto instance = std::make_unique<PluginHost>();
    instance->load(path);
    // The same normalized values select the same steps: the instances are alike.
    for (std::size_t i = 0; i < values.size(); ++i)
      instance->setParameter(static_cast<int>(i), values[i]);
    return instance;
  };
}

std::string BrisendelApp::applyParameters(PluginHost& host,
                                          const std::vector<ParameterChoice>& choices) const {
  for (const ParameterChoice& choice : choices) {
    const int index = host.findParameter(choice.name);
    if (index < 0)
      throw ToolError(host.getPath() + ": the plug-in has no parameter " + choice.name);
    host.selectStep(index, choice.display);
  }
  std::string shown;
  for (int i = 0; i < host.getNumParams(); ++i) {
    if (!shown.empty()) shown += ", ";
    shown += host.getParameterName(i) + " " + host.getParameterDisplay(i);
    const std::string label = host.getParameterLabel(i);
    if (!label.empty()) shown += " " + label;
  }
  return shown;
}

void BrisendelApp::render() {
  PluginHost host;
  loadPlugin(host);
  const std::string shown = applyParameters(host, _choices);
  std::cout << shown << std::endl;
  Renderer renderer(host, instanceFactory(host));
  renderer.setBlockSize(_blockSize);
  renderer.setFloatOutput(_floatOutput);
  renderer.setJobs(jobs());
  const RenderResult result = renderer.render(_operands[0], _operands[1]);
  const double seconds = static_cast<double>(result.frames) / result.sampleRate;
  std::ostringstream line;
  line << std::fixed << std::setprecision(2) << _operands[0] << " -> " << _operands[1] << ": "
       << result.frames << " frames (" << seconds << " s, " << result.outputFormat << ") in "
       << result.seconds << " s on " << result.jobs << (result.jobs == 1 ? " job" : " jobs");
  if (result.seconds > 0.0)
    line << ", " << std::setprecision(1) << seconds / result.seconds << "x real time";
  if (result.clipped > 0) line << "; " << result.clipped << " samples clipped at full scale";
  std::cout << line.str() << std::endl;
}

void BrisendelApp::info() {
  PluginHost host;
  loadPlugin(host);
  const bool doubles = host.canDoubleReplacing();
  std::cout << "plug-in     " << host.getPath() << "\n"
            << "name        " << host.getEffectName() << "\n"
            << "vendor      " << host.getVendorString() << "\n"
            << "product     " << host.getProductString() << "\n"
            << "unique id   " << hexId(host.getUniqueId()) << "\n"
            << "version     " << host.getVersion() << " (vendor version " << host.getVendorVersion()
            << ", VST " << host.getVstVersion() << ")\n"
            << "latency     " << host.getLatency() << " frames\n"
            << "inputs      " << host.getNumInputs() << "\n"
            << "outputs     " << host.getNumOutputs() << "\n"
            << "precision   " << (doubles ? "single and double" : "single") << "\n"
            << "programs    " << host.getNumPrograms() << "\n"
            << "parameters  " << host.getNumParams() << "\n";
  std::cout << "  #  name      label  display   steps\n";
  for (int i = 0; i < host.getNumParams(); ++i) {
    const std::string display = host.getParameterDisplay(i);
    const std::size_t steps = host.listSteps(i).size();
    std::ostringstream row;
    row << std::setw(3) << i << "  " << std::left << std::setw(10) << host.getParameterName(i)
        << std::setw(7) << host.getParameterLabel(i) << std::setw(10) << display;
    // A display that changes at nearly every probe belongs to a continuous parameter.
    if (steps >= PluginHost::STEP_PROBES / 2) {
      row << "continuous";
    } else {
      row << steps;
    }
    std::cout << row.str() << "\n";
  }
  std::cout << std::flush;
}

void BrisendelApp::demo() {
  const std::string folder = _operands.empty() ? "brisendel-demo" : _operands[0];
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
    throw ToolError(folder + ": cannot create the folder: " + std::strerror(errno));
  }
  struct Take {
    const char* file;
    const char* what;
    std::vector<ParameterChoice> choices;
  };
  const std::vector<Take> takes = {
      {"mix.wav", "the test mix", {}},
      {"center-removed.wav",
       "Center 0, Side 100, AutoGain off",
       {{"Center", "0"}, {"Side", "100"}, {"AutoGain", "Disabled"}}},
      {"sides-removed.wav",
       "Center 100, Side 0, AutoGain off",
       {{"Center", "100"}, {"Side", "0"}, {"AutoGain", "Disabled"}}},
  };
  const std::string mixPath = folder + "/" + takes[0].file;
  DemoMix::write(mixPath);
  std::cout << "wrote " << mixPath << " (" << takes[0].what
            << ": chords in the center, wide ambience, a bell hard left)\n";
  for (std::size_t t = 1; t < takes.size(); ++t) {
    PluginHost host;
    loadPlugin(host);
    applyParameters(host, takes[t].choices);
    Renderer renderer(host, instanceFactory(host));
    renderer.setJobs(jobs());
    const std::string path = folder + "/" + takes[t].file;
    renderer.render(mixPath, path);
    std::cout << "wrote " << path << " (" << takes[t].what << ")\n";
  }
  std::cout << "\n"
            << std::left << std::setw(22) << "file" << std::right << std::setw(14) << "mid RMS dBFS"
            << std::setw(15) << "side RMS dBFS" << std::setw(17) << "L/R correlation"
            << "\n";
  for (const Take& take : takes) {
    const StereoMeter meter = measureFile(folder + "/" + take.file);
    std::ostringstream row;
    row << std::left << std::setw(22) << take.file << std::right << std::setw(14)
        << formatDb(meter.getMidRmsDb()) << std::setw(15) << formatDb(meter.getSideRmsDb())
        << std::setw(17) << std::fixed << std::setprecision(3) << meter.getCorrelation();
    std::cout << row.str() << "\n";
  }
  std::vector<StereoFieldAnalysis> analyses;
  std::vector<StereoFieldPicture::Entry> entries;
  analyses.reserve(takes.size());
  for (const Take& take : takes) {
    analyses.push_back(analyzeFile(folder + "/" + take.file));
    StereoFieldAnalysis::Bands bands;
    analyses.back().computeBands(bands);
    entries.push_back(pictureEntry(take.file, analyses.back(), bands));
  }
  const std::string picture = folder + "/stereo-field.png";
  const StereoFieldPicture drawing(entries);
  writePng(picture, PICTURE_WIDTH, PICTURE_HEIGHT, drawingOf(drawing));
  std::cout << "\nwrote " << picture << " (width and correlation per band, goniometers)\n";
  std::cout << "\nRemoving the center leaves the ambience and the bell: mid falls, the channels "
               "decorrelate.\n"
            << "Removing the sides leaves what both channels share: side falls, the channels "
               "become alike.\n"
            << std::flush;
}

void BrisendelApp::renderWith(const std::string& in, const std::string& out,
                              const std::vector<ParameterChoice>& choices) const {
  PluginHost host;
  loadPlugin(host);
  applyParameters(host, choices);
  Renderer renderer(host, instanceFactory(host));
  renderer.setJobs(jobs());
  renderer.setProgressAllowed(false);
  renderer.render(in, out);
}

void BrisendelApp::guide() {
  const std::string folder = _operands.empty() ? "brisendel-guide" : _operands[0];
  // The renders are only a means to the pictures and numbers: they live in a
  // temporary folder that goes when the work is done, or fails.
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/brisendel-guide-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr)
    throw ToolError(pattern + ": cannot create a temporary folder: " + std::strerror(errno));
  struct RemoveFolder {
    std::string path;
    ~RemoveFolder() {
      if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
          const std::string name = entry->d_name;
          if (name != "." && name != "..") unlink((path + "/" + name).c_str());
        }
        closedir(dir);
      }
      rmdir(path.c_str());
    }
  } work{pattern};
  GuideMaker maker(
      folder, work.path,
      [this](const std::string& in, const std::string& out, const GuideMaker::Setting& setting) {
        std::vector<ParameterChoice> choices;
        for (const auto& choice : setting.choices())
          choices.push_back({choice.first, choice.second});
        renderWith(in, out, choices);
      },
      std::cout);
  maker.make();
}

void BrisendelApp::analyze() {
  // Before any work: a picture must not replace a file it shows.
  for (const std::string* picturePath : {&_pngPath, &_svgPath}) {
    if (!picturePath->empty()) SafeOutputFile::refuseUnsafe(*picturePath, _operands);
  }
  std::vector<StereoFieldAnalysis> analyses;
  std::vector<StereoFieldAnalysis::Bands> bands(_operands.size());
  analyses.reserve(_operands.size());
  for (const std::string& path : _operands) {
    analyses.push_back(analyzeFile(path));
    analyses.back().computeBands(bands[analyses.size() - 1]);
    const std::uint64_t nonFinite = analyses.back().getNonFiniteSamples();
    if (nonFinite > 0) {
      std::cerr << "brisendel: " << path << ": " << nonFinite
                << (nonFinite == 1 ? " sample is" : " samples are")
                << " NaN or infinite; left out of the analysis" << std::endl;
    }
  }
  // The table: one row per band, side-to-mid ratio and correlation per file.
  std::ostringstream head;
  head << std::right << std::setw(9) << "band Hz";
  for (std::size_t f = 0; f < _operands.size(); ++f) {
    head << std::setw(14) << ("side/mid dB " + std::to_string(f + 1)) << std::setw(11)
         << ("corr " + std::to_string(f + 1));
  }
  for (std::size_t f = 0; f < _operands.size(); ++f)
    std::cout << (f + 1) << ": " << _operands[f] << "\n";
  std::cout << head.str() << "\n";
  for (int b = 0; b < StereoFieldAnalysis::NUM_BANDS; ++b) {
    std::ostringstream row;
    row << std::right << std::setw(9) << BAND_NAMES[b];
    for (const StereoFieldAnalysis::Bands& fileBands : bands) {
      const StereoFieldAnalysis::Band& band = fileBands[std::size_t(b)];
      const std::string ratio = std::isnan(band.sideToMidDb) ? "-" : formatDb(band.sideToMidDb);
      std::ostringstream correlation;
      if (std::isnan(band.correlation)) {
        correlation << "-";
      } else {
        correlation << std::fixed << std::setprecision(3) << band.correlation;
      }
      row << std::setw(14) << ratio << std::setw(11) << correlation.str();
    }
    std::cout << row.str() << "\n";
  }
  std::cout << std::flush;
  std::vector<StereoFieldPicture::Entry> entries;
  for (std::size_t f = 0; f < _operands.size(); ++f) {
    const std::size_t slash = _operands[f].rfind('/');
    entries.push_back(
        pictureEntry(slash == std::string::npos ? _operands[f] : _operands[f].substr(slash + 1),
                     analyses[f], bands[f]));
  }
  const StereoFieldPicture picture(entries);
  if (!_pngPath.empty()) {
    writePng(_pngPath, PICTURE_WIDTH, PICTURE_HEIGHT, drawingOf(picture), _operands);
    std::cout << "wrote " << _pngPath << std::endl;
  }
  if (!_svgPath.empty()) {
    writeSvg(_svgPath, PICTURE_WIDTH, PICTURE_HEIGHT, drawingOf(picture), _operands);
    std::cout << "wrote " << _svgPath << std::endl;
  }
}

}  // namespace brisendel
