#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Communication/ConnectionBase.h"
#include "ServiceBase.h"

namespace lanterna {

// How the connect block probes the device. A serial line is opened once for all tries. A
// network connection is opened for each try and closed after a failed one: no late answer with
// an old request number reaches the next try, and a device that dropped the connection at its
// restart is reached on a fresh one.
enum class ProbeStyle { OneOpening, OpeningPerTry };

// The connection to one device and the service object on it, built together for one
// transport. The session reaches both only through their interfaces.
class IDeviceLink {
 public:
  virtual ~IDeviceLink() = default;
  virtual ORLA::CConnectionBase& Connection() = 0;
  virtual CServiceBase& Service() = 0;
  virtual ProbeStyle Probing() const = 0;
  // Where the device is, for reports: the serial device, or "host:port".
  virtual std::string Address() = 0;
};

// The value as it stands inside a quoted attribute of a settings document.
std::string XmlAttributeText(const std::string& value);

// The settings document that puts the command-line device into the serial connection.
std::string CommandLineDeviceDocument(const std::string& device);

// The serial settings the port dialog shows and sets, as the connection's settings give them.
struct SerialPortSettings {
  std::string device;
  std::string baudrate;
  std::string parity;
  std::string databits;
  std::string stopbits;
  std::string timeout;  // milliseconds
  bool operator==(const SerialPortSettings&) const = default;
};

// The document the port dialog gives the connection: the device in double quotes, every other
// value in single quotes, nothing between the attributes but one blank.
std::string PortSettingsDocument(const SerialPortSettings& settings);

// The settings the program's store holds, over the connection's defaults.
SerialPortSettings StoredSerialSettings();
// Stores them under the program's key as the program does after the port dialog's OK; false,
// with nothing stored, when the connection refuses the document.
bool StoreSerialSettings(const SerialPortSettings& settings);
// Removes the stored serial settings: the connection's defaults apply again.
bool ForgetSerialSettings();

// The serial device the program's store holds, if it holds one.
std::optional<std::string> StoredSerialDevice();

// The serial link: the settings stored under the program's key (unless useStore is false, as
// for a simulated device on a fresh line), then the command line's device where one is given.
std::unique_ptr<IDeviceLink> MakeSerialLink(const std::optional<std::string>& device, bool useStore = true);

// The network port devices serve their framed protocol on unless told otherwise.
inline constexpr std::uint16_t kDefaultServicePort = 6626;

// The network link: the connection's defaults, the TCPIP settings stored under the program's
// key (unless useStore is false), then the host and, where given, the port. Nothing is saved.
std::unique_ptr<IDeviceLink> MakeNetworkLink(const std::string& host, std::optional<std::uint16_t> port,
                                             bool useStore = true);

}  // namespace lanterna
