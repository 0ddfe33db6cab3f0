#pragma once
// "Архив": the archived measurements of the last 30 days or of any filter,
// listed page by page as the by-date view lists records, and plotted against
// time one series per folder, each reduced to what the pixels can show; and
// «Журнал изменений», every change made to an instrument in those days. The
// page only wires widgets; the archive, the pages and the series come from
// below.

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/archive_table_model.h"
#include "app/change_table_model.h"
#include "archive/archive_keeper.h"
#include "archive/measurement.h"
#include "archive/plot_series.h"
#include "device/console_services.h"
#include "model/string_grid.h"

class QCategoryAxis;
class QValueAxis;

namespace orti {

// What the page opens on.
constexpr int kHistoryDays = 30;

class HistoryPage final : public QWidget {
  Q_OBJECT
 public:
  struct Context {
    ArchiveKeeper& archive;
    // Asked at each use, as the window's dialogs and serial line may be replaced.
    std::function<ConsoleServices()> services;
    std::function<FileChooser&()> files;
  };
  HistoryPage(Context context, QWidget* parent = nullptr);

  ArchiveFilter Filter() const;
  ChangeFilter Changes() const;
  const ChangeTableModel& ChangeRows() const { return *changes_; }
  // The rows fetched so far (more come as the table scrolls).
  int RowCount() const { return model_->rowCount(); }
  const StringGrid& Grid() const { return model_->Grid(); }
  // Every measurement of the search, one series per folder, as loaded for the plot.
  const std::vector<PlotSeries>& Plotted() const { return plotted_; }
  QChart* Chart() const { return ChartView->chart(); }

  QCheckBox* FromCheck;
  QDateEdit* FromDate;
  QCheckBox* ToCheck;
  QDateEdit* ToDate;
  QLineEdit* FolderEdit;
  QComboBox* ModeBox;
  QLineEdit* OperatorEdit;
  QLineEdit* InstrumentEdit;
  QCheckBox* RemovedOnlyCheck;
  QTabWidget* Views;  // the measurements, «Журнал изменений»
  QTableView* ChangesTable;
  QPushButton* BtnFind;
  QTableView* Table;
  QComboBox* ValueBox;
  QChartView* ChartView;
  QPushButton* BtnResetZoom;
  QPushButton* BtnSavePlot;
  QPushButton* BtnExport;
  // Which archive the page shows: the lab's server, or the local file and why.
  QLabel* SourceLabel;

 public slots:
  // Runs the search with the filters as they stand.
  void Refresh();
  // The selected rows to a file, as the views export their marked rows.
  void ExportSelected();
  void SavePlot();
  // PNG, or SVG when the name ends in ".svg"; false when nothing was written.
  bool SavePlotTo(const QString& path);
  // The plot drawn anew from the measurements loaded.
  void DrawPlot();

 private:
  QWidget* BuildFilters();
  QWidget* BuildPlot();
  void LoadPlot();
  // The series' points anew for the time range shown.
  void ReduceToView();
  // As many date labels as the plot's width has room for.
  int TimeTickCount() const;
  void ShowPoint(int series, const QPointF& point, bool shown);

  Context context_;
  ArchiveStore* store_ = nullptr;  // the one the last search read
  ArchiveTableModel* model_;
  ChangeTableModel* changes_;
  std::vector<PlotSeries> plotted_;
  QCategoryAxis* timeAxis_ = nullptr;
  QValueAxis* valueAxis_ = nullptr;
  struct ReducedView {
    double from = 0, to = 0;
    int width = -1;
    bool operator==(const ReducedView& o) const {
      return from == o.from && to == o.to && width == o.width;
    }
  } reduced_;
};

}  // namespace orti
