#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace spl {

// The descriptive texts of a command-line tool (name, summary, usage, notice
// and one line per option) and the header and usage screens built from them.
class ConsoleApp {
 public:
  ConsoleApp() = default;
  virtual ~ConsoleApp() = default;

  void setName(const std::string& name) { _name = name; }
  void setSummary(const std::string& summary) { _summary = summary; }
  void setUsage(const std::string& usage) { _usage = usage; }
  void setNotice(const std::string& notice) { _notice = notice; }
  const std::string& getName() const { return _name; }
  const std::string& getSummary() const { return _summary; }
  const std::string& getUsage() const { return _usage; }
  const std::string& getNotice() const { return _notice; }

  // "<name>: <summary>", then the notice, each on its own line.
  void printHeader(std::ostream& out) const;
  // "usage: <usage>", then each option line indented by two blanks; returns
  // the number of option lines.
  unsigned printUsage(std::ostream& out) const;
  // Adds the option line "<option>: <description>".
  void addOption(const std::string& option, const std::string& description);

 private:
  std::string _name;
  std::string _summary;
  std::string _usage;
  std::string _notice;
  std::vector<std::string> _options;
};

}  // namespace spl
