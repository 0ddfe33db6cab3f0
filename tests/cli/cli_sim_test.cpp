// orti415-cli end to end: the real program against the real simulator on a
// pseudo-terminal, checked against the console's own reading of the same
// memory image and against the image the simulator keeps.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/cli_process.h"
#include "device/device_link.h"
#include "device/identify.h"
#include "device/identity_display.h"
#include "device/link_hooks.h"
#include "folders/folder_writer.h"
#include "platform/cp1251.h"
#include "platform/date_time.h"
#include "settings/work_log.h"
#include "sim/fault_plan.h"
#include "sim/image_file.h"
#include "sim/in_process_port.h"
#include "sim/instrument.h"
#include "sim/instrument_line.h"
#include "sim/sim_process.h"
#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "views/by_date_sort.h"
#include "views/export.h"
#include "views/fill_grids.h"
#include "views/marks.h"
#include "views/view_layout.h"
#include "workflow/reading.h"

namespace orti::cli {
namespace {

constexpr uint16_t kSmallNotepad = 62464;  // three folders
constexpr const char* kOperator = "Петров Иван Ильич";
constexpr const char* kWorkstation = "ПК-2";

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The console's reading of a memory image, in virtual time, and the texts of
// its two views.
class ConsoleReading final : public QuietReadingHooks {
 public:
  explicit ConsoleReading(const std::string& imagePath) {
    sim::MemoryImage memory{};
    std::string error;
    EXPECT_TRUE(sim::LoadImageFile(imagePath, memory, error)) << error;
    sim::InstrumentIdentity identity;
    identity.notepadAddress = kSmallNotepad;
    instrument_ = std::make_unique<sim::Instrument>(memory, identity);
    line_ = std::make_unique<sim::InstrumentLine>(*instrument_, faults_);
    port_ = std::make_unique<sim::InProcessPort>(*line_, clock_);
    state_.link.currentPort = 1;
    DeviceLink link(*port_, state_, log_, clock_, hooks_);
    EXPECT_TRUE(Identify(link, state_, model_->identity, log_));
    ShowIdentity(model_->identity, totalData_, state_);
    PrepareViewGrid(ViewKind::kByFolders, byFolders_);
    PrepareViewGrid(ViewKind::kByDate, byDate_);
    ReadingContext context{{*model_, state_, totalData_, link, log_, dialogs_}, *this, LocalNow()};
    EXPECT_EQ(RunReading(context), 0);
  }

  Lines Rows(ViewKind kind) const {
    std::ostringstream out;
    PrintRecordRows(*model_, kind, kind == ViewKind::kByDate ? byDate_ : byFolders_, out);
    return SplitLines(out.str());
  }
  const StringGrid& ByFolders() const { return byFolders_; }
  const NotepadModel& Model() const { return *model_; }
  std::string FolderName(int f) const { return Cp1251ToUtf8(model_->folders[f].name); }

  void RebuildViews() override {
    SortByDateIndex(model_->byDate);
    FillGrids(*model_, byFolders_, byDate_, ".");
  }

 private:
  test::FakeClock clock_;
  ConsoleState state_;
  WorkLog log_;
  test::ScriptedDialogs dialogs_;
  ClockLinkHooks hooks_{clock_, state_};
  sim::FaultPlan faults_;
  std::unique_ptr<sim::Instrument> instrument_;
  std::unique_ptr<sim::InstrumentLine> line_;
  std::unique_ptr<sim::InProcessPort> port_;
  std::unique_ptr<NotepadModel> model_ = std::make_unique<NotepadModel>();
  StringGrid totalData_{2, 1, 1};
  StringGrid byFolders_{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
  StringGrid byDate_{kViewColumns, kViewFixedRows + 1, kViewFixedRows};
};

class CliOnSim : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string device = sim_.FirstLine();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
  }
  CliRun Run(const Lines& args) {
    return RunCliProgram(args, "1=" + dir_.File("orti"), dir_,
                         {{"ORTI415_WORKSTATION", kWorkstation}});
  }
  std::string Image() const { return test::ReadBytes(dir_.File("notepad.img")); }
  ConsoleReading Reference() const { return ConsoleReading(dir_.File("notepad.img")); }

