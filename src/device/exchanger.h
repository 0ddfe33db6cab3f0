#pragma once
// What the instrument commands need of the serial link: one request out, one
// reply back.

#include <string_view>

namespace orti {

class Exchanger {
 public:
  virtual ~Exchanger() = default;
  // Sends `request` on the current port; false when no complete reply came.
  virtual bool Exchange(std::string_view request) = 0;
  // The received block up to its first zero: the reply after a success, after
  // a failure whatever the last read left (usually nothing).
  virtual std::string_view ReplyBuffer() const = 0;
};

}  // namespace orti
