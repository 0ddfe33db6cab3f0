#include "app/write_progress_window.h"

namespace orti {

TForm4::TForm4(QWidget* parent) : ProgressWindow("TForm4", "Запись данных", parent) {}

}  // namespace orti
