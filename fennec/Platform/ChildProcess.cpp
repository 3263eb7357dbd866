#include "Platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <thread>
#include <utility>

#include "Platform/PollTimeout.h"

extern char** environ;

namespace fennec::platform {

namespace {

using Clock = std::chrono::steady_clock;

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Spawn attributes and file actions are C objects with init/destroy pairs.
struct SpawnActions {
  posix_spawn_file_actions_t actions{};
  SpawnActions() { posix_spawn_file_actions_init(&actions); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
};

}  // namespace

std::optional<ChildProcess> ChildProcess::Start(const std::filesystem::path& program,
                                                const std::vector<std::string>& arguments,
                                                const std::filesystem::path& standardError) {
  std::array<int, 2> pipeEnds{};
  if (pipe2(pipeEnds.data(), O_CLOEXEC) != 0) return std::nullopt;

  SpawnActions spawn;
  // A child never waits for a person at the terminal of the test run.
  posix_spawn_file_actions_addopen(&spawn.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&spawn.actions, pipeEnds[1], STDOUT_FILENO);
  if (!standardError.empty())
    posix_spawn_file_actions_addopen(&spawn.actions, STDERR_FILENO, standardError.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);

  const std::string programText = program.string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(programText.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_t pid = -1;
  const int failed = posix_spawn(&pid, programText.c_str(), &spawn.actions, nullptr, argv.data(), environ);
  close(pipeEnds[1]);
  if (failed != 0) {
    close(pipeEnds[0]);
    return std::nullopt;
  }
  return ChildProcess(pid, pipeEnds[0]);
}

ChildProcess::~ChildProcess() { Release(); }

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : m_pid(std::exchange(other.m_pid, -1)),
      m_output(std::exchange(other.m_output, -1)),
      m_exitCode(other.m_exitCode),
      m_pending(std::move(other.m_pending)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    m_pid = std::exchange(other.m_pid, -1);
    m_output = std::exchange(other.m_output, -1);
    m_exitCode = other.m_exitCode;
    m_pending = std::move(other.m_pending);
  }
  return *this;
}

void ChildProcess::Release() {
  if (m_pid > 0 && !m_exitCode) {
    kill(m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (m_output >= 0) close(m_output);
  m_pid = -1;
  m_output = -1;
}

std::optional<std::string> ChildProcess::ReadLine(Deadline deadline) {
  for (;;) {
    if (const auto end = m_pending.find('\n'); end != std::string::npos) {
      std::string line = m_pending.substr(0, end);
      m_pending.erase(0, end + 1);
      return line;
    }
    if (m_output < 0) return std::nullopt;
    pollfd entry{m_output, POLLIN, 0};
    const int ready = poll(&entry, 1, PollTimeout(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    std::array<char, 512> chunk{};
    const ssize_t n = read(m_output, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    m_pending.append(chunk.data(), static_cast<std::size_t>(n));
  }
}

std::optional<int> ChildProcess::Wait(Deadline deadline) {
  if (m_exitCode || m_pid <= 0) return m_exitCode;
  // waitpid has no time-out; look often enough that a test does not wait for nothing.
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid) {
      m_exitCode = ExitCodeOf(status);
      return m_exitCode;
    }
    if (done < 0 && errno != EINTR) return std::nullopt;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::optional<int> ChildProcess::Terminate(Deadline deadline) {
  if (m_pid > 0 && !m_exitCode) kill(m_pid, SIGTERM);
  return Wait(deadline);
}

std::optional<int> ChildProcess::Kill(Deadline deadline) {
  if (m_pid > 0 && !m_exitCode) kill(m_pid, SIGKILL);
  return Wait(deadline);
}

}  // namespace fennec::platform
