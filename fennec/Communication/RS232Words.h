#pragma once

#include <string>

#include "Platform/LineSettings.h"

namespace fennec::rs232 {

// The serial settings' words turned into device-control values. The words match without
// regard to case, the first row that matches counts. A word outside its table is reported on
// the debug output and gives value 0 (no parity, one stop bit, DTR or RTS disabled), so that
// the port still opens.
platform::Parity ParityToDCBValue(const std::string& word);
// "," reads as ".", so "1,5" is one and a half stop bits; an empty word is one stop bit.
platform::StopBits StopBitsToDCBValue(const std::string& word);
platform::DtrControl DTRControlToDCBValue(const std::string& word);
platform::RtsControl RTSControlToDCBValue(const std::string& word);

}  // namespace fennec::rs232
