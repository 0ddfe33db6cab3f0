#include "app/history_page.h"

#include <QDateTimeAxis>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QSplitter>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>
#include <map>
#include <set>

#include "archive/archive_grid.h"
#include "archive/plot_series.h"
#include "model/notepad_model.h"
#include "platform/date_time.h"
#include "views/export.h"
#include "views/number_text.h"
#include "views/record_text.h"
#include "views/view_layout.h"

namespace orti {
namespace {

constexpr const char* kAnyMode = "Все";
constexpr uint8_t kModeChoices[] = {0, kModePh, kModePh25, kModeMv};
// Beyond these the markers and the legend cost more drawing time than they
// help: the line and the hover still show each point.
constexpr size_t kMarkedPointsAtMost = 2000;
constexpr int kLegendSeriesAtMost = 20;

double DayOf(const QDate& date) {
  return EncodeDate(date.year(), date.month(), date.day());
}

// The axis works in the computer's local time, as the dates were taken.
// Midnight is converted once a day: the local-time lookup is what a plot of
// thousands of points would otherwise spend its time on.
class AxisTimes {
 public:
  qint64 Of(double dateTime) {
    const double day = std::floor(dateTime);
    auto [midnight, added] = midnights_.emplace(day, 0);
    if (added) {
      const CivilDateTime t = DecodeDateTime(day);
      midnight->second = QDateTime(QDate(t.year, t.month, t.day), QTime(0, 0)).toMSecsSinceEpoch();
    }
    return midnight->second + std::llround((dateTime - day) * kMsPerDay);
  }

 private:
  static constexpr double kMsPerDay = 86400000.0;
  std::map<double, qint64> midnights_;
};

double DateTimeOf(qint64 axisTime) {
  const QDateTime t = QDateTime::fromMSecsSinceEpoch(axisTime);
  return DayOf(t.date()) + EncodeTime(t.time().hour(), t.time().minute(), t.time().second());
}

std::string DecimalSeparator() {
  return QLocale::system().decimalPoint().toStdString();
}

}  // namespace

HistoryPage::HistoryPage(Context context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
  setObjectName("TabSheetArchive");
  FillArchiveGrid({}, grid_, DecimalSeparator());
  model_ = new StringGridModel(grid_, this);
  Table = MakeGridView(model_, "SGArchive", this);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // The by-date view's widths with every column shown, then the two of the archive.
  ApplyColumnChoice(ViewKind::kByDate, grid_, std::vector<bool>(kChoiceColumns, true));
  grid_.SetColWidth(kFirstReadColumn, kDateViewWidths[0]);
  grid_.SetColWidth(kReadByColumn, 220);
  ApplyColumnWidths(Table, grid_);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(Table);
  splitter->addWidget(BuildPlot());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(BuildFilters());
  layout->addWidget(splitter, 1);
}

QWidget* HistoryPage::BuildFilters() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  const QDate today = QDate::currentDate();
  auto dateFilter = [&](const char* label, QCheckBox*& check, QDateEdit*& edit, QDate date) {
    check = new QCheckBox(QString::fromUtf8(label), bar);
    edit = new QDateEdit(date, bar);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat("dd.MM.yyyy");
    edit->setEnabled(false);
    connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    row->addWidget(check);
    row->addWidget(edit);
  };
  dateFilter("С", FromCheck, FromDate, today.addMonths(-1));
  dateFilter("по", ToCheck, ToDate, today);
  row->addWidget(new QLabel(QString::fromUtf8("Папка"), bar));
  FolderEdit = new QLineEdit(bar);
  row->addWidget(FolderEdit);
  row->addWidget(new QLabel(QString::fromUtf8("Режим"), bar));
  ModeBox = new QComboBox(bar);
  for (uint8_t mode : kModeChoices) {
    ModeBox->addItem(QString::fromStdString(mode ? ModeText(mode) : kAnyMode));
  }
  row->addWidget(ModeBox);
  row->addWidget(new QLabel(QString::fromUtf8("Оператор"), bar));
  OperatorEdit = new QLineEdit(bar);
  row->addWidget(OperatorEdit);
  BtnFind = new QPushButton(QString::fromUtf8("Найти"), bar);
  row->addWidget(BtnFind);
  BtnExport = new QPushButton(QString::fromUtf8("Экспорт"), bar);
  BtnExport->setToolTip(QString::fromUtf8("Выбранные строки в файл"));
  row->addWidget(BtnExport);
  connect(BtnFind, &QPushButton::clicked, this, &HistoryPage::Refresh);
  connect(FolderEdit, &QLineEdit::returnPressed, this, &HistoryPage::Refresh);
  connect(OperatorEdit, &QLineEdit::returnPressed, this, &HistoryPage::Refresh);
  connect(BtnExport, &QPushButton::clicked, this, &HistoryPage::ExportSelected);
  return bar;
}

QWidget* HistoryPage::BuildPlot() {
  auto* area = new QWidget(this);
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  auto* controls = new QHBoxLayout();
  ValueBox = new QComboBox(area);
  for (const char* title : kPlotValueTitles) ValueBox->addItem(QString::fromUtf8(title));
  BtnResetZoom = new QPushButton(QString::fromUtf8("Весь график"), area);
  BtnSavePlot = new QPushButton(QString::fromUtf8("Сохранить график"), area);
  controls->addWidget(ValueBox);
  controls->addStretch();
  controls->addWidget(BtnResetZoom);
  controls->addWidget(BtnSavePlot);
  column->addLayout(controls);

  ChartView = new QChartView(new QChart(), area);
  ChartView->setObjectName("ArchivePlot");
  // Drag a rectangle to zoom in; the right button zooms back out.
  ChartView->setRubberBand(QChartView::RectangleRubberBand);
  ChartView->setMinimumHeight(220);
  column->addWidget(ChartView, 1);

  connect(ValueBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
          &HistoryPage::RebuildPlot);
  connect(BtnResetZoom, &QPushButton::clicked, this, [this] { Chart()->zoomReset(); });
  connect(BtnSavePlot, &QPushButton::clicked, this, &HistoryPage::SavePlot);
  return area;
}

