#pragma once
// A window created with the main window and never shown.

#include <QWidget>

namespace orti {

class TForm6 final : public QWidget {
  Q_OBJECT
 public:
  explicit TForm6(QWidget* parent);
};

}  // namespace orti
