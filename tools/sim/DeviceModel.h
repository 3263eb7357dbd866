#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DeviceState.h"
#include "DeviceTelegram.h"
#include "ExtendedEndpoint.h"
#include "FaultInjection.h"
#include "Moment.h"

namespace fennec::sim {

// The device without any transport: one request telegram or extended frame in, the answer (or
// none) out, with every change of state the request causes. The pty road, a later TCP road and
// in-process tests all drive the device through Handle.
class DeviceModel {
 public:
  struct Exchange {
    std::optional<std::vector<std::uint8_t>> answer;  // nothing: the device stays silent
    std::string note;                                 // what happened, for the exchange log
  };

  // Powers the device up at `now` with the parameters of its non-volatile memory.
  DeviceModel(Profile profile, DeviceTimings timings, NonVolatileMemory memory, const Moment& now);

  Exchange Handle(std::span<const std::uint8_t> telegram, const Moment& now);

  // Register access by another road than the telegram (the framed protocol): the same refusals
  // and the same effects, a service run by a write to register 0 of table 99 included.
  struct RegisterAccess {
    std::uint16_t status = 0;
    std::vector<std::uint16_t> words;  // what a read delivers
    std::string note;
  };
  RegisterAccess AccessRegisters(const RegisterRequest& request, const Moment& now);

  // The state for a service that another road runs, as it is at `now`.
  DeviceState& StateToChange(const Moment& now);

  // A restart a service asked for takes the device down now that its answer is out; false when
  // none was asked for.
  bool GoDownForRestart(const Moment& now);

  // The power fails at `now`: whatever was not saved is lost, and after the restart's silence
  // the device comes back from its non-volatile memory.
  void PowerFail(const Moment& now);

  Rejections& DeviceRejections() { return m_rejections; }
  ExtFaults& ExtendedFaults() { return m_extended.Faults(); }

  // The state as it is at `now`: busy work that has ended by then is finished first.
  const DeviceState& StateAt(const Moment& now);

  // Silent because of a restart at `now`.
  bool Restarting(const Moment& now);

 private:
  void PowerUp(const Moment& at);
  void CatchUp(const Moment& now);
  // What reading and writing registers do beyond the tables themselves; the note for the log.
  std::string ReadEffects(const RegisterRequest& request, const Moment& now);
  std::string WriteEffects(const RegisterRequest& request, const Moment& now);
  // Why a run of registers is refused, as the device's status; the numbers are those of either
  // protocol, never cut to the 8 bits of the tables' keys.
  std::optional<std::uint16_t> Refusal(unsigned device, unsigned table, unsigned first, unsigned count,
                                       bool write) const;
  std::optional<std::uint16_t> RefusalOf(const RegisterRequest& request) const;
  Exchange HandleExtended(std::span<const std::uint8_t> frame, const Moment& now);
  // The message layer of the extended protocol (DeviceExtMessages.cpp).
  ExtendedReply ExecuteExtended(std::uint8_t cmd, std::span<const std::uint8_t> message, const Moment& now);
  ExtendedReply RegisterMessage(bool write, std::span<const std::uint8_t> message);
  ExtendedReply ServiceMessage(std::span<const std::uint8_t> message, const Moment& now);

  DeviceState m_state;
  Rejections m_rejections;
  ExtendedEndpoint m_extended;
  std::optional<Moment> m_silentUntil;
};

}  // namespace fennec::sim
