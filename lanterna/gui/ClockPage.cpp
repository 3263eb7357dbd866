#include "gui/ClockPage.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/MessageBox.h"

namespace lanterna::gui {

namespace {

constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kDarkRed = 0x000080;
constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kDarkBlue = 0x800000;
constexpr std::uint32_t kCalendarTitle = 0x00B153;
constexpr int kRefreshMilliseconds = 1000;

void SetColor(QWidget* widget, std::optional<std::uint32_t> rgbWord) {
  widget->setStyleSheet(rgbWord ? QString("color:%1").arg(ui::ColorFromRgbWord(*rgbWord).name()) : QString());
}

QLabel* Value(QWidget* parent, int id) {
  auto* label = new QLabel(parent);
  label->setObjectName(ControlName(id));
  label->setMinimumWidth(110);
  return label;
}

}  // namespace

CClockPage::CClockPage(CClockPageModel& model, IPageHost& host, QWidget* parent)
    : CCouplerSettingsPageBase(model, "Clock", host, parent), m_clock(model) {
  auto* pc = new QGroupBox("PC", this);
  m_pcDate = Value(pc, 1004);
  m_pcTime = Value(pc, 1005);
  m_pcDst = Value(pc, 1147);
  m_pcZone = Value(pc, 1149);
  m_pcZoneName = Value(pc, 1159);
  m_pcUtc = Value(pc, 1151);
  auto* pcGrid = new QGridLayout(pc);
  const std::pair<const char*, QLabel*> pcRows[] = {{"Date:", m_pcDate},     {"Time:", m_pcTime},
                                                    {"DST:", m_pcDst},       {"Time Zone:", m_pcZone},
                                                    {"Zone Name:", m_pcZoneName}, {"UTC:", m_pcUtc}};
  int row = 0;
  for (const auto& [text, value] : pcRows) {
    pcGrid->addWidget(new QLabel(text, pc), row, 0);
    pcGrid->addWidget(value, row++, 1);
  }
  pcGrid->setRowStretch(row, 1);

  auto* device = new QGroupBox("Device", this);
  m_deviceDate = Value(device, 1143);
  m_deviceTime = Value(device, 1144);
  m_deviceNote = Value(device, 1148);
  m_deviceNote->setWordWrap(true);
  m_zone = new QComboBox(device);
  m_zone->setObjectName(ControlName(1167));
  for (const TimeZoneEntry& zone : kTimeZones) m_zone->addItem(zone.text);
  m_utcDate = new QDateEdit(device);
  m_utcDate->setObjectName(ControlName(1166));
  m_utcDate->setDisplayFormat(" yyyy-MM-dd");
  m_utcDate->setCalendarPopup(true);
  m_utcDate->setTimeSpec(Qt::UTC);
  m_utcDate->calendarWidget()->setStyleSheet(
      QString("#qt_calendar_navigationbar { background-color: %1; }").arg(ui::ColorFromRgbWord(kCalendarTitle).name()));
  m_utcTime = new QTimeEdit(device);
  m_utcTime->setObjectName(ControlName(1165));
  m_utcTime->setDisplayFormat(" HH : mm : ss");
  m_utcTime->setTimeSpec(Qt::UTC);
  auto* deviceGrid = new QGridLayout(device);
  deviceGrid->addWidget(new QLabel("Date:", device), 0, 0);
  deviceGrid->addWidget(m_deviceDate, 0, 1);
  deviceGrid->addWidget(new QLabel("Time:", device), 1, 0);
  deviceGrid->addWidget(m_deviceTime, 1, 1);
  deviceGrid->addWidget(new QLabel("DST:", device), 2, 0);
  deviceGrid->addWidget(m_deviceNote, 2, 1);
  deviceGrid->addWidget(new QLabel("Time Zone:", device), 3, 0);
  deviceGrid->addWidget(m_zone, 3, 1);
  deviceGrid->addWidget(new QLabel("UTC:", device), 4, 0);
  auto* utc = new QHBoxLayout;
  utc->addWidget(m_utcDate);
  utc->addWidget(m_utcTime);
  deviceGrid->addLayout(utc, 4, 1);
  deviceGrid->setRowStretch(5, 1);

  m_synchronise = new QPushButton(ui::ResourceIcon(ui::kIconSynchronize), "Synchronize", this);
  m_synchronise->setObjectName(ControlName(1003));
  m_synchronise->setAutoDefault(false);
  auto* note = new QLabel(
      "The device keeps UTC and a time zone in whole hours; it applies no daylight saving time. "
      "Synchronize sets both from this PC.",
      this);
  note->setObjectName(ControlName(1157));
  note->setWordWrap(true);

  auto* layout = new QGridLayout(this);
  layout->addWidget(pc, 0, 0);
  layout->addWidget(device, 0, 1);
  layout->addWidget(note, 1, 0, 1, 2);
  layout->addWidget(m_synchronise, 2, 1, Qt::AlignRight);
  layout->setRowStretch(3, 1);
  layout->setColumnStretch(1, 1);

  AddToolTip(m_synchronise, "Synchronize", "Sets the device's clock and time zone to those of this PC.");
  AddToolTip(m_pcDate, "Date on PC", "Today's date on this PC.");
  AddToolTip(m_pcTime, "Time on PC", "The local time of this PC.");
  AddToolTip(m_pcDst, "DST on PC", "Whether this PC's time zone has daylight saving time.");
  AddToolTip(m_pcZone, "Time Zone on PC", "This PC's standard time zone.");
  AddToolTip(m_pcZoneName, "Time Zone Name on PC", "The name of this PC's time zone.");
  AddToolTip(m_pcUtc, "UTC on PC", "Coordinated universal time by this PC's clock.");
  AddToolTip(m_deviceDate, "Date on device", "The device's local date.");
  AddToolTip(m_deviceTime, "Time on device", "The device's local time.");
  AddToolTip(m_deviceNote, "DST on device", "The device has no daylight saving time.");
  AddToolTip(m_zone, "Time Zone on device", "The device's time zone; choosing one sets it at once.");
  AddToolTip(m_utcTime, "UTC on device", "The device's UTC; changing it sets it at once.");

  m_timer.setInterval(kRefreshMilliseconds);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    RefreshDevice();
    RefreshPc();
  });
  connect(m_synchronise, &QPushButton::clicked, this, [this] { Synchronise(); });
  connect(m_utcDate, &QDateEdit::dateChanged, this, [this] {
    if (!m_bShowing && !m_bDateDropped) WriteUtc();
  });
  connect(m_utcTime, &QTimeEdit::timeChanged, this, [this] {
    if (!m_bShowing) WriteUtc();
  });
  connect(m_zone, &QComboBox::activated, this, [this](int index) { WriteTimeZone(index); });
  m_utcDate->calendarWidget()->window()->installEventFilter(this);
  m_utcTime->installEventFilter(this);
  m_zone->view()->window()->installEventFilter(this);
}

