#pragma once
// A work log that only keeps the lines it is given, as given.

#include <string>
#include <vector>

#include "platform/log_sink.h"

namespace orti::test {

class RecordingLog final : public LogSink {
 public:
  void AddLogLine(const std::string& text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

}  // namespace orti::test
