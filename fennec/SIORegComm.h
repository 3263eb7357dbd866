#pragma once

#include <cstdint>
#include <span>

#include "Common/Result.h"
#include "Communication/IConnection.h"
#include "Platform/Export.h"
#include "RegCommBase.h"
#include "RegTelegram.h"

// Register access over the legacy register telegrams on a byte pipe. A run longer than the
// fragment size is carried by consecutive telegrams. The connection is not owned.
class FENNEC_API CSIORegComm : public CRegCommBase {
 public:
  // The codec's constants, under the names the interface has always had.
  static constexpr std::uint8_t STX_LOBYTE = fennec::telegram::kRequestStartLow;
  static constexpr std::uint8_t STX_HIBYTE = fennec::telegram::kRequestStartHigh;
  static constexpr std::uint8_t SRX_LOBYTE = fennec::telegram::kResponseStartLow;
  static constexpr std::uint8_t SRX_HIBYTE = fennec::telegram::kResponseStartHigh;
  static constexpr std::uint8_t HEADER_LEN = fennec::telegram::kHeaderLength;
  static constexpr std::uint8_t MIN_TELE_LEN = fennec::telegram::kMinLength;
  static constexpr std::uint8_t MAX_TELE_LEN = fennec::telegram::kMaxLength;
  static constexpr std::uint8_t MAX_DATA_LEN = fennec::telegram::kMaxDataWords;
  static constexpr std::uint32_t MAXCOUNT_DEVICES = fennec::telegram::kDeviceCount;
  static constexpr std::uint32_t MAXCOUNT_TABLES = fennec::telegram::kTableCount;
  static constexpr std::uint32_t MAXCOUNT_REGISTER = fennec::telegram::kRegisterCount;

  // One telegram as it goes on the wire.
  using tTelegram = fennec::telegram::Telegram;

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
  fennec::Result ExecuteFragmentation(tRegCommInfo& info, std::span<std::uint16_t> readInto,
                                      std::span<const std::uint16_t> writeFrom);

  int m_nFragmentSize;
  ORLA::IConnection* m_pComm;
};
