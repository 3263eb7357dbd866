#include "Platform/UniqueFd.h"

#include <unistd.h>

#include <cerrno>

namespace fennec::platform {

int UniqueFd::Close() {
  if (m_fd < 0) return 0;
  const int result = ::close(std::exchange(m_fd, -1));
  return result == 0 ? 0 : errno;
}

}  // namespace fennec::platform
