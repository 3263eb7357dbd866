// The Clock page in the main dialog, reading and setting the simulated device's clock.
#include <QComboBox>
#include <QElapsedTimer>
#include <QDateEdit>
#include <QTimeEdit>
#include <QLabel>
#include <QPushButton>

#include "GuiTest.h"
#include "Platform/Time.h"
#include "gui/ClockPage.h"
#include "pages/ClockTime.h"

using namespace lanterna;
using namespace lanterna::gui;
using namespace lanterna::gui::test;

namespace {

std::pair<std::uint32_t, std::uint16_t> DeviceClockOf(fennec::sim::SimulatedDevice& device) {
  const std::int64_t now = fennec::platform::CalendarTimeNow();
  return device.InspectState(
      [now](const auto& state) { return std::make_pair(state.Clock().Seconds(now), state.Clock().TimeZone()); });
}

}  // namespace

class TestClockPage : public QObject {
  Q_OBJECT

  CTestEnvironment m_environment;
  std::unique_ptr<DialogOnDevice> m_on;
  CClockPage* m_page = nullptr;

  fennec::sim::SimulatedDevice& Device() { return m_on->simulated.Device(); }
  QString Label(int id) const { return Ctl<QLabel>(m_page, id)->text(); }

 private slots:
  void init() {
    m_on = std::make_unique<DialogOnDevice>(Profile("fbc32"));
    QVERIFY(m_on->WaitForEnd());
    QVERIFY(m_on->LastSucceeded());
    m_page = static_cast<CClockPage*>(m_on->dialog.Page("CLOCK"));
  }
  void cleanup() { m_on.reset(); }

  void showsTheDevicesZoneAndLocalTime() {
    CProgramSession& session = m_on->simulated.Session();
    QVERIFY(session.OpenPort());
    const std::uint32_t utc = 1767225600;  // 2026-01-01 00:00:00
    QVERIFY(session.Clock().SetRealTimeClock(utc, 0xFFFB));
    session.ClosePort();
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(m_page));
    QVERIFY(m_page->IsRefreshing());
    QCOMPARE(Ctl<QComboBox>(m_page, 1167)->currentText(), QString(" UTC -05:00"));
    QCOMPARE(Label(1148), QString("Only timezone included!"));
    // The device's local day is the day before, five hours back.
    QCOMPARE(Label(1143), QString("2025-12-31"));
    QVERIFY(Label(1144).startsWith("19:00:0"));
    const PcClockView pc = CClockPageModel::ReadPcClock();
    QCOMPARE(Label(1147), QString::fromStdString(pc.dstText));
    QCOMPARE(Label(1149), QString::fromStdString(pc.zoneText));

    // A zone outside the table selects nothing.
    QVERIFY(session.Clock().SetRealTimeClock(utc, 13));
    m_page->RefreshDevice();
    QCOMPARE(Ctl<QComboBox>(m_page, 1167)->currentIndex(), -1);
    QCOMPARE(Label(1143), QString("2026-01-01"));
    QVERIFY(Label(1144).startsWith("13:00:0"));
  }

  void readsTheDeviceOncePerSecondWhileShown() {
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(m_page));
    const unsigned before = Device().Exchanges();
    m_page->RefreshDevice();
    const unsigned perRead = Device().Exchanges() - before;
    QVERIFY(perRead > 0);
    // Three timed reads take at least two seconds, however loaded the machine is.
    const unsigned start = Device().Exchanges();
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(QTest::qWaitFor([&] { return Device().Exchanges() - start >= 3 * perRead; }, 60000));
    QVERIFY2(elapsed.elapsed() >= 1900, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE((Device().Exchanges() - start) % perRead, 0u);

    // Left, the page stops reading and closes the port.
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(0));
    QVERIFY(!m_page->IsRefreshing());
    QVERIFY(!m_on->simulated.Session().Connection().IsOpen());
    const unsigned after = Device().Exchanges();
    QTest::qWait(1200);
    QCOMPARE(Device().Exchanges(), after);
  }

  void choosingAZoneSetsItAndKeepsTheTime() {
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(m_page));
    const auto [secondsBefore, zoneBefore] = DeviceClockOf(Device());
    auto* zone = Ctl<QComboBox>(m_page, 1167);
    zone->setCurrentIndex(14);
    emit zone->activated(14);
    const auto [seconds, word] = DeviceClockOf(Device());
    QCOMPARE(word, std::uint16_t{2});
    QVERIFY(seconds - secondsBefore <= 2);
    QVERIFY(zoneBefore != 2);
  }

  void changingTheUtcPickersSetsTheDevicesUtc() {
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(m_page));
    const auto [before, zone] = DeviceClockOf(Device());
    auto* date = Ctl<QDateEdit>(m_page, 1166);
    date->setDate(QDate(2030, 6, 15));
    auto [seconds, word] = DeviceClockOf(Device());
    // 2030-06-15 at the time of day the picker showed.
    QCOMPARE(seconds / 86400, 1907712000u / 86400);
    QCOMPARE(word, zone);
    auto* time = Ctl<QTimeEdit>(m_page, 1165);
    time->setTime(QTime(12, 34, 56));
    std::tie(seconds, word) = DeviceClockOf(Device());
    QVERIFY(seconds - (1907712000u + 12 * 3600 + 34 * 60 + 56) <= 2);
    QVERIFY(before != seconds);
  }

  void synchroniseSetsThePcsTimeAndZone() {
    CProgramSession& session = m_on->simulated.Session();
    QVERIFY(session.OpenPort());
    QVERIFY(session.Clock().SetRealTimeClock(1000000000, 7));
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(m_page));
    QTest::mouseClick(Ctl<QPushButton>(m_page, 1003), Qt::LeftButton);
    const auto [seconds, word] = DeviceClockOf(Device());
    const std::int64_t now = fennec::platform::CalendarTimeNow();
    QVERIFY(std::abs(static_cast<std::int64_t>(seconds) - now) <= 2);
    QCOMPARE(word, ZoneWordOf(fennec::platform::CurrentTimeZone()));
    QVERIFY(ui::message_seam::Shown().empty());
  }

  void aFailedReadGreysTheDeviceAndStops() {
    QVERIFY(m_on->dialog.Sheet()->SetActivePage(m_page));
    Device().DropNext(1000);
    m_page->RefreshDevice();
    QVERIFY(Label(1148).startsWith("Error: RTC settings not read! (0x"));
    QVERIFY(!m_page->IsInteractive());
    Device().ClearFaults();
    const unsigned after = Device().Exchanges();
    QTest::qWait(1200);
    QCOMPARE(Device().Exchanges(), after);
  }
};

QTEST_MAIN(TestClockPage)
#include "tst_clock_page.moc"
