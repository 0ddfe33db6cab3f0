#include "cli/cli_dialogs.h"

namespace orti::cli {

DialogAnswer CliDialogs::Ask(const std::string& text, const std::string& caption, DialogIcon,
                             DialogButtons buttons) {
  switch (buttons) {
    case DialogButtons::kOk:
      err_ << caption << ": " << text << '\n' << std::flush;
      return DialogAnswer::kOk;
    case DialogButtons::kYesNo:
      return DialogAnswer::kYes;
    case DialogButtons::kYesNoCancel:
      break;
  }
  switch (existingFile_) {
    case ExistingFile::kExtend:
      return DialogAnswer::kYes;
    case ExistingFile::kReplace:
      return DialogAnswer::kNo;
    case ExistingFile::kRefuse:
      break;
  }
  cancelled_ = true;
  err_ << caption << ": " << text << '\n' << std::flush;
  return DialogAnswer::kCancel;
}

void CliDialogs::ShowMessage(const std::string& text) {
  messages_.push_back(text);
  err_ << text << '\n' << std::flush;
}

}  // namespace orti::cli
