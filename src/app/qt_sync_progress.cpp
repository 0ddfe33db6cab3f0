#include "app/qt_sync_progress.h"

namespace orti {

namespace {

void SetBar(QProgressBar* bar, int position, int maximum) {
  bar->setRange(0, maximum > 0 ? maximum : 1);
  bar->setValue(position);
}

}  // namespace

WriteProgress::~WriteProgress() {
  Close();
}

void WriteProgress::Open(const std::string& title) {
  window_ = std::make_unique<TForm4>(owner_);
  window_->Label1->setText(QString::fromStdString(title));
  window_->Open();
}

void WriteProgress::SetFolderBar(int position, int maximum) {
  if (window_) SetBar(window_->ProgressBar1, position, maximum);
}

void WriteProgress::SetStepBar(int position, int maximum) {
  if (!window_) return;
  SetBar(window_->ProgressBar2, position, maximum);
  window_->ProgressBar2->repaint();
}

void WriteProgress::Close() {
  if (!window_) return;
  window_->Finish();
  window_.reset();
}

}  // namespace orti
