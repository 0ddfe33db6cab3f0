#pragma once
// Message boxes without a window: every message goes to standard error, and
// questions are answered from the command line.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "platform/dialogs.h"

namespace orti::cli {

class CliDialogs final : public Dialogs {
 public:
  CliDialogs(std::ostream& err, ExistingFile existingFile)
      : err_(err), existingFile_(existingFile) {}

  // Yes to every Yes/No question (the operation was asked for on the command
  // line); the export's "file exists" question is answered by --extend,
  // --replace or, without either, Cancel. A question cancelled is shown.
  DialogAnswer Ask(const std::string& text, const std::string& caption, DialogIcon icon,
                   DialogButtons buttons) override;
  // A plain message is a refusal or a failure of the operation asked for.
  void ShowMessage(const std::string& text) override;

  // Every plain message shown, in order.
  const std::vector<std::string>& Messages() const { return messages_; }
  bool Cancelled() const { return cancelled_; }

 private:
  std::ostream& err_;
  ExistingFile existingFile_;
  std::vector<std::string> messages_;
  bool cancelled_ = false;
};

// The save-file dialog answered with the file of the command line.
class FixedFileChooser final : public FileChooser {
 public:
  explicit FixedFileChooser(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> ChooseSaveFile(const SaveFileRequest&) override { return path_; }

 private:
  std::string path_;
};

}  // namespace orti::cli
