#include "app/settings_page.h"

namespace orti {

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) { setObjectName("TabSheet6"); }

}  // namespace orti
