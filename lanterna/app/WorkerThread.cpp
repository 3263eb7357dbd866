#include "app/WorkerThread.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace lanterna {

namespace {

// The worker's side of the reports: each one becomes a task for the dispatcher.
class CDispatchedReports : public IWorkerReports {
 public:
  CDispatchedReports(IWorkerReports& frontEnd, ReportDispatcher dispatch)
      : m_frontEnd(frontEnd), m_dispatch(std::move(dispatch)) {}

  void ShowThreadState(const ThreadState& state) override {
    m_dispatch([&] { m_frontEnd.ShowThreadState(state); });
  }
  void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record, std::uint32_t failureCode) override {
    m_dispatch([&] { m_frontEnd.Done(kind, success, std::move(record), failureCode); });
  }
  void DeviceChanged(const std::string& text) override {
    m_dispatch([&] { m_frontEnd.DeviceChanged(text); });
  }
  void PollingTrace(const std::string& trace) override {
    m_dispatch([&] { m_frontEnd.PollingTrace(trace); });
  }

 private:
  IWorkerReports& m_frontEnd;
  ReportDispatcher m_dispatch;
};

// Runs the worker's tasks on the thread that calls Serve, one at a time, until one of them
// ends the service.
class CCallingThreadQueue {
 public:
  void Dispatch(const std::function<void()>& task) {
    std::unique_lock lock(m_mutex);
    m_task = &task;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_task == nullptr; });
  }

  void EndService() { m_bEnded = true; }

  void Serve() {
    std::unique_lock lock(m_mutex);
    while (!m_bEnded) {
      m_changed.wait(lock, [this] { return m_task != nullptr; });
      (*m_task)();
      m_task = nullptr;
      m_changed.notify_all();
    }
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  const std::function<void()>* m_task = nullptr;
  bool m_bEnded = false;  // only touched by the serving thread
};

}  // namespace

CWorkerThread::~CWorkerThread() {
  if (m_thread.joinable()) m_thread.join();
}

bool CWorkerThread::Start(std::function<void(IWorkerReports&)> action, IWorkerReports& frontEnd,
                          ReportDispatcher dispatch, std::function<void()> ended) {
  if (m_bRunning) return false;
  if (m_thread.joinable()) m_thread.join();
  m_failure = nullptr;
  m_bRunning = true;
  m_thread = std::thread([this, action = std::move(action), &frontEnd, dispatch = std::move(dispatch),
                          ended = std::move(ended)] {
    CDispatchedReports reports(frontEnd, dispatch);
    try {
      action(reports);
    } catch (...) {
      m_failure = std::current_exception();
    }
    dispatch(ended);
    // Only now: a front end that starts the next action from `ended` must not join this thread.
    m_bRunning = false;
  });
  return true;
}

void CWorkerThread::Wait() {
  if (m_thread.joinable()) m_thread.join();
  if (m_failure) std::rethrow_exception(std::exchange(m_failure, nullptr));
}

void RunOnWorkerThread(const std::function<void(IWorkerReports&)>& action, IWorkerReports& frontEnd) {
  CCallingThreadQueue queue;
  CWorkerThread worker;
  worker.Start(action, frontEnd, [&queue](const std::function<void()>& task) { queue.Dispatch(task); },
               [&queue] { queue.EndService(); });
  queue.Serve();
  worker.Wait();
}

}  // namespace lanterna
