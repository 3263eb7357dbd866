#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string_view>

#include "Communication/SettingsFields.h"
#include "Communication/TCPIPConnection.h"

namespace fennec::tcpip {

inline constexpr std::string_view kElementName = "TCPIP";

// The library's default settings of the TCP/IP transport. The time-out in milliseconds belongs
// to the serial transport's document; this transport keeps its time-outs in seconds and does
// not read it.
inline constexpr std::string_view kDefaultSettingsDocument =
    "<?xml version='1.0'?><TCPIP IP-Address='192.168.1.111' ServicePort='6626' CloseWaitTime='200' "
    "SendTimeoutSeconds='10' ReceiveTimeoutSeconds='10' RestartTimeoutSeconds='10' LengthPos='16' SizeOfLength='2' "
    "LengthCorrection='0' IdentifyByName='false' NameResolution='false' NetworkName='' timeout='5000' />";

// Every setting in the order of the document; the registry is loaded with all of them.
std::span<const SettingsField<ORLA::tTCPIPSettings>> SettingsFields();
// What is saved in the registry: everything but the three framing values.
std::span<const SettingsField<ORLA::tTCPIPSettings>> SavedFields();

// The time a send or receive of `count` bytes may take: seconds × F, F being count / 10000 but
// at least 1 and at most seconds, so that a large transfer gets proportionally longer. Zero
// seconds: no limit.
std::optional<std::chrono::seconds> TransferTimeout(std::uint16_t seconds, std::size_t count);

}  // namespace fennec::tcpip
