#pragma once
// The one way the console replaces a file (settings, work log, backups, an
// export replaced or extended):
//
// - a symbolic link is followed and its target replaced, so a file shared
//   through a link stays shared; a link to nothing is refused: a new file is
//   never created through a link;
// - a target the user may not write (no permission, or no write bit at all:
//   the read-only attribute of Windows) is refused with EACCES, nothing written;
// - the new content goes to a temporary file ".NAME.orti415-XXXXXX" beside the
//   target, locked while it is written, is flushed, takes the target's
//   permission bits and group (a new file: 0666 less the umask, as open makes
//   it), and is renamed over it; a crash leaves the old file or the new one,
//   never a mix; a new file is renamed into place only while its name is still
//   free. Such a leftover of an earlier crash is removed the next time the same
//   file is written, unless another process still holds it (and it is younger
//   than an hour);
// - the target is written in place (truncated, written, flushed) when the
//   folder cannot take a temporary file but the target itself is writable, or
//   when the target belongs to another user or group that a renamed file
//   could not keep: the one case where a crash can leave half a file. An
//   extension (`keptBytes`) then only appends, so the old content stays whole.

#include <cstddef>
#include <string>
#include <utility>

namespace orti {

struct FileResult {
  FileResult() = default;
  FileResult(bool ok, int errorNumber, std::string reason = {})
      : ok(ok), errorNumber(errorNumber), reason(std::move(reason)) {}

  bool ok = true;
  int errorNumber = 0;  // errno of the failed call
  std::string reason;   // the console's own words where the system's would mislead (UTF-8)
};

// Why a file call failed, for the operator: the console's own words, else the system's.
std::string FileErrorText(const FileResult& result);

// The points of a replace where a failure or a crash can strike, in order.
enum class ReplaceStep {
  kRemoveLeftovers,
  kCreateTemporary,
  kWriteTemporary,  // before every write call
  kFlushTemporary,
  kRename,
  kCloseTemporary,
  kFlushFolder,
  kOpenInPlace,
  kWriteInPlace,  // before every write call
  kFlushInPlace,
};

// Test seam: asked before each step. 0 goes on; an errno makes the step fail
// as the system call would; kSimulatedCrash stops the replace dead, leaving
// whatever is on disk at that moment (as a killed process would).
class ReplaceSeam {
 public:
  virtual ~ReplaceSeam() = default;
  virtual int Before(ReplaceStep step) = 0;
};
constexpr int kSimulatedCrash = -1;

// Largest piece handed to one write call (so that a test can stop between pieces).
constexpr size_t kReplaceWriteChunk = 1 << 16;

// A temporary file older than this is a leftover even while a process holds it.
constexpr long kLeftoverAgeSeconds = 3600;

// Replaces the file with `bytes`. An extension passes in `keptBytes` how many
// leading bytes of `bytes` are the file's present content.
FileResult ReplaceFile(const std::string& path, const std::string& bytes,
                       ReplaceSeam* seam = nullptr, size_t keptBytes = 0);

// The former name of ReplaceFile.
inline FileResult WriteFileAtomically(const std::string& path, const std::string& bytes) {
  return ReplaceFile(path, bytes);
}

// The file a path names after following symbolic links (the last component
// may not exist). ELOOP for a cycle. `throughLink` tells whether a link was
// followed on the way.
FileResult ResolveLinks(const std::string& path, std::string& target, bool* throughLink = nullptr);

// The name prefix of our temporary files for `path`'s file name: ".NAME.orti415-".
std::string TemporaryPrefix(const std::string& fileName);

// Files read whole must be regular files of at most this size: an import, a
// backup, an export being extended, the simulator's image.
constexpr size_t kMaxWholeFileBytes = size_t{256} << 20;
// The settings file, read at every start.
constexpr size_t kMaxSettingsFileBytes = size_t{16} << 20;

// Reads the whole file; `ok` is false (with errno) when it cannot be read, is
// no regular file (a device or a pipe is never waited on) or holds more than
// `limit` bytes (EFBIG).
FileResult ReadWholeFile(const std::string& path, std::string& bytes,
                         size_t limit = kMaxWholeFileBytes);

bool FileExists(const std::string& path);

}  // namespace orti