  test::TempDir dir_;
  sim::SimProcess sim_{
      ORTI415_SIM_PATH,
      {"--image", dir_.File("notepad.img"), "--notepad-address", std::to_string(kSmallNotepad),
       "--seed", "5", "--link", dir_.File("orti"), "--strict-erase"}};
};

TEST_F(CliOnSim, ReadPrintsTheRowsOfTheConsoleViews) {
  const CliRun byDate = Run({"read", "--by-date"});
  ASSERT_EQ(byDate.status, 0) << byDate.err;
  const ConsoleReading console = Reference();
  const Lines expected = console.Rows(ViewKind::kByDate);
  ASSERT_GT(expected.size(), 5u);
  EXPECT_EQ(SplitLines(byDate.out), expected);
  // The work log on standard error, the start line first.
  const Lines log = SplitLines(byDate.err);
  ASSERT_GE(log.size(), 3u);
  EXPECT_NE(log[0].find("Порт COM1 доступен"), std::string::npos);
  EXPECT_NE(byDate.err.find("Запрос папок прибора"), std::string::npos);

  const CliRun byFolders = Run({"--port", "1", "read"});
  ASSERT_EQ(byFolders.status, 0) << byFolders.err;
  EXPECT_EQ(SplitLines(byFolders.out), console.Rows(ViewKind::kByFolders));
  EXPECT_EQ(byFolders.err.find("перебора"), std::string::npos) << "no search with --port";
}

TEST_F(CliOnSim, FastReadingGivesTheSameRowsAndTheTraceHoldsEveryFrame) {
  const std::string trace = dir_.File("trace.txt");
  const CliRun fast = Run({"--fast", "--trace", trace, "--port", "1", "read"});
  ASSERT_EQ(fast.status, 0) << fast.err;
  const ConsoleReading console = Reference();
  EXPECT_EQ(SplitLines(fast.out), console.Rows(ViewKind::kByFolders));

  // Per exchange: the attempt's start, the request, what came back judged,
  // and the turnaround measured.
  int exchanges = 1;  // the identification
  for (int f = 0; f < console.Model().folderCount; ++f) {
    exchanges += console.Model().folders[f].state == FolderState::kFree ? 1 : 7;
  }
  const Lines lines = SplitLines(test::ReadBytes(trace));
  ASSERT_EQ(lines.size(), 4u * exchanges);
  for (size_t i = 0; i < lines.size(); i += 4) {
    EXPECT_EQ(lines[i].substr(12, 19), " COM1 0 * attempt, ") << lines[i];
    EXPECT_EQ(lines[i + 1].substr(12, 11), " COM1 0 > :") << lines[i + 1];
    EXPECT_EQ(lines[i + 2].substr(12, 11), " COM1 0 < :") << lines[i + 2];
    EXPECT_EQ(lines[i + 2].substr(lines[i + 2].size() - 5), " [ok]") << lines[i + 2];
    EXPECT_EQ(lines[i + 3].substr(12, 21), " COM1 0 * turnaround ") << lines[i + 3];
  }
}

// A slow instrument on a real line: 9600 baud both ways and replies that
// start 150 ms after the request, answered exactly as a prompt one.
TEST_F(CliOnSim, ASlowInstrumentReadsTheSameRowsNormalAndFast) {
  const ConsoleReading console = Reference();
  sim::SimProcess slow(ORTI415_SIM_PATH, {"--image", dir_.File("notepad.img"), "--notepad-address",
                                          std::to_string(kSmallNotepad), "--pace", "--latency",
                                          "150", "--link", dir_.File("slow")});
  ASSERT_EQ(slow.FirstLine().rfind("/dev/", 0), 0u);
  auto run = [this](const Lines& args) {
    return RunCliProgram(args, "1=" + dir_.File("slow"), dir_);
  };
  for (const char* speed : {"--normal", "--fast"}) {
    Lines args{"--port", "1", "--no-archive", "read"};
    if (std::string(speed) == "--fast") args.insert(args.begin(), speed);
    const CliRun r = run(args);
    ASSERT_EQ(r.status, 0) << speed << r.err;
    EXPECT_EQ(SplitLines(r.out), console.Rows(ViewKind::kByFolders)) << speed;
  }
  const CliRun identify = run({"--port", "1", "identify"});
  ASSERT_EQ(identify.status, 0) << identify.err;
  const Lines rows = SplitLines(identify.out);
  const std::string label = std::string(kTurnaroundLabel) + "\t";
  ASSERT_EQ(rows.back().rfind(label, 0), 0u) << identify.out;
  // Whole milliseconds on both sides, and the request's wire time is the
  // console's reckoning: a few under the simulator's 150 is still its turnaround.
  const int measured = std::stoi(rows.back().substr(label.size()));
  EXPECT_GE(measured, 145);
  EXPECT_LT(measured, 250);
}

TEST_F(CliOnSim, ExportTwiceWithExtendAddsNothingAndAnExistingFileIsRefusedOtherwise) {
  const std::string file = dir_.File("замеры.csv");
  const CliRun first = Run({"--operator", kOperator, "export", file, "--by-date"});
  ASSERT_EQ(first.status, 0) << first.err;
  const std::string written = test::ReadBytes(file);
  const Lines lines = SplitLines(Cp1251ToUtf8(written));
  const Lines rows = Reference().Rows(ViewKind::kByDate);
  ASSERT_EQ(lines.size(), rows.size() + 1);
  EXPECT_EQ(lines[0], "Дата/Время;Папка;Режим;T (C);ЭДС (мВ);pH;pH25;Исполнитель\r");
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(lines[i + 1], rows[i] + kOperator + "\r");
  }

