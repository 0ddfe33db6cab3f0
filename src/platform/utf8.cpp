#include "platform/utf8.h"

namespace orti {

static bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string FirstCharacter(std::string_view s) {
  if (s.empty()) return {};
  size_t n = 1;
  while (n < s.size() && IsContinuation(s[n])) ++n;
  return std::string(s.substr(0, n));
}

size_t CharacterCount(std::string_view s) {
  size_t n = 0;
  for (char c : s) {
    if (!IsContinuation(c)) ++n;
  }
  return n;
}

}  // namespace orti
