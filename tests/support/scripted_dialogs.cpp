#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

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

size_t ScriptedDialogs::Forget(const std::string& caption) {
  const size_t before = calls_.size();
  calls_.erase(std::remove_if(calls_.begin(), calls_.end(),
                              [&](const DialogCall& c) { return c.caption == caption; }),
               calls_.end());
  return before - calls_.size();
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
