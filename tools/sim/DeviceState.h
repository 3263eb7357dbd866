#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>

#include "Moment.h"
#include "NonVolatileMemory.h"
#include "Profile.h"
#include "RegisterTables.h"
#include "TableNumbers.h"
#include "TerminalBusMonitor.h"

namespace fennec::sim {

// Values of the save state in register 1 of table 127.
inline constexpr std::uint16_t kSaveIdle = 0;
inline constexpr std::uint16_t kSaveBusy = 1;
inline constexpr std::uint16_t kSaveDone = 2;

struct DeviceTimings {
  std::chrono::milliseconds restartSilence{2000};
  // A restart goes down once its response was read, or after this time at the latest.
  std::chrono::milliseconds restartGrace{2000};
  std::chrono::milliseconds saveBusy{300};
  std::chrono::milliseconds fileJob{4000};
};

// A file-system service the device is still working on.
struct FileJob {
  ServiceId service = 0;
  std::chrono::steady_clock::time_point started;
  std::chrono::steady_clock::time_point until;
};

// Switches that the client sets and the device only remembers.
struct ServiceSwitches {
  bool monitorMode = false;
  bool controlMode = false;
  bool busExtension = false;
  std::uint16_t factoryTestMode = 0;
  std::array<std::uint16_t, 3> paramSequence{};
};

// Everything a service may look at or change. The clock lives in the non-volatile memory,
// as it is battery-backed: setting it stores it at once.
struct DeviceState {
  DeviceState(Profile deviceProfile, DeviceTimings deviceTimings, NonVolatileMemory nonVolatile)
      : profile(std::move(deviceProfile)), timings(deviceTimings), memory(std::move(nonVolatile)) {}

  Profile profile;
  DeviceTimings timings;
  NonVolatileMemory memory;
  RegisterTables tables;
  TerminalBusMonitor monitor;
  ServiceSwitches switches;
  bool writeEnabled = false;
  Moment startedAt;
  std::optional<std::chrono::steady_clock::time_point> saveDoneAt;
  std::optional<FileJob> fileJob;
  std::optional<Moment> restartRequestedAt;
  std::map<ServiceId, std::uint16_t> lastStatus;

  const DeviceClock& Clock() const { return memory.Content().clock; }

  std::uint16_t SaveState(const Moment& now) const {
    if (!saveDoneAt) return kSaveIdle;
    return now.steady < *saveDoneAt ? kSaveBusy : kSaveDone;
  }

  // The time stamp of a monitor entry made now, in the unit the profile reports.
  std::uint32_t MonitorTime(const Moment& now) const {
    if (profile.absoluteMonitorTimes) return Clock().Seconds(now.calendar);
    const auto tenths = std::chrono::duration_cast<std::chrono::milliseconds>(now.steady - startedAt.steady) / 100;
    return static_cast<std::uint32_t>(tenths.count());
  }
};

}  // namespace fennec::sim
