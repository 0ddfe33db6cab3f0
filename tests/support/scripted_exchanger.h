#pragma once
// An Exchanger that answers from a script: each request gets the next reply,
// or no reply at all. A scripted reply is judged against the request as the
// serial link judges it. It records every request.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "device/exchanger.h"
#include "device/frame_codec.h"
#include "device/reply_validation.h"

namespace orti::test {

class ScriptedExchanger final : public Exchanger {
 public:
  // nullopt: the exchange fails; `leftover` is what the buffer then holds.
  void Reply(std::optional<std::string> reply, std::string leftover = {}) {
    script_.push_back({std::move(reply), std::move(leftover)});
  }
  // The instrument carries out the next write and echoes its address and size.
  void Accept() { script_.push_back({std::string(), {}, true}); }

  ExchangeStatus Exchange(std::string_view request) override {
    requests.emplace_back(request);
    reply_.clear();
    if (script_.empty()) {
      buffer_.clear();
      return ExchangeStatus::kNoReply;
    }
    auto step = script_.front();
    script_.pop_front();
    if (step.accept) step.reply = WriteEcho(request);
    buffer_ = step.reply ? *step.reply : step.leftover;
    if (!step.reply) return ExchangeStatus::kNoReply;
    const FoundReply found = FindReply(request, buffer_);
    switch (found.verdict) {
      case ReplyVerdict::kValid:
        reply_ = std::string(found.frame);
        return ExchangeStatus::kReply;
      case ReplyVerdict::kErrorReply:
        reply_ = std::string(found.frame);
        return ExchangeStatus::kErrorReply;
      case ReplyVerdict::kNoFrame:
        return ExchangeStatus::kNoReply;
      default:
        return ExchangeStatus::kMalformed;
    }
  }
  std::string_view Reply() const override { return reply_; }
  std::string_view ReplyBuffer() const override { return buffer_; }

  std::vector<std::string> requests;

 private:
  struct Step {
    std::optional<std::string> reply;
    std::string leftover;
    bool accept = false;
  };

  // The first five bytes of a write request (device, function, address, size).
  static std::string WriteEcho(std::string_view request) {
    std::vector<uint8_t> bytes;
    for (size_t i = 1; i + 1 < request.size() && bytes.size() < 5; i += 2) {
      bytes.push_back(ReplyByteAt(request, i));
    }
    return EncodeFrame(bytes);
  }
  std::deque<Step> script_;
  std::string buffer_;
  std::string reply_;
};

}  // namespace orti::test
