#pragma once

#include <span>
#include <string_view>

#include "Communication/RS232Connection.h"
#include "Communication/SettingsFields.h"

namespace fennec::rs232 {

inline constexpr std::string_view kElementName = "RS232";

// The library's default settings of the serial transport.
inline constexpr std::string_view kDefaultSettingsDocument =
    "<?xml version='1.0'?><RS232 device='COM1' baudrate='19200' parity='even' databits='8' stopbits='1' "
    "timeout='5000' inbuf-size='4096' outbuf-size='4096' dsr_flow='false' cts_flow='false' "
    "dtr_control='disable' rts_control='disable' asynchron='true' RestartTimeoutSeconds='10' />";

// The settings in the order of the document: attribute names, which are also the registry
// value names below the sub key "RS232".
std::span<const SettingsField<ORLA::tRS232Settings>> SettingsFields();

}  // namespace fennec::rs232
