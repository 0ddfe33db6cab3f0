#include "model/instrument_change.h"

namespace orti {
namespace {

struct KindNames {
  ChangeKind kind;
  const char* word;
  const char* text;
};
constexpr KindNames kKinds[] = {
    {ChangeKind::kDelete, "delete", "Удаление записей"},
    {ChangeKind::kRename, "rename", "Переименование папки"},
    {ChangeKind::kCreate, "create", "Создание папки"},
    {ChangeKind::kRemove, "remove", "Удаление папки"},
    {ChangeKind::kClear, "clear", "Очистка папки"},
    {ChangeKind::kClearAll, "clear-all", "Очистка всех папок"},
    {ChangeKind::kRestore, "restore", "Восстановление из копии"},
};

struct OutcomeNames {
  ChangeOutcome outcome;
  const char* word;
  const char* text;
};
constexpr OutcomeNames kOutcomes[] = {
    {ChangeOutcome::kDone, "done", "выполнено"},
    {ChangeOutcome::kFailed, "failed", "не записано"},
    {ChangeOutcome::kRestored, "restored", "восстановлено"},
};

const KindNames& KindEntry(ChangeKind kind) {
  for (const KindNames& entry : kKinds) {
    if (entry.kind == kind) return entry;
  }
  return kKinds[0];
}

const OutcomeNames& OutcomeEntry(ChangeOutcome outcome) {
  for (const OutcomeNames& entry : kOutcomes) {
    if (entry.outcome == outcome) return entry;
  }
  return kOutcomes[0];
}

}  // namespace

const char* ChangeKindWord(ChangeKind kind) {
  return KindEntry(kind).word;
}
const char* ChangeKindText(ChangeKind kind) {
  return KindEntry(kind).text;
}
const char* ChangeOutcomeWord(ChangeOutcome outcome) {
  return OutcomeEntry(outcome).word;
}
const char* ChangeOutcomeText(ChangeOutcome outcome) {
  return OutcomeEntry(outcome).text;
}

bool ChangeKindFromWord(const std::string& word, ChangeKind& kind) {
  for (const KindNames& entry : kKinds) {
    if (word == entry.word) {
      kind = entry.kind;
      return true;
    }
  }
  return false;
}

bool ChangeOutcomeFromWord(const std::string& word, ChangeOutcome& outcome) {
  for (const OutcomeNames& entry : kOutcomes) {
    if (word == entry.word) {
      outcome = entry.outcome;
      return true;
    }
  }
  return false;
}

}  // namespace orti
