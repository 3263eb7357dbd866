#include "Communication/RS232Connection.h"
#include "SIOService.h"
#include "app/CommandLine.h"
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
