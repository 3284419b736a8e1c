#include <string>
#include <vector>

#include "tools/BrisendelApp.h"

#if defined(__SANITIZE_ADDRESS__)
// In sanitizer builds only: fontconfig, which cairo asks for its fonts, keeps its
// configuration until the process ends, by design, and LeakSanitizer reports that at
// exit. Only that library's allocations are exempt; a leak of ours still fails.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  brisendel::BrisendelApp app;
  return app.main(arguments);
}
