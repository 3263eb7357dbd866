#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "Communication/DeviceAPIBase.h"
#include "Communication/DeviceAPITypes.h"

namespace ORLA {

// The device's update mode over the framed service protocol: identification, stopping its
// programs, a minimal system, firmware uploads with progress, saving them to flash, the file
// system and restarts. Every request carries the identifier 0x1279, whatever the protocol is
// configured with.
//
// On failure a method returns false with its own number as the last command error (numbers are
// shared: 6 by both flash-save commands, 9 by all uploads, 13 by both extract commands); the
// transport's or the protocol's code is the thread's last error after a failed request. On
// success the last command error stays as it was. Responses are read only where they have the
// bytes an output needs: a shorter one fails. The progress callback of the uploads is the
// protocol's, called as fragments are sent.
class FENNEC_API CUpdateAPI : public CDeviceAPIBase {
 public:
  static constexpr unsigned short kProtocolID = 0x1279;

  explicit CUpdateAPI(IProtocol* protocol) : CDeviceAPIBase(protocol) {}
  CUpdateAPI(const CUpdateAPI&) = default;
  CUpdateAPI& operator=(const CUpdateAPI&) = default;

  bool Connect();
  bool Disconnect();
  // Succeeds without outputs when the response has no text (10 bytes or fewer).
  bool IdentifyDevice(unsigned short& a, unsigned short& b, unsigned short& c, char** text);
  bool ShutdownPrograms(unsigned short& result);
  bool RestartMinimalSystem(unsigned short& result);
  bool SaveDataToFlash();
  // The response must be exactly 8 bytes.
  bool GetSaveDataToFlashState(unsigned short& a, unsigned short& b);
  bool RestartSystem(unsigned short& result);
  // The response must echo 0x0666 with status 0 and the command asked about.
  bool GetCommandState(unsigned short command, unsigned short& state);
  // A block of `length` bytes whose first word is the upload command 0x0005 (else it fails
  // without traffic); the response is not looked at.
  bool UploadHexFileWithCommandToDevice(t_Request* request, long length, tProgressCallback callback, void* context);
  // The same with the command put in front of the data.
  bool UploadRawHexFileToDevice(char* data, long length, tProgressCallback callback, void* context);
  bool TransmitRawDataToDevice(unsigned short command, char* data, long length);
  bool FormatFileSystem(unsigned short& result);
  bool ExtractFiles(unsigned short& result);
  bool GetExtractFilesState(unsigned short& a, unsigned short& b);
  bool RefreshFilesystem(unsigned short& result);
  bool EraseFlash(unsigned short& result);

  unsigned short GetLastCommandError() const { return m_wLastCommandError; }

 private:
  // Reads the outputs from the response; false when it does not hold them.
  using Decoder = std::function<bool(std::span<const std::uint8_t> response)>;

  bool Run(unsigned short number, std::span<const std::uint8_t> request, const Decoder& decode,
           tProgressCallback callback = nullptr, void* context = nullptr);
  bool ForResult(unsigned short number, std::uint16_t code, unsigned short& result);
  bool Fail(unsigned short number);

  unsigned short m_wLastCommandError = 0;
};

}  // namespace ORLA
