// The console's start-up against orti415-sim on a real pseudo-terminal, in
// real time: the port map, the 300 ms pause of every exchange and the reply
// timer all run as they do for the operator.

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QTableView>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/log_page.h"
#include "app/main_window.h"
#include "device/memory_map.h"
#include "sim/sim_process.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "support/test_app.h"
#include "views/fill_grids.h"
#include "views/shown_records.h"

namespace orti::test {
namespace {

// Three folder blocks: every exchange waits 300 ms, so the notepad stays tiny.
constexpr int kTinyNotepad = 62464;

using Slots = std::set<std::pair<int, int>>;

// The records a view must show, straight from the instrument's memory image.
Slots RecordsInImage(const std::string& image, int notepad) {
  Slots shown;
  for (int f = 0; f < FolderBlockCount(notepad); ++f) {
    const int base = notepad + kFolderBlockSize * f;
    if (static_cast<uint8_t>(image[base]) == 0xFF) continue;  // a free block
    for (int s = 0; s < kShownSlots; ++s) {
      const auto mode = static_cast<uint8_t>(image[base + kFolderHeaderSize + kRecordSize * s]);
      if (mode >= kModePh && mode <= kModeMv) shown.insert({f, s});
    }
  }
  return shown;
}

Slots RecordsInView(const NotepadModel& model, ViewKind view) {
  Slots shown;
  for (const RecordRef& r : ViewRecords(model, view)) shown.insert({r.folder, r.record});
  return shown;
}

std::string TableText(QTableView* table, int row, int column) {
  return table->model()->data(table->model()->index(row, column)).toString().toStdString();
}

class StartupOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    setenv("ORTI415_HOME", home.Path().c_str(), 1);
  }
  void TearDown() override { unsetenv("ORTI415_PORTS"); }
  TempDir home;
  TempDir line;
};

TEST_F(StartupOnPty, FindsTheInstrumentReadsItAndFillsBothViews) {
  const std::string link = line.File("orti");
  const std::string imagePath = line.File("notepad.img");
  sim::SimProcess sim(ORTI415_SIM_PATH,
                      {"--seed", "5", "--notepad-address", std::to_string(kTinyNotepad), "--image",
                       imagePath, "--link", link});
  ASSERT_EQ(sim.FirstLine().rfind("/dev/", 0), 0u);
  const std::string image = ReadBytes(imagePath);
  ASSERT_EQ(image.size(), 65536u);
  const Slots expected = RecordsInImage(image, kTinyNotepad);
  ASSERT_FALSE(expected.empty());

  setenv("ORTI415_PORTS", ("1=" + link).c_str(), 1);
  TForm1 form;
  ScriptedDialogs dialogs;
  form.SetDialogs(&dialogs);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(form.FormShow({}), StartupResult::kRun);
  const auto took = std::chrono::steady_clock::now() - started;

  EXPECT_TRUE(dialogs.Calls().empty()) << dialogs.Calls().front().caption;
  EXPECT_FALSE(form.State().link.offline);
  EXPECT_EQ(form.State().link.currentPort, 1);
  EXPECT_EQ(form.Model().folderCount, 3);

  QTableView* total = form.TabSheet7->SGTotalData;
  const std::vector<std::pair<std::string, std::string>> identity = {
      {"Наименование прибора", "ОРТИ-415"}, {"Версия ПО", "3"},         {"Блок адресов 1", "0"},
      {"Блок адресов 2", "2048"},           {"Блок адресов 3", "4096"}, {"Блок адресов 4", "8192"},
      {"Адрес блокнота", "62464"}};
  // The grid's title row is the table's header: grid row 1 is table row 0.
  for (size_t i = 0; i < identity.size(); ++i) {
    const int row = static_cast<int>(i);
    EXPECT_EQ(TableText(total, row, 0), identity[i].first);
    EXPECT_EQ(TableText(total, row, 1), identity[i].second);
  }

  EXPECT_EQ(RecordsInView(form.Model(), ViewKind::kByFolders), expected);
  EXPECT_EQ(RecordsInView(form.Model(), ViewKind::kByDate), expected);
  EXPECT_EQ(form.ByFoldersGrid().RowCount(), static_cast<int>(expected.size()) + 1);
  EXPECT_EQ(form.ByDateGrid().RowCount(), static_cast<int>(expected.size()) + 1);

  const std::vector<std::string>& log = form.Log().Lines();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0], "Порт COM1 доступен");
  size_t start = 1;
  while (start < log.size() && log[start].rfind("Порт COM", 0) == 0) ++start;
  ASSERT_LT(start + 3, log.size());
  EXPECT_NE(log[start].find(" - начало работы"), std::string::npos) << log[start];
  EXPECT_EQ(log[start + 1], "Попытка подключения с использованием перебора");
  EXPECT_EQ(log[start + 2], "");
  EXPECT_EQ(log[start + 3], "Запрос папок прибора");

  // Every exchange paused for real: identify and at least a header per folder.
  EXPECT_GE(took, std::chrono::milliseconds(300 * 4));
  EXPECT_EQ(sim.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace orti::test
