#include "folders/folder_operations.h"

#include "folder_fixture.h"
#include "folders/journal.h"

namespace orti::test {
namespace {

using Lines = std::vector<std::string>;
constexpr double kNow = 45000.5;  // 15.03.2023 12:00:00

class FolderOps : public FolderFixture {
 protected:
  FolderOps() {
    InitJournal(journal);
    MakeFolder(0, "ОБЩАЯ", {0, 1});
    MakeFolder(1, "ВОДА", {0, 3});
    MakeFolder(3, "ПОЧВА", {2});
    FillList();
  }
  void FillList() {
    page.items.clear();
    for (int f = 0; f < model->folderCount; ++f)
      page.items.push_back(FolderNameUtf8(model->folders[f]));
  }
  // Every plain message shown, in order.
  Lines Messages() const {
    Lines m;
    for (const auto& c : dialogs.Calls()) {
      if (c.buttons == DialogButtons::kOk) m.push_back(c.text);
    }
    return m;
  }
  const DialogCall& Question(size_t i) const {
    size_t n = 0;
    for (const auto& c : dialogs.Calls()) {
      if (c.buttons != DialogButtons::kOk && n++ == i) return c;
    }
    ADD_FAILURE() << "no question " << i;
    return dialogs.Calls().front();
  }
  // A refusal: one message, and nothing changed.
  void ExpectRefused(const std::string& message) {
    EXPECT_EQ(Messages(), Lines{message});
    EXPECT_TRUE(link.requests.empty());
    EXPECT_EQ(journal.RowCount(), 2);
    EXPECT_FALSE(page.journalShown);
    EXPECT_FALSE(AnyFolderPending(*model));
    EXPECT_EQ(FolderNameUtf8(model->folders[1]), "ВОДА");
    EXPECT_EQ(dialogs.Unanswered(), 0u);
  }
  // Cleared or removed: every slot is empty in its mode and its bytes alike.
  void ExpectEmptied(int f) const {
    const NotepadFolder& folder = model->folders[f];
    for (int s = 0; s < kSlotsPerFolder; ++s) {
      EXPECT_EQ(folder.records[s].mode, kModeEmpty) << s;
      EXPECT_EQ(StoredSlotBytes(folder, s)[0], 0xFF) << s;
    }
    EXPECT_TRUE(WritesWhatItShows(folder));
  }
  Lines JournalRow(int row) const {
    return {journal.Cell(0, row), journal.Cell(1, row), journal.Cell(2, row), journal.Cell(3, row)};
  }

  FakeFolderPage page;
  StringGrid journal;
  FolderOperations ops{sync, page, journal, [] { return kNow; }};
};

// --- create -----------------------------------------------------------------

TEST_F(FolderOps, CreateWritesEraseAndHeaderIntoTheFirstFreeSlot) {
  page.name = "проба 1";
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(2);

  ops.BtnNewFolderClick();

  EXPECT_TRUE(Messages().empty());
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].address, Base(2));
  EXPECT_EQ(frames[0].size, 0);
  EXPECT_EQ(frames[1].address, Base(2));
  const std::vector<uint8_t> expected = {0xCF, 0xD0, 0xCE, 0xC1, 0xC0, 0x20, 0x31};  // "ПРОБА 1"
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), frames[1].data.begin()));
  EXPECT_EQ(frames[1].data[7], 0xFF);
  EXPECT_EQ(page.name, "ПРОБА 1");
  EXPECT_EQ(page.items[2], "ПРОБА 1");
  EXPECT_EQ(FolderNameUtf8(model->folders[2]), "ПРОБА 1");
  EXPECT_EQ(model->folders[2].state, FolderState::kAsRead);
  EXPECT_TRUE(page.journalShown);
  EXPECT_EQ(JournalRow(1), (Lines{"15.03.2023 12:00:00", "Создание папки", "", "ПРОБА 1"}));
  EXPECT_EQ(journal.RowCount(), 3);
  EXPECT_EQ(Question(0).caption, "Обновление данных");
}

TEST_F(FolderOps, CreateAnsweredNoKeepsTheNameInMemoryAndARenameIsNotRefused) {
  page.name = "НОВАЯ";
  dialogs.Expect(DialogAnswer::kNo);
  ops.BtnNewFolderClick();
  EXPECT_TRUE(link.requests.empty());
  EXPECT_EQ(page.items[2], "НОВАЯ");
  EXPECT_EQ(model->folders[2].pending, 0);

  page.selected = 2;
  page.name = "ДРУГАЯ";
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kNo);
  ops.BtnRenameFolderClick();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(FolderNameUtf8(model->folders[2]), "ДРУГАЯ");
}

