#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/DevicePages.h"
#include "base/Identification.h"
#include "base/IniFile.h"
#include "pages/ClockPageModel.h"
#include "pages/CommonPageModel.h"
#include "pages/EthernetIPPageModel.h"
#include "pages/ModbusPageModel.h"
#include "pages/NetworkPageModel.h"
#include "pages/PFCPageModel.h"
#include "pages/ProtocolPageModel.h"
#include "pages/SntpPageModel.h"
#include "pages/TCPIPPageModel.h"
#include "pages/TransmissionPageModel.h"

namespace lanterna {

// The ten page models of the sheet and every parameter on them by key. Front ends load them
// after each identification, edit through them and commit them before a write.
class CSettingsPages {
 public:
  explicit CSettingsPages(const CIniFile& ini);
  CSettingsPages(const CSettingsPages&) = delete;
  CSettingsPages& operator=(const CSettingsPages&) = delete;

  CCommonPageModel& Common() { return m_common; }
  CTCPIPPageModel& TCPIP() { return m_tcpip; }
  CNetworkPageModel& Network() { return m_network; }
  CClockPageModel& Clock() { return m_clock; }
  CModbusPageModel& Modbus() { return m_modbus; }
  CProtocolPageModel& Protocol() { return m_protocol; }
  CTransmissionPageModel& Transmission() { return m_transmission; }
  CSntpPageModel& Sntp() { return m_sntp; }
  CEthernetIPPageModel& EthernetIP() { return m_ethernetIP; }
  CPFCPageModel& PFC() { return m_pfc; }

  // The ten pages in the sheet's fixed order: Common, TCP/IP, Network, Clock, Modbus, Protocol,
  // Transmission, SNTP, EtherNet/IP, PFC.
  const std::vector<CCouplerSettingsPageModel*>& Pages() const { return m_pages; }
  CCouplerSettingsPageModel* FindPage(std::string_view section) const;

  // Marks the pages the device gets as used and hands them the identification and the table
  // images. The pages keep views of the images: load again after every read. Returns the keys
  // of used pages whose registers the images do not hold.
  std::vector<std::string> Load(const tIdentification& identification, const tDevicePages& pages,
                                std::vector<std::uint16_t>& table0, std::vector<std::uint16_t>& table100);

  // Every parameter of every page, page by page in the sheet's order.
  std::vector<CPageParameter*> Parameters() const;
  CPageParameter* FindParameter(std::string_view key) const;

  // Sets one value as a user does in its field; the images change with Commit(). Refuses a
  // text the field refuses, and keys that are unknown, of a page the device does not get, or of
  // a field the device does not have or lets nobody change. Checks across a page's fields are
  // Commit()'s: a value that needs another one (automatic addresses need a server) may come
  // before it.
  std::optional<ValidationFailure> Set(std::string_view key, std::string_view text);

  // Commits the used pages in the order of a write; the first that refuses stops it.
  std::optional<ValidationFailure> Commit();

 private:
  // The same switch on another page, where that page is loaded.
  CPageParameter* LoadedTwinOf(std::string_view key) const;

  CCommonPageModel m_common;
  CTCPIPPageModel m_tcpip;
  CNetworkPageModel m_network;
  CClockPageModel m_clock;
  CModbusPageModel m_modbus;
  CProtocolPageModel m_protocol;
  CTransmissionPageModel m_transmission;
  CSntpPageModel m_sntp;
  CEthernetIPPageModel m_ethernetIP;
  CPFCPageModel m_pfc;
  std::vector<CCouplerSettingsPageModel*> m_pages;
  bool m_bIs32 = false;
  bool m_bIsPFC = false;
};

}  // namespace lanterna
