#pragma once
// The two views of the notepad and the mark an operator puts on a record in
// one of them: "S" to save it to a file, "P" to print it. Each view keeps its
// own marks; a mark belongs to the record, not to the row that shows it.

#include <cstdint>

namespace orti {

enum class ViewKind { kByFolders, kByDate };
constexpr int kViewKinds = 2;

enum class ViewMark : uint8_t { kNone, kSave, kPrint };

}  // namespace orti
