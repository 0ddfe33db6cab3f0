#pragma once
// How the console's logic talks to the operator: message boxes owned by the
// main window. The windows implement it with real message boxes; tests use a
// scripted double that records every question and answers from a script.

#include <optional>
#include <string>

namespace orti {

enum class DialogIcon { kNone, kInformation, kQuestion, kWarning, kError };
enum class DialogButtons { kOk, kYesNo, kYesNoCancel };
enum class DialogAnswer { kOk, kYes, kNo, kCancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message box with a caption, an icon and buttons; returns the button chosen.
  virtual DialogAnswer Ask(const std::string& text, const std::string& caption, DialogIcon icon,
                           DialogButtons buttons) = 0;
  // A plain message with an OK button and the application's title as caption.
  virtual void ShowMessage(const std::string& text) = 0;
};

// The save-file dialog.
struct SaveFileRequest {
  std::string title;
  // "Description|pattern|Description|pattern", e.g. "Текстовые файлы (.csv)|*.csv".
  std::string filter;
  std::string defaultExtension;  // without the dot
  std::string initialFolder;
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The chosen path, or nothing when the operator cancelled.
  virtual std::optional<std::string> ChooseSaveFile(const SaveFileRequest& request) = 0;
};

}  // namespace orti
