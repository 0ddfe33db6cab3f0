#include "workflow/notepad_summary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "device/identity_display.h"
#include "device/memory_map.h"
#include "platform/cp1251.h"

namespace orti {
namespace {

void UseFolder(NotepadModel& m, int f, const char* utf8Name, int records) {
  NotepadFolder& folder = m.folders[f];
  std::strncpy(folder.name, Utf8ToCp1251(utf8Name).c_str(), kFolderNameChars);
  folder.state = FolderState::kAsRead;
  for (int s = 0; s < kSlotsPerFolder; ++s) folder.records[s].mode = kModeEmpty;
  for (int s = 0; s < records; ++s) {
    folder.records[s].mode = kModePh;
    folder.records[s].dateTime = 46000 + f + s / 100.0;
  }
}

TEST(NotepadSummary, IdentityRowsThenFolderRowsEndingWithAnEmptyRow) {
  auto m = std::make_unique<NotepadModel>();
  std::memcpy(m->identity.name, "\xCE\xD0\xD2\xC8-415", 8);
  m->identity.version[0] = '3';
  m->identity.block[0] = 1;
  m->identity.notepadAddress = 64000 - 10 * 512;
  m->folderCount = FolderBlockCount(m->identity.notepadAddress);
  ASSERT_EQ(m->folderCount, 10);
  UseFolder(*m, 0, "Образцы", 2);
  UseFolder(*m, 4, "Пусто", 0);
  UseFolder(*m, 9, "Вода 12", 25);
  m->folders[9].records[25].mode = kModePh;  // slot 25 is neither counted nor indexed
  m->folders[0].records[1].mode = kModeDeleted;

  StringGrid grid(2, 1, 1);
  ConsoleState state;
  ShowIdentity(m->identity, grid, state);
  EXPECT_EQ(state.summaryRowCount, 9);
  EXPECT_EQ(grid.Cell(0, 1), "Наименование прибора");
  EXPECT_EQ(grid.Cell(1, 1), "ОРТИ-415");
  EXPECT_EQ(grid.Cell(1, 2), "3");
  EXPECT_EQ(grid.Cell(0, 7), "Адрес блокнота");
  EXPECT_EQ(grid.Cell(1, 7), "58880");

  EXPECT_EQ(AppendSummaryAndIndex(*m, grid), 0);
  ASSERT_EQ(grid.RowCount(), 9 + 1 + 3 + 1);
  EXPECT_EQ(grid.Cell(0, 8), "");
  EXPECT_EQ(grid.Cell(0, 9), "Список папок");
  EXPECT_EQ(grid.Cell(1, 9), "Количество записей");
  EXPECT_EQ(grid.Cell(0, 10), "Образцы");
  EXPECT_EQ(grid.Cell(1, 10), "1");
  EXPECT_EQ(grid.Cell(1, 11), "0");
  EXPECT_EQ(grid.Cell(0, 12), "Вода 12");
  EXPECT_EQ(grid.Cell(1, 12), "25");
  EXPECT_EQ(grid.Cell(0, 13), "");

  ASSERT_EQ(m->byDate.Count(), 26);
  EXPECT_EQ(m->byDate.folder[0], 0);
  EXPECT_EQ(m->byDate.record[0], 0);
  EXPECT_EQ(m->byDate.folder[1], 9);
  EXPECT_EQ(m->byDate.record[25], 24);
}

TEST(NotepadSummary, AFullNotepadIsIndexedWhole) {
  auto m = std::make_unique<NotepadModel>();
  m->folderCount = 100;
  for (int f = 0; f < 100; ++f) UseFolder(*m, f, "F", 25);  // 2500 records
  StringGrid grid(2, 1, 1);
  EXPECT_EQ(AppendSummaryAndIndex(*m, grid), 0);
  EXPECT_EQ(m->byDate.Count(), kByDateCapacity);
  EXPECT_EQ(kByDateCapacity, 2500);
  EXPECT_EQ(m->byDate.folder[kByDateCapacity - 1], 99);
  EXPECT_EQ(grid.Cell(1, grid.RowCount() - 2), "25");
}

TEST(MemoryMap, FolderBlocksAndAddresses) {
  EXPECT_EQ(FolderBlockCount(12800), 100);
  EXPECT_EQ(FolderBlockCount(63488), 1);
  EXPECT_EQ(FolderBlockCount(64000), 0);
  EXPECT_EQ(FolderBlockCount(65535), 0);
  EXPECT_EQ(FolderBlockCount(0), 125);
  EXPECT_EQ(SlotAddress(0x3200, 0, 0), 0x3212);
  EXPECT_EQ(SlotAddress(0x3200, 0, 24), 0x33DA);
  EXPECT_EQ(SlotAddress(0x3200, 0, 25), 0x33ED);
  EXPECT_EQ(ChunkAddress(0x3200, 1, 4), 0x3200 + 512 + 18 + 380);
  EXPECT_EQ(FolderBase(0xFE00, 1), 0x0000);  // wraps at 16 bits
}

}  // namespace
}  // namespace orti
