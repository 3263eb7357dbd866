// How the desktop program's user-interface thread keeps up while its worker reads and writes a
// device on a 19200-baud line, and how soon its window first shows.
//
// The real main dialog reads the simulated fbc32 coupler (paced like the serial line), then
// writes one changed value back, with the device's save and restart. A 10 ms timer runs on the
// user-interface thread all the while; its worst lateness is the longest stall a user could
// notice; beside it, the processor time the thread itself used in that late tick, which tells
// its own work from the time the system did not run it. The first show is timed from the start
// of main() to the window's first paint.
// Needs a display: xvfb-run -a build/bin/ui_latency
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "Platform/CpuTime.h"
#include "gui/LanternaDlg.h"
#include "gui/PageBase.h"
#include "gui/PropSheetInDlg.h"
#include "testing/SimulatedSession.h"

using namespace lanterna;
using namespace lanterna::gui;

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr unsigned kBaud = 19200;
constexpr int kTickMilliseconds = 10;

// The worst lateness of a 10 ms timer's ticks while it is measuring.
class CStallMeter : public QObject {
 public:
  CStallMeter() {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
      const Clock::time_point now = Clock::now();
      const std::chrono::nanoseconds cpu = fennec::platform::ThreadCpuTime();
      const Milliseconds late = now - m_last - std::chrono::milliseconds(kTickMilliseconds);
      if (m_bMeasuring && late > m_worst) {
        m_worst = late;
        m_worstOwnWork = cpu - m_lastCpu;
      }
      m_last = now;
      m_lastCpu = cpu;
    });
    m_last = Clock::now();
    m_lastCpu = fennec::platform::ThreadCpuTime();
    m_timer.start();
  }
  void Measure(bool on) {
    m_bMeasuring = on;
    m_last = Clock::now();
    m_lastCpu = fennec::platform::ThreadCpuTime();
  }
  double WorstMilliseconds() const { return m_worst.count(); }
  double WorstOwnWorkMilliseconds() const { return Milliseconds(m_worstOwnWork).count(); }

 private:
  QTimer m_timer;
  Clock::time_point m_last;
  std::chrono::nanoseconds m_lastCpu{0};
  Milliseconds m_worst{0};
  std::chrono::nanoseconds m_worstOwnWork{0};
  bool m_bMeasuring = false;
};

// The time of the window's first paint.
class CFirstPaint : public QObject {
 public:
  explicit CFirstPaint(Clock::time_point start) : m_start(start) {}
  std::optional<double> Milliseconds() const { return m_shown; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !m_shown) m_shown = ::Milliseconds(Clock::now() - m_start).count();
    return QObject::eventFilter(watched, event);
  }

 private:
  Clock::time_point m_start;
  std::optional<double> m_shown;
};

}  // namespace

int main(int argc, char** argv) {
  const Clock::time_point start = Clock::now();
  QApplication application(argc, argv);
  SimulatedSessionOptions options;
  options.profile = "fbc32";
  options.baud = kBaud;
  CSimulatedSession simulated(options);
  if (!simulated.Started()) {
    std::fprintf(stderr, "ui_latency: %s\n", simulated.Device().StartReport().c_str());
    return 1;
  }
  CStallMeter stalls;
  CFirstPaint firstPaint(start);
  CLanternaDlg dialog(simulated.Session(), {.hasCommandLineDevice = true});
  dialog.installEventFilter(&firstPaint);
  dialog.show();
  stalls.Measure(true);

  // Read (by itself, as with a device on the command line), then one changed value written.
  int actions = 0;
  bool failed = false;
  Clock::time_point actionStart = Clock::now();
  Milliseconds readTime{0}, writeTime{0};
  QObject::connect(&dialog, &CLanternaDlg::ActionEnded, &dialog, [&](bool succeeded) {
    failed = failed || !succeeded;
    (++actions == 1 ? readTime : writeTime) = Clock::now() - actionStart;
    QTimer::singleShot(0, &dialog, [&] {
      if (actions == 2 || failed) {
        stalls.Measure(false);
        dialog.accept();
        return;
      }
      // The worker hands over its end before it is gone.
      while (dialog.ActionRunning()) QApplication::processEvents(QEventLoop::AllEvents, 5);
      dialog.Sheet()->SetActivePage(dialog.Page("PROTOCOL"));
      dialog.Page("PROTOCOL")->findChild<QLineEdit*>(ControlName(1072))->setText("8080");
      actionStart = Clock::now();
      dialog.OnWrite();
    });
  });
  dialog.exec();

  std::printf("ui_latency: the main dialog reading and writing a simulated fbc32 at %u baud\n", kBaud);
  std::printf("  read                         %8.0f ms\n", readTime.count());
  std::printf("  write (save, restart, read)  %8.0f ms\n", writeTime.count());
  std::printf("  longest stall of the user-interface thread  %6.1f ms   (target below 50 ms)\n",
              stalls.WorstMilliseconds());
  std::printf("    of which its own processor time           %6.1f ms\n", stalls.WorstOwnWorkMilliseconds());
  if (firstPaint.Milliseconds())
    std::printf("  start to the first shown window             %6.1f ms   (target below 500 ms)\n",
                *firstPaint.Milliseconds());
  if (failed || actions < 2) std::fprintf(stderr, "ui_latency: the read or the write failed\n");
  return failed || actions < 2 ? 1 : 0;
}
