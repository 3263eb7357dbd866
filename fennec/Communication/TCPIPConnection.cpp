#include "Communication/TCPIPConnection.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

#include "Common/ErrorCodes.h"
#include "Communication/TCPIPSettingsDocument.h"
#include "Communication/ThreadLastError.h"
#include "Platform/Assert.h"
#include "Platform/DebugOutput.h"
#include "Platform/NameLookup.h"
#include "Platform/NetworkAdvice.h"
#include "Platform/Socket.h"
#include "Platform/Time.h"

namespace ORLA {

using fennec::platform::Ipv4Address;
using fennec::platform::SocketTransfer;
using fennec::platform::StreamSocket;
using Clock = std::chrono::steady_clock;

namespace {

// Operation numbers carried by the exceptions.
constexpr int kOpCreate = 3;
constexpr int kOpBind = 4;
constexpr int kOpConnect = 7;
constexpr int kOpDisconnect = 8;
constexpr int kOpSend = 9;
constexpr int kOpReceive = 11;
constexpr int kOpGetHostByName = 15;
constexpr int kOpGetAddrByHost = 16;
constexpr int kOpGetHostByAddr = 17;

constexpr const char* kSendFailed = "Failed to send data on the connected socket!";
constexpr const char* kReceiveFailed = "Failed to receive data from the connected socket!";
constexpr std::string_view kRule = "##############################################################\r\n";
constexpr std::size_t kAddressTextSize = 64;

template <class Operation>
void StoringThreadLastError(Operation operation) {
  fennec::StoringThreadLastError<CTCPIPConnectionException>(operation);
}

void ReportTransferFailure(bool sending, int error, Clock::time_point start,
                           std::optional<std::chrono::seconds> timeout) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  fennec::platform::DebugOutput({kRule, "### ", sending ? kSendFailed : kReceiveFailed, "\r\n",
                                 "### WSAGetLastError( ) --> ", std::to_string(error), "\r\n",
                                 sending ? "### Seconds since calling send() function: "
                                         : "### Seconds since calling rcv() function: ",
                                 std::to_string(elapsed.count()), " ms\r\n", "### Requested timeout value: ",
                                 std::to_string(timeout.value_or(std::chrono::seconds(0)).count()), "s\r\n", kRule});
}

void ReportLookupFailure(std::string_view function, std::string_view host, std::string_view detail) {
  fennec::platform::DebugOutput({kRule, "### ", function, "( ", host, " ) failed: ", detail, "\r\n", kRule});
}

CSockAddress SocketAddress(const Ipv4Address& address, unsigned short port) {
  CSockAddress socketAddress;
  const std::uint8_t portBytes[2] = {static_cast<std::uint8_t>(port >> 8), static_cast<std::uint8_t>(port & 0xFF)};
  std::memcpy(&socketAddress.m_wPort, portBytes, sizeof portBytes);
  std::memcpy(socketAddress.m_abyAddress, address.data(), address.size());
  return socketAddress;
}

Ipv4Address AddressOf(const CSockAddress& socketAddress) {
  Ipv4Address address{};
  std::memcpy(address.data(), socketAddress.m_abyAddress, address.size());
  return address;
}

unsigned short PortOf(const CSockAddress& socketAddress) {
  std::uint8_t portBytes[2] = {};
  std::memcpy(portBytes, &socketAddress.m_wPort, sizeof portBytes);
  return static_cast<unsigned short>((portBytes[0] << 8) | portBytes[1]);
}

std::string Dotted(const Ipv4Address& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) + "." +
         std::to_string(address[3]);
}

// The deadline of a transfer that started at `start`.
fennec::platform::Deadline DeadlineFrom(Clock::time_point start, std::optional<std::chrono::seconds> limit) {
  if (!limit) return std::nullopt;
  return start + *limit;
}

[[noreturn]] void ThrowLookupFailure(const char* text, int number, const char* systemCall, int error) {
  throw CTCPIPConnectionException(text, number, systemCall, fennec::SocketErrorCode(error));
}

}  // namespace

CTCPIPConnection::CTCPIPConnection() : CConnectionBase(16, 2, 0), m_pSocket(std::make_shared<StreamSocket>()) {
  SetStorageProperties("", Registry);
  SetDefaultSettings(std::string(fennec::tcpip::kDefaultSettingsDocument));
}

CTCPIPConnection::CTCPIPConnection(const CTCPIPConnection& other) = default;
CTCPIPConnection& CTCPIPConnection::operator=(const CTCPIPConnection& other) = default;
CTCPIPConnection::~CTCPIPConnection() = default;

std::string CTCPIPConnection::GetType() { return std::string(fennec::tcpip::kElementName); }

