#include <string>
#include <vector>

#include "tools/BrisendelApp.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  brisendel::BrisendelApp app;
  return app.main(arguments);
}
