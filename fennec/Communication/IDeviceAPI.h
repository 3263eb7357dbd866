#pragma once

#include "Platform/Export.h"
#include "Communication/IProtocol.h"

namespace ORLA {

// The protocol a device API sends its commands with (not owned). An API object is destroyed
// through its settings base, never through this interface.
class FENNEC_API IDeviceAPI {
 public:
  virtual void SetProtocol(IProtocol* protocol) = 0;
  virtual IProtocol* GetProtocol() = 0;

 protected:
  ~IDeviceAPI() = default;
};

}  // namespace ORLA
