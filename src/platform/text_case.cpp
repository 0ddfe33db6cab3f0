#include "platform/text_case.h"

#include <string>

#include "platform/cp1251.h"

namespace orti {

namespace {
constexpr unsigned char kCapitalYo = 0xA8;
constexpr unsigned char kCapitalYe = 0xC5;

// Position of an upper-cased byte in the order of names: the byte itself,
// doubled to leave room for Ё right after Е.
int Weight(unsigned char c) {
  c = Cp1251UpperByte(c);
  if (c == kCapitalYo) return kCapitalYe * 2 + 1;
  return c * 2;
}
}  // namespace

bool EqualNoCaseCp1251(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Cp1251UpperByte(static_cast<unsigned char>(a[i])) !=
        Cp1251UpperByte(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

int CompareNoCase(std::string_view utf8a, std::string_view utf8b) {
  const std::string a = Utf8ToCp1251(utf8a);
  const std::string b = Utf8ToCp1251(utf8b);
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int d = Weight(static_cast<unsigned char>(a[i])) - Weight(static_cast<unsigned char>(b[i]));
    if (d != 0) return d;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::u16string NoCaseSortKey(std::string_view utf8) {
  const std::string text = Utf8ToCp1251(utf8);
  std::u16string key(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    key[i] = static_cast<char16_t>(Weight(static_cast<unsigned char>(text[i])));
  }
  return key;
}

}  // namespace orti
