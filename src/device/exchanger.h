#pragma once
// What the instrument commands need of the serial link: one request out, one
// reply back, and why the exchange ended.

#include <string_view>

namespace orti {

enum class ExchangeStatus {
  kReply,       // a frame that answers the request
  kErrorReply,  // the instrument refused the request with an error reply
  kNoReply,     // nothing acceptable came back in any attempt
  kMalformed,   // frames came back, but none answered the request
  kTimedOut,    // the reply timer ran out
  kAborted,     // "Прервать" was pressed
  kPortError,   // the port could not be opened, configured or written
};

class Exchanger {
 public:
  virtual ~Exchanger() = default;
  // Sends `request` (a frame the console built) on the current port.
  virtual ExchangeStatus Exchange(std::string_view request) = 0;
  // After kReply or kErrorReply: the reply frame, from its ":" to its LF.
  // Decoders read fields from here, never from the raw block.
  virtual std::string_view Reply() const = 0;
  // What the exchange received, across its attempts (the failed-reply report
  // shows it; after a failure with no input, nothing).
  virtual std::string_view ReplyBuffer() const = 0;
};

}  // namespace orti
