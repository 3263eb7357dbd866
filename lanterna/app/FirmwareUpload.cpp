#include "app/FirmwareUpload.h"

#include <memory>

#include "Communication/ServiceProtocol.h"
#include "Communication/UpdateAPI.h"
#include "Platform/LastError.h"
#include "Platform/Time.h"
#include "app/DeviceActions.h"

namespace lanterna {

namespace {

UploadOutcome Failed(UploadOutcome outcome, std::string text, std::uint32_t code) {
  outcome.succeeded = false;
  outcome.failureText = std::move(text);
  outcome.failureCode = code;
  return outcome;
}

// The code a failed request left, read before anything else can overwrite it.
std::uint32_t RequestFailureCode() { return fennec::platform::GetThreadLastError(); }

void ForwardPercent(unsigned short percent, bool, void* context) {
  (*static_cast<std::function<void(unsigned)>*>(context))(percent);
}

std::string IdentificationText(ORLA::CUpdateAPI& update, bool& identified) {
  unsigned short a = 0, b = 0, c = 0;
  char* raw = nullptr;
  identified = update.IdentifyDevice(a, b, c, &raw);
  const std::unique_ptr<char[]> text(raw);
  return text ? std::string(text.get()) : std::string();
}

}  // namespace

UploadOutcome UploadFirmware(ORLA::CConnectionBase& connection, std::span<const char> data,
                             const std::function<void(unsigned percent)>& percent, UploadTimings timings) {
  UploadOutcome outcome;
  if (data.empty() || data.size() > kMaxUploadBytes) return Failed(outcome, "The file does not fit one upload", 0);
  ClosePort(connection);
  ORLA::CServiceProtocol protocol(&connection);
  ORLA::CUpdateAPI update(&protocol);

  if (!update.Connect()) return Failed(outcome, "Connecting with the update mode failed", RequestFailureCode());

  bool identified = false;
  outcome.identification = IdentificationText(update, identified);
  if (!identified) return Failed(outcome, "Identifying the device in its update mode failed", RequestFailureCode());

  // The API takes the buffer as writable, but only reads it into a request block of its own:
  // the file is not copied once more here.
  std::function<void(unsigned)> report = percent ? percent : [](unsigned) {};
  if (!update.UploadRawHexFileToDevice(const_cast<char*>(data.data()), static_cast<long>(data.size()), ForwardPercent,
                                       &report))
    return Failed(outcome, "Uploading the file failed", RequestFailureCode());

  if (!update.SaveDataToFlash()) return Failed(outcome, "Saving the data to flash failed", RequestFailureCode());

  const auto deadline = std::chrono::steady_clock::now() + timings.maxSaveTime;
  for (;;) {
    unsigned short state = 0, detail = 0;
    if (!update.GetSaveDataToFlashState(state, detail))
      return Failed(outcome, "Asking for the flash save state failed", RequestFailureCode());
    outcome.saveState = state;
    if (state == kFlashSaveDone) break;
    if (state != kFlashSaveBusy)
      return Failed(outcome, "The device did not save the data to flash (state " + std::to_string(state) + ")", 0);
    if (std::chrono::steady_clock::now() >= deadline)
      return Failed(outcome, "The device was still saving to flash after " +
                                 std::to_string(timings.maxSaveTime.count() / 1000) + " s", 0);
    fennec::platform::Sleep(timings.savePollDelay);
  }
  update.Disconnect();
  outcome.succeeded = true;
  return outcome;
}

}  // namespace lanterna
