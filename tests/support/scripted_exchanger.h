#pragma once
// An Exchanger that answers from a script: each request gets the next reply,
// or no reply at all. A scripted reply is judged against the request as the
// serial link judges it. It records every request.

#include <deque>
#include <map>
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
  // The next write is acknowledged but not carried out.
  void AcceptUnapplied() { script_.push_back({std::string(), {}, true, false}); }
  // The next request is answered as the instrument answers an identification.
  void Identified(uint16_t notepadAddress) {
    std::vector<uint8_t> bytes{
        1,   kFuncIdentify, 1, 0, 0xCE, 0xD0, 0xD2, 0xC8, '-', '4', '1',
        '5', '3',           0, 0, 0,    0,    0,    0,    0,   0};  // "ОРТИ-415" in cp1251
    bytes.push_back(static_cast<uint8_t>(notepadAddress >> 8));
    bytes.push_back(static_cast<uint8_t>(notepadAddress & 0xFF));
    Reply(EncodeFrame(bytes));
  }

  // From now on reads are answered from a memory that accepted writes change
  // (erased bytes read 0xFF), without taking a step of the script.
  void ServeReadsFromMemory() { memoryOn_ = true; }
  uint8_t& Memory(int address) { return memory_.try_emplace(address, 0xFF).first->second; }
  // Write requests (erases among them), in order.
  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    for (const auto& r : requests) {
      if (r.size() > 4 && ReplyByteAt(r, 3) == kFuncWrite) writes.push_back(r);
    }
    return writes;
  }

  ExchangeStatus Exchange(std::string_view request) override {
    requests.emplace_back(request);
    reply_.clear();
    if (memoryOn_ && IsRead(request)) return ReadMemory(request);
    if (script_.empty()) {
      buffer_.clear();
      return ExchangeStatus::kNoReply;
    }
    auto step = script_.front();
    script_.pop_front();
    if (step.accept) step.reply = WriteEcho(request);
    if (step.accept && step.apply && memoryOn_) ApplyWrite(request);
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
    bool apply = true;
  };

  static std::vector<uint8_t> Bytes(std::string_view request) {
    std::vector<uint8_t> bytes;
    for (size_t i = 1; i + 4 < request.size(); i += 2) bytes.push_back(ReplyByteAt(request, i));
    return bytes;  // without the LRC
  }
  static bool IsRead(std::string_view request) {
    return request.size() > 4 && ReplyByteAt(request, 3) == 0x02;
  }
  ExchangeStatus ReadMemory(std::string_view request) {
    const auto b = Bytes(request);
    const int address = b[2] * 256 + b[3];
    std::vector<uint8_t> reply(b.begin(), b.begin() + 5);
    for (int i = 0; i < b[4]; ++i) reply.push_back(Memory(address + i));
    buffer_ = reply_ = EncodeFrame(reply);
    return ExchangeStatus::kReply;
  }
  void ApplyWrite(std::string_view request) {
    const auto b = Bytes(request);
    const int address = b[2] * 256 + b[3];
    if (b[4] == 0) {  // the erase of the 512-byte block
      for (int i = 0; i < 512; ++i) Memory(address + i) = 0xFF;
    }
    for (size_t i = 5; i < b.size(); ++i) Memory(address + static_cast<int>(i) - 5) = b[i];
  }
  bool memoryOn_ = false;
  std::map<int, uint8_t> memory_;

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
