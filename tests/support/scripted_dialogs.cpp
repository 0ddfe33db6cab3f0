#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace orti::test {

DialogAnswer ScriptedDialogs::Ask(const std::string& text, const std::string& caption,
                                  DialogIcon icon, DialogButtons buttons) {
  calls_.push_back({text, caption, icon, buttons});
  if (buttons == DialogButtons::kOk) return DialogAnswer::kOk;
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question: " << text;
    return DialogAnswer::kCancel;
  }
  DialogAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedDialogs::ShowMessage(const std::string& text) {
  calls_.push_back({text, "Orti-415", DialogIcon::kNone, DialogButtons::kOk});
}

std::optional<std::string> ScriptedFileChooser::ChooseSaveFile(const SaveFileRequest& request) {
  requests_.push_back(request);
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected save dialog: " << request.title;
    return std::nullopt;
  }
  auto answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace orti::test
