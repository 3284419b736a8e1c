#pragma once

#include <string>
#include <vector>

#include "spl/app/Application.h"
#include "spl/app/ConsoleApp.h"
#include "tools/SegmentedRender.h"

namespace brisendel {

class PluginHost;

// The `brisendel` command: renders audio files through the Brisendel plug-in binary,
// draws their stereo field, shows what a host sees of the plug-in, runs a
// self-contained demo and makes the user's guide's pictures and numbers. It drives the
// plug-in only through the VST effect record, exactly as an audio host does.
class BrisendelApp : public spl::Application, public spl::ConsoleApp {
 public:
  // Exit statuses.
  static constexpr int OK = 0;
  static constexpr int FAILED = 1;
  static constexpr int BAD_USAGE = 2;

  BrisendelApp();
  // Runs the command line (without the program name) and returns the exit status.
  // Every failure ends here as one line on standard error; nothing is thrown.
  int main(const std::vector<std::string>& arguments);

 protected:
  void parseArguments(spl::CommandArgument& arguments) override;
  void execute() override;

 private:
  // A parameter the user asked for: the plug-in's name and the display text wanted.
  struct ParameterChoice {
    std::string name;
    std::string display;
  };

  void parseOption(const std::string& option, spl::CommandArgument& arguments);
  // Takes the next argument whole (the cursor's own text take stops at a blank,
  // which would cut file names with spaces).
  std::string take(spl::CommandArgument& arguments) const;
  void render();
  void info();
  void demo();
  void analyze();
  void guide();
  // Renders `in` into `out` through a fresh instance of the plug-in at `choices`, on
  // every job.
  void renderWith(const std::string& in, const std::string& out,
                  const std::vector<ParameterChoice>& choices) const;
  // A fresh instance of the loaded plug-in with the same parameter values as `host`,
  // for renders on several jobs.
  static SegmentedRender::InstanceFactory instanceFactory(const PluginHost& host);
  void loadPlugin(PluginHost& host) const;
  std::string findPlugin() const;
  // Jobs for a render: the user's choice, else one per processor the process may use.
  unsigned jobs() const;
  // Sets the chosen parameters and returns every parameter as the plug-in displays it.
  std::string applyParameters(PluginHost& host, const std::vector<ParameterChoice>& choices) const;

  std::vector<std::string> _arguments;
  std::string _command;
  std::vector<std::string> _operands;
  std::vector<std::string> _renderOptionsSeen;
  std::vector<std::string> _analyzeOptionsSeen;
  std::string _pngPath;
  std::string _svgPath;
  unsigned _jobs = 0;  // 0: every core
  std::vector<ParameterChoice> _choices;
  std::string _pluginPath;
  unsigned _blockSize = 1024;
  bool _floatOutput = false;
  bool _help = false;
};

}  // namespace brisendel
