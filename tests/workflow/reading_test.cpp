#include "workflow/reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/frame_codec.h"
#include "device/identify.h"
#include "device/identity_display.h"
#include "device/memory_map.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "support/scripted_dialogs.h"
#include "support/sim_rig.h"

namespace orti {
namespace {

using Lines = std::vector<std::string>;

class RecordingReadingHooks final : public ReadingHooks {
 public:
  std::vector<std::string> calls;
  int folders = 0, headers = 0, free = 0, slots = 0;
  void Start(int folderCount) override { folders = folderCount; }
  void FolderHeaderRead() override { ++headers; }
  void FolderFree() override { ++free; }
  void SlotDecoded() override { ++slots; }
  void OpenProgress() override { calls.push_back("open"); }
  void CloseProgress() override { calls.push_back("close"); }
  void RebuildViews() override { calls.push_back("views"); }
  void ClearViews() override { calls.push_back("clear views"); }
  void FillFolderList() override { calls.push_back("folder list"); }
  void WaitTicks() override { calls.push_back("wait"); }
};

struct Reading {
  test::SimRig rig;
  std::unique_ptr<NotepadModel> model = std::make_unique<NotepadModel>();
  StringGrid totalData{2, 1, 1};
  test::ScriptedDialogs dialogs;
  RecordingReadingHooks hooks;
  ReadingContext context{
      {*model, rig.state, totalData, rig.link, rig.log, dialogs}, hooks, EncodeDate(2026, 12, 8)};

