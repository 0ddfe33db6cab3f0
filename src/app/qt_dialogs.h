#pragma once
// Message boxes owned by the main window.

#include <QWidget>

#include "platform/dialogs.h"

namespace orti {

class QtDialogs final : public Dialogs, public FileChooser {
 public:
  explicit QtDialogs(QWidget* owner) : owner_(owner) {}
  DialogAnswer Ask(const std::string& text, const std::string& caption, DialogIcon icon,
                   DialogButtons buttons) override;
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) override;

 private:
  QWidget* owner_;
};

}  // namespace orti
