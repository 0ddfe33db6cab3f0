#pragma once
// Conversion between the UTF-8 text the console keeps in memory and the
// Windows-1251 bytes of everything on disk and on the serial line.

#include <string>
#include <string_view>

namespace orti {

// Characters that cp1251 cannot hold become '?'. `lossless`, when given, tells
// whether every character survived.
std::string Utf8ToCp1251(std::string_view utf8, bool* lossless = nullptr);

// Every cp1251 byte maps to a character except 0x98, which becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

// Upper case of cp1251 text: Latin and Cyrillic letters, ё/Ё and the other
// Cyrillic letters of the code page included; other bytes unchanged.
std::string Cp1251ToUpper(std::string_view cp1251);
unsigned char Cp1251UpperByte(unsigned char c);

}  // namespace orti
