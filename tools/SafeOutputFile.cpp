#include "tools/SafeOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "tools/ToolError.h"

namespace brisendel {

namespace {

// The temporary file a signal handler must remove: a plain buffer, since the handler
// may only use async-signal-safe calls.
char pendingPath[4096];
volatile std::sig_atomic_t pendingActive = 0;

extern "C" void removePendingAndDie(int signalNumber) {
  if (pendingActive != 0) unlink(pendingPath);
  std::signal(signalNumber, SIG_DFL);
  std::raise(signalNumber);
}

const int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void installHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = removePendingAndDie;
  sigemptyset(&action.sa_mask);
  for (int signalNumber : STOP_SIGNALS) sigaction(signalNumber, &action, nullptr);
  // Past a file size limit (ulimit -f) the kernel would kill the process, leaving the
  // temporary file and saying nothing; ignored, the write fails with EFBIG instead.
  signal(SIGXFSZ, SIG_IGN);
}

// Holds back the stop signals while a temporary file is being created and registered,
// so that no signal can come between the two and leave the file behind.
class StopSignalsHeld {
 public:
  StopSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signalNumber : STOP_SIGNALS) sigaddset(&held, signalNumber);
    sigprocmask(SIG_BLOCK, &held, &_previous);
  }
  ~StopSignalsHeld() { sigprocmask(SIG_SETMASK, &_previous, nullptr); }
  StopSignalsHeld(const StopSignalsHeld&) = delete;
  StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

 private:
  sigset_t _previous;
};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SafeOutputFile::SafeOutputFile(const std::string& path, const std::string& protectedInput)
    : SafeOutputFile(path, protectedInput.empty() ? std::vector<std::string>{}
                                                  : std::vector<std::string>{protectedInput}) {}

void SafeOutputFile::refuseUnsafe(const std::string& path,
                                  const std::vector<std::string>& protectedInputs) {
  if (path.empty() || path.back() == '/')
    throw ToolError(path + ": names a folder, not an output file");
  struct stat output {};
  if (stat(path.c_str(), &output) != 0) return;  // a new file
  if (S_ISDIR(output.st_mode)) throw ToolError(path + ": is a directory, not an output file");
  // Renaming onto a device, a pipe or a socket would replace that node itself
  // (/dev/stdout, say) instead of writing to it.
  if (!S_ISREG(output.st_mode))
    throw ToolError(path + ": is not a regular file; refusing to replace it");
  for (const std::string& protectedInput : protectedInputs) {
    struct stat input {};
    if (stat(protectedInput.c_str(), &input) == 0 && input.st_dev == output.st_dev &&
        input.st_ino == output.st_ino) {
      throw ToolError(path + ": is the input file; refusing to overwrite it");
    }
  }
}

SafeOutputFile::SafeOutputFile(const std::string& path,
                               const std::vector<std::string>& protectedInputs)
    : _path(path) {
  refuseUnsafe(path, protectedInputs);
  const std::string folder = folderOf(path);
  std::string pattern = folder + "/." + nameOf(path) + ".brisendel-XXXXXX";
  if (pattern.size() >= sizeof(pendingPath)) throw ToolError(path + ": path too long");
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  installHandlers();
  const StopSignalsHeld held;
  const int descriptor = mkstemp(buffer.data());
  if (descriptor < 0) {
    throw ToolError(path + ": cannot write in " + folder + ": " + std::strerror(errno));
  }
  // mkstemp makes the file private (0600); give it the mode any new file would get.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
  close(descriptor);
  _temporaryPath = buffer.data();
  std::memcpy(pendingPath, _temporaryPath.c_str(), _temporaryPath.size() + 1);
  pendingActive = 1;
}

SafeOutputFile::~SafeOutputFile() {
  if (!_committed) discard();
}

void SafeOutputFile::discard() {
  pendingActive = 0;
  unlink(_temporaryPath.c_str());
}

void SafeOutputFile::commit(unsigned long long expectedBytes) {
  struct stat written {};
  if (stat(_temporaryPath.c_str(), &written) != 0) {
    throw ToolError(_path + ": the output could not be written: " + std::strerror(errno));
  }
  if (static_cast<unsigned long long>(written.st_size) != expectedBytes) {
    throw ToolError(_path + ": the output could not be written completely (" +
                    std::to_string(written.st_size) + " of " + std::to_string(expectedBytes) +
                    " bytes; is the disk full?)");
  }
  commit();
}

void SafeOutputFile::commit() {
  const int descriptor = open(_temporaryPath.c_str(), O_RDONLY);
  if (descriptor < 0)
    throw ToolError(_path + ": the output could not be written: " + std::strerror(errno));
  const bool synced = fsync(descriptor) == 0;
  const int syncError = errno;
  close(descriptor);
  if (!synced)
    throw ToolError(_path + ": the output could not be written: " + std::strerror(syncError));
  if (rename(_temporaryPath.c_str(), _path.c_str()) != 0) {
    throw ToolError(_path + ": cannot replace the file: " + std::strerror(errno));
  }
  _committed = true;
  pendingActive = 0;
}

}  // namespace brisendel
