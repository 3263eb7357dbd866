#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FramedEndpoint.h"
#include "FramedFrame.h"
#include "Platform/SocketListener.h"

namespace fennec::sim {

// What the device does with one frame that came in on a connection.
struct ServedFrame {
  std::optional<std::vector<std::uint8_t>> answer;  // nothing: no answer
  bool close = false;                               // the connection closes instead
  std::chrono::milliseconds delay{0};               // the answer is held back this long
  bool deviceDown = false;                          // the device went down for a restart
};

// The framed road on 127.0.0.1, served by a thread of its own: every connection is a session of
// the framed protocol, its frames read header first and answered one by one. When the device
// goes down for a restart, the connections it had are closed; connections made while it is down
// stay open and get no answer until it is up.
class TcpServer {
 public:
  struct Device {
    // Handles one frame of a session (under the device's lock).
    std::function<ServedFrame(FramedSession& session, Frame frame)> serve;
    // The device is down for a restart.
    std::function<bool()> restarting;
    std::function<void(const std::string&)> log;
  };

  explicit TcpServer(Device device) : m_device(std::move(device)) {}
  ~TcpServer() { Stop(); }
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  // Listens (port 0: a free one) and starts serving; 0 or the errno of the failure.
  int Start(std::uint16_t port);
  void Stop();
  std::uint16_t Port() const { return m_listener.Port(); }

 private:
  struct Client {
    platform::StreamSocket socket;
    FramedSession session;
    std::vector<std::uint8_t> received;
  };

  void Run();
  // Reads what has arrived and serves every whole frame; false when the connection is to go.
  bool Serve(Client& client);
  bool Pause(std::chrono::milliseconds delay);

  Device m_device;
  platform::SocketListener m_listener;
  std::vector<Client> m_clients;
  bool m_lookAtDevice = true;  // a frame took the device down since the last look
  std::atomic<bool> m_stopping{false};
  std::mutex m_mutex;  // for the waits of the delay fault
  std::condition_variable m_wake;
  std::thread m_thread;
};

}  // namespace fennec::sim
