#include "TcpServer.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace fennec::sim {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How long a wait for input lasts before the thread looks at its stop flag again.
constexpr auto kWaitSlice = 50ms;
// An answer the client does not take within this time is given up with its connection.
constexpr auto kSendLimit = 1s;

}  // namespace

int TcpServer::Start(std::uint16_t port) {
  if (m_thread.joinable()) return EALREADY;
  if (const int error = m_listener.Listen(port)) return error;
  m_thread = std::thread([this] { Run(); });
  return 0;
}

void TcpServer::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

bool TcpServer::Pause(std::chrono::milliseconds delay) {
  std::unique_lock lock(m_mutex);
  return !m_wake.wait_for(lock, delay, [this] { return m_stopping.load(); });
}

void TcpServer::Run() {
  bool wasRestarting = false;
  std::vector<int> handles;
  while (!m_stopping) {
    handles.assign(1, m_listener.Handle());
    for (const Client& client : m_clients) handles.push_back(client.socket.Handle());
    const std::vector<bool> ready = platform::WaitForInput(handles, kWaitSlice);

    // Looked at when all is quiet, or when a frame took the device down: a client whose requests
    // go unanswered soon falls quiet, and a busy client costs no look per frame.
    if (m_lookAtDevice || std::find(ready.begin(), ready.end(), true) == ready.end()) {
      m_lookAtDevice = false;
      const bool restarting = m_device.restarting();
      if (restarting && !wasRestarting && !m_clients.empty()) {
        m_device.log("tcp: the device restarts, " + std::to_string(m_clients.size()) + " connection(s) closed");
        m_clients.clear();
      }
      wasRestarting = restarting;
      if (m_clients.size() + 1 != ready.size()) continue;  // the ones that were ready are gone
    }

    // Served in the order they were polled; a connection that is to go leaves its place.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_clients.size(); ++i) {
      if (ready[i + 1] && !Serve(m_clients[i])) continue;
      if (kept != i) m_clients[kept] = std::move(m_clients[i]);
      ++kept;
    }
    m_clients.resize(kept);
    if (ready[0])
      if (auto accepted = m_listener.Accept(Clock::now())) m_clients.push_back({std::move(*accepted), {}, {}});
  }
}

bool TcpServer::Serve(Client& client) {
  std::array<std::uint8_t, 4096> chunk{};
  // Input is waiting, so the receive needs no time of its own: its deadline has passed.
  const platform::SocketTransfer received = client.socket.Receive(chunk, Clock::time_point());
  if (received.error == ETIMEDOUT) return true;  // woken without bytes after all
  if (received.error != 0 || received.count == 0) {
    m_device.log("tcp: a client closed its connection");
    return false;
  }
  client.received.insert(client.received.end(), chunk.begin(),
                         chunk.begin() + static_cast<std::ptrdiff_t>(received.count));
  while (client.received.size() >= kFrameHeader) {
    const std::span<const std::uint8_t, kFrameHeader> header(client.received.data(), kFrameHeader);
    const std::size_t length = AnnouncedLength(header);
    if (client.received.size() < kFrameHeader + length) return true;  // the rest is on its way
    Frame frame = ParseFrame(header, std::span(client.received).subspan(kFrameHeader, length));
    client.received.erase(client.received.begin(),
                          client.received.begin() + static_cast<std::ptrdiff_t>(kFrameHeader + length));
    const ServedFrame served = m_device.serve(client.session, std::move(frame));
    m_lookAtDevice = m_lookAtDevice || served.deviceDown;
    if (served.close) {
      m_device.log("tcp: connection closed inside the request (injected)");
      return false;
    }
    if (served.delay.count() > 0 && !Pause(served.delay)) return false;
    if (served.answer && client.socket.SendAll(*served.answer, Clock::now() + kSendLimit).error != 0) {
      m_device.log("tcp: answer not taken by the client, connection given up");
      return false;
    }
  }
  return true;
}

}  // namespace fennec::sim
