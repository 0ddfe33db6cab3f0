#pragma once
// The console's own small pictures, drawn in code so that no image files ship.

#include <QIcon>

namespace orti {

enum class Glyph {
  kByFolders,
  kByDate,
  kFolders,
  kTools,
  kRefresh,
  kQuit,
  kSave,
  kPrint,
  kWarning,
  kSelectAll,
  kUnmark,
  kArchive
};

QIcon MakeGlyph(Glyph glyph, int size = 28);

}  // namespace orti
