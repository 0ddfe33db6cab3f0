#include "app/history_page.h"

#include <QCategoryAxis>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QSplitter>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "app/string_grid_model.h"
#include "archive/archive_grid.h"
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
// A date label needs about this much room on the axis.
constexpr int kPixelsPerTimeTick = 110;
constexpr int kOperatorWidth = 220;
constexpr int kInstrumentWidth = 140;

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

// The locale of the computer (or the one the program set): table and axes alike.
std::string DecimalSeparator() {
  return QLocale().decimalPoint().toStdString();
}

std::string ValueText(PlotValue value, double v) {
  const bool ph = value == PlotValue::kPh || value == PlotValue::kPh25;
  return ph ? ThreeDecimalsText(v, DecimalSeparator()) : OneDecimalText(v, DecimalSeparator());
}

// Digits after the separator that tell ticks `step` apart.
int StepDecimals(double step) {
  int decimals = 0;
  while (decimals < 6 && std::fabs(step * std::pow(10.0, decimals) -
                                   std::round(step * std::pow(10.0, decimals))) > 1e-6) {
    ++decimals;
  }
  return decimals;
}

// Ticks on round values, labelled with the digits that tell them apart.
void RoundValueSteps(QValueAxis* axis) {
  axis->applyNiceNumbers();
  const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
  axis->setLabelFormat(QString("%.%1f").arg(StepDecimals(step)));
}

// Columns 0..2 are the views' icon and hidden columns: nothing of the archive.
void ApplyArchiveWidths(QTableView* table) {
  for (int c = 0; c < kArchiveColumns; ++c) table->setColumnHidden(c, c < kFirstChoiceColumn);
  for (int k = 0; k < kChoiceColumns; ++k) {
    table->setColumnWidth(kFirstChoiceColumn + k, kDateViewWidths[k]);
  }
  table->setColumnWidth(kFirstReadColumn, kDateViewWidths[0]);
  table->setColumnWidth(kReadByColumn, kOperatorWidth);
  table->setColumnWidth(kInstrumentColumn, kInstrumentWidth);
  table->setColumnWidth(kRemovedByColumn, kOperatorWidth);
  table->setColumnWidth(kRemovedAtColumn, kDateViewWidths[0]);
}

}  // namespace

