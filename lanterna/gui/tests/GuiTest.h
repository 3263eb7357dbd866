#pragma once

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "SimulatorSupport.h"
#include "gui/LanternaDlg.h"
#include "gui/PageBase.h"
#include "gui/PropSheetInDlg.h"
#include "testing/SimulatedSession.h"
#include "ui/MessageBox.h"

namespace lanterna::gui::test {

// The device sections of the simulator's profiles and a narrower HTTP-port range than the
// shipped file, so that a range check can fail on purpose.
inline constexpr const char* kTestIni =
    "[0716-0341]\nFBC=32\nPFC=0\nVersion=01.05.00(00)\nPAGE00=TCPIP\nPAGE01=NETWORK\nPAGE02=CLOCK\nPAGE03=MODBUS\n"
    "PAGE04=PROTOCOL\nPAGE05=TRAFFIC\nPAGE06=SNTP\nPAGE07=ETHERNETIP\n"
    "[0716-0861]\nFBC=0\nPFC=32\nAUTOIP=1\nPAGE00=ALL\n"
    "[0716-0312]\nFBC=16\nPFC=0\nPAGE00=TCPIP\nPAGE01=MODBUS\nPAGE02=PROTOCOL\n"
    "[0716-0301]\nFBC=16\nPFC=0\n"
    "[PROTOCOL]\nHttpPortMin=1\nHttpPortMax=10000\nHttpPortDef=80\n";

// Each test program keeps the settings store (registry) in a folder of its own, and answers
// message boxes through the seam.
class CTestEnvironment {
 public:
  CTestEnvironment() {
    qputenv("FENNEC_REGISTRY", m_folder.filePath("registry.xml").toUtf8());
    ui::message_seam::Intercept();
  }
  QString Path(const QString& name) const { return m_folder.filePath(name); }

 private:
  QTemporaryDir m_folder;
};

inline SimulatedSessionOptions Profile(const std::string& profile, bool commandLineDevice = true) {
  SimulatedSessionOptions options;
  options.profile = profile;
  options.commandLineDevice = commandLineDevice;
  return options;
}

template <class Widget>
Widget* Ctl(const QWidget* under, int id) {
  return under->findChild<Widget*>(ControlName(id));
}

// The main dialog on a simulated device.
struct DialogOnDevice {
  explicit DialogOnDevice(SimulatedSessionOptions options, bool show = true)
      : commandLine(options.commandLineDevice),
        simulated(WithDefaults(std::move(options))),
        dialog(simulated.Session(), {.hasCommandLineDevice = commandLine}),
        ended(&dialog, &CLanternaDlg::ActionEnded) {
    if (show) dialog.show();
  }

  static SimulatedSessionOptions WithDefaults(SimulatedSessionOptions options) {
    if (options.iniText.empty()) options.iniText = kTestIni;
    options.timings = lanterna::test::QuickTimings();
    return options;
  }

  // Waits for the action that runs to end and for its worker to be gone.
  bool WaitForEnd(int timeoutMs = 60000) {
    return QTest::qWaitFor([this] { return !ended.isEmpty() && !dialog.ActionRunning(); }, timeoutMs);
  }
  bool LastSucceeded() const { return !ended.isEmpty() && ended.back().at(0).toBool(); }

  QStringList Tabs() const {
    QStringList tabs;
    for (int i = 0; i < dialog.Sheet()->GetPageCount(); ++i) tabs << dialog.Sheet()->GetPage(i)->TabTitle();
    return tabs;
  }

  bool commandLine;
  CSimulatedSession simulated;
  CLanternaDlg dialog;
  QSignalSpy ended;
};

}  // namespace lanterna::gui::test
