#include "app/log_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

namespace orti {

LogPage::LogPage(WorkLog& log, StringGrid& totalData, QWidget* parent)
    : QWidget(parent), log_(log) {
  setObjectName("TabSheet7");
  MemoLog = new QPlainTextEdit(this);
  MemoLog->setObjectName("MemoLog");
  MemoLog->setReadOnly(true);
  MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette pal = MemoLog->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::ToolTipBase));
  pal.setColor(QPalette::Text, pal.color(QPalette::ToolTipText));
  MemoLog->setPalette(pal);

  auto* totalModel = new StringGridModel(totalData, this);
  SGTotalData = MakeGridView(totalModel, "SGTotalData", this);
  SGTotalData->horizontalHeader()->setStretchLastSection(true);

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName("Splitter1");
  Splitter1->addWidget(MemoLog);
  Splitter1->addWidget(SGTotalData);
  Splitter1->setStretchFactor(0, 3);
  Splitter1->setStretchFactor(1, 2);

  BtnClearLog = new QPushButton("Очистить протокол", this);
  BtnClearLog->setObjectName("BtnClearLog");
  BtnSaveLog = new QPushButton("Сохранить протокол", this);
  BtnSaveLog->setObjectName("BtnSaveLog");
  BitBtn7 = new QPushButton(this);
  BitBtn7->setObjectName("BitBtn7");
  BitBtn7->setEnabled(false);
  BitBtn7->hide();

  auto* toolBar4 = new QHBoxLayout;
  toolBar4->addWidget(BtnClearLog);
  toolBar4->addWidget(BtnSaveLog);
  toolBar4->addWidget(BitBtn7);
  toolBar4->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Splitter1, 1);
  layout->addLayout(toolBar4);

  for (const auto& line : log_.Lines()) MemoLog->appendPlainText(QString::fromStdString(line));
  log_.SetListeners(
      [this](const std::string& line) {
        MemoLog->appendPlainText(QString::fromStdString(line));
        MemoLog->verticalScrollBar()->setValue(MemoLog->verticalScrollBar()->maximum());
      },
      [this] { MemoLog->clear(); });
  connect(BtnClearLog, &QPushButton::clicked, this, [this] { log_.Clear(); });
  connect(BtnSaveLog, &QPushButton::clicked, this, &LogPage::SaveRequested);
}

}  // namespace orti
