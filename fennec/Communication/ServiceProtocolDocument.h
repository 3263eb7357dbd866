#pragma once

#include <span>
#include <string_view>

#include "Communication/ServiceProtocol.h"
#include "Communication/SettingsFields.h"

namespace fennec::framed {

inline constexpr std::string_view kElementName = "ServiceProtocol";

inline constexpr std::string_view kDefaultSettingsDocument =
    "<?xml version='1.0'?><ServiceProtocol Protocol-ID='0x1279' RoutingInfo='0' GlobalTimeOut='0' BusyTimeOut='0' "
    "ChecksumLength='2' MaxRetries='1' MaxFragmentDataSize='1400' />";

// The settings in the order they are read and written, also the registry values.
std::span<const SettingsField<ORLA::tServiceProtocolSettings>> SettingsFields();

}  // namespace fennec::framed