TEST_F(FolderOps, CreateRefusesAnEmptyName) {
  ops.BtnNewFolderClick();
  ExpectRefused("Необходимо ввести новое имя папки");
}

TEST_F(FolderOps, CreateWithoutAFreeSlotRefusesBeforeLookingAtCharacters) {
  MakeFolder(2, "ТРИ");
  FillList();
  page.name = "Latin";
  ops.BtnNewFolderClick();
  ExpectRefused("Невозможно создать новую папку.");
}

TEST_F(FolderOps, CreateRefusesTheFirstInvalidCharacter) {
  const struct {
    const char* name;
    const char* message;
  } cases[] = {{"пробаXY", "Недопустимый символ 'X'"},
               {"Ёлка", "Недопустимый символ 'Ё'"},
               {"лёд", "Недопустимый символ 'ё'"},
               {"a-b", "Недопустимый символ 'a'"},
               {"вода-1", "Недопустимый символ '-'"}};
  for (const auto& c : cases) {
    ScriptedDialogs fresh;
    SyncContext s{Services(fresh), progress, views};
    FolderOperations o{s, page, journal, [] { return kNow; }};
    page.name = c.name;
    page.focus.clear();
    o.BtnNewFolderClick();
    ASSERT_EQ(fresh.Calls().size(), 1u) << c.name;
    EXPECT_EQ(fresh.Calls()[0].text, c.message);
    EXPECT_EQ(page.focus, "name");
    EXPECT_EQ(page.name, c.name);  // create upper-cases only an accepted name
  }
  EXPECT_EQ(journal.RowCount(), 2);
  EXPECT_FALSE(AnyFolderPending(*model));
}

TEST_F(FolderOps, CreateAcceptsDigitsSpaceAndPunctuation) {
  page.name = "(1) 2.3/4_5";
  dialogs.Expect(DialogAnswer::kNo);
  ops.BtnNewFolderClick();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(page.items[2], "(1) 2.3/4_5");
}

TEST_F(FolderOps, CreateRefusesADuplicateInAnotherLetterCase) {
  page.name = "вОдА";
  ops.BtnNewFolderClick();
  ExpectRefused("Папка с таким именем уже есть");
}

// --- rename -----------------------------------------------------------------

TEST_F(FolderOps, RenameAsksThenRewritesTheFolderWithItsRecords) {
  page.selected = 1;
  page.name = "река";
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(4);

  ops.BtnRenameFolderClick();

  EXPECT_EQ(Question(0).text, "Переименовать папку \nВОДА  в\nРЕКА ?");
  EXPECT_EQ(Question(0).caption, "Переименование папки");
  EXPECT_EQ(Question(0).icon, DialogIcon::kQuestion);
  EXPECT_EQ(Addresses(), (std::vector<int>{Base(1), Base(1), SlotAt(1, 0), SlotAt(1, 1)}));
  EXPECT_EQ(Frames()[1].data[0], 0xD0);  // "Р"
  EXPECT_EQ(Frames()[3].data, RecordBytes(1, 3));
  EXPECT_EQ(page.items[1], "РЕКА");
  EXPECT_EQ(JournalRow(1), (Lines{"15.03.2023 12:00:00", "Переименование папки", "ВОДА", "РЕКА"}));
  EXPECT_EQ(views.calls, (Lines{"sort", "fill", "sort", "fill"}));
}

TEST_F(FolderOps, RenameRefusesTheFirstFolderAndNoSelection) {
  page.name = "ИМЯ";
  for (int selected : {0, -1}) {
    ScriptedDialogs fresh;
    SyncContext s{Services(fresh), progress, views};
    FolderOperations o{s, page, journal, [] { return kNow; }};
    page.selected = selected;
    o.BtnRenameFolderClick();
    ASSERT_EQ(fresh.Calls().size(), 1u);
    EXPECT_EQ(fresh.Calls()[0].text, "Невозможно переименовать папку");
  }
  EXPECT_EQ(FolderNameUtf8(model->folders[0]), "ОБЩАЯ");
}

TEST_F(FolderOps, RenameRefusesAFreeSlot) {
  page.selected = 2;
  page.name = "ИМЯ";
  ops.BtnRenameFolderClick();
  ExpectRefused("Невозможно переименовать папку");
}

TEST_F(FolderOps, RenameRefusesItsOwnNameButLeavesTheUpperCaseInTheEdit) {
  page.selected = 1;
  page.name = "вода";
  ops.BtnRenameFolderClick();
  ExpectRefused("Папка с таким именем уже есть");
  EXPECT_EQ(page.name, "ВОДА");
}