  explicit Reading(uint32_t seed = 7, uint16_t notepad = 12800) : rig(seed, notepad) {
    EXPECT_TRUE(Identify(rig.link, rig.state, model->identity, rig.log));
    ShowIdentity(model->identity, totalData, rig.state);
  }
  const uint8_t* Block(int f) const {
    return rig.instrument.Memory().data() + model->identity.notepadAddress + kFolderBlockSize * f;
  }
  // Records in slots 0..24 the instrument holds in folder f.
  int StoredRecords(int f) const {
    int n = 0;
    for (int s = 0; s < kShownSlots; ++s) {
      uint8_t mode = Block(f)[kFolderHeaderSize + kRecordSize * s];
      n += mode != 0xFF && mode != 0;
    }
    return n;
  }
  // The requests a clean reading of the model's folders takes.
  int Exchanges() const {
    int n = 0;
    for (int f = 0; f < model->folderCount; ++f) n += Block(f)[0] == 0xFF ? 1 : 7;
    return n;
  }
  Lines LogFrom(size_t first) const {
    return Lines(rig.log.Lines().begin() + static_cast<long>(first), rig.log.Lines().end());
  }
};

TEST(Reading, LoadsTheWholeNotepadAsTheInstrumentHoldsIt) {
  Reading r;
  EXPECT_EQ(RunReading(r.context), 0);
  EXPECT_EQ(r.hooks.calls, (Lines{"open", "views", "close", "folder list", "wait"}));
  ASSERT_EQ(r.model->folderCount, 100);
  EXPECT_EQ(r.hooks.folders, 100);
  EXPECT_EQ(r.hooks.headers, 100);
  EXPECT_EQ(r.model->baseDate, EncodeDate(2026, 1, 1));
  int inUse = 0, records = 0;
  for (int f = 0; f < 100; ++f) {
    const NotepadFolder& folder = r.model->folders[f];
    ASSERT_EQ(folder.deviceAddress, 12800 + 512 * f);
    if (r.Block(f)[0] == 0xFF) {
      EXPECT_EQ(folder.state, FolderState::kFree) << f;
      EXPECT_EQ(Cp1251ToUtf8(folder.name), "<Свободно>");
      continue;
    }
    ++inUse;
    EXPECT_TRUE(folder.readInFull) << f;
    EXPECT_EQ(folder.state, FolderState::kAsRead);
    EXPECT_EQ(std::string(folder.name),
              std::string(reinterpret_cast<const char*>(r.Block(f)), strnlen(folder.name, 16)));
    int held = 0;
    for (int s = 0; s < kShownSlots; ++s) held += folder.records[s].HoldsRecord();
    EXPECT_EQ(held, r.StoredRecords(f)) << f;
    records += held;
    // The stored bytes are kept exactly, slot 25 included, for writing back.
    EXPECT_EQ(0, memcmp(folder.slotImage[0], r.Block(f) + kFolderHeaderSize, kChunkSize));
    EXPECT_EQ(0, memcmp(folder.slotImage[5], r.Block(f) + kLastSlotOffset, kRecordSize));
  }
  EXPECT_GT(inUse, 0);
  EXPECT_EQ(r.hooks.free, 100 - inUse);
  EXPECT_EQ(r.hooks.slots, 26 * inUse);
  EXPECT_EQ(r.model->byDate.Count(), records);
  // After the identity rows: an empty row, the titles, one row per folder in use, an empty row.
  EXPECT_EQ(r.totalData.RowCount(), r.rig.state.summaryRowCount + 1 + inUse + 1);
  // Seven exchanges for a folder in use, one for a free one.
  EXPECT_EQ(std::count(r.rig.port.Sent().begin(), r.rig.port.Sent().end(), ':'),
            1 + 7 * inUse + (100 - inUse));
  EXPECT_TRUE(r.dialogs.Calls().empty());
  EXPECT_FALSE(r.rig.state.link.busy);
}

TEST(Reading, FailuresAreLoggedPerRequestAndKeepWhatWasLoaded) {
  Reading r;
  RunReading(r.context);
  // Find a folder in use; remember what it holds.
  int f = 0;
  while (r.model->folders[f].state != FolderState::kAsRead) ++f;
  const std::string name = r.model->folders[f].name;
  const size_t before = r.rig.log.Lines().size();

  // Count the read requests the second reading makes up to folder f's header.
  int readsBefore = 0;
  for (int g = 0; g < f; ++g)
    readsBefore += r.model->folders[g].state == FolderState::kFree ? 1 : 7;
  const int firstReading = std::count(r.rig.port.Sent().begin(), r.rig.port.Sent().end(), ':') - 1;
  const int header = firstReading + readsBefore + 1;
  r.rig.ErrorReply(sim::RequestKind::kRead, header + 2);       // chunk 1: error reply
  r.rig.SilenceExchange(sim::RequestKind::kRead, header + 3);  // chunk 2: no reply at all

  for (int g = 0; g < 100; ++g) r.model->folders[g].records[5].ph = -1;  // slots 5..9 are chunk 1
  EXPECT_EQ(RunReading(r.context), 2);
  const std::string i = std::to_string(f);
  EXPECT_EQ(r.LogFrom(before), (Lines{"Err30 " + i, "Err40 " + i, "Ошибка при выполнении операции",
                                      "Длина ответа= 0", "Ответ прибора ''"}));
  EXPECT_EQ(r.model->folders[f].records[5].ph, -1);  // chunk 1 kept what it held
  for (int g = 0; g < 100; ++g) EXPECT_EQ(r.model->folders[g].readInFull, g != f) << g;
  EXPECT_NE(r.model->folders[f].records[0].ph, -1);  // chunk 0 was read again
  EXPECT_EQ(std::string(r.model->folders[f].name), name);
}

TEST(Reading, AHeaderThatFailsLeavesTheFolderAsItWas) {
  Reading r;
  RunReading(r.context);
  const size_t before = r.rig.log.Lines().size();
  std::strcpy(r.model->folders[0].name, "old");
  const int firstReading = std::count(r.rig.port.Sent().begin(), r.rig.port.Sent().end(), ':') - 1;
  r.rig.ErrorReply(sim::RequestKind::kRead, firstReading + 1, 1);
  RunReading(r.context);
  EXPECT_STREQ(r.model->folders[0].name, "old");
  EXPECT_FALSE(r.model->folders[0].readInFull);
  const Lines lines = r.LogFrom(before);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Err1 0");
  EXPECT_EQ(lines[1], "Ошибка при выполнении операции");
  EXPECT_EQ(lines[2], "Длина ответа= 11");
  EXPECT_EQ(lines[3].rfind("Ответ прибора ':018201", 0), 0u);
  EXPECT_EQ(lines[4], "'");
}

// Replies split, late (landing in a later exchange), padded, cut short,
// with a wrong LRC or echo, preceded by noise or lost, at random: every byte the reading keeps is
// the instrument's own, and a folder read in full equals its block. Fast and normal alike.
TEST(Reading, DisturbedRepliesNeverShowAnythingInvented) {
  const sim::FaultKind kinds[] = {sim::FaultKind::kNoReply,        sim::FaultKind::kSplitReply,
                                  sim::FaultKind::kLeadingGarbage, sim::FaultKind::kOverlongReply,
                                  sim::FaultKind::kLatency,        sim::FaultKind::kShortReply,
                                  sim::FaultKind::kWrongLrc,       sim::FaultKind::kWrongEcho,
                                  sim::FaultKind::kLateReply,      sim::FaultKind::kNoise};
  const sim::EchoField fields[] = {sim::EchoField::kAddress, sim::EchoField::kSize,
                                   sim::EchoField::kFunction, sim::EchoField::kDevice};
  int complete = 0, incomplete = 0, retries = 0;
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    Reading r(seed, 64000 - 10 * 512);
    r.rig.state.link.fastRead = seed % 2 == 0;
    r.rig.line.SetPacing(true);  // replies take their time on the line, late ones overlap
    uint32_t x = seed;
    auto next = [&x](uint32_t n) { return (x = x * 1103515245 + 12345) / 65536 % n; };
    for (int i = 0; i < 12; ++i) {
      sim::FaultRule rule;
      rule.kind = kinds[next(10)];
      rule.field = fields[next(4)];
      rule.count = 1 + static_cast<int>(next(6));
      rule.on = sim::RequestKind::kRead;
      rule.nth = 1 + static_cast<int>(next(70));
      rule.duration = std::chrono::milliseconds(100 + next(700));
      rule.text = "\r\n:01\x80";
      r.rig.faults.Add(rule);
    }
    if (seed % 3 == 0)
      r.rig.SilenceExchange(sim::RequestKind::kRead, 1 + static_cast<int>(next(60)));
    const size_t sentBefore = r.rig.port.Sent().size();
    RunReading(r.context);
    const std::string sent = r.rig.port.Sent().substr(sentBefore);
    retries += static_cast<int>(std::count(sent.begin(), sent.end(), ':')) - r.Exchanges();
    for (int f = 0; f < r.model->folderCount; ++f) {
      const NotepadFolder& folder = r.model->folders[f];
      const bool free = r.Block(f)[0] == 0xFF;
      for (int k = 0; k < kSlotImageChunks; ++k) {
        const size_t bytes = k < kChunkCount ? kChunkSize : kRecordSize;
        const uint8_t* truth = r.Block(f) + kFolderHeaderSize + k * kChunkSize;
        const bool same = memcmp(folder.slotImage[k], truth, bytes) == 0;
        const bool untouched = std::all_of(folder.slotImage[k], folder.slotImage[k] + bytes,
                                           [](uint8_t b) { return b == 0; });
        EXPECT_TRUE(same || untouched) << "seed " << seed << " folder " << f << " chunk " << k;
        if (folder.readInFull && !free) EXPECT_TRUE(same) << seed << " " << f << " " << k;
      }
      if (folder.readInFull) {
        EXPECT_EQ(folder.state, free ? FolderState::kFree : FolderState::kAsRead);
      }
      (folder.readInFull ? complete : incomplete)++;
    }
  }
  EXPECT_GT(complete, 0);
  EXPECT_GT(retries, 100);   // the faults did disturb many exchanges
  EXPECT_GT(incomplete, 0);  // and made some requests fail
}

// Real lines: replies that start after the pause, come in pieces, are
// answered twice because the request went out again, or land in the next
// exchange. Every folder is read whole and nothing is shifted.
TEST(Reading, SlowLinesReadEveryFolderExactly) {
  struct Case {
    const char* name;
    int turnaroundMs;
    std::vector<std::string> rules;
    int resends;  // at most: once the turnaround is known, one request an exchange
  } cases[] = {
      {"prompt", 0, {}, 0},
      {"starts after the pause", 450, {}, 1},
      {"longer than two pauses", 650, {}, 2},
      // The copy sent again is never answered: only the halves joined make the reply.
      {"split across attempts", 150, {"split,ms=400,on=read,nth=3", "no-reply,on=read,nth=4"}, 1},
      {"late into the next exchange", 0, {"late,ms=400,on=read,nth=4"}, 1},
  };
  for (const Case& c : cases) {
    for (bool fast : {false, true}) {
      Reading r(3, 64000 - 6 * 512);
      r.rig.state.link.fastRead = fast;
      r.rig.line.SetPacing(true);
      sim::FaultRule turnaround;
      turnaround.kind = sim::FaultKind::kLatency;
      turnaround.duration = std::chrono::milliseconds(c.turnaroundMs);
      r.rig.faults.Add(turnaround);
      for (const std::string& text : c.rules) {
        sim::FaultRule rule;
        std::string error;
        ASSERT_TRUE(sim::ParseFaultRule(text, rule, error)) << error;
        r.rig.faults.Add(rule);
      }
      const std::string context = std::string(c.name) + (fast ? ", fast" : ", normal");
      const size_t sentBefore = r.rig.port.Sent().size();
      EXPECT_EQ(RunReading(r.context), 0) << context;
      const std::string sent = r.rig.port.Sent().substr(sentBefore);
      EXPECT_LE(std::count(sent.begin(), sent.end(), ':') - r.Exchanges(), c.resends) << context;
      for (int f = 0; f < r.model->folderCount; ++f) {
        const NotepadFolder& folder = r.model->folders[f];
        EXPECT_TRUE(folder.readInFull) << context << " folder " << f;
        if (r.Block(f)[0] == 0xFF) continue;
        for (int k = 0; k < kSlotImageChunks; ++k) {
          const size_t bytes = k < kChunkCount ? kChunkSize : kRecordSize;
          EXPECT_EQ(
              memcmp(folder.slotImage[k], r.Block(f) + kFolderHeaderSize + k * kChunkSize, bytes),
              0)
              << context << " folder " << f << " chunk " << k;
        }
      }
    }
  }
}

TEST(SlowLine, AnswersStillOwedAreDroppedAndTheTurnaroundIsLearned) {
  test::SimRig rig;
  rig.line.SetPacing(true);
  sim::FaultRule turnaround;
  turnaround.kind = sim::FaultKind::kLatency;
  turnaround.duration = std::chrono::milliseconds(450);
  rig.faults.Add(turnaround);
  const std::string request = BuildReadRequest(1, 0x3200, kChunkSize);
  auto requests = [&rig] {
    return std::count(rig.port.Sent().begin(), rig.port.Sent().end(), ':');
  };

  // Not known yet: the pause runs out and the request goes again; the
  // second answer is waited for and dropped, so nothing is left on the line.
  EXPECT_EQ(rig.link.Exchange(request), ExchangeStatus::kReply);
  EXPECT_EQ(requests(), 2);
  EXPECT_FALSE(rig.line.NextArrival().has_value());
  ASSERT_TRUE(rig.link.Turnaround().has_value());
  EXPECT_GE(*rig.link.Turnaround(), std::chrono::milliseconds(450));
  EXPECT_LE(*rig.link.Turnaround(), std::chrono::milliseconds(455));
  // Known: one request an exchange.
  EXPECT_EQ(rig.link.Exchange(BuildReadRequest(1, 0x3200 + kChunkSize, kChunkSize)),
            ExchangeStatus::kReply);
  EXPECT_EQ(requests(), 3);
}

TEST(Refresh, WithTheInstrumentGoneFreeSlotsStayFree) {
  Reading r;
  RunReading(r.context);
  r.rig.port.SetAbsent(true);
  r.dialogs.Expect(DialogAnswer::kYes);
  RefreshNotepad(r.context);
  for (int f = 0; f < 100; ++f) {
    const NotepadFolder& folder = r.model->folders[f];
    EXPECT_FALSE(folder.readInFull) << f;
    EXPECT_EQ(folder.state, r.Block(f)[0] == 0xFF ? FolderState::kFree : FolderState::kAsRead) << f;
  }
}

TEST(Reading, NotepadsBeyondTheTableReadOnlyItsFirstHundredFolders) {
  Reading r(3, 12288 - 512);
  RunReading(r.context);
  EXPECT_EQ(r.model->folderCount, 100);
  EXPECT_EQ(r.rig.log.Lines().back(), "Папок в блокноте 102, прочитаны первые 100");
}

TEST(Refresh, QuestionsDecideAndTheSummaryIsCutBack) {
  Reading r;
  RunReading(r.context);
  const int rows = r.totalData.RowCount();
  const size_t sent = r.rig.port.Sent().size();
  ViewMark& mark = r.model->folders[0].records[0].MarkIn(ViewKind::kByDate);
  mark = ViewMark::kSave;

  r.dialogs.Expect(DialogAnswer::kNo);
  RefreshNotepad(r.context);
  EXPECT_EQ(r.rig.port.Sent().size(), sent);
  EXPECT_EQ(mark, ViewMark::kSave);  // declined: the views keep their marks
  EXPECT_EQ(r.dialogs.Calls().back().caption, "Обновление данных");
  EXPECT_EQ(r.dialogs.Calls().back().icon, DialogIcon::kQuestion);

  // A folder whose writing failed: the question names it and its backup.
  r.model->folders[4].pending = 1;
  r.model->folders[4].writeFailed = true;
  r.rig.state.session.unfinishedBackups = {"/home/backups/orti415-backup-1.txt"};
  r.dialogs.Expect(DialogAnswer::kYes);
  r.dialogs.Expect(DialogAnswer::kNo);
  RefreshNotepad(r.context);
  EXPECT_EQ(r.dialogs.Calls().back().icon, DialogIcon::kWarning);
  EXPECT_NE(r.dialogs.Calls().back().text.find(
                "(" + FolderNameUtf8(r.model->folders[4]) +
                "), сохранено в файле\n/home/backups/orti415-backup-1.txt\n"),
            std::string::npos);
  EXPECT_EQ(r.model->folders[4].pending, 1);
  EXPECT_EQ(r.rig.port.Sent().size(), sent);

  r.dialogs.Expect(DialogAnswer::kYes);
  r.dialogs.Expect(DialogAnswer::kYes);
  RefreshNotepad(r.context);
  EXPECT_EQ(r.model->folders[4].pending, 0);
  EXPECT_FALSE(r.model->folders[4].writeFailed);
  EXPECT_EQ(mark, ViewMark::kNone);  // emptied with the views
  EXPECT_GT(r.rig.port.Sent().size(), sent);
  EXPECT_EQ(r.totalData.RowCount(), rows);  // never accumulates
  EXPECT_EQ(r.rig.log.Lines()[r.rig.log.Lines().size() - 1], "Запрос папок прибора");

  r.rig.state.link.offline = true;
  RefreshNotepad(r.context);
  EXPECT_EQ(r.dialogs.Calls().back().text, "Нет подключения к прибору");
}

}  // namespace
}  // namespace orti