ArchiveFilter HistoryPage::Filter() const {
  ArchiveFilter f;
  if (FromCheck->isChecked()) f.from = DayOf(FromDate->date());
  if (ToCheck->isChecked()) f.to = DayOf(ToDate->date());
  f.folderContains = FolderEdit->text().toStdString();
  f.mode = kModeChoices[std::max(0, ModeBox->currentIndex())];
  f.operatorContains = OperatorEdit->text().toStdString();
  return f;
}

void HistoryPage::Refresh() {
  rows_.clear();
  if (ArchiveStore* store = context_.archive.Store()) {
    try {
      rows_ = store->Query(Filter());
    } catch (const ArchiveError& error) {
      context_.archive.ReportFault("Архив измерений", error);
    }
  }
  FillArchiveGrid(rows_, grid_, DecimalSeparator());
  RebuildPlot();
}

void HistoryPage::RebuildPlot() {
  QChart* chart = Chart();
  chart->removeAllSeries();
  for (QAbstractAxis* axis : chart->axes()) {
    chart->removeAxis(axis);
    delete axis;
  }
  const auto value = static_cast<PlotValue>(std::max(0, ValueBox->currentIndex()));
  auto* timeAxis = new QDateTimeAxis(chart);
  timeAxis->setFormat("dd.MM.yyyy");
  timeAxis->setTitleText(QString::fromUtf8("Дата/Время"));
  auto* valueAxis = new QValueAxis(chart);
  valueAxis->setTitleText(QString::fromUtf8(kPlotValueTitles[static_cast<int>(value)]));
  chart->addAxis(timeAxis, Qt::AlignBottom);
  chart->addAxis(valueAxis, Qt::AlignLeft);
  const std::vector<PlotSeries> plotted = BuildPlotSeries(rows_, value);
  chart->legend()->setVisible(static_cast<int>(plotted.size()) <= kLegendSeriesAtMost);
  ChartView->setRenderHint(QPainter::Antialiasing, rows_.size() <= kMarkedPointsAtMost);
  if (rows_.empty()) return;

  // The ranges first: every series added later is laid out once.
  AxisTimes times;
  double low = plotted[0].points[0].value, high = low;
  for (const PlotSeries& s : plotted) {
    for (const PlotPoint& p : s.points) {
      low = std::min(low, p.value);
      high = std::max(high, p.value);
    }
  }
  const double margin = high > low ? (high - low) * 0.05 : 1;
  valueAxis->setRange(low - margin, high + margin);
  const qint64 first = times.Of(rows_.front().taken), last = times.Of(rows_.back().taken);
  const qint64 span = last > first ? (last - first) / 20 : 3600000;
  timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(first - span),
                     QDateTime::fromMSecsSinceEpoch(last + span));

  for (const PlotSeries& s : plotted) {
    auto* series = new QLineSeries(chart);
    const QString name = QString::fromStdString(s.folderName);
    series->setName(name);
    series->setPointsVisible(rows_.size() <= kMarkedPointsAtMost);
    QList<QPointF> points;
    points.reserve(static_cast<int>(s.points.size()));
    for (const PlotPoint& p : s.points) {
      points.append(QPointF(static_cast<qreal>(times.Of(p.taken)), p.value));
    }
    series->replace(points);
    chart->addSeries(series);
    series->attachAxis(timeAxis);
    series->attachAxis(valueAxis);
    connect(series, &QLineSeries::hovered, this,
            [this, name](const QPointF& point, bool state) { ShowPoint(name, point, state); });
  }
}

void HistoryPage::ShowPoint(const QString& folder, const QPointF& point, bool shown) {
  if (!shown) {
    QToolTip::hideText();
    return;
  }
  const std::string when = FormatDateTime(DateTimeOf(static_cast<qint64>(point.x())));
  const std::string value = FormatFixed(point.y(), 6, 3, DecimalSeparator());
  QToolTip::showText(QCursor::pos(), folder + "\n" + QString::fromStdString(when) + "\n" +
                                         ValueBox->currentText() + " = " +
                                         QString::fromStdString(value));
}

void HistoryPage::ExportSelected() {
  std::set<int> rows;
  for (const QModelIndex& index : Table->selectionModel()->selectedRows()) {
    const int row = model_->GridRow(index.row());
    if (row - kViewFixedRows < static_cast<int>(rows_.size())) rows.insert(row);
  }
  if (rows.empty()) return;
  ExportContext context{context_.services(), grid_, context_.files()};
  ExportRows(context, {rows.begin(), rows.end()});
}

void HistoryPage::SavePlot() {
  const QString path =
      QFileDialog::getSaveFileName(this, QString::fromUtf8("Сохранить график"),
                                   QString::fromStdString(context_.services().state.exportFolder),
                                   QString::fromUtf8("Рисунок PNG (*.png);;Рисунок SVG (*.svg)"));
  if (!path.isEmpty() && !SavePlotTo(path)) {
    context_.services().dialogs.ShowMessage("Ошибка при открытии файла\n" + path.toStdString());
  }
}

bool HistoryPage::SavePlotTo(const QString& path) {
  if (!path.endsWith(".svg", Qt::CaseInsensitive)) return ChartView->grab().save(path, "PNG");
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(ChartView->size());
  svg.setViewBox(ChartView->rect());
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  ChartView->render(&painter);
  return painter.end();
}

}  // namespace orti