TEST_F(FolderOps, RenameRefusesAFolderWithPendingDeletions) {
  MarkForDeletion(1, 0);
  page.selected = 1;
  page.name = "РЕКА";
  ops.BtnRenameFolderClick();
  EXPECT_EQ(Messages(), Lines{"Эта папка уже изменялась.\nСначала надо синхронизировать данные"});
  EXPECT_EQ(FolderNameUtf8(model->folders[1]), "ВОДА");
  EXPECT_TRUE(link.requests.empty());
}

// --- remove and clear -------------------------------------------------------

TEST_F(FolderOps, RemoveErasesTheBlockAndFreesTheSlot) {
  page.selected = 1;
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(1);

  ops.BtnRemoveFolderClick();

  EXPECT_EQ(Question(0).text, "Удалить папку ВОДА ?");
  EXPECT_EQ(Question(0).caption, "Удаление папки");
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].address, Base(1));
  EXPECT_EQ(frames[0].size, 0);
  EXPECT_EQ(page.items[1], "<Свободно>");
  EXPECT_TRUE(IsFreeSlot(model->folders[1]));
  ExpectEmptied(1);
  EXPECT_EQ(JournalRow(1)[1], "Удаление папки");
  EXPECT_EQ(JournalRow(1)[2], "ВОДА");
  EXPECT_EQ(page.focus, "list");
}

TEST_F(FolderOps, RemoveRefusesTheFirstFolderAlsoWhenNothingWasSelected) {
  ops.BtnRemoveFolderClick();
  ExpectRefused("Невозможно удалить папку");
  EXPECT_EQ(page.selected, 0);
}

TEST_F(FolderOps, ClearErasesAndWritesTheOldNameBack) {
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(2);

  ops.BtnClearFolderClick();  // nothing selected: the first folder

  EXPECT_EQ(Question(0).text, "Очистить папку ОБЩАЯ ?");
  EXPECT_EQ(Question(0).caption, "Очистка папки");
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].size, 0);
  EXPECT_EQ(frames[1].address, Base(0));
  EXPECT_EQ(frames[1].data[0], 0xCE);  // "О"
  EXPECT_EQ(FolderNameUtf8(model->folders[0]), "ОБЩАЯ");
  ExpectEmptied(0);
  EXPECT_EQ(JournalRow(1)[1], "Очистка папки");
}

TEST_F(FolderOps, ClearRefusesAFreeFirstFolder) {
  MakeFree(0);
  FillList();
  ops.BtnClearFolderClick();
  EXPECT_EQ(Messages(), Lines{"Невозможно очистить папку"});
  EXPECT_TRUE(link.requests.empty());
  EXPECT_EQ(journal.RowCount(), 2);
}

TEST_F(FolderOps, ClearAllClearsEveryNamedFolderInOrder) {
  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(6);

  ops.BtnClearFoldersClick();

  EXPECT_EQ(Question(0).text, "Очистить ВСЕ папки ?");
  EXPECT_EQ(Question(0).caption, "Очистка папок");
  EXPECT_EQ(Addresses(), (std::vector<int>{Base(0), Base(0), Base(1), Base(1), Base(3), Base(3)}));
  EXPECT_EQ(journal.RowCount(), 3);
  EXPECT_EQ(JournalRow(1), (Lines{"15.03.2023 12:00:00", "Очистка всех папок", "", ""}));
  EXPECT_TRUE(IsFreeSlot(model->folders[2]));
  EXPECT_EQ(model->folders[2].records[0].mode, kModeEmpty);
  ExpectEmptied(3);
}

TEST_F(FolderOps, AnsweringNoToTheOperationChangesNothing) {
  page.selected = 1;
  dialogs.Expect(DialogAnswer::kNo);
  ops.BtnRemoveFolderClick();
  dialogs.Expect(DialogAnswer::kNo);
  ops.BtnClearFoldersClick();
  EXPECT_EQ(journal.RowCount(), 2);
  EXPECT_EQ(page.items[1], "ВОДА");
  EXPECT_EQ(model->folders[1].records[0].mode, kModePh);
  EXPECT_TRUE(views.calls.empty());
}

TEST_F(FolderOps, EveryConfirmedOperationAddsOneJournalRow) {
  page.name = "А";
  dialogs.Expect(DialogAnswer::kNo);  // the write question; create asks nothing itself
  ops.BtnNewFolderClick();
  page.selected = 3;
  dialogs.Expect(DialogAnswer::kYes);  // clear?
  dialogs.Expect(DialogAnswer::kNo);   // write?
  ops.BtnClearFolderClick();
  EXPECT_EQ(journal.RowCount(), 4);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(journal.Cell(c, 3), "");
  EXPECT_EQ(journal.Cell(1, 1), "Создание папки");
  EXPECT_EQ(journal.Cell(1, 2), "Очистка папки");
  EXPECT_EQ(journal.Cell(2, 2), "ПОЧВА");
}