bool CClockPage::eventFilter(QObject* watched, QEvent* event) {
  const bool calendar = watched == m_utcDate->calendarWidget()->window();
  if (calendar && event->type() == QEvent::Show) m_bDateDropped = true;
  if (calendar && event->type() == QEvent::Hide && m_bDateDropped) {
    WriteUtc();
    m_bDateDropped = false;
  }
  if (watched == m_utcTime && event->type() == QEvent::KeyPress) m_bTimeKeying = true;
  if (watched == m_zone->view()->window() && event->type() == QEvent::Show) m_bZoneDropped = true;
  return CCouplerSettingsPageBase::eventFilter(watched, event);
}

bool CClockPage::OpenConnection() { return m_device.openPort && m_device.openPort(); }

bool CClockPage::OnSetActive() {
  if (!Model().IsPageUsed()) return false;
  m_bDateDropped = m_bTimeKeying = m_bZoneDropped = false;
  OpenConnection();
  RefreshDevice();
  RefreshPc();
  m_timer.start();
  return CCouplerSettingsPageBase::OnSetActive();
}

bool CClockPage::OnKillActive() {
  m_timer.stop();
  if (m_device.closePort) m_device.closePort();
  return CCouplerSettingsPageBase::OnKillActive();
}

void CClockPage::SetInteractive(bool interactive) {
  // Back from a device action, the page reads again only when its port opens.
  const bool usable = interactive && OpenConnection();
  CCouplerSettingsPageBase::SetInteractive(usable);
  m_clock.SetInteractive(usable);
  PaintDeviceFields();
}

