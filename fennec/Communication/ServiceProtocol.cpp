#include "Communication/ServiceProtocol.h"

#include <algorithm>
#include <memory>
#include <span>
#include <variant>

#include "Common/ErrorCodes.h"
#include "Common/RegistyEx.h"
#include "Communication/FramedExchange.h"
#include "Communication/ServiceProtocolDocument.h"
#include "Communication/SettingsDocument.h"
#include "Platform/Assert.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"

namespace ORLA {

namespace {

constexpr std::string_view kClassName = "CServiceProtocol";
const std::string kSubKey(fennec::framed::kElementName);

void ReportFailure(const fennec::framed::RequestFailure& failure) {
  std::string report = "CServiceProtocol::Request( ) failed!\r\n\r\n";
  if (failure.type.empty()) {
    report += "Reason\t:  Unknown Exception!\r\n";
  } else {
    report += "Reason\t:  " + failure.text + " \r\n";
    report += "Error-ID\t:  " + std::to_string(failure.number) + " \r\n";
    report += "Exception\t:  " + failure.type + " \r\n";
  }
  report += "File\t:  " + std::string(failure.file) + " \r\n";
  report += "Line\t:  " + std::to_string(failure.line) + " \r\n";
  fennec::platform::DebugOutput(std::string_view(report));
}

}  // namespace

CServiceProtocol::CServiceProtocol(IConnection* connection) : CProtocolBase(connection) {
  m_tSettings.m_wProtocolID = 0x1279;
  SetStorageProperties("", Registry);
  SetDefaultSettings(std::string(fennec::framed::kDefaultSettingsDocument));
}

bool CServiceProtocol::Request(unsigned char* request, unsigned int requestLength, unsigned char** response,
                               unsigned int& responseLength, tProgressCallback callback, void* context) {
  return Request(m_tSettings.m_wProtocolID, request, requestLength, response, responseLength, callback, context);
}

bool CServiceProtocol::Request(unsigned short protocolID, unsigned char* request, unsigned int requestLength,
                               unsigned char** response, unsigned int& responseLength, tProgressCallback callback,
                               void* context) {
  if (!FENNEC_ASSERT(response != nullptr) || !FENNEC_ASSERT(request != nullptr || requestLength == 0) ||
      !FENNEC_ASSERT(m_pConnection != nullptr))
    return false;
  ++m_wRequestCounter;  // also for a request that fails
  using namespace fennec::framed;
  RequestResult result = RequestFailure{0, "", "", __FILE__, __LINE__, fennec::kUnknownFailure};
  try {
    const ProtocolLimits limits{m_tSettings.m_wMaxFragmentDataSize, m_tSettings.m_wMaxRetries, m_dwFrameBufferSize};
    const FrameHeader header{.identifier = protocolID, .requestNumber = m_wRequestCounter};
    FramedExchange exchange(*m_pConnection, limits, header, callback, context);
    result = exchange.Run(std::span<const std::uint8_t>(request, requestLength));
  } catch (...) {
    // Memory ran out; the failure prepared above stands.
  }
  if (const auto* failure = std::get_if<RequestFailure>(&result)) {
    ReportFailure(*failure);
    fennec::platform::SetThreadLastError(failure->code);
    return false;
  }
  const std::vector<std::uint8_t>& block = std::get<std::vector<std::uint8_t>>(result);
  auto handed = std::make_unique<unsigned char[]>(block.size());
  std::copy(block.begin(), block.end(), handed.get());
  delete[] *response;
  *response = handed.release();
  responseLength = static_cast<unsigned int>(block.size());
  return true;
}

void CServiceProtocol::ComputeFrameBufferSize() {
  m_dwFrameBufferSize = std::uint32_t{m_tSettings.m_wMaxFragmentDataSize} + m_tSettings.m_wChecksumLength +
                        static_cast<std::uint32_t>(fennec::framed::kHeaderSize);
}

std::string CServiceProtocol::GetSettingsXML() {
  return fennec::SettingsDocument(fennec::framed::kElementName, fennec::framed::SettingsFields(), m_tSettings);
}

// The frame buffer follows the fragment size also when a later attribute fails.
bool CServiceProtocol::SetSettingsXML(std::string xml) {
  try {
    const bool parsed = fennec::ParseSettingsDocument(kClassName, fennec::framed::kElementName, xml,
                                                      fennec::framed::SettingsFields(), m_tSettings);
    ComputeFrameBufferSize();
    return parsed;
  } catch (...) {
    ComputeFrameBufferSize();
    throw;
  }
}

std::string CServiceProtocol::GetSettingsString() {
  const tServiceProtocolSettings& s = m_tSettings;
  std::string summary;
  for (const std::uint32_t value :
       {std::uint32_t{s.m_wProtocolID}, std::uint32_t{s.m_wChecksumLength}, std::uint32_t{s.m_wMaxRetries},
        std::uint32_t{s.m_wMaxFragmentDataSize}, s.m_dwRoutingInfo, std::uint32_t{s.m_wGlobalTimeOut},
        std::uint32_t{s.m_wBusyTimeOut}})
    summary += std::to_string(value) + "; ";
  return summary;
}

std::string CServiceProtocol::GetSettingsValue(const char* name) {
  return fennec::SettingsDocumentValue(kClassName, fennec::framed::kElementName, GetSettingsXML(), name);
}

std::string CServiceProtocol::GetDriverInfo() { return "1.0"; }

bool CServiceProtocol::LoadSettingsRegistry(std::string path) {
  const cutils::CRegistryEx registry(path);
  fennec::LoadSettingsFields(registry, kSubKey, fennec::framed::SettingsFields(), m_tSettings);
  ComputeFrameBufferSize();
  return true;
}

bool CServiceProtocol::SaveSettingsRegistry(std::string path) {
  cutils::CRegistryEx registry(path);
  fennec::SaveSettingsFields(registry, kSubKey, fennec::framed::SettingsFields(), m_tSettings);
  return true;
}

bool CServiceProtocol::LoadSettingsXML(std::string path) {
  fennec::ReportLoadSettingsXMLNotImplemented(kClassName, path);
  return false;
}

bool CServiceProtocol::SaveSettingsXML(std::string path) {
  fennec::ReportSaveSettingsXMLNotImplemented(kClassName, path);
  return false;
}

}  // namespace ORLA
