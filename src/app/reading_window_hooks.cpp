#include "app/reading_window_hooks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

namespace orti {

namespace {
constexpr int kBarStep = 10;
constexpr int kRecordBarMaximum = kBarStep * kSlotsPerFolder;
constexpr int kTicksWaitMs = 550;  // ten clock ticks
}  // namespace

ReadingWindowHooks::~ReadingWindowHooks() {
  delete form5_;
}

void ReadingWindowHooks::OpenProgress() {
  delete form5_;
  form5_ = new TForm5(owner_);
  form5_->Label1->setText("Чтение данных");
  form5_->ProgressBar2->setRange(0, kRecordBarMaximum);
  form5_->Open();
  QApplication::processEvents();
}

void ReadingWindowHooks::CloseProgress() {
  if (form5_) form5_->Finish();
  delete form5_;
  form5_ = nullptr;
}

void ReadingWindowHooks::Start(int folderCount) {
  if (!form5_) return;
  form5_->ProgressBar1->setRange(0, kBarStep * (folderCount > 0 ? folderCount : 1));
  form5_->ProgressBar1->setValue(0);
}

void ReadingWindowHooks::FolderHeaderRead() {
  if (!form5_) return;
  form5_->ProgressBar1->setValue(form5_->ProgressBar1->value() + kBarStep);
  form5_->ProgressBar2->setValue(0);
  form5_->ProgressBar2->repaint();
}

void ReadingWindowHooks::FolderFree() {
  if (form5_) form5_->ProgressBar2->setValue(kRecordBarMaximum);
}

void ReadingWindowHooks::SlotDecoded() {
  if (form5_) form5_->ProgressBar2->setValue(form5_->ProgressBar2->value() + kBarStep);
}

void ReadingWindowHooks::WaitTicks() {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < kTicksWaitMs) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

}  // namespace orti