HistoryPage::HistoryPage(Context context, QWidget* parent)
    : QWidget(parent), context_(std::move(context)) {
  setObjectName("TabSheetArchive");
  model_ = new ArchiveTableModel(DecimalSeparator(), this);
  Table = MakeTableView(model_, "SGArchive", this);
  Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ApplyArchiveWidths(Table);
  connect(model_, &QAbstractItemModel::modelReset, Table, [this] { ApplyArchiveWidths(Table); });

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(Table);
  splitter->addWidget(BuildPlot());
  changes_ = new ChangeTableModel(this);
  ChangesTable = MakeTableView(changes_, "SGChanges", this);
  // The journal is read whole and is short: its columns fit what they hold.
  connect(changes_, &QAbstractItemModel::modelReset, ChangesTable,
          [this] { ChangesTable->resizeColumnsToContents(); });
  Views = new QTabWidget(this);
  Views->addTab(splitter, QString::fromUtf8("Измерения"));
  Views->addTab(ChangesTable, QString::fromUtf8("Журнал изменений"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(BuildFilters());
  SourceLabel = new QLabel(this);
  SourceLabel->setWordWrap(true);
  SourceLabel->hide();
  layout->addWidget(SourceLabel);
  layout->addWidget(Views, 1);
}

QWidget* HistoryPage::BuildFilters() {
  // Two rows: the searched texts get room, the actions stay in sight.
  auto* bar = new QWidget(this);
  auto* rows = new QVBoxLayout(bar);
  rows->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout();
  auto* actions = new QHBoxLayout();
  rows->addLayout(row);
  rows->addLayout(actions);
  const QDate today = QDate::currentDate();
  auto dateFilter = [&](const char* label, QCheckBox*& check, QDateEdit*& edit, QDate date,
                        bool on) {
    check = new QCheckBox(QString::fromUtf8(label), bar);
    check->setChecked(on);
    edit = new QDateEdit(date, bar);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat("dd.MM.yyyy");
    edit->setEnabled(on);
    connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
    row->addWidget(check);
    row->addWidget(edit);
  };
  // The last 30 days: an archive of years opens in the time of one month.
  dateFilter("С", FromCheck, FromDate, today.addDays(-kHistoryDays), true);
  dateFilter("по", ToCheck, ToDate, today, false);
  row->addWidget(new QLabel(QString::fromUtf8("Папка"), bar));
  FolderEdit = new QLineEdit(bar);
  row->addWidget(FolderEdit, 1);
  row->addWidget(new QLabel(QString::fromUtf8("Режим"), bar));
  ModeBox = new QComboBox(bar);
  for (uint8_t mode : kModeChoices) {
    ModeBox->addItem(QString::fromStdString(mode ? ModeText(mode) : kAnyMode));
  }
  row->addWidget(ModeBox);
  row->addWidget(new QLabel(QString::fromUtf8("Оператор"), bar));
  OperatorEdit = new QLineEdit(bar);
  row->addWidget(OperatorEdit, 1);
  row->addWidget(new QLabel(QString::fromUtf8("Прибор"), bar));
  InstrumentEdit = new QLineEdit(bar);
  row->addWidget(InstrumentEdit, 1);
  RemovedOnlyCheck = new QCheckBox(QString::fromUtf8("Только удалённые из прибора"), bar);
  actions->addWidget(RemovedOnlyCheck);
  actions->addStretch(1);
  BtnFind = new QPushButton(QString::fromUtf8("Найти"), bar);
  actions->addWidget(BtnFind);
  BtnExport = new QPushButton(QString::fromUtf8("Экспорт"), bar);
  BtnExport->setToolTip(QString::fromUtf8("Выбранные строки в файл"));
  actions->addWidget(BtnExport);
  connect(BtnFind, &QPushButton::clicked, this, &HistoryPage::Refresh);
  connect(FolderEdit, &QLineEdit::returnPressed, this, &HistoryPage::Refresh);
  connect(OperatorEdit, &QLineEdit::returnPressed, this, &HistoryPage::Refresh);
  connect(InstrumentEdit, &QLineEdit::returnPressed, this, &HistoryPage::Refresh);
  connect(RemovedOnlyCheck, &QCheckBox::toggled, this, &HistoryPage::Refresh);
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

  auto* chart = new QChart();
  // Axis labels as the table writes numbers: the locale's decimal separator.
  chart->setLocalizeNumbers(true);
  chart->setLocale(QLocale());
  ChartView = new QChartView(chart, area);
  ChartView->setObjectName("ArchivePlot");
  // Drag a rectangle to zoom in; the right button zooms back out.
  ChartView->setRubberBand(QChartView::RectangleRubberBand);
  ChartView->setMinimumHeight(220);
  column->addWidget(ChartView, 1);
  timeAxis_ = new QCategoryAxis(chart);
  timeAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  timeAxis_->setTitleText(QString::fromUtf8("Дата/Время"));
  valueAxis_ = new QValueAxis(chart);
  chart->addAxis(timeAxis_, Qt::AlignBottom);
  chart->addAxis(valueAxis_, Qt::AlignLeft);
  // Zooming in or a wider plot brings back the points and dates there was no room for.
  connect(timeAxis_, &QValueAxis::rangeChanged, this, &HistoryPage::ReduceToView);
  connect(chart, &QChart::plotAreaChanged, this, &HistoryPage::ReduceToView);
  // A zoom keeps the value steps round (the range it gives is widened to them).
  connect(valueAxis_, &QValueAxis::rangeChanged, valueAxis_,
          [this] { RoundValueSteps(valueAxis_); });

  connect(ValueBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &HistoryPage::LoadPlot);
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
  f.instrumentContains = InstrumentEdit->text().toStdString();
  f.removedOnly = RemovedOnlyCheck->isChecked();
  return f;
}

ChangeFilter HistoryPage::Changes() const {
  const ArchiveFilter f = Filter();
  return {f.from, f.to, f.instrumentContains};
}

void HistoryPage::Refresh() {
  std::string notice;
  store_ = context_.archive.ViewStore(notice);
  SourceLabel->setText(QString::fromStdString(notice));
  SourceLabel->setVisible(!notice.empty());
  try {
    model_->Start(store_, Filter());
  } catch (const ArchiveError& error) {
    model_->Start(nullptr, Filter());
    store_ = nullptr;
    context_.archive.ReportViewFault("Архив измерений", error);
    // A server that went away is connected again at the next search.
    context_.archive.DropViewConnection();
  }
  try {
    changes_->Start(store_, Changes());
  } catch (const ArchiveError& error) {
    changes_->Start(nullptr, Changes());
    context_.archive.ReportViewFault("Журнал изменений", error);
  }
  LoadPlot();
}

void HistoryPage::LoadPlot() {
  plotted_.clear();
  if (ArchiveStore* store = store_) {
    try {
      plotted_ = LoadPlotSeries(*store, model_->Pages().Filter(),
                                static_cast<PlotValue>(std::max(0, ValueBox->currentIndex())));
    } catch (const ArchiveError& error) {
      context_.archive.ReportViewFault("Архив измерений", error);
    }
  }
  DrawPlot();
}

void HistoryPage::DrawPlot() {
  QChart* chart = Chart();
  chart->removeAllSeries();
  chart->zoomReset();  // a new search starts unzoomed
  reduced_ = {};
  const auto value = static_cast<PlotValue>(std::max(0, ValueBox->currentIndex()));
  valueAxis_->setTitleText(QString::fromUtf8(kPlotValueTitles[static_cast<int>(value)]));
  chart->legend()->setVisible(static_cast<int>(plotted_.size()) <= kLegendSeriesAtMost);
  size_t points = 0;
  for (const PlotSeries& s : plotted_) points += s.points.size();
  ChartView->setRenderHint(QPainter::Antialiasing, points <= kMarkedPointsAtMost);
  if (plotted_.empty()) return;

  // The ranges first, on round steps: every series added later is laid out once.
  double low = plotted_[0].points[0].value, high = low;
  double first = plotted_[0].points[0].taken, last = first;
  for (const PlotSeries& s : plotted_) {
    for (const PlotPoint& p : s.points) {
      low = std::min(low, p.value);
      high = std::max(high, p.value);
    }
    first = std::min(first, s.points.front().taken);
    last = std::max(last, s.points.back().taken);
  }
  const double margin = high > low ? (high - low) * 0.05 : 1;
  valueAxis_->setRange(low - margin, high + margin);
  // The whole search with a little room on either side; the dates are
  // labelled on round steps within it.
  AxisTimes times;
  const double room = std::max((last - first) / 50, 1.0 / 1440);
  timeAxis_->setRange(static_cast<qreal>(times.Of(first - room)),
                      static_cast<qreal>(times.Of(last + room)));

  for (size_t i = 0; i < plotted_.size(); ++i) {
    auto* series = new QLineSeries(chart);
    series->setName(QString::fromStdString(plotted_[i].folderName));
    series->setPointsVisible(points <= kMarkedPointsAtMost);
    chart->addSeries(series);
    series->attachAxis(timeAxis_);
    series->attachAxis(valueAxis_);
    connect(series, &QLineSeries::hovered, this, [this, i](const QPointF& point, bool state) {
      ShowPoint(static_cast<int>(i), point, state);
    });
  }
  ReduceToView();
}

int HistoryPage::TimeTickCount() const {
  const int width = static_cast<int>(Chart()->plotArea().width());
  return std::max(2, (width > 0 ? width : ChartView->width() - 100) / kPixelsPerTimeTick);
}

void HistoryPage::ReduceToView() {
  const QList<QAbstractSeries*> shown = Chart()->series();
  if (shown.size() != static_cast<qsizetype>(plotted_.size())) return;
  const double from = DateTimeOf(static_cast<qint64>(timeAxis_->min()));
  const double to = DateTimeOf(static_cast<qint64>(timeAxis_->max()));
  const int width = static_cast<int>(Chart()->plotArea().width());
  // New labels may move the plot area once; the same view needs nothing new.
  const ReducedView view{from, to, width};
  if (view == reduced_) return;
  reduced_ = view;
  AxisTimes times;
  // Labels only where the ticks fall on round dates.
  for (const QString& label : timeAxis_->categoriesLabels()) timeAxis_->remove(label);
  const TimeTicks ticks = RoundTimeTicks(from, to, TimeTickCount());
  timeAxis_->setStartValue(timeAxis_->min());
  for (double at : ticks.at) {
    if (at < from || at > to) continue;  // the axis would pin it to its end
    const std::string text = FormatDateTime(at).substr(0, ticks.days ? 10 : 16);
    timeAxis_->append(QString::fromStdString(text), static_cast<qreal>(times.Of(at)));
  }
  const int columns = std::max(100, width);
  for (size_t i = 0; i < plotted_.size(); ++i) {
    const std::vector<PlotPoint> kept = ReducePoints(plotted_[i].points, from, to, columns);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(kept.size()));
    for (const PlotPoint& p : kept) {
      points.append(QPointF(static_cast<qreal>(times.Of(p.taken)), p.value));
    }
    static_cast<QLineSeries*>(shown[static_cast<qsizetype>(i)])->replace(points);
  }
}

void HistoryPage::ShowPoint(int series, const QPointF& point, bool shown) {
  if (!shown || series >= static_cast<int>(plotted_.size())) {
    QToolTip::hideText();
    return;
  }
  // The measurement nearest to the pointer, never a point between two.
  const PlotSeries& s = plotted_[static_cast<size_t>(series)];
  const std::optional<PlotPoint> nearest =
      NearestPoint(s.points, DateTimeOf(static_cast<qint64>(point.x())));
  if (!nearest) return;
  const auto value = static_cast<PlotValue>(std::max(0, ValueBox->currentIndex()));
  QToolTip::showText(QCursor::pos(), QString::fromStdString(s.folderName + "\n" +
                                                            FormatDateTime(nearest->taken) + "\n") +
                                         ValueBox->currentText() + " = " +
                                         QString::fromStdString(ValueText(value, nearest->value)));
}

void HistoryPage::ExportSelected() {
  std::set<int> rows;
  for (const QModelIndex& index : Table->selectionModel()->selectedRows()) {
    rows.insert(Grid().FixedRows() + index.row());
  }
  if (rows.empty()) return;
  ExportContext context{context_.services(), Grid(), context_.files()};
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
