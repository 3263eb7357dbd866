#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "Communication/ConnectionBase.h"
#include "Communication/TCPIPConnectionException.h"

struct sockaddr;

namespace fennec::platform {
class StreamSocket;
}  // namespace fennec::platform

namespace ORLA {

// An IPv4 socket address laid out as the socket calls take one: the family, the port in network
// byte order, the address bytes first byte first, eight zero bytes. Its address may be passed
// where a sockaddr is taken (GetHostByAddr).
struct CSockAddress {
  static constexpr std::uint16_t kFamilyInet = 2;

  std::uint16_t m_wFamily = kFamilyInet;
  std::uint16_t m_wPort = 0;
  std::uint8_t m_abyAddress[4] = {};
  std::uint8_t m_abyZero[8] = {};
};
static_assert(sizeof(CSockAddress) == 16);

// The TCP/IP settings in the order of the document. The three framing values are also the
// connection's own (CConnectionBase), which follow every change of them here.
struct tTCPIPSettings {
  std::string m_strIPAddress;
  std::uint16_t m_wServicePort = 0;
  std::uint32_t m_dwCloseWaitTime = 0;  // milliseconds
  std::uint16_t m_wSendTimeoutSeconds = 0;
  std::uint16_t m_wReceiveTimeoutSeconds = 0;
  std::uint16_t m_wRestartTimeoutSeconds = 0;  // only stored and reported; the transport does not use it
  std::uint32_t m_dwLengthPos = 0;
  std::uint16_t m_wSizeOfLength = 0;
  std::int16_t m_sLengthCorrection = 0;
  bool m_bIdentifyByName = false;
  bool m_bNameResolution = false;
  std::string m_strNetworkName;
};

// The TCP/IP transport: one connection to the device's service port. Open, Close, Read and Write
// throw CTCPIPConnectionException after storing its code, 0x30000000 OR the socket's errno, as
// the object's last error and as the thread's last error.
//
// Time-outs are in seconds; a transfer of n bytes may take the time-out × F, F = n / 10000 but
// at least 1 and at most the time-out, and a time-out of 0 waits without limit. A time-out is
// reported as ETIMEDOUT (0x3000006E). Open waits for the connection at most the send time-out.
// Write sends all bytes within one such time; Read is one receive of what has arrived (0 bytes:
// the peer has closed). A framed read (ReadFragment) waits for the whole message within the
// receive time-out of each of its two parts, and a peer that closes inside the message fails it
// with ECONNRESET. ClearBuffer does nothing: what has arrived stays in the socket.
//
// Copies share the open socket: closing either closes it for both; the last copy to go closes
// a socket that is still open.
class FENNEC_API CTCPIPConnection : public CConnectionBase {
 public:
  CTCPIPConnection();
  CTCPIPConnection(const CTCPIPConnection& other);
  CTCPIPConnection& operator=(const CTCPIPConnection& other);
  ~CTCPIPConnection() override;

  void Open() override;
  void Close() override;
  bool IsOpen() override;
  void Write(unsigned char* buffer, unsigned int count, unsigned int* written) override;
  void Read(unsigned char* buffer, unsigned int count, unsigned int* read) override;
  void ClearBuffer() override;
  std::string GetType() override;
  // The socket handle, 0 while closed.
  operator unsigned int();

  std::string GetSettingsXML() override;
  bool SetSettingsXML(std::string xml) override;
  std::string GetSettingsString() override;
  std::string GetSettingsValue(const char* name) override;
  std::string GetDriverInfo() override;
  bool LoadSettingsRegistry(std::string path) override;
  bool SaveSettingsRegistry(std::string path) override;
  bool LoadSettingsXML(std::string path) override;
  bool SaveSettingsXML(std::string path) override;

  // The probe's send and receive time-outs are 1 s each (so is its connect); the configured
  // ones are kept and given back.
  void ApplyProbeTimeouts() override;
  void RestoreTimeouts() override;
  // What to check after a refused, timed-out or dropped connection or a name that does not
  // resolve; empty when no socket call has failed since the last Open began.
  std::string GetSystemErrorAdvice() const override;

  // Name resolution (IPv4). They throw CTCPIPConnectionException and leave every object's last
  // error as it is.
  // The first address of a host given by name or in dotted form, with the port.
  static CSockAddress GetHostByName(const char* host, unsigned short port);
  // The first address of the host as "%u.%u.%u.%u" into text (64 bytes), and as a number with
  // the first byte most significant.
  static std::uint32_t GetAddrByHost(const char* host, char* text);
  // The name of the host at the address.
  static std::string GetHostByAddr(const sockaddr* address);
  // The same for a dotted address; empty instead of a failure.
  static std::string GetHostByAddr(const char* address, unsigned short port);

 protected:
  void ReadComplete(unsigned char* buffer, unsigned int count) override;

 private:
  CSockAddress PeerAddress();
  void Create();
  void Bind();
  void Connect(const CSockAddress& peer);

  // Keeps the failure's errno for the advice, stores its code and throws.
  [[noreturn]] void Fail(const char* text, int number, const char* systemCall, int error);
  [[noreturn]] void FailTransfer(bool sending, int error, std::chrono::steady_clock::time_point start,
                                 std::optional<std::chrono::seconds> timeout);
  void ApplyFraming();

  std::shared_ptr<fennec::platform::StreamSocket> m_pSocket;
  tTCPIPSettings m_tSettings;
  int m_nLastSystemError = 0;  // errno of the last failed socket call or look-up
  std::string m_strLastPeer;   // what that call tried to reach, for the advice
  std::optional<std::pair<std::string, std::string>> m_keptTimeouts;  // send, receive while a probe runs
};

}  // namespace ORLA
