#include "Platform/Socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "Platform/PollTimeout.h"

namespace fennec::platform {

namespace {

// Waits until the socket is ready for the events; 0, ETIMEDOUT, or the errno of poll.
int WaitFor(int fd, short events, const Deadline& deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int n = poll(&entry, 1, deadline ? PollTimeout(*deadline) : -1);
    if (n > 0) return 0;  // ready, or an error the next call reports
    if (n == 0) return ETIMEDOUT;
    if (errno != EINTR) return errno;
  }
}

// A call that would block waits for readiness and tries again until the deadline.
template <class Call>
SocketTransfer Repeated(int fd, short events, const Deadline& deadline, Call call) {
  for (;;) {
    const ssize_t n = call();
    if (n >= 0) return {static_cast<std::size_t>(n), 0};
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return {0, errno};
    if (const int failed = WaitFor(fd, events, deadline)) return {0, failed};
  }
}

sockaddr_in SocketAddress(const Ipv4Address& address, std::uint16_t port) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_port = htons(port);
  std::memcpy(&socketAddress.sin_addr.s_addr, address.data(), address.size());
  return socketAddress;
}

}  // namespace

Deadline DeadlineAfter(std::optional<std::chrono::milliseconds> limit) {
  if (!limit) return std::nullopt;
  return std::chrono::steady_clock::now() + *limit;
}

int StreamSocket::Create() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return errno;
  m_fd = UniqueFd(fd);
  const int on = 1;
  if (setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0) return errno;
  return 0;
}

int StreamSocket::BindAny() {
  const sockaddr_in any = SocketAddress({0, 0, 0, 0}, 0);
  return bind(m_fd.Get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) == 0 ? 0 : errno;
}

int StreamSocket::Connect(const Ipv4Address& address, std::uint16_t port, Deadline deadline) {
  const sockaddr_in peer = SocketAddress(address, port);
  if (connect(m_fd.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return 0;
  if (errno != EINPROGRESS && errno != EINTR) return errno;
  if (const int failed = WaitFor(m_fd.Get(), POLLOUT, deadline)) return failed;
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(m_fd.Get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
  return error;
}

SocketTransfer StreamSocket::Send(std::span<const std::uint8_t> bytes, Deadline deadline) {
  const int fd = m_fd.Get();
  return Repeated(fd, POLLOUT, deadline, [&] { return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); });
}

SocketTransfer StreamSocket::Receive(std::span<std::uint8_t> into, Deadline deadline) {
  const int fd = m_fd.Get();
  return Repeated(fd, POLLIN, deadline, [&] { return recv(fd, into.data(), into.size(), 0); });
}

SocketTransfer StreamSocket::SendAll(std::span<const std::uint8_t> bytes, Deadline deadline) {
  SocketTransfer total;
  while (total.count < bytes.size()) {
    const SocketTransfer sent = Send(bytes.subspan(total.count), deadline);
    total.count += sent.count;
    if (sent.error != 0) return {total.count, sent.error};
  }
  return total;
}

SocketTransfer StreamSocket::ReceiveAll(std::span<std::uint8_t> into, Deadline deadline) {
  SocketTransfer total;
  while (total.count < into.size()) {
    const SocketTransfer received = Receive(into.subspan(total.count), deadline);
    if (received.error != 0) return {total.count, received.error};
    if (received.count == 0) break;  // the peer closed
    total.count += received.count;
  }
  return total;
}

}  // namespace fennec::platform
