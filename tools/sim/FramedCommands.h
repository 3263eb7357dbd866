#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DeviceModel.h"
#include "Moment.h"

namespace fennec::sim {

// What the device's update mode keeps in its memory: the firmware data uploaded, and a save of
// it to flash that stays busy for the save time.
struct UpdateMemory {
  std::vector<std::uint8_t> lastUpload;
  unsigned uploads = 0;
  std::size_t uploadedBytes = 0;
  std::optional<std::chrono::steady_clock::time_point> saveStartedAt;
  std::optional<std::chrono::steady_clock::time_point> saveDoneAt;
};

// Save states the update mode reports: nothing saved yet, busy, done.
inline constexpr std::uint16_t kFlashIdle = 0;
inline constexpr std::uint16_t kFlashBusy = 1;
inline constexpr std::uint16_t kFlashDone = 2;

struct CommandOutcome {
  std::vector<std::uint8_t> response;  // the response block: the code echoed, the status, the data
  std::string note;                    // for the exchange log
};

// Runs one request block of the device API or the update API on the device: register commands on
// the same tables and with the same refusals as the register telegrams, services through the
// same service table, identification and variables as name=value pairs. A restart a command asks
// for is left to the caller to take down once the answer is out (DeviceModel::GoDownForRestart).
CommandOutcome RunFramedCommand(DeviceModel& model, UpdateMemory& update, std::span<const std::uint8_t> block,
                                const Moment& now);

// The identification pairs of the device: ORDER, DESCR, HW-VER, SW-VER, SN, BAUD, and FWL-VER,
// QS-STRING, FW-BURN-DATE and PSN where the device offers them. Empty values are left out, as a
// reader that drops empty tokens would take the next name for the value.
std::string IdentificationPairs(const DeviceState& state);

}  // namespace fennec::sim
