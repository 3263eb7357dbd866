#include "Communication/TCPIPConnection.h"
#include "TCPIPService.h"
#include "app/Configuration.h"
#include "app/DeviceLink.h"

namespace lanterna {

namespace {

class CNetworkLink : public IDeviceLink {
 public:
  CNetworkLink() : m_service(&m_connection) {}

  ORLA::CConnectionBase& Connection() override { return m_connection; }
  CServiceBase& Service() override { return m_service; }
  ProbeStyle Probing() const override { return ProbeStyle::OpeningPerTry; }
  std::string Address() override {
    return m_connection.GetSettingsValue("IP-Address") + ":" + m_connection.GetSettingsValue("ServicePort");
  }
  ORLA::CTCPIPConnection& Network() { return m_connection; }

 private:
  ORLA::CTCPIPConnection m_connection;
  CTCPIPService m_service;
};

}  // namespace

std::unique_ptr<IDeviceLink> MakeNetworkLink(const std::string& host, std::optional<std::uint16_t> port,
                                             bool useStore) {
  auto link = std::make_unique<CNetworkLink>();
  if (useStore) {
    link->Network().SetStorageProperties(kProgramRegistryKey, ORLA::ISettings::Registry);
    link->Network().LoadSettings();
  }
  std::string document = "<?xml version='1.0'?><TCPIP IP-Address='" + XmlAttributeText(host) + "'";
  if (port) document += " ServicePort='" + std::to_string(*port) + "'";
  link->Network().SetSettingsXML(document + " />");
  return link;
}

}  // namespace lanterna
