#pragma once
// "Настройки программы": start page, start style, connection, operators and
// the column choices of the two views.

#include <QWidget>

namespace orti {

class SettingsPage final : public QWidget {
  Q_OBJECT
 public:
  explicit SettingsPage(QWidget* parent = nullptr);
};

}  // namespace orti
