#pragma once
// The one way the console replaces a file (settings, work log, a replaced
// export):
//
// - a symbolic link is followed and its target replaced, so a file shared
//   through a link stays shared;
// - a target the user may not write (no permission, or no write bit at all:
//   the read-only attribute of Windows) is refused with EACCES, nothing written;
// - the new content goes to a temporary file ".NAME.orti415-XXXXXX" beside the
//   target, is flushed, takes the target's permission bits and owner, and is
//   renamed over it; a crash leaves the old file or the new one, never a mix;
//   such a leftover of an earlier crash is removed the next time the same
//   file is written;
// - when the folder cannot take a temporary file but the target itself is
//   writable, the target is written in place (truncated, written, flushed):
//   the one case where a crash can leave half a file.

#include <string>

namespace orti {

struct FileResult {
  bool ok = true;
  int errorNumber = 0;  // errno of the failed call
};

// The points of a replace where a failure or a crash can strike, in order.
enum class ReplaceStep {
  kRemoveLeftovers,
  kCreateTemporary,
  kWriteTemporary,  // before every write call
  kFlushTemporary,
  kCloseTemporary,
  kRename,
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

FileResult ReplaceFile(const std::string& path, const std::string& bytes,
                       ReplaceSeam* seam = nullptr);

// The former name of ReplaceFile.
inline FileResult WriteFileAtomically(const std::string& path, const std::string& bytes) {
  return ReplaceFile(path, bytes);
}

// Appends to the end of an existing file (through links), refusing, like
// ReplaceFile, a file the user may not write.
FileResult AppendToFile(const std::string& path, const std::string& bytes);

// The file a path names after following symbolic links (the last component
// may not exist). ELOOP for a cycle.
FileResult ResolveLinks(const std::string& path, std::string& target);

// The name prefix of our temporary files for `path`'s file name: ".NAME.orti415-".
std::string TemporaryPrefix(const std::string& fileName);

// Reads the whole file; `ok` is false (with errno) when it cannot be read.
FileResult ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);

}  // namespace orti
