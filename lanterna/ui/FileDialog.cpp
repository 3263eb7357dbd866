#include "ui/FileDialog.h"

#include <QFileDialog>

namespace lanterna::ui {

namespace {
std::optional<QString>& NextFileName() {
  static std::optional<QString> next;
  return next;
}
}  // namespace

std::optional<QString> AskTextFileToSave(QWidget* parent, const QString& folder) {
  if (std::optional<QString> next = std::exchange(NextFileName(), std::nullopt)) {
    if (next->isEmpty()) return std::nullopt;
    return next;
  }
  QFileDialog dialog(parent, QString(), folder, "Text File (*.txt)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

namespace file_dialog_seam {
void SetNextFileName(const QString& path) { NextFileName() = path; }
}  // namespace file_dialog_seam

}  // namespace lanterna::ui
