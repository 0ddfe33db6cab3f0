#include "app/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace orti {

DialogAnswer QtDialogs::Ask(const std::string& text, const std::string& caption, DialogIcon icon,
                            DialogButtons buttons) {
  QMessageBox box(owner_);
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  switch (icon) {
    case DialogIcon::kNone:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case DialogIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case DialogIcon::kQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case DialogIcon::kWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case DialogIcon::kError:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  // Russian captions on the buttons whatever translations are installed.
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* cancel = nullptr;
  QPushButton* ok = nullptr;
  if (buttons == DialogButtons::kOk) {
    ok = box.addButton("OK", QMessageBox::AcceptRole);
    box.setEscapeButton(ok);
  } else {
    yes = box.addButton("Да", QMessageBox::YesRole);
    no = box.addButton("Нет", QMessageBox::NoRole);
    if (buttons == DialogButtons::kYesNoCancel) {
      cancel = box.addButton("Отмена", QMessageBox::RejectRole);
      box.setEscapeButton(cancel);
    } else {
      box.setEscapeButton(no);
    }
    box.setDefaultButton(yes);
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == yes) return DialogAnswer::kYes;
  if (clicked && clicked == no) return DialogAnswer::kNo;
  if (clicked && clicked == ok) return DialogAnswer::kOk;
  return buttons == DialogButtons::kOk ? DialogAnswer::kOk
         : cancel                      ? DialogAnswer::kCancel
                                       : DialogAnswer::kNo;
}

void QtDialogs::ShowMessage(const std::string& text) {
  Ask(text, "Orti-415", DialogIcon::kNone, DialogButtons::kOk);
}

std::optional<std::string> QtDialogs::ChooseSaveFile(const SaveFileRequest& request) {
  // "Text|*.csv|Text|*.txt" becomes Qt's "Text (*.csv);;Text (*.txt)".
  const QStringList parts = QString::fromStdString(request.filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i] + " (" + parts[i + 1] + ")";
  QFileDialog dialog(owner_, QString::fromStdString(request.title),
                     QString::fromStdString(request.initialFolder));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the console asks itself
  // The filter reads as the label given ("Текстовые файлы (.csv)"), without
  // Qt appending the pattern to it.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace orti