void CClockPage::PaintDeviceFields() {
  const std::optional<std::uint32_t> color =
      m_clock.IsInteractive() ? std::nullopt : std::optional<std::uint32_t>(kGrey);
  for (QWidget* field : {static_cast<QWidget*>(m_deviceDate), static_cast<QWidget*>(m_deviceTime)}) SetColor(field, color);
}

void CClockPage::RefreshDevice() {
  if (!m_device.clock || !m_clock.IsInteractive()) return;
  const CClockPageModel::DeviceRefresh refresh = m_clock.RefreshDevice(*m_device.clock);
  m_deviceNote->setText(QString::fromStdString(refresh.note));
  if (!refresh.view) {
    SetColor(m_deviceNote, kDarkRed);
    SetInteractive(false);
    return;
  }
  SetColor(m_deviceNote, std::nullopt);
  const DeviceClockView& view = *refresh.view;
  m_bShowing = true;
  const QDateTime utc(QDate(view.utc.year, view.utc.month, view.utc.day),
                      QTime(view.utc.hour, view.utc.minute, view.utc.second), Qt::UTC);
  if (!m_bTimeKeying) m_utcTime->setTime(utc.time());
  if (!m_bDateDropped) m_utcDate->setDate(utc.date());
  m_deviceDate->setText(QString::fromStdString(view.localDate));
  m_deviceTime->setText(QString::fromStdString(view.localTime));
  if (!m_bZoneDropped) m_zone->setCurrentIndex(view.zoneIndex);
  m_bShowing = false;
}

void CClockPage::RefreshPc() {
  const PcClockView view = CClockPageModel::ReadPcClock();
  m_pcDate->setText(QString::fromStdString(view.date));
  m_pcTime->setText(QString::fromStdString(view.time));
  m_pcDst->setText(QString::fromStdString(view.dstText));
  SetColor(m_pcDst, view.daylight ? kGreen : kDarkBlue);
  m_pcZone->setText(QString::fromStdString(view.zoneText));
  m_pcZoneName->setText(QString::fromStdString(view.zoneName));
  m_pcUtc->setText(QString::fromStdString(view.utcTime));
}

void CClockPage::Fail(const std::optional<std::string>& message) {
  if (message) ui::ShowMessage(QString::fromStdString(*message), 0, ui::kStyleOk, {}, this);
}

void CClockPage::Synchronise() {
  if (!m_device.clock) return;
  SetInteractive(false);
  Fail(m_clock.Synchronise(*m_device.clock, fennec::platform::CalendarTimeNow(),
                           fennec::platform::CurrentTimeZone()));
  SetInteractive(true);
}

void CClockPage::WriteUtc() {
  if (!m_device.clock || !m_clock.IsInteractive()) return;
  const QDateTime moment(m_utcDate->date(), m_utcTime->time(), Qt::UTC);
  Fail(m_clock.WriteUtc(*m_device.clock,
                        std::chrono::sys_time<std::chrono::milliseconds>(std::chrono::milliseconds(moment.toMSecsSinceEpoch()))));
}

void CClockPage::WriteTimeZone(int index) {
  if (!m_device.clock || index < 0 || index >= static_cast<int>(kTimeZones.size())) return;
  m_bZoneDropped = true;
  Fail(m_clock.WriteTimeZone(*m_device.clock, kTimeZones[static_cast<std::size_t>(index)].offset));
  m_bZoneDropped = false;
}

}  // namespace lanterna::gui
