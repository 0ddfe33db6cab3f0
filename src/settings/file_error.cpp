#include "settings/file_error.h"

#include "platform/system_error.h"

namespace orti {

void ReportWriteFailure(Dialogs& dialogs, const std::string& path, int errorNumber) {
  dialogs.Ask("Не удается создать файл \"" + path + "\".\n" + SystemErrorText(errorNumber),
              "Orti-415", DialogIcon::kError, DialogButtons::kOk);
}

}  // namespace orti
