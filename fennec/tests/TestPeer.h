#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "Platform/Socket.h"
#include "Platform/SocketListener.h"

// The device's end of a TCP connection on 127.0.0.1, played by a test: it listens on a free
// port, takes the connection the library makes, and sends and receives as the test says. Every
// wait is bounded, so a test that goes wrong fails instead of hanging.
class TestPeer {
 public:
  using Bytes = std::vector<std::uint8_t>;
  static constexpr std::chrono::milliseconds kLimit{5000};

  // A backlog of 0 takes one connection nobody accepts; the system leaves the next unanswered.
  explicit TestPeer(int backlog = 8) { m_listening = m_listener.Listen(0, backlog) == 0; }

  bool Listening() const { return m_listening; }
  std::uint16_t Port() const { return m_listener.Port(); }
  // A port where nothing listens: this one, once it has been closed.
  void StopListening() { m_listener.Close(); }

  bool Accept(std::chrono::milliseconds limit = kLimit) {
    m_connection = m_listener.Accept(fennec::platform::DeadlineAfter(limit));
    return m_connection.has_value();
  }

  // Exactly count bytes, or what came before the limit or the end of the stream.
  Bytes Receive(std::size_t count, std::chrono::milliseconds limit = kLimit) {
    Bytes bytes(count);
    if (!m_connection) return {};
    const auto received = m_connection->ReceiveAll(bytes, fennec::platform::DeadlineAfter(limit));
    bytes.resize(received.count);
    return bytes;
  }

  bool Send(std::span<const std::uint8_t> bytes) {
    return m_connection && m_connection->SendAll(bytes, fennec::platform::DeadlineAfter(kLimit)).error == 0;
  }

  // The end of the stream reached the peer: the library closed its side.
  bool SawClose(std::chrono::milliseconds limit = kLimit) {
    std::uint8_t byte = 0;
    if (!m_connection) return false;
    const auto received = m_connection->Receive(std::span(&byte, 1), fennec::platform::DeadlineAfter(limit));
    return received.error == 0 && received.count == 0;
  }

  void CloseConnection() { m_connection.reset(); }

 private:
  fennec::platform::SocketListener m_listener;
  std::optional<fennec::platform::StreamSocket> m_connection;
  bool m_listening = false;
};
