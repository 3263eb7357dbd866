#include "gui/TextFileSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/Configuration.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

namespace lanterna::gui {

std::string SaveFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString programFolder = QDir(documents).filePath("ORLA Software/ORLA Lanterna");
  const QString folder = QString::fromStdString(CProgramRegistry().LogFolder(programFolder.toStdString()));
  return (QFileInfo(folder).isDir() ? folder : documents).toStdString();
}

void SaveTextFile(QWidget* parent, const std::string& text) {
  if (text.empty()) return;
  const std::optional<QString> path = ui::AskTextFileToSave(parent, QString::fromStdString(SaveFolder()));
  if (!path) return;
  CProgramRegistry().SetLogFolder(QFileInfo(*path).absolutePath().toStdString());
  QFile file(*path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
    ui::ShowMessage(QString("%1\n%2").arg(*path, file.errorString()), 0, ui::kStyleOk, {}, parent);
    return;
  }
  // The texts keep "\r\n" between lines as the log and the export hold them.
  file.setTextModeEnabled(false);
  if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !file.flush())
    ui::ShowMessage("Unable to save identification date fo file!", 0, ui::kStyleOk, {}, parent);
}

}  // namespace lanterna::gui
