#include "app/reading_progress_window.h"

namespace orti {

TForm5::TForm5(QWidget* parent) : ProgressWindow("TForm5", "Чтение данных", parent) {}

}  // namespace orti
