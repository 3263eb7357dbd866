#pragma once

#include <functional>

#include "app/WorkerReports.h"

namespace lanterna {

// Runs one device action on a worker thread and hands each of its reports to the front end on
// the calling thread, blocking the worker until the report is handled, so that the front end's
// state only ever changes on its own thread. Returns when the worker has ended.
void RunOnWorkerThread(const std::function<void(IWorkerReports&)>& action, IWorkerReports& frontEnd);

}  // namespace lanterna
