#include "Communication/TCPIPSettingsDocument.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <vector>

namespace fennec::tcpip {

namespace {

using S = ORLA::tTCPIPSettings;

const std::array<SettingsField<S>, 12> kFields = {{
    {"IP-Address", &S::m_strIPAddress},
    {"ServicePort", &S::m_wServicePort},
    {"CloseWaitTime", &S::m_dwCloseWaitTime},
    {"SendTimeoutSeconds", &S::m_wSendTimeoutSeconds},
    {"ReceiveTimeoutSeconds", &S::m_wReceiveTimeoutSeconds},
    {"RestartTimeoutSeconds", &S::m_wRestartTimeoutSeconds},
    {"LengthPos", &S::m_dwLengthPos},
    {"SizeOfLength", &S::m_wSizeOfLength},
    {"LengthCorrection", &S::m_sLengthCorrection},
    {"IdentifyByName", &S::m_bIdentifyByName},
    {"NameResolution", &S::m_bNameResolution},
    {"NetworkName", &S::m_strNetworkName},
}};

// The registry keeps no framing values.
const std::vector<SettingsField<S>> kSavedFields = [] {
  std::vector<SettingsField<S>> saved;
  std::copy_if(kFields.begin(), kFields.end(), std::back_inserter(saved), [](const SettingsField<S>& field) {
    const std::string_view name = field.name;
    return name != "LengthPos" && name != "SizeOfLength" && name != "LengthCorrection";
  });
  return saved;
}();

constexpr std::size_t kBytesPerFactor = 10000;

}  // namespace

std::span<const SettingsField<S>> SettingsFields() { return kFields; }
std::span<const SettingsField<S>> SavedFields() { return kSavedFields; }

std::optional<std::chrono::seconds> TransferTimeout(std::uint16_t seconds, std::size_t count) {
  if (seconds == 0) return std::nullopt;
  const std::size_t factor = std::clamp<std::size_t>(count / kBytesPerFactor, 1, seconds);
  return std::chrono::seconds(seconds * factor);
}

}  // namespace fennec::tcpip
