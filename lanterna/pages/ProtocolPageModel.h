#pragma once

#include <array>

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// The device's network services: nine switches in register 0 on the 32-bit generation, the web
// server's HTTP port and the two SNMP trap managers. Older devices have only the web server
// (register 3) and its port (register 4).
class CProtocolPageModel : public CCouplerSettingsPageModel {
 public:
  explicit CProtocolPageModel(const CIniFile& ini);

  std::optional<ValidationFailure> ValidateSettings() const override;

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  struct Service {
    const char* key;
    const char* title;
    int bit;
    std::uint32_t value;
  };
  Service& ServiceAt(int bit);

  std::array<Service, 9> m_services;
  tParameterRecord m_httpPort;
  std::uint32_t m_dwTrapManager1 = 0;
  std::uint32_t m_dwTrapManager2 = 0;
  CNumberParameter* m_pHttpPort;
};

}  // namespace lanterna
