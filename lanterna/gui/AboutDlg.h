#pragma once

#include <QDialog>

namespace lanterna::gui {

// "About ORLA Lanterna": product name and icon, the version line, the module versions of the
// program and the library, and the operating system.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  // "LANTERNA.EXE:  <version>\r\n", then the library's line when its text is not empty.
  static QString ModuleLines(const QString& programVersion, const QString& libraryVersion);
  // The release file's name of the system, its kernel and architecture, the kernel's build.
  static QString SystemLines();
};

}  // namespace lanterna::gui
