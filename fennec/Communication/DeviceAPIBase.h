#pragma once

#include <string>

#include "Communication/IDeviceAPI.h"
#include "Communication/SettingsBase.h"

namespace ORLA {

// The protocol and the settings base of the device APIs. The APIs have no settings of their own:
// the settings operations only write an INFO block to the debug output, and those that return
// text return the block.
class FENNEC_API CDeviceAPIBase : public IDeviceAPI, public CSettingsBase {
 public:
  explicit CDeviceAPIBase(IProtocol* protocol) : m_pProtocol(protocol) {}
  CDeviceAPIBase(const CDeviceAPIBase&) = default;
  CDeviceAPIBase& operator=(const CDeviceAPIBase&) = default;

  void SetProtocol(IProtocol* protocol) override { m_pProtocol = protocol; }
  IProtocol* GetProtocol() override { return m_pProtocol; }

  std::string GetSettingsXML() override;
  bool SetSettingsXML(std::string xml) override;
  std::string GetSettingsString() override;
  std::string GetSettingsValue(const char* name) override;
  std::string GetDriverInfo() override;
  bool LoadSettingsRegistry(std::string path) override;
  bool SaveSettingsRegistry(std::string path) override;
  bool LoadSettingsXML(std::string path) override;
  bool SaveSettingsXML(std::string path) override;

 protected:
  // The protocol's connection is there and open.
  bool IsConnected();
  // Opens the protocol's connection when it is there and closed; false when it is not, or when
  // it would not open (the connection keeps its failure code).
  bool OpenConnection();
  // Closes the protocol's connection; false when there is none or it would not close.
  bool CloseConnection();

  IProtocol* m_pProtocol;
};

}  // namespace ORLA
