#pragma once
// Replacing a file so that a crash or a full disk never leaves it half written:
// the new content goes to a temporary file beside it, is flushed, and is
// renamed over the old one.

#include <string>

namespace orti {

struct FileResult {
  bool ok = true;
  int errorNumber = 0;  // errno of the failed call
};

FileResult WriteFileAtomically(const std::string& path, const std::string& bytes);

// Reads the whole file; `ok` is false (with errno) when it cannot be read.
FileResult ReadWholeFile(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);

}  // namespace orti
