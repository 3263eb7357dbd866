#include "Communication/UpdateAPI.h"

#include <climits>
#include <cstring>
#include <memory>

#include "Common/ByteOrder.h"
#include "Communication/CommandBlocks.h"
#include "Platform/Assert.h"

namespace ORLA {

using fennec::command::Block;
using fennec::command::RequestBlock;
using fennec::command::Response;
using Bytes = std::span<const std::uint8_t>;

namespace {

enum Number : unsigned short {
  kConnect = 1,
  kDisconnect = 2,
  kIdentifyDevice = 3,
  kShutdownPrograms = 4,
  kRestartMinimalSystem = 5,
  kSaveToFlash = 6,
  kRestartSystem = 7,
  kGetCommandState = 8,
  kUpload = 9,
  kFormatFileSystem = 12,
  kExtract = 13,
  kRefreshFilesystem = 14,
  kEraseFlash = 31,
};

constexpr std::uint16_t kUploadCommand = 0x0005;
constexpr std::uint16_t kCommandStateCode = 0x0666;
constexpr std::size_t kData = 4;
constexpr std::size_t kTextAt = 10;
constexpr std::size_t kSaveStateSize = 8;

// A block of the caller's bytes behind a command word, or nothing when the length cannot be.
std::optional<Block> CommandAndData(std::uint16_t command, const char* data, long length) {
  if (length < 0 || static_cast<unsigned long>(length) > UINT_MAX - 2 || (data == nullptr && length > 0))
    return std::nullopt;
  Block block = RequestBlock(command, {});
  block.resize(block.size() + static_cast<std::size_t>(length));
  if (length > 0) std::memcpy(block.data() + 2, data, static_cast<std::size_t>(length));
  return block;
}

}  // namespace

bool CUpdateAPI::Fail(unsigned short number) {
  m_wLastCommandError = number;
  return false;
}

bool CUpdateAPI::Run(unsigned short number, Bytes request, const Decoder& decode, tProgressCallback callback,
                     void* context) {
  if (!IsConnected()) return Fail(number);
  try {
    unsigned char* raw = nullptr;
    unsigned int length = 0;
    // The protocol takes the block as it is; it does not change it.
    auto* bytes = const_cast<unsigned char*>(request.data());
    const bool answered = m_pProtocol->Request(kProtocolID, bytes, static_cast<unsigned int>(request.size()), &raw,
                                               length, callback, context);
    const std::unique_ptr<unsigned char[]> owned(raw);
    return answered && decode(Bytes(raw, length)) ? true : Fail(number);
  } catch (...) {
    return Fail(number);
  }
}

bool CUpdateAPI::ForResult(unsigned short number, std::uint16_t code, unsigned short& result) {
  return Run(number, RequestBlock(code, {}), [&](Bytes response) {
    const auto word = Response(response).Word(kData);
    if (word) result = *word;
    return word.has_value();
  });
}

bool CUpdateAPI::Connect() { return OpenConnection() || Fail(kConnect); }

bool CUpdateAPI::Disconnect() { return CloseConnection() || Fail(kDisconnect); }

bool CUpdateAPI::IdentifyDevice(unsigned short& a, unsigned short& b, unsigned short& c, char** text) {
  if (!FENNEC_ASSERT(text != nullptr)) return Fail(kIdentifyDevice);
  return Run(kIdentifyDevice, RequestBlock(0x0001, {}), [&](Bytes bytes) {
    if (bytes.size() <= kTextAt) return true;
    const Response response(bytes);
    a = *response.Word(4);
    b = *response.Word(6);
    c = *response.Word(8);
    fennec::command::HandOverText(text, bytes.subspan(kTextAt), bytes.size() - 6);
    return true;
  });
}

bool CUpdateAPI::ShutdownPrograms(unsigned short& result) { return ForResult(kShutdownPrograms, 0x0002, result); }

bool CUpdateAPI::RestartMinimalSystem(unsigned short& result) {
  return ForResult(kRestartMinimalSystem, 0x0003, result);
}

bool CUpdateAPI::SaveDataToFlash() {
  return Run(kSaveToFlash, RequestBlock(0x0006, {}), [](Bytes) { return true; });
}

bool CUpdateAPI::GetSaveDataToFlashState(unsigned short& a, unsigned short& b) {
  return Run(kSaveToFlash, RequestBlock(0x0007, {}), [&](Bytes bytes) {
    if (bytes.size() != kSaveStateSize) return false;
    const Response response(bytes);
    a = *response.Word(4);
    b = *response.Word(6);
    return true;
  });
}

bool CUpdateAPI::RestartSystem(unsigned short& result) { return ForResult(kRestartSystem, 0x0008, result); }

bool CUpdateAPI::GetCommandState(unsigned short command, unsigned short& state) {
  return Run(kGetCommandState, RequestBlock(kCommandStateCode, {command}), [&](Bytes bytes) {
    const Response response(bytes);
    const auto answered = response.Word(6);
    if (response.Word(0) != kCommandStateCode || response.Word(2) != 0 || response.Word(kData) != command || !answered)
      return false;
    state = *answered;
    return true;
  });
}

bool CUpdateAPI::UploadHexFileWithCommandToDevice(t_Request* request, long length, tProgressCallback callback,
                                                  void* context) {
  if (!FENNEC_ASSERT(request != nullptr) || length < 2 || static_cast<unsigned long>(length) > UINT_MAX)
    return Fail(kUpload);
  const Bytes block(reinterpret_cast<const std::uint8_t*>(request), static_cast<std::size_t>(length));
  if (fennec::LoadU16LE(block.first<2>()) != kUploadCommand) return Fail(kUpload);
  return Run(kUpload, block, [](Bytes) { return true; }, callback, context);
}

bool CUpdateAPI::UploadRawHexFileToDevice(char* data, long length, tProgressCallback callback, void* context) {
  const std::optional<Block> block = CommandAndData(kUploadCommand, data, length);
  if (!block) return Fail(kUpload);
  return Run(kUpload, *block, [](Bytes) { return true; }, callback, context);
}

bool CUpdateAPI::TransmitRawDataToDevice(unsigned short command, char* data, long length) {
  const std::optional<Block> block = CommandAndData(command, data, length);
  if (!block) return Fail(kUpload);
  return Run(kUpload, *block, [](Bytes) { return true; });
}

bool CUpdateAPI::FormatFileSystem(unsigned short& result) { return ForResult(kFormatFileSystem, 0x0009, result); }

bool CUpdateAPI::ExtractFiles(unsigned short& result) { return ForResult(kExtract, 0x000A, result); }

bool CUpdateAPI::GetExtractFilesState(unsigned short& a, unsigned short& b) {
  return Run(kExtract, RequestBlock(0x000B, {}), [&](Bytes bytes) {
    const auto words = Response(bytes).Words(kData, 2);
    if (!words) return false;
    a = (*words)[0];
    b = (*words)[1];
    return true;
  });
}

bool CUpdateAPI::RefreshFilesystem(unsigned short& result) { return ForResult(kRefreshFilesystem, 0x000C, result); }

bool CUpdateAPI::EraseFlash(unsigned short& result) { return ForResult(kEraseFlash, 0x001F, result); }

}  // namespace ORLA
