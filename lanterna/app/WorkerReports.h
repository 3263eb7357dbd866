#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Actions.h"
#include "app/Identification.h"

namespace lanterna {

// How a worker thread talks to its front end. Every call blocks the worker until the front end
// has handled it, so all state changes happen on the front end's thread.
class IWorkerReports {
 public:
  virtual ~IWorkerReports() = default;

  // A step's state: the action number, the state in the low 16 bits, bit 31 for a sub-step.
  virtual void ShowThreadState(int action, std::uint32_t state) = 0;
  // The end of Read, Write, Restart or Default with the record the front end takes over.
  virtual void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record) = 0;
  // The two message boxes a worker shows itself (OK button only).
  virtual void DeviceChanged(const std::string& text) = 0;
  virtual void PollingTrace(const std::string& trace) = 0;
};

}  // namespace lanterna
