#pragma once
// An Exchanger that answers from a script: each request gets the next reply,
// or no reply at all. It records every request.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "device/exchanger.h"

namespace orti::test {

class ScriptedExchanger final : public Exchanger {
 public:
  // nullopt: the exchange fails; `leftover` is what the buffer then holds.
  void Reply(std::optional<std::string> reply, std::string leftover = {}) {
    script_.push_back({std::move(reply), std::move(leftover)});
  }

  bool Exchange(std::string_view request) override {
    requests.emplace_back(request);
    if (script_.empty()) {
      buffer_.clear();
      return false;
    }
    auto step = script_.front();
    script_.pop_front();
    buffer_ = step.reply ? *step.reply : step.leftover;
    return step.reply.has_value();
  }
  std::string_view ReplyBuffer() const override { return buffer_; }

  std::vector<std::string> requests;

 private:
  struct Step {
    std::optional<std::string> reply;
    std::string leftover;
  };
  std::deque<Step> script_;
  std::string buffer_;
};

}  // namespace orti::test
