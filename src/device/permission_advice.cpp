#include "device/permission_advice.h"

namespace orti {

std::string PermissionAdviceText(const std::string& portName, const std::string& devicePath,
                                 const std::string& group, const std::string& user,
                                 const std::string& exampleRule) {
  std::string text = "Нет прав на порт " + portName;
  if (!devicePath.empty()) text += " (" + devicePath + ")";
  const std::string who = user.empty() ? "$USER" : user;
  if (group.empty()) {
    return text + ". Дайте пользователю " + who +
           " доступ к устройству (группа устройства или правило udev) и войдите в систему заново.";
  }
  text += ": устройство принадлежит группе «" + group + "».";
  if (group == "root") {
    const std::string example = exampleRule.empty() ? "" : " (пример: " + exampleRule + ")";
    return text + " Попросите администратора дать доступ к порту правилом udev с группой dialout" +
           example + ", затем добавьте пользователя в эту группу и войдите в систему заново.";
  }
  return text + " Добавьте пользователя " + who + " в группу " + group + " (sudo usermod -aG " +
         group + " " + who + ") и войдите в систему заново.";
}

}  // namespace orti
