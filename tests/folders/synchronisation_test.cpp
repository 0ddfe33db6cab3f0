#include "folders/synchronisation.h"

#include "folder_fixture.h"

namespace orti::test {
namespace {

using Lines = std::vector<std::string>;

class Synchronisation : public FolderFixture {
 protected:
  SyncOutcome Run(DialogAnswer answer) {
    dialogs.Expect(answer);
    return SynchroniseFolders(sync);
  }
  std::vector<uint8_t> Stored(int f, int s) const {
    const uint8_t* b = StoredSlotBytes(model->folders[f], s);
    return {b, b + kRecordSize};
  }
  void ExpectNoWarning() const {
    for (const auto& call : dialogs.Calls())
      EXPECT_NE(call.buttons, DialogButtons::kOk) << call.text;
  }
  // The one warning after a synchronisation with failures.
  std::string Warning() const {
    std::string text;
    int count = 0;
    for (const auto& call : dialogs.Calls()) {
      if (call.buttons != DialogButtons::kOk) continue;
      ++count;
      text = call.text;
      EXPECT_EQ(call.caption, "Синхронизация");
      EXPECT_EQ(call.icon, DialogIcon::kWarning);
    }
    EXPECT_EQ(count, 1);
    return text;
  }
};

TEST_F(Synchronisation, AsksOnceWithAWarningIcon) {
  Run(DialogAnswer::kNo);
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  const auto& q = dialogs.Calls()[0];
  EXPECT_EQ(q.text,
            "Изменения должны быть записаны\nв прибор\nДа - записать прямо сейчас\nНет - не "
            "записывать\n");
  EXPECT_EQ(q.caption, "Обновление данных");
  EXPECT_EQ(q.icon, DialogIcon::kWarning);
  EXPECT_EQ(q.buttons, DialogButtons::kYesNo);
}

TEST_F(Synchronisation, NoDropsThePendingStateAndKeepsNamesRecordsAndViews) {
  MakeFolder(0, "ПЕРВАЯ", {0, 1, 2});
  MakeFolder(1, "НОВАЯ");
  model->folders[1].state = FolderState::kCreatePending;
  model->folders[1].pending = 1;
  MarkForDeletion(0, 1);

  const SyncOutcome outcome = Run(DialogAnswer::kNo);

  EXPECT_FALSE(outcome.confirmed);
  EXPECT_TRUE(link.requests.empty());
  EXPECT_TRUE(LogLines().empty());
  EXPECT_TRUE(views.calls.empty());
  EXPECT_EQ(progress.opened, 0);
  for (int f = 0; f < 2; ++f) {
    EXPECT_EQ(model->folders[f].pending, 0);
    EXPECT_EQ(model->folders[f].state, FolderState::kAsRead);
  }
  EXPECT_EQ(FolderNameUtf8(model->folders[1]), "НОВАЯ");
  EXPECT_EQ(model->folders[0].records[1].deletionMark, 0);
  EXPECT_EQ(model->folders[0].records[1].mode, kModePh);
  EXPECT_FALSE(state.link.busy);
}

TEST_F(Synchronisation, RewriteClosesUpTheKeptRecordsAndSkipsTheMarkedOnes) {
  MakeFolder(1, "АБВ", {0, 1, 2, 3, 4, 5, 6, 9});
  MarkForDeletion(1, 2);
  MarkForDeletion(1, 5);
  const std::vector<NotepadRecord> before(std::begin(model->folders[1].records),
                                          std::end(model->folders[1].records));
  ReplyOk(2 + 6);

  const SyncOutcome outcome = Run(DialogAnswer::kYes);

  EXPECT_TRUE(outcome.confirmed);
  EXPECT_EQ(outcome.failedRequests, 0);
  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 8u);
  EXPECT_EQ(frames[0].address, Base(1));
  EXPECT_EQ(frames[0].size, 0);
  EXPECT_EQ(frames[1].address, Base(1));
  EXPECT_EQ(frames[1].size, kFolderHeaderSize);
  const uint8_t header[] = {0xC0, 0xC1, 0xC2};  // "АБВ" in cp1251
  EXPECT_TRUE(std::equal(header, header + 3, frames[1].data.begin()));
  const int kept[] = {0, 1, 3, 4, 6, 9};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(frames[2 + k].address, SlotAt(1, k)) << k;
    EXPECT_EQ(frames[2 + k].size, kRecordSize);
    EXPECT_EQ(frames[2 + k].data, RecordBytes(1, kept[k])) << k;
  }
  Lines expected(6, "Запись папки в прибор - OK");
  EXPECT_EQ(LogLines(), expected);

