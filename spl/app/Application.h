#pragma once

#include <memory>
#include <string>
#include <vector>

#include "spl/util/CommandArgument.h"

namespace spl {

// Base of a command-line tool: run() hands the arguments to parseArguments,
// then calls initialize, execute and finalize in that order. Subclasses
// supply execute and override the other steps as they need.
class Application {
 public:
  Application() = default;
  virtual ~Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the steps over a fresh cursor on args, which replaces the cursor of
  // any earlier run.
  void run(std::vector<std::string> args);

  // The tool's work.
  virtual void execute() = 0;
  virtual void initialize() {}
  virtual void finalize() {}
  virtual void parseArguments(CommandArgument& /*argument*/) {}

  // The cursor of the current run; null before the first run.
  CommandArgument* getArgument() const { return _argument.get(); }

 private:
  std::unique_ptr<CommandArgument> _argument;
};

}  // namespace spl