bool CTCPIPConnection::IsOpen() { return m_pSocket->IsOpen(); }

CTCPIPConnection::operator unsigned int() {
  return m_pSocket->IsOpen() ? static_cast<unsigned int>(m_pSocket->Handle()) : 0;
}

std::string CTCPIPConnection::GetSystemErrorAdvice() const {
  return fennec::platform::SocketFailureAdvice(m_strLastPeer, m_nLastSystemError);
}

void CTCPIPConnection::Fail(const char* text, int number, const char* systemCall, int error) {
  m_nLastSystemError = error;
  SetLastErrorCode(fennec::SocketErrorCode(error));
  throw CTCPIPConnectionException(text, number, systemCall, fennec::SocketErrorCode(error));
}

void CTCPIPConnection::FailTransfer(bool sending, int error, Clock::time_point start,
                                    std::optional<std::chrono::seconds> timeout) {
  ReportTransferFailure(sending, error, start, timeout);
  if (sending) Fail(kSendFailed, kOpSend, "Function send() failed!", error);
  Fail(kReceiveFailed, kOpReceive, "Function recv() failed!", error);
}

void CTCPIPConnection::Open() {
  if (!FENNEC_ASSERT_TEXT(!IsOpen(), "the connection is closed when Open is called")) return;
  ResetLastErrorCode();
  m_nLastSystemError = 0;
  // A new socket, so that copies still sharing the old one stay closed.
  m_pSocket = std::make_shared<StreamSocket>();
  StoringThreadLastError([&] {
    try {
      Create();
      const CSockAddress peer = PeerAddress();
      Bind();
      Connect(peer);
    } catch (const CTCPIPConnectionException& failure) {
      (void)m_pSocket->Close();
      m_nLastSystemError = static_cast<int>(failure.m_dwErrorCode & 0xFFFF);
      SetLastErrorCode(failure.m_dwErrorCode);
      throw;
    }
  });
}

void CTCPIPConnection::Create() {
  if (const int error = m_pSocket->Create()) Fail("Failed to create a socket!", kOpCreate, "socket() failed!", error);
}

// By name, the address found is used and, where none was set, kept as the IP address; by
// address, the name is looked up only when asked for, and a name that cannot be found is empty.
CSockAddress CTCPIPConnection::PeerAddress() {
  tTCPIPSettings& settings = m_tSettings;
  if (settings.m_bIdentifyByName) {
    m_strLastPeer = settings.m_strNetworkName;
    const CSockAddress peer = GetHostByName(settings.m_strNetworkName.c_str(), settings.m_wServicePort);
    if (settings.m_strIPAddress.empty() || settings.m_strIPAddress == "0.0.0.0")
      settings.m_strIPAddress = Dotted(AddressOf(peer));
    return peer;
  }
  m_strLastPeer = settings.m_strIPAddress;
  const CSockAddress peer = GetHostByName(settings.m_strIPAddress.c_str(), settings.m_wServicePort);
  if (settings.m_bNameResolution)
    settings.m_strNetworkName = GetHostByAddr(settings.m_strIPAddress.c_str(), settings.m_wServicePort);
  return peer;
}

void CTCPIPConnection::Bind() {
  if (const int error = m_pSocket->BindAny())
    Fail("Failed to associate the local address with a socket!", kOpBind, "bind() failed!", error);
}

// Bounded by the send time-out, so that a device that does not answer cannot hold Open for the
// minutes the system would wait.
void CTCPIPConnection::Connect(const CSockAddress& peer) {
  m_strLastPeer = Dotted(AddressOf(peer)) + " port " + std::to_string(PortOf(peer));
  const auto limit = fennec::tcpip::TransferTimeout(m_tSettings.m_wSendTimeoutSeconds, 0);
  if (const int error = m_pSocket->Connect(AddressOf(peer), PortOf(peer), fennec::platform::DeadlineAfter(limit)))
    Fail("Failed to establish the connection!", kOpConnect, "connect() failed!", error);
}

void CTCPIPConnection::Close() {
  StoringThreadLastError([&] {
    if (!m_pSocket->IsOpen()) return;
    if (const int error = m_pSocket->Close())
      Fail("Failed to close the socket!", kOpDisconnect, "closesocket() failed!", error);
  });
  fennec::platform::Sleep(std::chrono::milliseconds(m_tSettings.m_dwCloseWaitTime));
}

void CTCPIPConnection::ClearBuffer() {}

