#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

#include "app/WorkerReports.h"

namespace lanterna {

// Hands one task of a worker to the front end's thread and returns once it has run there, as a
// blocking window message does. The desktop program queues it on its event loop.
using ReportDispatcher = std::function<void(const std::function<void()>& task)>;

// One device action on a thread of its own. Each report of the worker becomes a task for the
// dispatcher, so that the front end's state only ever changes on its own thread; the worker
// waits until the task has run. The last task is `ended`.
class CWorkerThread {
 public:
  CWorkerThread() = default;
  ~CWorkerThread();  // waits for the worker
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // Returns at once; false while an earlier worker still runs, `ended` included.
  bool Start(std::function<void(IWorkerReports&)> action, IWorkerReports& frontEnd, ReportDispatcher dispatch,
             std::function<void()> ended);
  bool Running() const { return m_bRunning; }
  // Waits for the worker; rethrows what escaped its action.
  void Wait();

 private:
  std::thread m_thread;
  std::atomic<bool> m_bRunning{false};
  std::exception_ptr m_failure;
};

// Runs one device action on a worker thread and hands each report to the front end on the
// calling thread. Returns when the worker has ended.
void RunOnWorkerThread(const std::function<void(IWorkerReports&)>& action, IWorkerReports& frontEnd);

}  // namespace lanterna