// --- selection and copy name ---------------------------------------------------

TEST_F(FolderOps, SelectionEnablesTheButtons) {
  const struct {
    int selected;
    bool rename, remove, clear;
  } cases[] = {{0, false, false, true}, {1, true, true, true}, {2, false, false, false}};
  for (const auto& c : cases) {
    page.selected = c.selected;
    ops.LBFoldersClick();
    EXPECT_EQ(page.rename, c.rename) << c.selected;
    EXPECT_EQ(page.remove, c.remove) << c.selected;
    EXPECT_EQ(page.clear, c.clear) << c.selected;
  }
  MakeFree(0);
  page.selected = 0;
  ops.LBFoldersClick();
  EXPECT_TRUE(page.clear);  // the handler itself refuses a free first folder
}

TEST_F(FolderOps, CopyNameTakesTheSelectedFoldersNameOnly) {
  page.name = "ПРЕЖНЕЕ";
  for (int selected : {-1, 0, 2}) {
    page.selected = selected;
    ops.BtnAddFolderNameClick();
    EXPECT_EQ(page.name, "ПРЕЖНЕЕ") << selected;
  }
  page.selected = 3;
  ops.BtnAddFolderNameClick();
  EXPECT_EQ(page.name, "ПОЧВА");
}

TEST_F(FolderOps, CommandsWaitWhileASynchronisationRuns) {
  state.link.busy = true;
  page.name = "НОВАЯ";
  page.selected = 1;
  ops.BtnNewFolderClick();
  ops.BtnRenameFolderClick();
  ops.BtnRemoveFolderClick();
  ops.BtnClearFolderClick();
  ops.BtnClearFoldersClick();
  EXPECT_TRUE(dialogs.Calls().empty());
  EXPECT_EQ(journal.RowCount(), 2);
  EXPECT_FALSE(AnyFolderPending(*model));
}

}  // namespace
}  // namespace orti::test

namespace orti::test {
namespace {

TEST_F(FolderOps, AFolderNotReadInFullIsNeverErased) {
  const struct {
    const char* name;
    void (FolderOperations::*click)();
    int selected;
  } cases[] = {
      {"rename", &FolderOperations::BtnRenameFolderClick, 1},
      {"remove", &FolderOperations::BtnRemoveFolderClick, 1},
      {"clear", &FolderOperations::BtnClearFolderClick, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs = ScriptedDialogs();
    model->folders[1].readInFull = false;
    page.selected = c.selected;
    page.name = "НОВОЕ";
    (ops.*c.click)();
    ExpectRefused(kMsgNotReadInFull);
  }
  // Clear all refuses as a whole and names the folders.
  dialogs = ScriptedDialogs();
  model->folders[3].readInFull = false;
  ops.BtnClearFoldersClick();
  ExpectRefused(std::string(kMsgNotReadInFull) + "\nВОДА (№ 1), ПОЧВА (№ 3)");
}

TEST_F(FolderOps, CreateTakesTheFirstFreeSlotWhoseHeaderWasRead) {
  MakeFree(3);
  FillList();
  model->folders[2].readInFull = false;  // its header read failed
  page.name = "НОВАЯ";
  ReplyOk(2);
  dialogs.Expect(DialogAnswer::kYes);
  ops.BtnNewFolderClick();
  EXPECT_EQ(FolderNameUtf8(model->folders[3]), "НОВАЯ");
  EXPECT_EQ(Addresses(), (std::vector<int>{Base(3), Base(3)}));
}

TEST_F(FolderOps, NamesOverSixteenCharactersAndFreeSlotsAreRefused) {
  const std::string seventeen = "АБВГДЕЖЗИЙКЛМНОПР";
  page.name = seventeen;
  ops.BtnNewFolderClick();
  ExpectRefused(kMsgNameTooLong);
  dialogs = ScriptedDialogs();
  page.selected = 1;
  ops.BtnRenameFolderClick();
  ExpectRefused(kMsgNameTooLong);
  // A free slot: the page's buttons are disabled, the command line is refused.
  dialogs = ScriptedDialogs();
  page.selected = 2;
  ops.BtnRemoveFolderClick();
  ExpectRefused(kMsgCannotRemove);
}

}  // namespace
}  // namespace orti::test
