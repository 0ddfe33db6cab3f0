#pragma once
// A Dialogs double: records every message box and answers questions from a
// script. A question nobody scripted fails the test.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace orti::test {

struct DialogCall {
  std::string text;
  std::string caption;
  DialogIcon icon;
  DialogButtons buttons;
};

class ScriptedDialogs final : public Dialogs {
 public:
  // Queue the answer to the next question (a box with Yes/No buttons).
  void Expect(DialogAnswer answer) { answers_.push_back(answer); }

  DialogAnswer Ask(const std::string& text, const std::string& caption, DialogIcon icon,
                   DialogButtons buttons) override;
  void ShowMessage(const std::string& text) override;

  const std::vector<DialogCall>& Calls() const { return calls_; }
  size_t Unanswered() const { return answers_.size(); }
  // Drops the recorded message boxes with this caption (one a test expects
  // and does not look at), returning how many there were.
  size_t Forget(const std::string& caption);

 private:
  std::deque<DialogAnswer> answers_;
  std::vector<DialogCall> calls_;
};

// Answers save-file dialogs from a script; an unscripted dialog is cancelled
// and fails the test.
class ScriptedFileChooser final : public FileChooser {
 public:
  void Expect(std::optional<std::string> path) { answers_.push_back(std::move(path)); }
  std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) override;
  const std::vector<SaveFileRequest>& Requests() const { return requests_; }

 private:
  std::deque<std::optional<std::string>> answers_;
  std::vector<SaveFileRequest> requests_;
};

}  // namespace orti::test
