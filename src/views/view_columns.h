#pragma once
// Column layout shared by both views: the icon, the hidden mark, the seven
// data columns and the hidden folder and record numbers.

namespace orti {

constexpr int kViewColumns = 12;
constexpr int kColIcon = 0;
constexpr int kColMark = 1;
constexpr int kColFirstData = 3;
constexpr int kColLastData = 9;
constexpr int kColFolder = 10;
constexpr int kColRecord = 11;
constexpr int kDataColumns = kColLastData - kColFirstData + 1;

constexpr const char* kOperatorTitle = "Исполнитель";

}  // namespace orti
