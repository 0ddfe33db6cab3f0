#pragma once
// The writing progress window.

#include "app/progress_window.h"

namespace orti {

class TForm4 final : public ProgressWindow {
  Q_OBJECT
 public:
  explicit TForm4(QWidget* parent = nullptr);
};

}  // namespace orti
