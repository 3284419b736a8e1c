#include "spl/app/Application.h"

#include <utility>

namespace spl {

void Application::run(std::vector<std::string> args) {
  _argument = std::make_unique<CommandArgument>(std::move(args));
  parseArguments(*_argument);
  initialize();
  execute();
  finalize();
}

}  // namespace spl
