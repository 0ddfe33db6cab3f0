#pragma once
// Comparing names without regard to letter case, Cyrillic included: the
// settings file's section and key names, and the operators' names.

#include <string>
#include <string_view>

namespace orti {

// Two cp1251 texts equal with letter case ignored.
bool EqualNoCaseCp1251(std::string_view a, std::string_view b);

// Orders two UTF-8 texts with letter case ignored, in alphabetical order for
// Cyrillic (Ё right after Е): negative, zero or positive. Characters that
// cp1251 cannot hold compare as '?'.
int CompareNoCase(std::string_view utf8a, std::string_view utf8b);

// A key whose plain order is CompareNoCase's order: for sorting many names
// without converting each at every comparison.
std::u16string NoCaseSortKey(std::string_view utf8);

}  // namespace orti
