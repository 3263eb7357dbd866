// How fast the library uploads firmware over TCP, against the same frames sent as a bare
// ping-pong over plain sockets, and how long a complete device read takes over TCP against the
// unpaced pseudo-terminal.
//
// The device is the simulator in this process, served on 127.0.0.1. The upload is 2 MiB through
// CUpdateAPI::UploadRawHexFileToDevice: frames of 18 + 1400 bytes, each acknowledged by an
// 18-byte frame. The ping-pong sends the same number of frames of the same size and waits for an
// 18-byte answer to each, with nothing but the sockets in between: the most the library could
// reach on this machine.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Communication/RS232Connection.h"
#include "Communication/ServiceProtocol.h"
#include "Communication/TCPIPConnection.h"
#include "Communication/UpdateAPI.h"
#include "Platform/Socket.h"
#include "Platform/SocketListener.h"
#include "SIOService.h"
#include "SimulatedDevice.h"
#include "TCPIPService.h"
#include "WholeDeviceRead.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;
using Milliseconds = std::chrono::duration<double, std::milli>;
using namespace std::chrono_literals;

constexpr std::size_t kUploadBytes = 2 * 1024 * 1024;
constexpr std::size_t kFragment = 1400;
constexpr std::size_t kHeader = 18;
constexpr int kRuns = 5;
constexpr int kReads = 50;

double MiBPerSecond(std::size_t bytes, Seconds time) {
  return static_cast<double>(bytes) / (1024.0 * 1024.0) / time.count();
}

std::unique_ptr<fennec::sim::SimulatedDevice> StartDevice() {
  fennec::sim::SimulatorOptions options;
  options.profile = *fennec::sim::FindProfile("fbc32");
  auto device = std::make_unique<fennec::sim::SimulatedDevice>(std::move(options));
  if (!device->Start()) throw std::runtime_error(device->StartReport());
  if (device->StartTcp(0) != 0) throw std::runtime_error("no TCP port for the simulator");
  return device;
}

void ConnectTo(ORLA::CTCPIPConnection& connection, std::uint16_t port) {
  if (!connection.SetSettingsXML("<TCPIP IP-Address='127.0.0.1' ServicePort='" + std::to_string(port) +
                                 "' CloseWaitTime='0'/>"))
    throw std::runtime_error("the connection refused its settings");
  connection.Open();
}

// The library's upload to the simulator over its own connection.
class LibraryUpload {
 public:
  explicit LibraryUpload(std::uint16_t port) : m_firmware(kUploadBytes) {
    ConnectTo(m_connection, port);
    for (std::size_t i = 0; i < m_firmware.size(); ++i) m_firmware[i] = static_cast<char>(i * 131);
  }
  ~LibraryUpload() { m_connection.Close(); }

  std::size_t Frames() const { return (kUploadBytes + 2 + kFragment - 1) / kFragment; }

  Seconds Run() {
    const auto start = Clock::now();
    if (!m_update.UploadRawHexFileToDevice(m_firmware.data(), static_cast<long>(m_firmware.size()), nullptr, nullptr))
      throw std::runtime_error("the upload failed");
    return Clock::now() - start;
  }

 private:
  ORLA::CTCPIPConnection m_connection;
  ORLA::CServiceProtocol m_protocol{&m_connection};
  ORLA::CUpdateAPI m_update{&m_protocol};
  std::vector<char> m_firmware;
};

// A peer that reads each frame whole and answers it with an 18-byte frame.
void Acknowledge(fennec::platform::StreamSocket peer) {
  std::vector<std::uint8_t> frame(kHeader + kFragment);
  const std::array<std::uint8_t, kHeader> answer{};
  for (;;) {
    const auto header = peer.ReceiveAll(std::span(frame).first(kHeader), std::nullopt);
    if (header.count < kHeader) return;
    const std::size_t length = frame[16] | (frame[17] << 8);
    if (peer.ReceiveAll(std::span(frame).subspan(kHeader, length), std::nullopt).count < length) return;
    if (peer.SendAll(answer, std::nullopt).error != 0) return;
  }
}

