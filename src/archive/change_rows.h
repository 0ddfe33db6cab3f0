#pragma once
// A change made to an instrument as a row of texts: the history page's
// «Журнал изменений» and `orti415-cli archive audit` show the same columns.

#include <string>
#include <vector>

#include "model/instrument_change.h"

namespace orti {

constexpr const char* kChangeColumnTitles[] = {
    "Время",     "Оператор",    "Рабочее место", "Прибор",          "№ папки", "Папка",
    "Изменение", "Подробности", "Записей",       "Резервная копия", "Итог"};
constexpr int kChangeColumns = sizeof kChangeColumnTitles / sizeof kChangeColumnTitles[0];

// One text per column; "Записей" counts the records removed or changed.
std::vector<std::string> ChangeRowTexts(const InstrumentChange& change);

}  // namespace orti
