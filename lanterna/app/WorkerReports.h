#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Actions.h"
#include "base/Identification.h"

namespace lanterna {

// How a worker thread talks to its front end. Every call blocks the worker until the front end
// has handled it, so all state changes happen on the front end's thread.
class IWorkerReports {
 public:
  virtual ~IWorkerReports() = default;

  virtual void ShowThreadState(const ThreadState& state) = 0;
  // The end of Read, Write, Restart or Default with the record the front end takes over, and
  // the error code of the first failed step (0 on success or when there is none).
  virtual void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record,
                    std::uint32_t failureCode) = 0;
  // The two message boxes a worker shows itself (OK button only).
  virtual void DeviceChanged(const std::string& text) = 0;
  virtual void PollingTrace(const std::string& trace) = 0;
};

}  // namespace lanterna
