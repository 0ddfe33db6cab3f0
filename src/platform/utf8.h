#pragma once
// Small UTF-8 helpers for texts the console composes (names, initials).

#include <string>
#include <string_view>

namespace orti {

// The first character (code point) of `s`, as UTF-8; empty for an empty text.
std::string FirstCharacter(std::string_view s);

// Number of characters (code points) in `s`.
size_t CharacterCount(std::string_view s);

// UTF-16 bytes (no byte-order mark) as UTF-8; an unpaired surrogate or an odd
// last byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Whether `s` is well-formed UTF-8 (no overlong forms, surrogates or code
// points past U+10FFFF).
bool IsValidUtf8(std::string_view s);

}  // namespace orti
