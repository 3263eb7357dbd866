#include "app/WorkerThread.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace lanterna {

namespace {

// The worker's side: each report becomes a task for the front-end thread; the worker waits
// until that task has run.
class CHandOver : public IWorkerReports {
 public:
  explicit CHandOver(IWorkerReports& frontEnd) : m_frontEnd(frontEnd) {}

  void ShowThreadState(int action, std::uint32_t state) override {
    HandOver([&] { m_frontEnd.ShowThreadState(action, state); });
  }
  void Done(DoneKind kind, bool success, std::unique_ptr<tIdentification> record) override {
    HandOver([&] { m_frontEnd.Done(kind, success, std::move(record)); });
  }
  void DeviceChanged(const std::string& text) override {
    HandOver([&] { m_frontEnd.DeviceChanged(text); });
  }
  void PollingTrace(const std::string& trace) override {
    HandOver([&] { m_frontEnd.PollingTrace(trace); });
  }

  void WorkerEnded() {
    std::lock_guard lock(m_mutex);
    m_bEnded = true;
    m_changed.notify_all();
  }

  // Front-end thread: runs the handed-over reports until the worker has ended.
  void Serve() {
    std::unique_lock lock(m_mutex);
    while (true) {
      m_changed.wait(lock, [this] { return m_task.has_value() || m_bEnded; });
      if (m_task) {
        (*m_task)();
        m_task.reset();
        m_changed.notify_all();
      } else if (m_bEnded) {
        return;
      }
    }
  }

 private:
  void HandOver(std::function<void()> task) {
    std::unique_lock lock(m_mutex);
    m_task = std::move(task);
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_task.has_value(); });
  }

  IWorkerReports& m_frontEnd;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::optional<std::function<void()>> m_task;
  bool m_bEnded = false;
};

}  // namespace

void RunOnWorkerThread(const std::function<void(IWorkerReports&)>& action, IWorkerReports& frontEnd) {
  CHandOver handOver(frontEnd);
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      action(handOver);
    } catch (...) {
      failure = std::current_exception();
    }
    handOver.WorkerEnded();
  });
  handOver.Serve();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace lanterna