  // In memory the kept records moved with their bytes; the marked ones are gone.
  const NotepadFolder& folder = model->folders[1];
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(folder.records[k].dayNumber, before[kept[k]].dayNumber) << k;
    EXPECT_EQ(Stored(1, k), RecordBytes(1, kept[k])) << k;
  }
  int shown = 0;
  for (int s = 0; s < kShownSlots; ++s) {
    shown += folder.records[s].HoldsRecord();
    EXPECT_EQ(folder.records[s].deletionMark, 0);
  }
  EXPECT_EQ(shown, 6);
  EXPECT_EQ(folder.state, FolderState::kAsRead);
  EXPECT_EQ(folder.pending, 0);
  EXPECT_EQ(views.calls, (Lines{"sort", "fill"}));
  ExpectNoWarning();
}

TEST_F(Synchronisation, SecondRewriteWithoutReadingKeepsTheInstrumentsOrder) {
  MakeFolder(0, "А", {0, 1, 2, 3, 4});
  MarkForDeletion(0, 1);
  ReplyOk(2 + 4);
  Run(DialogAnswer::kYes);
  link.requests.clear();

  MarkForDeletion(0, 2);  // now the record first read from slot 3
  ReplyOk(2 + 3);
  Run(DialogAnswer::kYes);

  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 5u);
  const int kept[] = {0, 2, 4};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(frames[2 + k].address, SlotAt(0, k));
    EXPECT_EQ(frames[2 + k].data, RecordBytes(0, kept[k])) << k;
  }
}

TEST_F(Synchronisation, RecordInTheLastSlotSurvivesARewrite) {
  MakeFolder(2, "ДАННЫЕ", {0, 25});
  model->folders[2].state = FolderState::kRewritePending;
  model->folders[2].pending = 1;
  ReplyOk(4);

  Run(DialogAnswer::kYes);

  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[2].address, SlotAt(2, 0));
  EXPECT_EQ(frames[3].address, Base(2) + kLastSlotOffset);
  EXPECT_EQ(frames[3].data, RecordBytes(2, 25));
  EXPECT_EQ(Stored(2, 25), RecordBytes(2, 25));
  EXPECT_FALSE(model->folders[2].records[24].HoldsRecord());
}

