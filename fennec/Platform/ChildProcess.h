#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fennec::platform {

// A program started as a separate process, as a test or a front end runs the simulator: its
// standard output comes back line by line, its standard error goes to a file (or is inherited),
// its standard input is empty.
// A child still running when the object goes is killed and reaped.
class ChildProcess {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  static std::optional<ChildProcess> Start(const std::filesystem::path& program,
                                           const std::vector<std::string>& arguments,
                                           const std::filesystem::path& standardError = {});

  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of standard output without its line end; nothing at the deadline or when the
  // output ended.
  std::optional<std::string> ReadLine(Deadline deadline);

  // Asks the child to end (SIGTERM) and waits for it. The exit code, 128 + signal for a child
  // ended by a signal, or nothing when it is still running at the deadline.
  std::optional<int> Terminate(Deadline deadline);

  // Ends the child at once with SIGKILL, as a crash or a pulled plug would, and waits for it;
  // results as Terminate.
  std::optional<int> Kill(Deadline deadline);

  // Waits for the child to end on its own; results as Terminate.
  std::optional<int> Wait(Deadline deadline);

 private:
  ChildProcess(int pid, int output) : m_pid(pid), m_output(output) {}
  void Release();

  int m_pid = -1;
  int m_output = -1;
  std::optional<int> m_exitCode;
  std::string m_pending;
};

}  // namespace fennec::platform
