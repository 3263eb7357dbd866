#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "Communication/IConnection.h"
#include "Platform/Export.h"
#include "RegCommBase.h"

// Register access over the legacy register telegrams on a byte pipe. A run longer than the
// fragment size is carried by consecutive telegrams. The connection is not owned.
class FENNEC_API CSIORegComm : public CRegCommBase {
 public:
  static constexpr std::uint8_t STX_LOBYTE = 0xFD;
  static constexpr std::uint8_t STX_HIBYTE = 0x02;
  static constexpr std::uint8_t SRX_LOBYTE = 0x02;
  static constexpr std::uint8_t SRX_HIBYTE = 0xFD;
  static constexpr std::uint8_t HEADER_LEN = 10;
  static constexpr std::uint8_t MIN_TELE_LEN = 12;
  static constexpr std::uint8_t MAX_TELE_LEN = 100;
  static constexpr std::uint8_t MAX_DATA_LEN = 44;
  static constexpr std::uint32_t MAXCOUNT_DEVICES = 256;
  static constexpr std::uint32_t MAXCOUNT_TABLES = 128;
  static constexpr std::uint32_t MAXCOUNT_REGISTER = 256;

  // One telegram as it goes on the wire.
  using tTelegram = std::array<std::uint8_t, MAX_TELE_LEN>;

  // One access in progress; exactly one of the counts is non-zero.
  struct tRegCommInfo {
    std::uint8_t nDeviceNo;
    std::uint8_t nTableNo;
    std::uint8_t nFirstReg;  // the next register to transfer
    std::uint32_t nReadCount;
    std::uint32_t nWriteCount;
  };

  explicit CSIORegComm(ORLA::IConnection* pComm);

  bool WriteRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                     const std::uint16_t* pwRegData) override;
  bool ReadRegister(unsigned nDeviceNo, unsigned nTableNo, unsigned nFirstReg, unsigned nCount,
                    std::uint16_t* pwRegData) override;

  int GetFragmentSize() const { return m_nFragmentSize; }
  // Values outside 1..MAX_DATA_LEN select MAX_DATA_LEN.
  void SetFragmentSize(int nFragmentSize);

  ORLA::IConnection* GetCommInterface() const { return m_pComm; }
  void SetCommInterface(ORLA::IConnection* pComm) { m_pComm = pComm; }

 private:
  bool ExecuteFragmentation(tRegCommInfo& info, std::span<std::uint16_t> readInto,
                            std::span<const std::uint16_t> writeFrom);
  bool ExecuteEx(tTelegram& request, tTelegram& response);
  bool Execute(tTelegram& request, tTelegram& response);

  int m_nFragmentSize;
  ORLA::IConnection* m_pComm;
};