  const CliRun again = Run({"--operator", kOperator, "export", file, "--by-date", "--extend"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(test::ReadBytes(file), written);
}

TEST_F(CliOnSim, FolderChangesReachTheInstrumentAsAFreshReadShows) {
  const ConsoleReading before = Reference();
  int freeSlot = -1;
  for (int f = 0; f < before.Model().folderCount && freeSlot < 0; ++f) {
    if (before.FolderName(f) == kFreeFolderName) freeSlot = f;
  }
  ASSERT_GT(freeSlot, 0) << "the small notepad keeps a free folder";
  const auto first = RowToRecord(before.Model(), ViewKind::kByFolders, 1);
  ASSERT_TRUE(first);
  const int folder = first->folder, record = first->record;
  const std::string deleted = ExportRowText(before.ByFolders(), 1);

  const CliRun made = Run({"mkdir", "проба"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(Reference().FolderName(freeSlot), "ПРОБА");
  const CliRun renamed = Run({"rename", std::to_string(freeSlot), "итог 2"});
  ASSERT_EQ(renamed.status, 0) << renamed.err;
  const CliRun removed = Run({"delete", std::to_string(folder) + ":" + std::to_string(record)});
  ASSERT_EQ(removed.status, 0) << removed.err;

  // The console's own fresh reading of what the instrument now holds.
  const ConsoleReading after = Reference();
  EXPECT_EQ(after.FolderName(freeSlot), "ИТОГ 2");
  const Lines rows = after.Rows(ViewKind::kByFolders);
  EXPECT_EQ(rows.size() + 1, before.Rows(ViewKind::kByFolders).size());
  for (const std::string& row : rows) EXPECT_NE(row, deleted);
}

// A settings file left by a Windows program (CR line ends, quoted
// values) gives the operators its profile functions give; an export through
// a link replaces the link's target; a read-only export is refused unchanged.
TEST_F(CliOnSim, SharedFilesBehaveAsTheirOtherProgramsExpect) {
  test::WriteBytes(dir_.File("orti415.ini"),
                   Utf8ToCp1251("[Users]\rUsersCount=\"2\"\rUser0='Сидоров_Пётр_Ильич'\r"
                                "User1=\"Антонов_Антон_Антонович\"\r"));
  const std::string target = dir_.File("shared.csv");
  test::WriteBytes(target, "old\r\n");
  const std::string link = dir_.File("link.csv");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

  const CliRun replaced = Run({"--port", "1", "export", link, "--replace"});
  ASSERT_EQ(replaced.status, 0) << replaced.err;
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
  const Lines lines = SplitLines(Cp1251ToUtf8(test::ReadBytes(target)));
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("Папка;", 0), 0u);
  // The first operator of the list, as the Windows functions read the file.
  for (size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].substr(lines[i].size() - std::string("Антонов Антон Антонович\r").size()),
              "Антонов Антон Антонович\r")
        << lines[i];
  }

  ASSERT_EQ(chmod(target.c_str(), 0444), 0);
  const std::string before = test::ReadBytes(target);
  const CliRun refused = Run({"--port", "1", "export", target, "--replace"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("Ошибка при открытии файла"), std::string::npos) << refused.err;
  EXPECT_EQ(test::ReadBytes(target), before);
}

TEST_F(CliOnSim, TheArchiveKeepsEveryRecordOnceAfterTheFolderIsClearedAndTheAuditNamesTheClear) {
  // A file that is no archive: one message, and the reading goes on.
  test::WriteBytes(dir_.File("archive.sqlite"), std::string(2048, '#'));
  const CliRun spoilt = Run({"read", "--by-date"});
  ASSERT_EQ(spoilt.status, 0) << spoilt.err;
  EXPECT_NE(spoilt.err.find("Архив измерений недоступен"), std::string::npos) << spoilt.err;
  std::remove(dir_.File("archive.sqlite").c_str());

  const CliRun first = Run({"read", "--by-date"});
  ASSERT_EQ(first.status, 0) << first.err;
  const ConsoleReading before = Reference();
  const std::string folder0 = before.FolderName(0);
  int held = 0;
  for (const NotepadRecord& r : before.Model().folders[0].records) held += r.HoldsRecord();
  ASSERT_EQ(Run({"--operator", kOperator, "clear", "0"}).status, 0);
  const CliRun second = Run({"read", "--by-date"});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out.find(";" + folder0 + ";"), std::string::npos) << "folder 0 was cleared";
  EXPECT_EQ(Run({"--no-archive", "read"}).status, 0);

  const CliRun list = Run({"archive", "list"});
  ASSERT_EQ(list.status, 0) << list.err;
  // Each row as read, then the instrument it was read from.
  Lines archived = SplitLines(list.out), read = SplitLines(first.out);
  ASSERT_FALSE(archived.empty());
  const std::string& any = archived[0];
  const std::string instrument = any.substr(any.rfind(';', any.size() - 2) + 1);
  EXPECT_GT(instrument.size(), 2u) << any;
  for (std::string& line : read) line += instrument;
  std::sort(archived.begin(), archived.end());
  std::sort(read.begin(), read.end());
  EXPECT_EQ(archived, read);
  const auto ofFolder0 = [&](const std::string& line) {
    return line.find(";" + folder0 + ";") != std::string::npos;
  };
  EXPECT_GT(std::count_if(archived.begin(), archived.end(), ofFolder0), 0);

  const CliRun folderOnly = Run({"archive", "list", "--folder", folder0});
  EXPECT_EQ(static_cast<long>(SplitLines(folderOnly.out).size()),
            std::count_if(archived.begin(), archived.end(), ofFolder0));
  const CliRun stats = Run({"archive", "stats"});
  EXPECT_NE(stats.out.find("Измерений\t" + std::to_string(read.size()) + "\n"), std::string::npos)
      << stats.out;

  // The clear is one audit line: who, where, which folder, how many records, done.
  const std::string today = FormatDateTime(LocalNow()).substr(0, 10);
  const CliRun audit = Run({"archive", "audit", "--from", today, "--instrument", "ОРТИ"});
  ASSERT_EQ(audit.status, 0) << audit.err;
  const Lines changes = SplitLines(audit.out);
  ASSERT_EQ(changes.size(), 1u) << audit.out;
  std::vector<std::string> fields;
  std::istringstream line(changes[0]);
  for (std::string field; std::getline(line, field, '\t');) fields.push_back(field);
  ASSERT_EQ(fields.size(), 11u) << changes[0];
  EXPECT_EQ(fields[0].substr(0, 10), today);
  EXPECT_EQ(fields[1], kOperator);
  EXPECT_EQ(fields[2], kWorkstation);
  EXPECT_EQ(fields[3], instrument.substr(0, instrument.size() - 1));
  EXPECT_EQ(fields[4], "0");
  EXPECT_EQ(fields[5], folder0);
  EXPECT_EQ(fields[6], "Очистка папки");
  EXPECT_EQ(fields[8], std::to_string(held));
  EXPECT_EQ(fields[10], "выполнено");
  EXPECT_EQ(test::ReadBytes(fields[9]).empty(), false) << "the backup " << fields[9];
  EXPECT_TRUE(Run({"archive", "audit", "--to", "01.01.2000"}).out.empty());
  EXPECT_TRUE(Run({"archive", "audit", "--instrument", "нет такого"}).out.empty());

  // Still archived, each followed by who removed it and when.
  const Lines removed = SplitLines(Run({"archive", "list", "--removed"}).out);
  EXPECT_EQ(static_cast<long>(removed.size()),
            std::count_if(archived.begin(), archived.end(), ofFolder0));
  for (const std::string& row : removed) {
    EXPECT_TRUE(ofFolder0(row)) << row;
    EXPECT_NE(row.find(instrument + kOperator + ";" + today), std::string::npos) << row;
  }
}

TEST_F(CliOnSim, ARefusedNameGivesStatusTwoAndChangesNothing) {
  const std::string image = Image();
  const CliRun refused = Run({"mkdir", "ПРОБАQ"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("Недопустимый символ 'Q'"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.err.find(kStepNewFolder), std::string::npos);
  EXPECT_EQ(Image(), image);
}

// A rename whose writing goes wrong: a write acknowledged but not carried out
// is found by reading back and written again in the same run; a power cut
// after the erase ends with status 1 and a backup from which a later run
// brings every record back.
TEST(CliOnFaultySim, ARenameEitherCompletesOrLeavesABackupThatRestoresIt) {
  const struct {
    const char* rule;
    int status;
  } cases[] = {{"unapplied,nth=4", 0}, {"gone,nth=1", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    test::TempDir dir;
    const Lines simArgs{"--image",
                        dir.File("notepad.img"),
                        "--notepad-address",
                        std::to_string(kSmallNotepad),
                        "--seed",
                        "5",
                        "--link",
                        dir.File("orti"),
                        "--strict-erase"};
    Lines faulty = simArgs;
    faulty.insert(faulty.end(), {"--fault", c.rule});
    auto sim = std::make_unique<sim::SimProcess>(ORTI415_SIM_PATH, faulty);
    ASSERT_EQ(sim->FirstLine().rfind("/dev/", 0), 0u);
    const ConsoleReading before(dir.File("notepad.img"));
    // The last folder with records: never folder 0.
    const auto last =
        RowToRecord(before.Model(), ViewKind::kByFolders, before.ByFolders().RowCount() - 1);
    ASSERT_TRUE(last);
    const int folder = last->folder;
    ASSERT_GT(folder, 0);

    const CliRun run =
        RunCliProgram({"--fast", "--port", "1", "rename", std::to_string(folder), "новое имя"},
                      "1=" + dir.File("orti"), dir);
    ASSERT_EQ(run.status, c.status) << run.err;
    if (c.status == 0) {
      const ConsoleReading after(dir.File("notepad.img"));
      EXPECT_EQ(after.FolderName(folder), "НОВОЕ ИМЯ");
      EXPECT_EQ(after.Rows(ViewKind::kByDate).size(), before.Rows(ViewKind::kByDate).size());
      EXPECT_NE(run.err.find("прочитано не то, что записано"), std::string::npos) << run.err;
      continue;
    }
    const std::string named = "Резервная копия: ";
    const size_t at = run.err.find(named);
    ASSERT_NE(at, std::string::npos) << run.err;
    const std::string backup = SplitLines(run.err.substr(at + named.size()))[0];
    EXPECT_LT(ConsoleReading(dir.File("notepad.img")).Rows(ViewKind::kByDate).size(),
              before.Rows(ViewKind::kByDate).size())
        << "the cut left the folder erased";

    sim.reset();  // switched on again, without the fault
    sim = std::make_unique<sim::SimProcess>(ORTI415_SIM_PATH, simArgs);
    ASSERT_EQ(sim->FirstLine().rfind("/dev/", 0), 0u);
    const CliRun restored =
        RunCliProgram({"--fast", "--port", "1", "restore", backup}, "1=" + dir.File("orti"), dir);
    ASSERT_EQ(restored.status, 0) << restored.err;
    EXPECT_NE(restored.out.find("№ " + std::to_string(folder) + ": сейчас"), std::string::npos)
        << restored.out;
    const ConsoleReading after(dir.File("notepad.img"));
    EXPECT_EQ(after.Rows(ViewKind::kByDate), before.Rows(ViewKind::kByDate));
    EXPECT_EQ(after.FolderName(folder), before.FolderName(folder));
  }
}

// Each way a reply can go wrong, once or on every read: the command line
// prints only rows a clean reading prints, or says the reading failed.
TEST(CliOnDisturbedSim, PrintsOnlyWhatACleanReadingPrints) {
  struct Case {
    const char* rule;
    bool recovers;  // one disturbed exchange is sent again and read right
  } cases[] = {
      {"short,on=read,nth=3", true},
      {"lrc,on=read,nth=4", true},
      {"echo,field=size,on=read,nth=2", true},
      {"echo,field=address,on=read,nth=5", true},
      {"late,on=read,nth=2,ms=350", true},
      {"noise,on=read,nth=6", true},
      {"lrc,on=read", false},
      {"echo,field=function,on=read", false},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    sim::SimProcess sim(ORTI415_SIM_PATH, {"--image", dir.File("notepad.img"), "--notepad-address",
                                           std::to_string(kSmallNotepad), "--seed", "5", "--link",
                                           dir.File("orti"), "--pace", "--fault", c.rule});
    ASSERT_EQ(sim.FirstLine().rfind("/dev/", 0), 0u) << c.rule;
    const CliRun run =
        RunCliProgram({"--fast", "--port", "1", "read", "--by-date"}, "1=" + dir.File("orti"), dir);
    const Lines clean = ConsoleReading(dir.File("notepad.img")).Rows(ViewKind::kByDate);
    if (c.recovers) {
      EXPECT_EQ(run.status, 0) << c.rule << "\n" << run.err;
      EXPECT_EQ(SplitLines(run.out), clean) << c.rule;
    } else {
      EXPECT_EQ(run.status, 1) << c.rule;
      EXPECT_NE(run.err.find("Неверный ответ прибора ("), std::string::npos) << c.rule;
      for (const std::string& row : SplitLines(run.out)) {
        EXPECT_NE(std::find(clean.begin(), clean.end(), row), clean.end()) << c.rule << row;
      }
    }
  }
}

TEST(CliWithoutInstrument, APortNobodyServesGivesStatusOneAndTheFailureLines) {
  test::TempDir dir;
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);
  const CliRun run = RunCliProgram({"read"}, "1=" + slave, dir);
  close(master);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  const Lines log = SplitLines(run.err);
  ASSERT_GE(log.size(), 4u) << run.err;
  EXPECT_EQ(log[0], "Порт COM1 доступен");
  EXPECT_NE(run.err.find("Попытка подключения с использованием перебора"), std::string::npos);
  EXPECT_NE(run.err.find("Ошибка при подключении: Не удалось подключиться к pH-метру."),
            std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("Запрос папок прибора"), std::string::npos);
}

// Nothing the command line reads whole or writes to may hang it or fill the
// memory: a device or a pipe in a file's place is refused at once, by name.
TEST(CliWithoutInstrument, DevicesAndPipesInPlaceOfFilesAreRefusedAtOnce) {
  test::TempDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const char* input : {"/dev/zero", fifo.c_str()}) {
    const CliRun import = RunCliProgram({"archive", "import", input}, "", dir);
    EXPECT_EQ(import.status, 1) << input;
    EXPECT_NE(import.err.find(std::string(input) + ": не обычный файл"), std::string::npos)
        << import.err;
  }
  const CliRun trace = RunCliProgram({"--trace", fifo, "ports"}, "", dir);
  EXPECT_EQ(trace.status, 2);
  EXPECT_NE(trace.err.find("cannot append to " + fifo), std::string::npos) << trace.err;
  EXPECT_EQ(RunCliProgram({"--trace", "/dev/null", "ports"}, "", dir).status, 0);
}

TEST(CliWithoutInstrument, UsageErrorsGiveStatusTwoAndHelpTheWholeUsage) {
  test::TempDir dir;
  const CliRun none = RunCliProgram({}, "", dir);
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("--help"), std::string::npos);
  EXPECT_EQ(RunCliProgram({"delete", "1:25"}, "", dir).status, 2);
  const CliRun help = RunCliProgram({"--help"}, "", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, CliUsage());
}

}  // namespace
}  // namespace orti::cli