TEST_F(Synchronisation, FailedEraseSkipsThatFolderAndTheNextIsStillWritten) {
  MakeFolder(0, "ПЕРВАЯ", {0, 1});
  MakeFolder(1, "ВТОРАЯ", {0, 1, 2});
  MarkForDeletion(0, 0);
  MarkForDeletion(1, 1);
  link.Reply(std::nullopt);   // erase of folder 0
  link.Identified(kNotepad);  // the instrument still answers
  ReplyOk(2 + 2);

  const SyncOutcome outcome = Run(DialogAnswer::kYes);

  EXPECT_EQ(Addresses(), (std::vector<int>{Base(0), Base(1), Base(1), SlotAt(1, 0), SlotAt(1, 1)}));
  EXPECT_EQ(outcome.failedRequests, 1);
  EXPECT_EQ(LogLines(), (Lines{"Очистка блока в приборе - Ошибка", "Ошибка при выполнении операции",
                               "Длина ответа= 0", "Ответ прибора ''", "Запись папки в прибор - OK",
                               "Запись папки в прибор - OK"}));
  // The failed folder stays pending, so the leave-page question still offers it.
  EXPECT_EQ(model->folders[0].state, FolderState::kRewritePending);
  EXPECT_EQ(model->folders[0].pending, 1);
  EXPECT_TRUE(AnyFolderPending(*model));
  EXPECT_EQ(model->folders[1].state, FolderState::kAsRead);
  EXPECT_EQ(model->folders[1].pending, 0);
  // Its marked record is gone from the model all the same: the next write leaves it out.
  EXPECT_EQ(Stored(0, 0), RecordBytes(0, 1));
  EXPECT_FALSE(model->folders[0].records[1].HoldsRecord());
  EXPECT_EQ(progress.closed, 1);
  EXPECT_NE(Warning().find("Не выполнено запросов: 1"), std::string::npos);
  EXPECT_NE(Warning().find("протокол"), std::string::npos);

  // Written again next time, without the deleted record.
  link.requests.clear();
  ReplyOk(3);
  dialogs.Expect(DialogAnswer::kYes);
  SynchroniseFolders(sync);
  EXPECT_EQ(Addresses(), (std::vector<int>{Base(0), Base(0), SlotAt(0, 0)}));
  EXPECT_EQ(Frames()[2].data, RecordBytes(0, 1));
  EXPECT_FALSE(AnyFolderPending(*model));
}

TEST_F(Synchronisation, ErrorReplyIsLoggedWithTheDeviceErrorText) {
  MakeFolder(3, "Х");
  model->folders[3].state = FolderState::kClearPending;
  model->folders[3].pending = 1;
  // The error code is the data byte after the function code: here 2.
  link.Reply(std::string(":0192026B\r\n"));

  Run(DialogAnswer::kYes);

  EXPECT_EQ(link.requests.size(), 1u);
  EXPECT_EQ(LogLines(),
            (Lines{"Очистка блока в приборе - Ошибка /принято из порта/",
                   "Ошибка при выполнении операции", "Длина ответа= 11", "Ответ прибора ':0192026B",
                   "'", "Недопустимая команда (Команда не может быть выполнена)"}));
  EXPECT_EQ(model->folders[3].state, FolderState::kClearPending);
  EXPECT_NE(Warning().find("Не выполнено запросов: 1\n"), std::string::npos);
}

TEST_F(Synchronisation, AFailedRequestIsTheLastOfItsFolder) {
  MakeFolder(0, "А", {0, 1});
  MakeFolder(1, "Б", {0, 1, 2});
  for (int f : {0, 1}) {
    model->folders[f].state = FolderState::kRewritePending;
    model->folders[f].pending = 1;
  }
  link.Accept();
  link.Reply(std::nullopt);  // folder 0's header
  link.Identified(kNotepad);
  ReplyOk(2);
  link.Reply(std::string(kWriteRefused));  // folder 1's first record

  const SyncOutcome outcome = Run(DialogAnswer::kYes);

  EXPECT_EQ(Addresses(), (std::vector<int>{Base(0), Base(0), Base(1), Base(1), SlotAt(1, 0)}));
  EXPECT_EQ(outcome.failedRequests, 2);
  EXPECT_EQ(LogLines()[0], "Запись в прибор переименованной папки - Ошибка");
  EXPECT_EQ(LogLines()[4], "Запись папки в прибор - Ошибка /принято из порта/");
  EXPECT_EQ(model->folders[0].pending + model->folders[1].pending, 2);
  EXPECT_NE(Warning().find("Не записаны папки: А (№ 0), Б (№ 1)\n"), std::string::npos);
}

