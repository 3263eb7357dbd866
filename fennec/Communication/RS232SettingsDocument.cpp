#include "Communication/RS232SettingsDocument.h"

#include <array>

namespace fennec::rs232 {

namespace {

using S = ORLA::tRS232Settings;

const std::array<SettingsField<S>, 14> kFields = {{
    {"device", &S::m_strDevice},
    {"baudrate", &S::m_dwBaudRate},
    {"parity", &S::m_strParity},
    {"databits", &S::m_wDataBits},
    {"stopbits", &S::m_strStopBits},
    {"timeout", &S::m_dwTimeout},
    {"inbuf-size", &S::m_dwInBufSize},
    {"outbuf-size", &S::m_dwOutBufSize},
    {"dsr_flow", &S::m_bDsrFlow},
    {"cts_flow", &S::m_bCtsFlow},
    {"dtr_control", &S::m_strDtrControl},
    {"rts_control", &S::m_strRtsControl},
    {"asynchron", &S::m_bAsynchron},
    {"RestartTimeoutSeconds", &S::m_wRestartTimeoutSeconds},
}};

}  // namespace

std::span<const SettingsField<ORLA::tRS232Settings>> SettingsFields() { return kFields; }

}  // namespace fennec::rs232
