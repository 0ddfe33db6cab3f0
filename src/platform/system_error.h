#pragma once
// The system's text for an error number, as the operator should read it.

#include <string>

namespace orti {

// Text of `errorNumber` in the language of the system's locale (UTF-8).
std::string SystemErrorText(int errorNumber);

}  // namespace orti
