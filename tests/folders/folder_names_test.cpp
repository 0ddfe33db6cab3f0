#include "folders/folder_names.h"

#include <gtest/gtest.h>

#include <memory>

#include "folders/journal.h"
#include "platform/date_time.h"

namespace orti {
namespace {

TEST(FolderNames, AllowedBytesAreCyrillicDigitsSpaceAndFivePunctuationMarks) {
  std::string allowed;
  for (int c = 1; c < 0xC0; ++c) {
    if (IsAllowedNameChar(static_cast<unsigned char>(c))) allowed += static_cast<char>(c);
  }
  EXPECT_EQ(allowed, " ()./0123456789_");
  for (int c = 0xC0; c <= 0xFF; ++c) EXPECT_TRUE(IsAllowedNameChar(static_cast<unsigned char>(c)));
  EXPECT_FALSE(IsAllowedNameChar(0));
  EXPECT_FALSE(IsAllowedNameChar(0xA8));  // Ё
  EXPECT_FALSE(IsAllowedNameChar(0xB8));  // ё
}

TEST(FolderNames, FirstRefusedCharacterIsReportedAsTyped) {
  EXPECT_EQ(FirstRefusedNameChar("вода 12"), "");
  EXPECT_EQ(FirstRefusedNameChar("вода(1)./_"), "");
  EXPECT_EQ(FirstRefusedNameChar("водаAБb"), "A");
  EXPECT_EQ(FirstRefusedNameChar("ёж"), "ё");
  EXPECT_EQ(FirstRefusedNameChar("пΩ"), "Ω");  // no cp1251 byte at all
  EXPECT_EQ(FirstRefusedNameChar("<Свободно>"), "<");
}

TEST(FolderNames, UpperCaseAndExistenceIgnoreLetterCase) {
  EXPECT_EQ(UpperCaseName("проба я 1/2"), "ПРОБА Я 1/2");
  auto model = std::make_unique<NotepadModel>();
  model->folderCount = 3;
  SetFolderName(model->folders[0], "ЯБЛОКО");
  SetFolderName(model->folders[1], kFreeFolderName);
  SetFolderName(model->folders[2], "Вода");
  SetFolderName(model->folders[3], "ЗА ПРЕДЕЛОМ");  // beyond the folder count
  EXPECT_TRUE(FolderNameExists(*model, "яблоко"));
  EXPECT_TRUE(FolderNameExists(*model, "ВОДА"));
  EXPECT_FALSE(FolderNameExists(*model, "за пределом"));
  EXPECT_FALSE(FolderNameExists(*model, "ЯБЛОК"));
  // A free slot is taken only when its header was read.
  EXPECT_EQ(FirstFreeSlot(*model), -1);
  model->folders[1].readInFull = true;
  EXPECT_EQ(FirstFreeSlot(*model), 1);
  EXPECT_TRUE(IsFreeSlot(model->folders[1]));
  EXPECT_FALSE(IsFreeSlot(model->folders[2]));
}

TEST(FolderNames, StoredNameKeepsAtMostSixteenCharacters) {
  NotepadFolder folder;
  SetFolderName(folder, "АБВГДЕЖЗИЙКЛМНОПРС");
  EXPECT_EQ(FolderNameUtf8(folder), "АБВГДЕЖЗИЙКЛМНОП");
  EXPECT_EQ(folder.name[16], '\0');
}

TEST(Journal, StartsWithHeaderAndOneEmptyRowAndAlwaysEndsEmpty) {
  StringGrid journal;
  InitJournal(journal);
  EXPECT_EQ(journal.ColCount(), 4);
  EXPECT_EQ(journal.RowCount(), 2);
  EXPECT_EQ(journal.FixedRows(), 1);
  const int widths[] = {102, 240, 182, 164};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(journal.ColWidth(c), widths[c]);

  journal.SetCell(1, 0, "");  // the header is written again with every row
  const double when = EncodeDate(2024, 2, 29) + EncodeTime(7, 5, 9);
  AddJournalRow(journal, when, kJournalRename, "СТАРАЯ", "НОВАЯ");
  AddJournalRow(journal, when + 1, kJournalMarkDeleted, "НОВАЯ", "");
  EXPECT_EQ(journal.RowCount(), 4);
  EXPECT_EQ(journal.Cell(0, 0), "Дата/время");
  EXPECT_EQ(journal.Cell(1, 0), "Операция");
  EXPECT_EQ(journal.Cell(2, 0), "Исходная папка");
  EXPECT_EQ(journal.Cell(3, 0), "Результирующая папка");
  EXPECT_EQ(journal.Cell(0, 1), "29.02.2024 07:05:09");
  EXPECT_EQ(journal.Cell(1, 1), "Переименование папки");
  EXPECT_EQ(journal.Cell(3, 1), "НОВАЯ");
  EXPECT_EQ(journal.Cell(0, 2), "01.03.2024 07:05:09");
  EXPECT_EQ(journal.Cell(1, 2), "Удаление записи");
  for (int c = 0; c < 4; ++c) EXPECT_EQ(journal.Cell(c, 3), "");
}

}  // namespace
}  // namespace orti