// The same number of frames as a bare ping-pong over plain sockets.
class PingPong {
 public:
  PingPong() : m_frame(kHeader + kFragment, 0x5A) {
    if (m_listener.Listen(0) != 0) throw std::runtime_error("no port for the ping-pong");
    if (m_client.Create() != 0 || m_client.Connect({127, 0, 0, 1}, m_listener.Port(), std::nullopt) != 0)
      throw std::runtime_error("the ping-pong did not connect");
    auto accepted = m_listener.Accept(fennec::platform::DeadlineAfter(5000ms));
    if (!accepted) throw std::runtime_error("the ping-pong peer did not come");
    m_peer = std::thread(Acknowledge, std::move(*accepted));
    m_frame[16] = kFragment & 0xFF;
    m_frame[17] = kFragment >> 8;
  }
  ~PingPong() {
    (void)m_client.Close();
    m_peer.join();
  }

  Seconds Run(std::size_t frames) {
    std::array<std::uint8_t, kHeader> answer{};
    const auto start = Clock::now();
    for (std::size_t i = 0; i < frames; ++i)
      if (m_client.SendAll(m_frame, std::nullopt).error != 0 ||
          m_client.ReceiveAll(answer, std::nullopt).count < kHeader)
        throw std::runtime_error("the ping-pong broke off");
    return Clock::now() - start;
  }

 private:
  fennec::platform::SocketListener m_listener;
  fennec::platform::StreamSocket m_client;
  std::thread m_peer;
  std::vector<std::uint8_t> m_frame;
};

template <typename Service>
Milliseconds ReadTime(Service& service) {
  if (!fennec::client::ReadWholeDevice(service).Complete()) throw std::runtime_error("a device read failed");
  const auto start = Clock::now();
  for (int i = 0; i < kReads; ++i)
    if (!fennec::client::ReadWholeDevice(service).Complete()) throw std::runtime_error("a device read failed");
  return (Clock::now() - start) / kReads;
}

void Reads(fennec::sim::SimulatedDevice& device) {
  ORLA::CRS232Connection serial;
  if (!serial.SetSettingsXML("<RS232 device='" + device.SlavePath() + "' timeout='1000'/>"))
    throw std::runtime_error("the serial connection refused its settings");
  serial.Open();
  CSIOService serialService(&serial);
  ORLA::CTCPIPConnection network;
  ConnectTo(network, device.TcpPort());
  CTCPIPService networkService(&network);
  const Milliseconds overTerminal = ReadTime(serialService);
  const Milliseconds overNetwork = ReadTime(networkService);
  std::printf("Complete device read (fbc32, unpaced), mean of %d after one uncounted:\n", kReads);
  std::printf("  over TCP                     %.2f ms\n", overNetwork.count());
  std::printf("  over the pseudo-terminal     %.2f ms\n", overTerminal.count());
  std::printf("  ratio TCP / terminal         %.2f\n", overNetwork / overTerminal);
  network.Close();
  serial.Close();
}

}  // namespace

int main() {
  try {
    const auto device = StartDevice();
    // The two take turns, so that the load others put on the machine meets both alike; the best
    // run of each is the one it disturbed least.
    LibraryUpload upload(device->TcpPort());
    PingPong pingPong;
    const std::size_t frames = upload.Frames();
    Seconds library = Seconds::max();
    Seconds raw = Seconds::max();
    for (int run = 0; run < kRuns; ++run) {
      library = std::min(library, upload.Run());
      raw = std::min(raw, pingPong.Run(frames));
    }
    const std::size_t payload = frames * kFragment;
    const double libraryRate = MiBPerSecond(kUploadBytes, library);
    const double rawRate = MiBPerSecond(payload, raw);
    std::printf("Upload of %zu bytes in %zu frames of %zu + %zu bytes, best of %d:\n", kUploadBytes, frames, kHeader,
                kFragment, kRuns);
    std::printf("  library to the simulator     %.1f MiB/s (%.1f ms)\n", libraryRate, Milliseconds(library).count());
    std::printf("  ping-pong of the same frames %.1f MiB/s (%.1f ms)\n", rawRate, Milliseconds(raw).count());
    std::printf("  ratio                        %.2f (target at least 0.9)\n", libraryRate / rawRate);
    Reads(*device);
    return 0;
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "upload_throughput: %s\n", failure.what());
  } catch (const COrlaException& failure) {
    std::fprintf(stderr, "upload_throughput: %s\n", failure.m_szText);
  }
  return 1;
}
