#pragma once
// "Архив": every archived measurement, filtered, listed as the by-date view
// lists records, and plotted against time one series per folder. The page
// only wires widgets; the archive, the grid and the series come from below.

#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/string_grid_model.h"
#include "archive/archive_keeper.h"
#include "archive/measurement.h"
#include "device/console_services.h"
#include "model/string_grid.h"

namespace orti {

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
  const std::vector<Measurement>& Rows() const { return rows_; }
  const StringGrid& Grid() const { return grid_; }
  QChart* Chart() const { return ChartView->chart(); }

  QCheckBox* FromCheck;
  QDateEdit* FromDate;
  QCheckBox* ToCheck;
  QDateEdit* ToDate;
  QLineEdit* FolderEdit;
  QComboBox* ModeBox;
  QLineEdit* OperatorEdit;
  QPushButton* BtnFind;
  QTableView* Table;
  QComboBox* ValueBox;
  QChartView* ChartView;
  QPushButton* BtnResetZoom;
  QPushButton* BtnSavePlot;
  QPushButton* BtnExport;

 public slots:
  // Runs the search with the filters as they stand.
  void Refresh();
  // The selected rows to a file, as the views export their marked rows.
  void ExportSelected();
  void SavePlot();
  // PNG, or SVG when the name ends in ".svg"; false when nothing was written.
  bool SavePlotTo(const QString& path);

 private:
  QWidget* BuildFilters();
  QWidget* BuildPlot();
  void RebuildPlot();
  void ShowPoint(const QString& folder, const QPointF& point, bool shown);

  Context context_;
  StringGrid grid_;
  StringGridModel* model_;
  std::vector<Measurement> rows_;
};

}  // namespace orti
