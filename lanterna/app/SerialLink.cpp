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
  ProbeStyle Probing() const override { return ProbeStyle::OneOpening; }
  std::string Address() override { return m_connection.GetSettingsValue("device"); }
  ORLA::CRS232Connection& Serial() { return m_connection; }

 private:
  ORLA::CRS232Connection m_connection;
  CSIOService m_service;
};

}  // namespace

std::string XmlAttributeText(const std::string& value) {
  // A quote or "<" in the value must not end the attribute or break the document.
  std::string escaped;
  for (char c : value) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '\'': escaped += "&apos;"; break;
      case '"': escaped += "&quot;"; break;
      // Attribute values lose tabs and line ends to blanks unless they are references.
      case '\t': escaped += "&#9;"; break;
      case '\n': escaped += "&#10;"; break;
      case '\r': escaped += "&#13;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string CommandLineDeviceDocument(const std::string& device) {
  return "<?xml version='1.0'?>                               <RS232 device='" + XmlAttributeText(device) + "'/>";
}

std::string PortSettingsDocument(const SerialPortSettings& settings) {
  const auto text = XmlAttributeText;
  return "<?xml version='1.0'?><RS232 device=\"" + text(settings.device) + "\" baudrate='" + text(settings.baudrate) +
         "' parity='" + text(settings.parity) + "' databits='" + text(settings.databits) + "' stopbits='" +
         text(settings.stopbits) + "' timeout='" + text(settings.timeout) + "' />";
}

namespace {

// A connection that loads from and saves to the program's key.
std::unique_ptr<ORLA::CRS232Connection> StoredConnection() {
  auto connection = std::make_unique<ORLA::CRS232Connection>();
  connection->SetStorageProperties(kProgramRegistryKey, ORLA::ISettings::Registry);
  connection->LoadSettings();
  return connection;
}

}  // namespace

SerialPortSettings StoredSerialSettings() {
  auto connection = StoredConnection();
  const auto value = [&](const char* name) { return connection->GetSettingsValue(name); };
  return {value("device"), value("baudrate"), value("parity"), value("databits"), value("stopbits"), value("timeout")};
}

bool StoreSerialSettings(const SerialPortSettings& settings) {
  auto connection = StoredConnection();
  return connection->SetSettingsXML(PortSettingsDocument(settings)) && connection->SaveSettings();
}

bool ForgetSerialSettings() { return cutils::CRegistryEx(kProgramRegistryKey).DeleteKey("RS232"); }

std::optional<std::string> StoredSerialDevice() {
  // A marker no stored value can equal tells a missing value from an empty one.
  constexpr const char* kAbsent = "\x01" "absent";
  const std::string device = cutils::CRegistryEx(kProgramRegistryKey).ReadString("RS232", "device", kAbsent);
  if (device == kAbsent) return std::nullopt;
  return device;
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
