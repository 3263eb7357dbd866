#pragma once

#include <optional>
#include <string>

#include "pages/ClockTime.h"
#include "pages/CouplerSettingsPageModel.h"
#include "pages/ServiceDeviceClock.h"

namespace lanterna {

// Compares the device's real-time clock with the PC's and sets it: its UTC, its time zone, or
// both from the PC in one step. The only page that talks to the device itself; it owns no
// register. Failures come back as the message the page shows.
class CClockPageModel : public CCouplerSettingsPageModel {
 public:
  CClockPageModel();

  // Off while a device action runs; a failed read turns it off until the front end turns it on.
  void SetInteractive(bool interactive) { m_bInteractive = interactive; }
  bool IsInteractive() const { return m_bInteractive; }

  struct DeviceRefresh {
    std::optional<DeviceClockView> view;
    std::string note;  // "Only timezone included!" or the read's error text
  };
  // Nothing is read while the page is not interactive.
  DeviceRefresh RefreshDevice(CServiceDeviceClock& clock);

  // The PC's present time and standard zone.
  static PcClockView ReadPcClock();

  // Sets the device to the PC's time and standard zone.
  std::optional<std::string> Synchronise(CServiceDeviceClock& clock, std::int64_t now,
                                         const fennec::platform::TimeZoneInfo& zone);
  // Sets the device's UTC and keeps its zone.
  std::optional<std::string> WriteUtc(CServiceDeviceClock& clock, std::chrono::sys_time<std::chrono::milliseconds> moment);
  // Sets the device's zone (an offset of the zone table) and keeps its UTC.
  std::optional<std::string> WriteTimeZone(CServiceDeviceClock& clock, int offset);

 private:
  bool m_bInteractive = true;
};

}  // namespace lanterna
