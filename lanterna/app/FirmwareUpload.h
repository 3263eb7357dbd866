#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "Communication/ConnectionBase.h"

namespace lanterna {

// The most fragments one request of the framed protocol can have, and their data size: the
// upload's block (the 2-byte command and the file) must fit.
inline constexpr std::uint64_t kMaxUploadFragments = 65535;
inline constexpr std::uint64_t kUploadFragmentSize = 1400;
inline constexpr std::uint64_t kMaxUploadBytes = kMaxUploadFragments * kUploadFragmentSize - 2;

// The save state's first word while the device writes to its flash, and once it is done.
inline constexpr std::uint16_t kFlashSaveBusy = 1;
inline constexpr std::uint16_t kFlashSaveDone = 2;

struct UploadTimings {
  std::chrono::milliseconds savePollDelay{500};
  // A device still saving after this long has not saved.
  std::chrono::milliseconds maxSaveTime{60000};
};

struct UploadOutcome {
  bool succeeded = false;
  std::string failureText;        // the failed step; empty on success
  std::uint32_t failureCode = 0;  // the transport's or the protocol's code, 0 when there is none
  std::string identification;     // the device's text from its update mode
  std::optional<std::uint16_t> saveState;  // the last save state's first word
};

// Uploads the data to the device's update mode on the connection (closed first, then opened
// without a probe), has the device save it to flash and waits while it does. percent is called
// as fragments are acknowledged.
UploadOutcome UploadFirmware(ORLA::CConnectionBase& connection, std::span<const char> data,
                             const std::function<void(unsigned percent)>& percent, UploadTimings timings = {});

}  // namespace lanterna
