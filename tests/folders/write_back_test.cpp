// What keeps a failed write from losing records: the backup file, the
// pending state that survives "Нет", and the questions at quitting.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "folder_fixture.h"
#include "folders/backup_store.h"
#include "folders/restore.h"
#include "folders/sync_backup.h"
#include "folders/synchronisation.h"

namespace orti::test {
namespace {

class WriteBack : public FolderFixture {
 protected:
  WriteBack() {
    model->identity.notepadAddress = kNotepad;
    std::memcpy(model->identity.name, "\xCE\xD0\xD2\xC8-415", 8);  // "ОРТИ-415" in cp1251
    MakeFolder(1, "ВОДА", {0, 1, 2});
    MakeFolder(2, "ПОЧВА", {0, 4});
  }
  // Deletes record 1 of folder 1; its erase is refused.
  SyncOutcome FailFolderOne() {
    MarkForDeletion(1, 1);
    link.Reply(std::string(kWriteRefused));
    dialogs.Expect(DialogAnswer::kYes);
    return SynchroniseFolders(sync);
  }
  Backup Load(const std::string& path) {
    Backup backup;
    std::string error;
    EXPECT_TRUE(LoadBackup(path, backup, error)) << error;
    return backup;
  }
};

TEST_F(WriteBack, TheBackupHoldsTheBlocksAsReadAndCompletesWhenAllWereWritten) {
  MarkForDeletion(1, 1);
  MarkForDeletion(2, 4);
  const FolderBlock before1 = InstrumentBlock(1), before2 = InstrumentBlock(2);
  ReplyOk(2 + 2 + 2 + 1);
  dialogs.Expect(DialogAnswer::kYes);
  const SyncOutcome outcome = SynchroniseFolders(sync);
  ASSERT_EQ(outcome.failedRequests, 0);

  const Backup backup = Load(outcome.backupFile);
  EXPECT_EQ(outcome.backupFile.rfind(home.Path() + "backups/orti415-backup-", 0), 0u);
  EXPECT_TRUE(backup.completed);
  EXPECT_EQ(backup.identity, "ОРТИ-415 ");
  EXPECT_EQ(backup.notepadAddress, kNotepad);
  EXPECT_EQ(backup.reason, "Синхронизация");
  ASSERT_EQ(backup.folders.size(), 2u);
  EXPECT_EQ(backup.folders[0].name, "ВОДА");
  EXPECT_EQ(backup.folders[0].address, Base(1));
  EXPECT_TRUE(backup.folders[0].written);
  EXPECT_EQ(backup.folders[0].block, std::vector<uint8_t>(before1.begin(), before1.end()));
  EXPECT_EQ(backup.folders[1].block, std::vector<uint8_t>(before2.begin(), before2.end()));
  EXPECT_TRUE(state.session.unfinishedBackups.empty());
}

TEST_F(WriteBack, AFailedFolderStaysPendingThroughNoAndItsRetryReusesTheBackup) {
  const SyncOutcome failed = FailFolderOne();
  EXPECT_TRUE(model->folders[1].writeFailed);
  EXPECT_NE(dialogs.Calls().back().text.find(failed.backupFile), std::string::npos);
  EXPECT_FALSE(Load(failed.backupFile).completed);

  // "Нет" to a later question drops what was never tried, not the failed folder.
  MarkForDeletion(2, 0);
  dialogs.Expect(DialogAnswer::kNo);
  SynchroniseFolders(sync);
  EXPECT_EQ(model->folders[1].pending, 1);
  EXPECT_EQ(model->folders[1].state, FolderState::kRewritePending);
  EXPECT_EQ(model->folders[2].pending, 0);
  EXPECT_EQ(model->folders[2].records[0].deletionMark, 0);

  // Written at last: the same backup, now completed.
  ReplyOk(2 + 2);
  dialogs.Expect(DialogAnswer::kYes);
  const SyncOutcome retried = SynchroniseFolders(sync);
  EXPECT_EQ(retried.failedRequests, 0);
  EXPECT_EQ(retried.backupFile, failed.backupFile);
  EXPECT_TRUE(Load(failed.backupFile).completed);
  EXPECT_FALSE(AnyFolderPending(*model));
}

TEST_F(WriteBack, QuittingWithAFailedFolderAsksAndYesQuitsOnlyWhenWritten) {
  const struct {
    DialogAnswer answer;
    bool writeSucceeds;
    bool quits;
  } cases[] = {
      {DialogAnswer::kNo, false, true},
      {DialogAnswer::kCancel, false, false},
      {DialogAnswer::kYes, false, false},
      {DialogAnswer::kYes, true, true},
  };
  EXPECT_TRUE(ConfirmQuitWithUnwrittenFolders(sync)) << "nothing failed: no question";
  EXPECT_TRUE(dialogs.Calls().empty());
  const SyncOutcome failed = FailFolderOne();
  for (const auto& c : cases) {
    dialogs = ScriptedDialogs();
    dialogs.Expect(c.answer);
    if (c.writeSucceeds) {
      ReplyOk(2 + 2);
    } else if (c.answer == DialogAnswer::kYes) {
      link.Reply(std::string(kWriteRefused));
    }
    EXPECT_EQ(ConfirmQuitWithUnwrittenFolders(sync), c.quits);
    const DialogCall& question = dialogs.Calls().front();
    EXPECT_EQ(question.buttons, DialogButtons::kYesNoCancel);
    EXPECT_NE(question.text.find("ВОДА (№ 1)"), std::string::npos);
    EXPECT_NE(question.text.find(failed.backupFile), std::string::npos);
  }
  EXPECT_FALSE(AnyFolderPending(*model));
}

TEST_F(WriteBack, NothingIsSentWithoutABackup) {
  MarkForDeletion(1, 1);
  // The backups folder cannot be made: a file stands in its way.
  WriteBytes(home.File("backups"), "");
  dialogs.Expect(DialogAnswer::kYes);
  const SyncOutcome outcome = SynchroniseFolders(sync);
  EXPECT_TRUE(outcome.refused);
  EXPECT_TRUE(link.requests.empty());
  EXPECT_EQ(dialogs.Calls().back().text.rfind(kMsgBackupFailed, 0), 0u);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

// `text` with its checksum line made right again.
std::string Rechecked(const std::string& text) {
  const std::string body = text.substr(0, text.rfind("Checksum="));
  char sum[16];
  std::snprintf(sum, sizeof sum, "%08X", static_cast<unsigned>(Crc32(body)));
  return body + "Checksum=" + sum + "\r\n";
}

// Folder 1 losing its record 1, free folder 3 staying free.
class BackupText : public WriteBack {
 protected:
  BackupText() {
    MarkForDeletion(1, 1);
    backup.identity = IdentityText(model->identity);
    backup.notepadAddress = kNotepad;
    backup.folders = {BackupFolderOf(*model, 1), BackupFolderOf(*model, 3)};
  }
  Backup backup;
};

TEST_F(BackupText, ReadsBackWhatItWroteAndAnOlderFileWithoutGoals) {
  Backup read;
  std::string error;
  ASSERT_TRUE(ParseBackup(FormatBackup(backup), read, error)) << error;
  ASSERT_EQ(read.folders.size(), 2u);
  EXPECT_EQ(read.folders[0].name, "ВОДА");
  const FolderBlock goal = WrittenBlock(model->folders[1]);
  EXPECT_EQ(read.folders[0].goal, std::vector<uint8_t>(goal.begin(), goal.end()));
  EXPECT_EQ(read.folders[1].block, std::vector<uint8_t>(kFolderHeaderBytes, 0xFF));
  for (BackupFolder& f : backup.folders) f.goal.clear();
  ASSERT_TRUE(ParseBackup(FormatBackup(backup), read, error)) << error;
  EXPECT_TRUE(read.folders[0].goal.empty());
}

// Each is refused naming its line, and a restore from it sends nothing.
TEST_F(BackupText, WhatThisProgramWouldNotHaveWrittenIsRefusedAndNothingSent) {
  const std::string text = FormatBackup(backup);
  const size_t from = text.find("[Folder 1]");
  const std::string folder1 = text.substr(from, text.find("[Folder 3]") - from);
  const struct {
    std::string file;
    std::string reason;
  } cases[] = {
      {Rechecked(Replaced(text, "[Folder 3]", folder1 + "[Folder 3]")),
       "строка 14: раздел [Folder 1] повторяется"},
      {Rechecked(Replaced(text, "[Folder 3]", "[Folder 01]")), "строка 14: папка 1 повторяется"},
      {Rechecked(Replaced(text, "Written=0\r\n", "Written=0\r\nWritten=1\r\n")),
       "строка 11: ключ Written повторяется"},
      {Rechecked(Replaced(text, "Reason=", "Причина=")), "строка 5: неизвестный ключ"},
      {Replaced(text, "\nChecksum=", "\nChecksum= "), "нет строки контрольной суммы"},
      {Replaced(text, "Written=0", "Written=1"), "строка 21: контрольная сумма не совпадает"},
      {Rechecked(Replaced(text, "Block=C2", "Block=C3")), "строка 11: неверная сумма заголовка"},
      {Rechecked(Replaced(text, "Block=FFFF", "Block=FF41")),
       "строка 18: заголовок свободной папки содержит имя"},
      {Rechecked(Replaced(text, "190F01", "190F04")), "строка 11: запись 0: неизвестный режим"},
      {Rechecked(Replaced(text, "Name=\xC2\xCE\xC4\xC0", "Name=\xC2")),
       "строка 9: имя не совпадает с блоком"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    dialogs = ScriptedDialogs();
    WriteBytes(home.File("refused.txt"), c.file);
    RestoreFromBackup(sync, home.File("refused.txt"), {}, 45000);
    ASSERT_EQ(dialogs.Calls().size(), 1u);
    EXPECT_NE(dialogs.Calls()[0].text.find(c.reason), std::string::npos) << dialogs.Calls()[0].text;
    EXPECT_TRUE(link.requests.empty());
  }
}

TEST(BackupStore, KeepsTheFiftyNewestCompletedAndEveryUnfinished) {
  TempDir home;
  int errorNumber = 0;
  std::vector<std::string> paths;
  for (int i = 0; i < kKeptCompletedBackups + 3; ++i) {
    Backup b;
    b.completed = i != 1;  // the second oldest never completed
    const NewBackupName name = NewBackupPath(home.Path(), errorNumber);
    ASSERT_TRUE(SaveBackup(name.path, b).ok);
    paths.push_back(name.path);
  }
  PruneCompletedBackups(home.Path());
  const std::vector<std::string> left = BackupFiles(home.Path());
  EXPECT_EQ(left.size(), static_cast<size_t>(kKeptCompletedBackups + 1));
  EXPECT_EQ(left.front(), paths[1]);
  EXPECT_EQ(left.back(), paths.back());
  EXPECT_EQ(access(paths[0].c_str(), F_OK), -1);
}

// Backup names are predictable to the millisecond: a link planted at every
// name of the next seconds is skipped, and nothing is written where they point.
TEST(BackupStore, ANameTakenByAPlantedLinkIsNeverUsed) {
  TempDir home;
  ASSERT_EQ(mkdir(home.File("backups").c_str(), 0755), 0);
  const std::time_t now = std::time(nullptr);
  for (std::time_t second = now; second < now + 3; ++second) {
    std::tm t{};
    localtime_r(&second, &t);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &t);
    for (int ms = 0; ms < 1000; ++ms) {
      char name[64];
      std::snprintf(name, sizeof name, "backups/orti415-backup-%s-%03d.txt", stamp, ms);
      ASSERT_EQ(symlink(home.File("elsewhere").c_str(), home.File(name).c_str()), 0);
    }
  }
  int errorNumber = 0;
  const NewBackupName name = NewBackupPath(home.Path(), errorNumber);
  struct stat st {};
  EXPECT_NE(lstat(name.path.c_str(), &st), 0) << name.path;
  ASSERT_TRUE(SaveBackup(name.path, Backup{}).ok);
  EXPECT_EQ(access(home.File("elsewhere").c_str(), F_OK), -1);
}

}  // namespace
}  // namespace orti::test

namespace orti::test {
namespace {

TEST_F(WriteBack, ACutOffWriteIsOfferedBackAfterTheNextReading) {
  const FolderBlock before = InstrumentBlock(1);
  // The erase is carried out, then nothing more: the folder is erased.
  MarkForDeletion(1, 1);
  link.Accept();
  link.Reply(std::nullopt);
  dialogs.Expect(DialogAnswer::kYes);
  const SyncOutcome cut = SynchroniseFolders(sync);
  ASSERT_GT(cut.failedRequests, 0);

  // The next run reads the erased block; the incomplete backup differs.
  NotepadFolder& folder = model->folders[1];
  const FolderBlock erased = InstrumentBlock(1);
  std::copy(erased.begin(), erased.end(), folder.knownBlock);
  folder.writeFailed = false;
  folder.pending = 0;
  state.session.unfinishedBackups.clear();
  dialogs = ScriptedDialogs();
  dialogs.Expect(DialogAnswer::kYes);
  ReplyOk(1 + 1 + 3);  // erase, header, three records
  OfferRestoreAfterCut(sync, 45000);

  ASSERT_FALSE(dialogs.Calls().empty());
  const DialogCall& offer = dialogs.Calls().front();
  EXPECT_EQ(offer.caption, kRestoreCaption);
  EXPECT_EQ(offer.text.rfind("Запись в прибор была прервана: папки ВОДА (№ 1)", 0), 0u)
      << offer.text;
  EXPECT_NE(offer.text.find(cut.backupFile), std::string::npos);
  EXPECT_NE(offer.text.find("№ 1: сейчас «<Свободно>», записей 0; в копии «ВОДА», записей 3"),
            std::string::npos)
      << offer.text;
  EXPECT_EQ(InstrumentBlock(1), before);
  EXPECT_EQ(FolderNameUtf8(folder), "ВОДА");
  EXPECT_TRUE(folder.records[1].HoldsRecord());

  // Restored: the backup completed, nothing more to offer.
  Backup backup;
  std::string error;
  ASSERT_TRUE(LoadBackup(cut.backupFile, backup, error));
  EXPECT_TRUE(backup.completed);
  dialogs = ScriptedDialogs();
  OfferRestoreAfterCut(sync, 45000);
  EXPECT_TRUE(dialogs.Calls().empty());
}

}  // namespace
}  // namespace orti::test
