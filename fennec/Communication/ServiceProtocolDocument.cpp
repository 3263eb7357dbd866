#include "Communication/ServiceProtocolDocument.h"

#include <array>

namespace fennec::framed {

namespace {

using S = ORLA::tServiceProtocolSettings;

const std::array<SettingsField<S>, 7> kFields = {{
    {"Protocol-ID", &S::m_wProtocolID},
    {"ChecksumLength", &S::m_wChecksumLength},
    {"MaxRetries", &S::m_wMaxRetries},
    {"MaxFragmentDataSize", &S::m_wMaxFragmentDataSize},
    {"RoutingInfo", &S::m_dwRoutingInfo},
    {"GlobalTimeOut", &S::m_wGlobalTimeOut},
    {"BusyTimeOut", &S::m_wBusyTimeOut},
}};

}  // namespace

std::span<const SettingsField<S>> SettingsFields() { return kFields; }

}  // namespace fennec::framed
