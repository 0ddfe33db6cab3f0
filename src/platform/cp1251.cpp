#include "platform/cp1251.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace orti {
namespace {

// The two converters, opened once per thread and reset before each use:
// opening one costs far more than converting a name.
iconv_t Converter(const char* to, const char* from) {
  struct Cache {
    iconv_t toCp1251 = reinterpret_cast<iconv_t>(-1);
    iconv_t toUtf8 = reinterpret_cast<iconv_t>(-1);
    ~Cache() {
      for (iconv_t cd : {toCp1251, toUtf8}) {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
      }
    }
  };
  static thread_local Cache cache;
  iconv_t& cd = std::strcmp(to, "CP1251") == 0 ? cache.toCp1251 : cache.toUtf8;
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    cd = iconv_open(to, from);
  } else {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return cd;
}

// One iconv conversion; on an unconvertible or invalid input sequence the
// replacement is emitted and the input advances by `skip(input)` bytes.
template <typename SkipFn>
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, SkipFn skip, bool* lossless) {
  if (lossless) *lossless = true;
  // ASCII is the same in both: no converter to open (the settings file's
  // section and key names, numbers).
  bool ascii = true;
  for (char c : in) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(in);
  iconv_t cd = Converter(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.reserve(in.size() * 2);
  char buffer[1024];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: one character that cannot be converted.
    if (lossless) *lossless = false;
    out.append(replacement);
    size_t n = skip(std::string_view(src, srcLeft));
    src += n;
    srcLeft -= n;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

size_t Utf8SequenceLength(std::string_view s) {
  auto lead = static_cast<unsigned char>(s[0]);
  size_t n = lead < 0x80           ? 1
             : (lead >> 5) == 0x6  ? 2
             : (lead >> 4) == 0xE  ? 3
             : (lead >> 3) == 0x1E ? 4
                                   : 1;
  if (n > s.size()) return s.size();
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
  }
  return n;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8, bool* lossless) {
  return Convert("CP1251", "UTF-8", utf8, "?", Utf8SequenceLength, lossless);
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
  return Convert(
      "UTF-8", "CP1251", cp1251, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; },
      nullptr);
}

unsigned char Cp1251UpperByte(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || c >= 0xE0) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x83:
      return 0x81;  // ѓ
    case 0x90:
      return 0x80;  // ђ
    case 0x9A:
      return 0x8A;  // љ
    case 0x9C:
      return 0x8C;  // њ
    case 0x9D:
      return 0x8D;  // ќ
    case 0x9E:
      return 0x8E;  // ћ
    case 0x9F:
      return 0x8F;  // џ
    case 0xA2:
      return 0xA1;  // ў
    case 0xB3:
      return 0xB2;  // і
    case 0xB4:
      return 0xA5;  // ґ
    case 0xB8:
      return 0xA8;  // ё
    case 0xBA:
      return 0xAA;  // є
    case 0xBC:
      return 0xA3;  // ј
    case 0xBE:
      return 0xBD;  // ѕ
    case 0xBF:
      return 0xAF;  // ї
    default:
      return c;
  }
}

std::string Cp1251ToUpper(std::string_view cp1251) {
  std::string out(cp1251);
  for (char& ch : out) ch = static_cast<char>(Cp1251UpperByte(static_cast<unsigned char>(ch)));
  return out;
}

}  // namespace orti
