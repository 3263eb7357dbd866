#pragma once

#include <cstdint>
#include <string>

#include "Communication/ProtocolBase.h"

namespace ORLA {

// The settings of the framed service protocol in the order of its document. RoutingInfo,
// GlobalTimeOut and BusyTimeOut are only stored, reported and persisted; ChecksumLength only
// enlarges the frame buffer (no frame carries a checksum).
struct tServiceProtocolSettings {
  std::uint16_t m_wProtocolID = 0;
  std::uint16_t m_wChecksumLength = 0;
  std::uint16_t m_wMaxRetries = 0;
  std::uint16_t m_wMaxFragmentDataSize = 0;
  std::uint32_t m_dwRoutingInfo = 0;
  std::uint16_t m_wGlobalTimeOut = 0;
  std::uint16_t m_wBusyTimeOut = 0;
};

// The framed service protocol: a request goes to the device in frames of an 18-byte header and
// up to MaxFragmentDataSize data bytes, each acknowledged; a response too long for the last
// acknowledgement is fetched part by part. The connection must be open before a request.
//
// A failed request returns false after its debug report and leaves a code as the thread's last
// error: the transport's for a failure of the connection (also in the connection's
// GetLastErrorCode), 0x2002000D for an answer that breaks the protocol. An answer is refused
// when its data length is above MaxFragmentDataSize or the frame is shorter than it says; a
// response announced with more parts than 16 MiB can hold is not fetched. Fetched parts are
// packed one after another and the response length is the sum of their lengths.
class FENNEC_API CServiceProtocol : public CProtocolBase {
 public:
  explicit CServiceProtocol(IConnection* connection);

  bool Request(unsigned char* request, unsigned int requestLength, unsigned char** response,
               unsigned int& responseLength, tProgressCallback callback, void* context) override;
  bool Request(unsigned short protocolID, unsigned char* request, unsigned int requestLength,
               unsigned char** response, unsigned int& responseLength, tProgressCallback callback,
               void* context) override;

  std::string GetSettingsXML() override;
  bool SetSettingsXML(std::string xml) override;
  std::string GetSettingsString() override;
  std::string GetSettingsValue(const char* name) override;
  std::string GetDriverInfo() override;
  bool LoadSettingsRegistry(std::string path) override;
  bool SaveSettingsRegistry(std::string path) override;
  bool LoadSettingsXML(std::string path) override;
  bool SaveSettingsXML(std::string path) override;

  // MaxFragmentDataSize + ChecksumLength + 18: the frame buffer every request reuses.
  std::uint32_t GetFrameBufferSize() const { return m_dwFrameBufferSize; }

 private:
  void ComputeFrameBufferSize();

  std::uint16_t m_wRequestCounter = 0;
  tServiceProtocolSettings m_tSettings;
  std::uint32_t m_dwFrameBufferSize = 0;
};

}  // namespace ORLA
