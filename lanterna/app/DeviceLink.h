#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Communication/ConnectionBase.h"
#include "ServiceBase.h"

namespace lanterna {

// The connection to one device and the service object on it, built together for one
// transport. The session reaches both only through their interfaces.
class IDeviceLink {
 public:
  virtual ~IDeviceLink() = default;
  virtual ORLA::CConnectionBase& Connection() = 0;
  virtual CServiceBase& Service() = 0;
};

// The serial link: the settings stored under the program's key (unless useStore is false, as
// for a simulated device on a fresh line), then the command line's device where one is given.
std::unique_ptr<IDeviceLink> MakeSerialLink(const std::optional<std::string>& device, bool useStore = true);

}  // namespace lanterna
