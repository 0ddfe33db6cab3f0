#pragma once
// The work log as seen by the code that writes into it.

#include <string>

namespace orti {

class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void AddLogLine(const std::string& text) = 0;
};

}  // namespace orti
