#pragma once

#include <string_view>

#include "base/IniFile.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// How the device obtains its IP address (a server, or the fixed addresses below) and the fixed
// addresses. The 32-bit generation keeps them in register 0 and registers 9 to 18; older
// devices only a BootP switch in register 5, and show the addresses of their identification.
class CTCPIPPageModel : public CCouplerSettingsPageModel {
 public:
  static constexpr std::int32_t kAutomatic = 0;
  static constexpr std::int32_t kFixed = 1;
  static constexpr std::int32_t kDHCP = 0;
  static constexpr std::int32_t kBootP = 1;
  static constexpr std::int32_t kAutoIP = 2;

  explicit CTCPIPPageModel(const CIniFile& ini);

  // Also decides whether the device's INI section offers Auto-IP.
  void SetArticleNo(std::string articleNo) override;
  bool AutoIPOffered() const { return m_bAutoIPOffered; }

  // Addresses as dotted texts; an empty DNS text leaves that address as it is.
  void SetAddressStrings(std::string_view ip, std::string_view mask, std::string_view gateway,
                         std::string_view dns1, std::string_view dns2);

  std::optional<ValidationFailure> ValidateSettings() const override;

 protected:
  std::size_t EthWordsNeeded() const override;
  void ReadSettings() override;
  void WriteSettings() override;

 private:
  bool Fixed() const { return Is32() && m_nAddrSource != kAutomatic; }

  const CIniFile& m_ini;
  bool m_bAutoIPOffered = false;
  std::uint32_t m_bBootP = 0;
  std::int32_t m_nAddrSource = -1;
  std::uint32_t m_dwIPAddress = 0;
  std::uint32_t m_dwSubnetMask = 0;
  std::uint32_t m_dwGateway = 0;
  std::uint32_t m_dwDNS1 = 0;
  std::uint32_t m_dwDNS2 = 0;
  std::int32_t m_nServer = -1;
  std::vector<std::string> m_serverItems;
};

}  // namespace lanterna
