#include "settings/file_error.h"

namespace orti {

void ReportWriteFailure(Dialogs& dialogs, const std::string& path, const FileResult& result) {
  dialogs.Ask("Не удается создать файл \"" + path + "\".\n" + FileErrorText(result), "Orti-415",
              DialogIcon::kError, DialogButtons::kOk);
}

}  // namespace orti
