#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "DeviceState.h"
#include "FaultInjection.h"
#include "ServiceCatalogue.h"

namespace fennec::sim {

struct ServiceOutcome {
  std::uint16_t requestWord = 0;  // group in the low byte, number in the high byte
  const char* name = "";
  ServiceResult result;
};

// Runs the request block a client wrote to table 99: word 0 names the service, word 1 says
// how many argument words follow.
ServiceOutcome RunServiceRequest(DeviceState& state, std::span<const std::uint16_t> block,
                                 const Rejections& rejections, const Moment& now);

// The response block that replaces the request in table 99: word 0 repeats the request's,
// word 1 counts the status and result words, word 2 is the status; the rest of the table is 0.
std::vector<std::uint16_t> ResponseBlock(const ServiceOutcome& outcome);

}  // namespace fennec::sim
