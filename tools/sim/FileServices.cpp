#include <array>

#include "ServiceCatalogue.h"

namespace fennec::sim {

namespace {

using Arguments = std::span<const std::uint16_t>;

// The first call starts the job and answers "still running"; so does every call while it runs.
// A second file job waits until the first is done.
ServiceResult StartFileJob(DeviceState& state, ServiceId service, const Moment& now) {
  if (state.fileJob)
    return {state.fileJob->service == service ? status::kServiceRunning : status::kPreviousNotReady, {}};
  if (state.timings.fileJob.count() <= 0) return {};
  state.fileJob = FileJob{service, now.steady, now.steady + state.timings.fileJob};
  return {status::kServiceRunning, {}};
}

ServiceResult ExtractFiles(DeviceState& state, Arguments, const Moment& now) {
  return StartFileJob(state, MakeServiceId(3, 1), now);
}

ServiceResult FormatFlashDisk(DeviceState& state, Arguments, const Moment& now) {
  return StartFileJob(state, MakeServiceId(3, 2), now);
}

constexpr std::array<ServiceEntry, 2> kFileServices{{
    {3, 1, 1, "ExtractFiles", ExtractFiles},
    {3, 2, 1, "FormatFlashDisk", FormatFlashDisk},
}};

}  // namespace

std::span<const ServiceEntry> FileServices() { return kFileServices; }

}  // namespace fennec::sim
