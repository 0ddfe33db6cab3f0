#include "platform/system_error.h"

#include <cstring>

namespace orti {

std::string SystemErrorText(int errorNumber) {
  char buffer[512];
  // GNU strerror_r returns the text, which may or may not live in `buffer`.
  const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
  return text ? std::string(text) : std::string();
}

}  // namespace orti
