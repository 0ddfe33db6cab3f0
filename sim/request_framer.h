#pragma once
// Cuts the characters the console sends into request frames: from a ":" up to
// and including CR LF. Whatever comes before a ":" is line noise and dropped;
// a ":" inside a frame starts it over, as a receiver resynchronises.

#include <string>
#include <string_view>
#include <vector>

namespace orti::sim {

// Longer than any request (a write of 255 bytes is 525 characters); a frame
// that never ends is dropped rather than kept growing.
constexpr size_t kMaxRequestLength = 1024;

class RequestFramer {
 public:
  // The frames completed by `chars`, in order.
  std::vector<std::string> Feed(std::string_view chars);

 private:
  std::string partial_;
  bool inFrame_ = false;
};

}  // namespace orti::sim
