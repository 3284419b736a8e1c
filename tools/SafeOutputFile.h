#pragma once

#include <string>
#include <vector>

namespace brisendel {

// The way an output file comes into being without ever leaving a half-written file
// under its name: everything is written to a temporary file in the same folder, which
// is flushed to disk and renamed onto the final name only when complete (a rename
// within one folder replaces the old file in one step). An unfinished temporary file is
// removed when this object dies, and also when the process is stopped by SIGINT,
// SIGTERM, SIGHUP or SIGQUIT. A file size limit (SIGXFSZ) does not stop the process:
// the write that crosses it fails, is reported, and the temporary file is removed.
// One SafeOutputFile may be open at a time.
class SafeOutputFile {
 public:
  // Refuses (ToolError) an output that is a folder or another non-regular file (a
  // device, a pipe), that is the file `protectedInput`
  // (also through another path, a link or a hard link to it), or whose folder does
  // not take a new file; otherwise creates the empty temporary file.
  SafeOutputFile(const std::string& path, const std::string& protectedInput);
  // The same, protecting every file of `protectedInputs`.
  SafeOutputFile(const std::string& path, const std::vector<std::string>& protectedInputs);
  SafeOutputFile(const SafeOutputFile&) = delete;
  SafeOutputFile& operator=(const SafeOutputFile&) = delete;
  // Removes the temporary file unless commit succeeded.
  ~SafeOutputFile();

  // Refuses (ToolError) an output `path` that is a folder or another non-regular file,
  // or one of `protectedInputs`; the check the constructor makes, for callers that
  // want it before they start their work.
  static void refuseUnsafe(const std::string& path,
                           const std::vector<std::string>& protectedInputs);

  const std::string& getPath() const { return _path; }
  // Where the writer writes until commit.
  const std::string& getTemporaryPath() const { return _temporaryPath; }
  // Checks that the temporary file holds `expectedBytes` bytes, flushes it to disk and
  // renames it onto the final name. Throws ToolError naming the output otherwise.
  void commit(unsigned long long expectedBytes);
  // The same without a size check, for formats whose size is not known in advance
  // (the writer checks what it wrote).
  void commit();

 private:
  void discard();

  std::string _path;
  std::string _temporaryPath;
  bool _committed = false;
};

}  // namespace brisendel
