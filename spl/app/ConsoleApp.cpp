#include "spl/app/ConsoleApp.h"

namespace spl {

void ConsoleApp::printHeader(std::ostream& out) const {
  out << _name << ": " << _summary << std::endl;
  out << _notice << std::endl;
}

unsigned ConsoleApp::printUsage(std::ostream& out) const {
  out << "usage: " << _usage << std::endl;
  for (const std::string& option : _options) out << "  " << option << std::endl;
  return static_cast<unsigned>(_options.size());
}

void ConsoleApp::addOption(const std::string& option, const std::string& description) {
  _options.push_back(option + ": " + description);
}

}  // namespace spl
