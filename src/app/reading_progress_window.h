#pragma once
// The reading progress window.

#include "app/progress_window.h"

namespace orti {

class TForm5 final : public ProgressWindow {
  Q_OBJECT
 public:
  explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace orti
