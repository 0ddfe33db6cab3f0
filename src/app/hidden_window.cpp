#include "app/hidden_window.h"

namespace orti {

TForm6::TForm6(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("TForm6");
}

}  // namespace orti
