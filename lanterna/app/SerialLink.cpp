#include "Communication/RS232Connection.h"
#include "SIOService.h"
#include "app/Configuration.h"
#include "app/DeviceLink.h"

namespace lanterna {

namespace {

class CSerialLink : public IDeviceLink {
 public:
  CSerialLink() : m_service(&m_connection) {}

  ORLA::CConnectionBase& Connection() override { return m_connection; }
  CServiceBase& Service() override { return m_service; }
  ORLA::CRS232Connection& Serial() { return m_connection; }

 private:
  ORLA::CRS232Connection m_connection;
  CSIOService m_service;
};

}  // namespace

std::string CommandLineDeviceDocument(const std::string& device) {
  // The name is escaped: a quote or "<" in it must not end the attribute or break the document.
  std::string escaped;
  for (char c : device) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '\'': escaped += "&apos;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return "<?xml version='1.0'?>                               <RS232 device='" + escaped + "'/>";
}

std::unique_ptr<IDeviceLink> MakeSerialLink(const std::optional<std::string>& device, bool useStore) {
  auto link = std::make_unique<CSerialLink>();
  if (useStore) {
    link->Serial().SetStorageProperties(kProgramRegistryKey, ORLA::ISettings::Registry);
    link->Serial().LoadSettings();
  }
  if (device) link->Serial().SetSettingsXML(CommandLineDeviceDocument(*device));
  return link;
}

}  // namespace lanterna
