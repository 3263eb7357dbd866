// Reads a simulated controller in the real main dialog and saves one picture per page, for the
// README: screenshots OUTPUT-FOLDER [PROFILE]. Needs a display (xvfb-run serves).
#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <QTimer>
#include <cstdio>

#include "gui/LanternaDlg.h"
#include "gui/PageBase.h"
#include "gui/PropSheetInDlg.h"
#include "testing/SimulatedSession.h"

using namespace lanterna;
using namespace lanterna::gui;

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: screenshots OUTPUT-FOLDER [PROFILE]\n");
    return 2;
  }
  const QDir folder(argv[1]);
  QDir().mkpath(folder.path());
  SimulatedSessionOptions options;
  options.profile = argc > 2 ? argv[2] : "pfc32";
  CSimulatedSession simulated(options);
  if (!simulated.Started()) {
    std::fprintf(stderr, "screenshots: %s\n", simulated.Device().StartReport().c_str());
    return 1;
  }
  CLanternaDlg dialog(simulated.Session(), {.hasCommandLineDevice = true});
  dialog.show();

  int saved = 0;
  bool failed = false;
  QObject::connect(&dialog, &CLanternaDlg::ActionEnded, &dialog, [&](bool succeeded) {
    // The window shows the result once the worker has handed over its last report.
    QTimer::singleShot(300, &dialog, [&, succeeded] {
      CPropSheetInDlg* sheet = dialog.Sheet();
      failed = !succeeded;
      for (int i = 0; succeeded && i < sheet->GetPageCount(); ++i) {
        sheet->SetActivePage(i);
        QApplication::processEvents();
        QApplication::processEvents();
        const QString name = QString("%1-%2.png").arg(i + 1, 2, 10, QChar('0')).arg(
            QString::fromStdString(sheet->GetPage(i)->GetSection()).toLower());
        if (dialog.grab().save(folder.filePath(name))) ++saved;
      }
      dialog.accept();
    });
  });
  dialog.exec();
  std::printf("screenshots: %d pictures in %s\n", saved, qPrintable(folder.path()));
  return failed || saved == 0 ? 1 : 0;
}
