#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace lanterna::test {

// The test's own user-interface thread: runs posted tasks one at a time, and the poster waits
// for its task, as a blocking queued call does.
class CDispatcherThread {
 public:
  CDispatcherThread() : m_thread([this] { Serve(); }) {}
  ~CDispatcherThread() {
    Post([this] { m_bStop = true; });
    m_thread.join();
  }

  std::thread::id Id() const { return m_thread.get_id(); }

  void Post(const std::function<void()>& task) {
    std::promise<void> ran;
    {
      std::lock_guard lock(m_mutex);
      m_tasks.push_back([&] {
        task();
        ran.set_value();
      });
    }
    m_changed.notify_one();
    ran.get_future().wait();
  }

 private:
  void Serve() {
    while (!m_bStop) {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [this] { return !m_tasks.empty(); });
      auto task = std::move(m_tasks.front());
      m_tasks.pop_front();
      lock.unlock();
      task();
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::function<void()>> m_tasks;
  bool m_bStop = false;  // only touched on the dispatcher thread
  std::thread m_thread;
};

}  // namespace lanterna::test