TEST_F(Synchronisation, AnInstrumentThatStopsAnsweringLeavesTheRestPending) {
  MakeFolder(0, "А", {0});
  MakeFolder(1, "Б", {0, 1});
  MakeFolder(2, "В", {0});
  for (int f : {0, 1, 2}) MarkForDeletion(f, 0);
  link.Reply(std::nullopt);  // the erase of folder 0; then nothing answers

  const SyncOutcome outcome = Run(DialogAnswer::kYes);

  EXPECT_EQ(Addresses(), std::vector<int>{Base(0)});
  ASSERT_EQ(link.requests.size(), 2u);
  EXPECT_EQ(link.requests[1], ":010FF0\r\n");  // one identification, then no more
  EXPECT_EQ(LogLines().back(), kLogInstrumentLost);
  for (int f : {0, 1, 2}) {
    EXPECT_EQ(model->folders[f].pending, 1) << f;
    EXPECT_TRUE(model->folders[f].writeFailed) << f;
  }
  // The marked records are gone from the model; the rest waits for the next write.
  EXPECT_FALSE(model->folders[1].records[0].HoldsRecord());
  EXPECT_TRUE(model->folders[1].records[1].HoldsRecord());
  const std::string warning = Warning();
  EXPECT_NE(warning.find("Не записаны папки: А (№ 0)\n"), std::string::npos) << warning;
  EXPECT_NE(warning.find("не записаны также папки: Б (№ 1), В (№ 2)\n"), std::string::npos);
  EXPECT_NE(warning.find(outcome.backupFile), std::string::npos);
}

TEST_F(Synchronisation, CreateRemoveAndClearSendTheirFramesWithTheirStepTexts) {
  MakeFolder(0, "ОСТАТОК");
  model->folders[0].state = FolderState::kClearPending;
  model->folders[1].state = FolderState::kRemovePending;
  MakeFolder(2, "НОВАЯ");
  model->folders[2].state = FolderState::kCreatePending;
  for (int f = 0; f < 3; ++f) model->folders[f].pending = 1;
  MakeFolder(3, "ПОКОЙ");  // state 1 with a pending flag writes nothing
  model->folders[3].pending = 1;
  link.Accept();              // clear: erase
  link.Reply(std::nullopt);   // clear: header
  link.Identified(kNotepad);  // the instrument still answers
  link.Reply(std::nullopt);   // remove: erase
  link.Identified(kNotepad);
  link.Accept();                           // create: erase
  link.Reply(std::string(kWriteRefused));  // create: header

  const SyncOutcome outcome = Run(DialogAnswer::kYes);

  const auto frames = Frames();
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(Addresses(), (std::vector<int>{Base(0), Base(0), Base(1), Base(2), Base(2)}));
  EXPECT_EQ(frames[1].data[0], 0xCE);  // the name the folder still has, "О"
  EXPECT_EQ(frames[4].size, kFolderHeaderSize);
  EXPECT_EQ(outcome.failedRequests, 3);
  Lines steps;
  for (const auto& line : LogLines()) {
    if (line.find(" - ") != std::string::npos) steps.push_back(line);
  }
  EXPECT_EQ(steps, (Lines{"Запись в прибор прежнего имени папки - Ошибка",
                          "Очистка блока в приборе - Ошибка",
                          "Запись в прибор новой папки - Ошибка /принято из порта/"}));
  EXPECT_EQ(model->folders[3].state, FolderState::kAsRead);
  EXPECT_EQ(model->folders[3].pending, 0);
  EXPECT_NE(Warning().find("Не выполнено запросов: 3\n"), std::string::npos);
}

TEST_F(Synchronisation, NothingPendingStillShowsTheWindowClearsMarksAndRebuildsViews) {
  MakeFolder(0, "А", {0});
  NotepadRecord& marked = model->folders[0].records[0];
  marked.MarkIn(ViewKind::kByFolders) = ViewMark::kSave;
  marked.MarkIn(ViewKind::kByDate) = ViewMark::kPrint;
  Run(DialogAnswer::kYes);
  EXPECT_EQ(marked.MarkIn(ViewKind::kByFolders), ViewMark::kNone);
  EXPECT_EQ(marked.MarkIn(ViewKind::kByDate), ViewMark::kNone);
  EXPECT_TRUE(link.requests.empty());
  EXPECT_EQ(progress.opened, 1);
  EXPECT_EQ(progress.closed, 1);
  EXPECT_EQ(progress.title, "Запись данных");
  EXPECT_EQ(progress.folderMaximum, 40);
  EXPECT_EQ(progress.folderPosition, 40);
  EXPECT_EQ(views.calls, (Lines{"sort", "fill"}));
  ExpectNoWarning();
}

