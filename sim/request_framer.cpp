#include "sim/request_framer.h"

namespace orti::sim {

std::vector<std::string> RequestFramer::Feed(std::string_view chars) {
  std::vector<std::string> frames;
  for (char c : chars) {
    if (c == ':') {
      partial_.assign(1, c);
      inFrame_ = true;
      continue;
    }
    if (!inFrame_) continue;
    partial_ += c;
    if (c == '\n' && partial_.size() >= 2 && partial_[partial_.size() - 2] == '\r') {
      frames.push_back(std::move(partial_));
      partial_.clear();
      inFrame_ = false;
    } else if (partial_.size() > kMaxRequestLength) {
      partial_.clear();
      inFrame_ = false;
    }
  }
  return frames;
}

}  // namespace orti::sim
