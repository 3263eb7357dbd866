#pragma once

#include <QTimer>
#include <functional>

#include "gui/PageBase.h"
#include "pages/ClockPageModel.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;

namespace lanterna::gui {

// The port and clock the Clock page talks to directly, on the user-interface thread, while no
// device action runs.
struct ClockDevice {
  std::function<bool()> openPort;  // opens the port when it is closed; false when it cannot
  std::function<void()> closePort;
  CServiceDeviceClock* clock = nullptr;
};

// The device's clock beside the PC's, refreshed every second while the page is shown; the
// device's UTC and zone can be set, or both synchronised with the PC.
class CClockPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CClockPage(CClockPageModel& model, IPageHost& host, QWidget* parent = nullptr);

  void SetDevice(ClockDevice device) { m_device = std::move(device); }

  bool OnSetActive() override;
  bool OnKillActive() override;
  void SetInteractive(bool interactive) override;

  void Synchronise();
  void RefreshDevice();
  void RefreshPc();
  bool IsRefreshing() const { return m_timer.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OpenConnection();
  void WriteUtc();
  void WriteTimeZone(int index);
  void PaintDeviceFields();
  void Fail(const std::optional<std::string>& message);

  CClockPageModel& m_clock;
  ClockDevice m_device;
  QTimer m_timer;
  bool m_bDateDropped = false;
  bool m_bTimeKeying = false;
  bool m_bZoneDropped = false;
  bool m_bShowing = false;  // the refresh sets the pickers; their change is not the user's
  QLabel *m_pcDate, *m_pcTime, *m_pcDst, *m_pcZone, *m_pcZoneName, *m_pcUtc;
  QLabel *m_deviceDate, *m_deviceTime, *m_deviceNote;
  QComboBox* m_zone;
  QDateEdit* m_utcDate;
  QTimeEdit* m_utcTime;
  QPushButton* m_synchronise;
};

}  // namespace lanterna::gui
