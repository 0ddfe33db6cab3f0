#pragma once
// Every failure of the archive, whatever the engine, carries the engine's own
// words, so that callers report one reason whatever went wrong (locked,
// corrupt, full disk).

#include <stdexcept>

namespace orti {

class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace orti