void CTCPIPConnection::Write(unsigned char* buffer, unsigned int count, unsigned int* written) {
  const auto start = Clock::now();
  const auto limit = fennec::tcpip::TransferTimeout(m_tSettings.m_wSendTimeoutSeconds, count);
  StoringThreadLastError([&] {
    if (!IsOpen()) FailTransfer(true, ENOTCONN, start, limit);
    if (!FENNEC_ASSERT(buffer != nullptr || count == 0)) FailTransfer(true, EINVAL, start, limit);
    const SocketTransfer sent = m_pSocket->SendAll(std::span(buffer, count), DeadlineFrom(start, limit));
    if (sent.error != 0) FailTransfer(true, sent.error, start, limit);
    if (written != nullptr) *written = count;
  });
}

void CTCPIPConnection::Read(unsigned char* buffer, unsigned int count, unsigned int* read) {
  const auto start = Clock::now();
  const auto limit = fennec::tcpip::TransferTimeout(m_tSettings.m_wReceiveTimeoutSeconds, count);
  StoringThreadLastError([&] {
    if (!IsOpen()) FailTransfer(false, ENOTCONN, start, limit);
    if (!FENNEC_ASSERT(buffer != nullptr || count == 0)) FailTransfer(false, EINVAL, start, limit);
    SocketTransfer received;
    if (count > 0) received = m_pSocket->Receive(std::span(buffer, count), DeadlineFrom(start, limit));
    if (received.error != 0) FailTransfer(false, received.error, start, limit);
    if (read != nullptr) *read = static_cast<unsigned int>(received.count);
  });
}

// A part of a framed message: all of it within the receive time-out for its size. The end of the
// stream inside it is a dropped connection, not a shorter message.
void CTCPIPConnection::ReadComplete(unsigned char* buffer, unsigned int count) {
  const auto start = Clock::now();
  const auto limit = fennec::tcpip::TransferTimeout(m_tSettings.m_wReceiveTimeoutSeconds, count);
  StoringThreadLastError([&] {
    if (!IsOpen()) FailTransfer(false, ENOTCONN, start, limit);
    const SocketTransfer received =
        m_pSocket->ReceiveAll(std::span(buffer, count), DeadlineFrom(start, limit));
    if (received.error != 0) FailTransfer(false, received.error, start, limit);
    if (received.count < count) FailTransfer(false, ECONNRESET, start, limit);
  });
}

CSockAddress CTCPIPConnection::GetHostByName(const char* host, unsigned short port) {
  if (!FENNEC_ASSERT(host != nullptr))
    ThrowLookupFailure("Failed to get host information by host name!", kOpGetHostByName, "gethostbyname() failed!",
                       EINVAL);
  const fennec::platform::HostLookup lookup = fennec::platform::ResolveIPv4(host);
  if (!lookup.address) {
    ReportLookupFailure("GetHostByName", host, lookup.detail);
    ThrowLookupFailure("Failed to get host information by host name!", kOpGetHostByName, "gethostbyname() failed!",
                       lookup.error);
  }
  return SocketAddress(*lookup.address, port);
}

std::uint32_t CTCPIPConnection::GetAddrByHost(const char* host, char* text) {
  if (!FENNEC_ASSERT(host != nullptr))
    ThrowLookupFailure("Failed to get address by host name!", kOpGetAddrByHost, "gethostbyname() failed!", EINVAL);
  const fennec::platform::HostLookup lookup = fennec::platform::ResolveIPv4(host);
  if (!lookup.address) {
    ReportLookupFailure("GetAddrByHost", host, lookup.detail);
    ThrowLookupFailure("Failed to get address by host name!", kOpGetAddrByHost, "gethostbyname() failed!",
                       lookup.error);
  }
  const Ipv4Address& address = *lookup.address;
  if (text != nullptr)
    std::snprintf(text, kAddressTextSize, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
  return (std::uint32_t{address[0]} << 24) | (std::uint32_t{address[1]} << 16) | (std::uint32_t{address[2]} << 8) |
         address[3];
}

std::string CTCPIPConnection::GetHostByAddr(const sockaddr* address) {
  const fennec::platform::NameLookup lookup = fennec::platform::HostNameOf(address);
  if (!lookup.name) {
    ReportLookupFailure("GetHostByAddr", "", lookup.detail);
    ThrowLookupFailure("Failed to get host name by address!", kOpGetHostByAddr,
                       "gethostbyaddr() failed! (AfxSocketInit() forgotten?)", lookup.error);
  }
  return *lookup.name;
}

std::string CTCPIPConnection::GetHostByAddr(const char* address, unsigned short /*port*/) {
  if (address == nullptr) return {};
  const std::optional<Ipv4Address> parsed = fennec::platform::ParseDottedAddress(address);
  if (!parsed) return {};
  return fennec::platform::HostNameOf(*parsed).name.value_or("");
}

}  // namespace ORLA
