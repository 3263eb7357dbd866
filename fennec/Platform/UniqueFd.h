#pragma once

#include <utility>

namespace fennec::platform {

// Owns one file descriptor and closes it when it goes, so no way out of a function leaks it.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Close();
      m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }

  // Closes now and returns 0 or the errno of close(2). Linux releases the descriptor even when
  // close fails, so it is never kept (and never closed twice).
  int Close();

 private:
  int m_fd = -1;
};

}  // namespace fennec::platform
