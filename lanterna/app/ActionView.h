#pragma once

#include <string>

#include "app/DialogData.h"

namespace lanterna {

// What a front end shows of a running action. Called on the front end's own thread once the
// session's dialog data has taken the report; the worker waits until the call returns.
class IActionView {
 public:
  virtual ~IActionView() = default;
  // The log, status line, buttons, title and pages in the dialog data have changed; the
  // outcome says what to show besides (message boxes, the page's state text).
  virtual void ShowReport(const ReportOutcome& outcome) = 0;
  // The two message boxes a worker asks for itself, with an OK button only.
  virtual void DeviceChanged(const std::string& text) = 0;
  virtual void PollingTrace(const std::string& trace) = 0;
};

}  // namespace lanterna
