#include "Platform/SocketListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "Platform/PollTimeout.h"

namespace fennec::platform {

int SocketListener::Listen(std::uint16_t port, int backlog) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return errno;
  m_fd = UniqueFd(fd);
  // A device restarted on the same port must not wait for the old connections to time out.
  const int on = 1;
  if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return errno;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return errno;
  if (listen(fd, backlog) != 0) return errno;
  socklen_t size = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return errno;
  m_port = ntohs(address.sin_port);
  return 0;
}

std::optional<StreamSocket> SocketListener::Accept(Deadline deadline) {
  for (;;) {
    const int fd = accept4(m_fd.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      const int on = 1;
      (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      return StreamSocket(UniqueFd(fd));
    }
    if (errno == EINTR || errno == ECONNABORTED) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return std::nullopt;
    pollfd entry{m_fd.Get(), POLLIN, 0};
    const int n = poll(&entry, 1, deadline ? PollTimeout(*deadline) : -1);
    if (n == 0 || (n < 0 && errno != EINTR)) return std::nullopt;
  }
}

std::vector<bool> WaitForInput(std::span<const int> handles, std::chrono::milliseconds limit) {
  std::vector<pollfd> entries;
  for (const int handle : handles) entries.push_back({handle, POLLIN, 0});
  std::vector<bool> ready(handles.size(), false);
  if (poll(entries.data(), entries.size(), static_cast<int>(limit.count())) <= 0) return ready;
  for (std::size_t i = 0; i < entries.size(); ++i) ready[i] = entries[i].revents != 0;
  return ready;
}

}  // namespace fennec::platform