TEST_F(Synchronisation, DoesNothingWhileBusyAndIsBusyWhileItRuns) {
  state.link.busy = true;
  EXPECT_FALSE(SynchroniseFolders(sync).confirmed);
  EXPECT_TRUE(dialogs.Calls().empty());

  state.link.busy = false;
  struct BusyProbe final : ViewsHooks {
    ConsoleState* state;
    bool sawBusy = false;
    void SortByDateIndex() override {}
    void FillGrids() override { sawBusy = state->link.busy; }
  } probe;
  probe.state = &state;
  SyncContext c{Services(dialogs), progress, probe};
  dialogs.Expect(DialogAnswer::kYes);
  SynchroniseFolders(c);
  EXPECT_TRUE(probe.sawBusy);
  EXPECT_FALSE(state.link.busy);
}

TEST_F(Synchronisation, PendingQuestionYesSynchronisesAndNoChangesNothing) {
  MakeFolder(0, "А", {0, 1});
  MarkForDeletion(0, 0);

  dialogs.Expect(DialogAnswer::kNo);
  EXPECT_FALSE(ConfirmPendingSync(sync));
  ASSERT_EQ(dialogs.Calls().size(), 1u);
  EXPECT_EQ(dialogs.Calls()[0].text,
            "Папки/записи были изменены\nРекомендуется выполнить синхронизацию\nВыполнить?");
  EXPECT_EQ(dialogs.Calls()[0].caption, "Синхронизация");
  EXPECT_EQ(dialogs.Calls()[0].icon, DialogIcon::kWarning);
  EXPECT_EQ(model->folders[0].pending, 1);
  EXPECT_EQ(model->folders[0].records[0].deletionMark, 1);

  dialogs.Expect(DialogAnswer::kYes);
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(3);
  EXPECT_TRUE(ConfirmPendingSync(sync));
  EXPECT_EQ(dialogs.Calls()[2].caption, "Обновление данных");
  EXPECT_EQ(link.Writes().size(), 3u);
  EXPECT_FALSE(AnyFolderPending(*model));
}

TEST(CompactFolder, MovesKeptRecordsFirstAndLeavesSlot25) {
  auto model = std::make_unique<NotepadModel>();
  NotepadFolder& folder = model->folders[0];
  std::memset(folder.slotImage, 0xFF, sizeof folder.slotImage);
  for (int s = 0; s < kSlotsPerFolder; ++s) {
    folder.records[s].mode = s % 3 == 0 ? kModeMv : (s % 3 == 1 ? kModeEmpty : kModeDeleted);
    folder.records[s].dayNumber = static_cast<uint16_t>(s);
    StoredSlotBytes(folder, s)[0] = static_cast<uint8_t>(s);
  }
  folder.records[3].deletionMark = 1;
  CompactFolder(folder);
  const int expected[] = {0, 6, 9, 12, 15, 18, 21, 24, 1, 2, 3, 4, 5};
  for (int k = 0; k < 13; ++k) {
    EXPECT_EQ(folder.records[k].dayNumber, expected[k]) << k;
    EXPECT_EQ(StoredSlotBytes(folder, k)[0], expected[k]) << k;
  }
  EXPECT_EQ(folder.records[10].deletionMark, 1);  // slot 3 travelled with its mark
  EXPECT_EQ(folder.records[25].dayNumber, 25);
  EXPECT_EQ(StoredSlotBytes(folder, 25)[0], 25);
}

}  // namespace
}  // namespace orti::test
