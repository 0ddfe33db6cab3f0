#include "model/instrument_change.h"

#include <cstddef>

namespace orti {
namespace {

// A value with the word the archive stores and the text the console shows.
template <typename Enum>
struct Names {
  Enum value;
  const char* word;
  const char* text;
};

constexpr Names<ChangeKind> kKinds[] = {
    {ChangeKind::kDelete, "delete", "Удаление записей"},
    {ChangeKind::kRename, "rename", "Переименование папки"},
    {ChangeKind::kCreate, "create", "Создание папки"},
    {ChangeKind::kRemove, "remove", "Удаление папки"},
    {ChangeKind::kClear, "clear", "Очистка папки"},
    {ChangeKind::kClearAll, "clear-all", "Очистка всех папок"},
    {ChangeKind::kRestore, "restore", "Восстановление из копии"},
};

constexpr Names<ChangeOutcome> kOutcomes[] = {
    {ChangeOutcome::kDone, "done", "выполнено"},
    {ChangeOutcome::kFailed, "failed", "не записано"},
    {ChangeOutcome::kRestored, "restored", "восстановлено"},
};

template <typename Enum, size_t N>
const Names<Enum>& Entry(const Names<Enum> (&table)[N], Enum value) {
  for (const Names<Enum>& entry : table) {
    if (entry.value == value) return entry;
  }
  return table[0];
}

template <typename Enum, size_t N>
bool FromWord(const Names<Enum> (&table)[N], const std::string& word, Enum& value) {
  for (const Names<Enum>& entry : table) {
    if (word == entry.word) {
      value = entry.value;
      return true;
    }
  }
  return false;
}

}  // namespace

const char* ChangeKindWord(ChangeKind kind) {
  return Entry(kKinds, kind).word;
}
const char* ChangeKindText(ChangeKind kind) {
  return Entry(kKinds, kind).text;
}
const char* ChangeOutcomeWord(ChangeOutcome outcome) {
  return Entry(kOutcomes, outcome).word;
}
const char* ChangeOutcomeText(ChangeOutcome outcome) {
  return Entry(kOutcomes, outcome).text;
}

bool ChangeKindFromWord(const std::string& word, ChangeKind& kind) {
  return FromWord(kKinds, word, kind);
}

bool ChangeOutcomeFromWord(const std::string& word, ChangeOutcome& outcome) {
  return FromWord(kOutcomes, word, outcome);
}

}  // namespace orti
