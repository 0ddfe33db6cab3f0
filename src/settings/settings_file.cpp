#include "settings/settings_file.h"

#include <algorithm>

#include "model/notepad_model.h"
#include "platform/profile_file.h"
#include "platform/utf8.h"
#include "settings/file_error.h"

namespace orti {

namespace {
constexpr const char* kStartpageSection = "Startpage";
constexpr const char* kStartpageKey = "Startpage";
constexpr const char* kStartStyleKey = "StartStyle";
constexpr const char* kConnectionSection = "Connection";
constexpr const char* kConnectionKey = "Connection";
constexpr const char* kPortKey = "Port";
constexpr const char* kDeviceKey = "ID";
constexpr const char* kFastReadKey = "FastRead";
constexpr const char* kFolderNameSection = "FolderName";
constexpr const char* kNewFolderNameKey = "NewFolderName";
constexpr const char* kArchiveSection = "Archive";
constexpr const char* kServerKey = "Server";
constexpr int kHighestPort = 10;

// Spaces of the folder name are stored as "_" and read back as spaces.
std::string Replaced(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

std::string ArchiveServerOf(const ProfileText& file) {
  std::string text;
  return file.Read(kArchiveSection, kServerKey, text) ? text : std::string();
}
}  // namespace

bool LoadSettings(ConsoleState& state, OperatorTable& operators, LogSink* log) {
  if (!FileExists(state.settingsPath)) {
    state.settings.startPage = StartPage::kByDate;
    return false;
  }
  FileResult read;
  const ProfileText file = ReadProfileFile(state.settingsPath, &read);
  if (!read.ok && log) {
    log->AddLogLine("Файл настроек не прочитан: " + state.settingsPath + ": " +
                    FileErrorText(read));
  }
  std::string text;

  int page = file.Read(kStartpageSection, kStartpageKey, text) ? ProfileNumber(text) : 0;
  state.settings.startPage =
      page >= 1 && page <= 3 ? static_cast<StartPage>(page) : StartPage::kByDate;

  int mode = file.Read(kConnectionSection, kConnectionKey, text) ? ProfileNumber(text) : 0;
  state.settings.connectionMode = mode == 2 ? 2 : 1;
  if (state.settings.connectionMode == 2) {
    const int port = file.Read(kConnectionSection, kPortKey, text) ? ProfileNumber(text) : 0;
    // The device number is stored for the page only: the instrument is always device 1.
    file.Read(kConnectionSection, kDeviceKey, text);
    if (port >= 1 && port <= kHighestPort) {
      state.settings.fixedPort = port;
    } else {
      state.settings.connectionMode = 1;
    }
  }

  state.link.fastRead =
      file.Read(kConnectionSection, kFastReadKey, text) && ProfileNumber(text) == 1;

  int style = file.Read(kStartpageSection, kStartStyleKey, text) ? ProfileNumber(text) : -1;
  state.settings.startMaximised = style == 1;

  // A name longer than a folder's would be refused when typed: the default stays.
  if (file.Read(kFolderNameSection, kNewFolderNameKey, text) &&
      CharacterCount(text) <= kFolderNameChars) {
    state.settings.defaultNewFolderName = Replaced(text, '_', ' ');
  }

  state.settings.archiveServer = ArchiveServerOf(file);
  LoadOperators(file, state, operators, log);
  return true;
}

std::string ReadArchiveServerSetting(const std::string& settingsPath) {
  if (!FileExists(settingsPath)) return {};
  return ArchiveServerOf(ReadProfileFile(settingsPath, nullptr));
}

void WriteSettings(const ConsoleState& state, const SettingsPageValues& values, ProfileText& file) {
  WriteOperators(state, file);
  file.Write(kStartpageSection, kStartpageKey, std::to_string(static_cast<int>(values.startPage)));
  if (values.fixedConnection && !values.port.empty() && !values.device.empty()) {
    file.Write(kConnectionSection, kConnectionKey, "2");
    file.Write(kConnectionSection, kPortKey, values.port);
    file.Write(kConnectionSection, kDeviceKey, values.device);
  } else {
    file.Write(kConnectionSection, kConnectionKey, "1");
  }
  file.Write(kConnectionSection, kFastReadKey, values.fastRead ? "1" : "0");
  file.Write(kStartpageSection, kStartStyleKey, values.startMaximised ? "1" : "0");
  file.Write(kFolderNameSection, kNewFolderNameKey, Replaced(values.newFolderName, ' ', '_'));
}

bool SaveSettings(ConsoleState& state, const SettingsPageValues& values, Dialogs& dialogs,
                  ReplaceSeam* seam) {
  if (CharacterCount(values.newFolderName) > kFolderNameChars) {
    state.settings.settingsChanged = true;
    dialogs.ShowMessage(kMsgNameTooLong);
    return false;
  }
  const FileResult result = EditProfileFile(
      state.settingsPath, [&](ProfileText& file) { WriteSettings(state, values, file); }, seam);
  if (!result.ok) {
    state.settings.settingsChanged = true;  // nothing was saved
    ReportWriteFailure(dialogs, state.settingsPath, result);
    return false;
  }
  state.settings.settingsChanged = false;
  state.link.fastRead = values.fastRead;
  // An empty name reads back as the built-in default at the next start; new
  // folders of this run keep a name too rather than getting none at all.
  if (!values.newFolderName.empty()) state.settings.defaultNewFolderName = values.newFolderName;

  dialogs.ShowMessage("Настройки сохранены");
  return true;
}

bool AskSaveSettings(Dialogs& dialogs) {
  return dialogs.Ask(
             "Настройки были изменены\nРекомендуется сохранить изменения\nиначе они будут "
             "потеряны\nСохранить?",
             "Настройки", DialogIcon::kWarning, DialogButtons::kYesNo) == DialogAnswer::kYes;
}

}  // namespace orti
