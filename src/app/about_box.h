#pragma once
// "О программе": the console's name and version and two blinking links.

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace orti {

constexpr const char* kMakerMail = "console@example.org";
constexpr const char* kMakerWeb = "https://example.org/orti-415";

class TAboutBox final : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QLabel* Image1;
  QLabel* ProductName;
  QLabel* Label2;
  QLabel* Version;
  QLabel* Notice;
  QToolButton* SBMailTo;
  QToolButton* SBWeb;
  QPushButton* OKButton;
  QTimer* Timer1;
  int Phase() const { return phase_; }

 public slots:
  void Timer1Timer();
  void SBMailToClick();
  void SBWebClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void SetLinkLook(bool underlined);
  int phase_ = 0;
};

}  // namespace orti
