#include "FramedCommands.h"

#include <algorithm>
#include <array>
#include <utility>

#include "DeviceStatus.h"
#include "HexText.h"
#include "ServiceCatalogue.h"
#include "ServiceTable.h"
#include "WireBytes.h"

namespace fennec::sim {

namespace {

using Words = std::vector<std::uint16_t>;
using Arguments = std::span<const std::uint16_t>;
using Clock = std::chrono::steady_clock;

struct Context {
  DeviceModel& model;
  UpdateMemory& update;
  const Moment& now;
};

// The status and the data behind it; the response block puts the command code in front.
struct Reply {
  std::uint16_t status = status::kOk;
  std::vector<std::uint8_t> data;
};

using Handler = Reply (*)(Context& context, Arguments arguments);

struct FramedCommand {
  std::uint16_t code;
  const char* name;
  std::uint8_t arguments;  // words the command needs after its code
  Handler run;
};

constexpr std::uint16_t kReadRegisters = 0x0401;
constexpr std::uint16_t kWriteRegisters = 0x0402;
constexpr std::size_t kRegisterRequest = 10;
constexpr std::uint16_t kFlashSaveCommand = 0x0006;
constexpr std::uint16_t kExtractService = 0x0301;
constexpr unsigned kMaxBaudExponent = 18;

std::vector<std::uint8_t> WordBytes(const Words& words) {
  std::vector<std::uint8_t> bytes;
  for (const std::uint16_t word : words) AppendU16(bytes, word);
  return bytes;
}

Reply Data(Words words) { return {status::kOk, WordBytes(words)}; }

// The same service as over table 99, with its refusals.
ServiceOutcome Legacy(Context& c, std::uint8_t group, std::uint8_t number, const Words& arguments = {}) {
  Words block{static_cast<std::uint16_t>(group | (number << 8)), static_cast<std::uint16_t>(arguments.size())};
  block.insert(block.end(), arguments.begin(), arguments.end());
  return RunServiceRequest(c.model.StateToChange(c.now), block, c.model.DeviceRejections(), c.now);
}

// The service's status; when it is done, the data the shape makes of the state or its results.
template <class Shape>
Reply After(const ServiceOutcome& outcome, Shape shape) {
  if (outcome.result.status != status::kOk && outcome.result.status != status::kServiceRunning)
    return {outcome.result.status, {}};
  Reply reply = shape(outcome.result.words);
  reply.status = outcome.result.status;
  return reply;
}

Reply Results(const ServiceOutcome& outcome) {
  return After(outcome, [](const Words& words) { return Data(words); });
}

// A command whose result word is a wait in seconds; the device never asks for one.
Reply NoWait(const ServiceOutcome& outcome) {
  return After(outcome, [](const Words&) { return Data({0}); });
}

Reply Text(const ServiceOutcome& outcome, const std::string& text) {
  return After(outcome, [&](const Words&) { return Reply{status::kOk, {text.begin(), text.end()}}; });
}

Reply Identify(Context& c, Arguments) {
  const ServiceOutcome outcome = Legacy(c, 1, 8);
  const std::string pairs = IdentificationPairs(c.model.StateToChange(c.now));
  return After(outcome, [&](const Words&) {
    Reply reply = Data({0, 0, 0});
    reply.data.insert(reply.data.end(), pairs.begin(), pairs.end());
    return reply;
  });
}

// A switch confirmed with the word the device keeps for it.
template <class Confirm>
Reply Switch(Context& c, std::uint8_t number, std::uint16_t argument, Confirm confirm) {
  const ServiceOutcome outcome = Legacy(c, 1, number, {argument});
  return After(outcome, [&](const Words&) { return Data({confirm(c.model.StateToChange(c.now))}); });
}

// The framed road has no write key: the command itself is the permission to restart.
Reply Restart(Context& c, Arguments) {
  if (const auto refused = c.model.DeviceRejections().ForService(1, 2)) return {*refused, {}};
  c.model.StateToChange(c.now).restartRequestedAt = c.now;
  return Data({0});
}

// A file job answers with the seconds it still needs.
Reply FileJob(Context& c, std::uint8_t number, std::uint16_t argument) {
  const ServiceOutcome outcome = Legacy(c, 3, number, {argument});
  const DeviceState& state = c.model.StateToChange(c.now);
  return After(outcome, [&](const Words&) {
    if (!state.fileJob) return Data({0});
    const auto left = std::chrono::ceil<std::chrono::seconds>(state.fileJob->until - c.now.steady);
    return Data({static_cast<std::uint16_t>(std::max<std::int64_t>(left.count(), 0))});
  });
}

// Table 0's word for each table becomes a record of its register count and its number.
Reply TableInfo(Context& c, Arguments) {
  return After(Legacy(c, 1, 19), [](const Words& words) {
    Words records{words.empty() ? std::uint16_t{0} : words[0]};
    for (std::size_t i = 1; i < words.size(); ++i) {
      records.push_back(words[i] & 0x1FF);
      records.push_back(static_cast<std::uint16_t>(words[i] >> 9));
    }
    return Data(records);
  });
}

Reply InternalVariablesText(Context& c, Arguments) {
  std::string text;
  for (const auto& [name, value] : InternalVariables(c.model.StateToChange(c.now)))
    text += (text.empty() ? "" : ";") + name + "=" + value;
  return Text(Legacy(c, 1, 17, {0}), text);
}

Reply NetworkIdentity(Context& c, Arguments) {
  const Identity& identity = c.model.StateToChange(c.now).profile.identity;
  return Text(Legacy(c, 1, 12), identity.networkKind + "=" + identity.networkValue);
}

std::uint16_t FlashSaveState(const UpdateMemory& update, const Moment& now) {
  if (!update.saveDoneAt) return kFlashIdle;
  return now.steady < *update.saveDoneAt ? kFlashBusy : kFlashDone;
}

std::uint16_t FlashSavePercent(const UpdateMemory& update, const Moment& now) {
  if (!update.saveDoneAt || !update.saveStartedAt) return 0;
  const auto total = *update.saveDoneAt - *update.saveStartedAt;
  if (now.steady >= *update.saveDoneAt || total.count() <= 0) return 100;
  return static_cast<std::uint16_t>(100 * (now.steady - *update.saveStartedAt) / total);
}

const std::array kCommands{
    // The device API, on the services of table 99.
    FramedCommand{0x0101, "EnableWriteAccess", 1,
                  [](Context& c, Arguments a) {
                    return Switch(c, 1, a[0],
                                  [](const DeviceState& s) -> std::uint16_t { return s.writeEnabled ? 1 : 0; });
                  }},
    FramedCommand{0x0102, "RestartSystem", 0, Restart},
    FramedCommand{0x0104, "ResetParameter", 0, [](Context& c, Arguments) { return NoWait(Legacy(c, 1, 4)); }},
    FramedCommand{0x0105, "StoreParameter", 0, [](Context& c, Arguments) { return NoWait(Legacy(c, 1, 5)); }},
    FramedCommand{0x0106, "GetDeviceState", 0, [](Context& c, Arguments) { return Results(Legacy(c, 1, 6)); }},
    FramedCommand{0x0108, "IdentifyDevice", 0, Identify},
    FramedCommand{0x010A, "EnableMonitorMode", 1,
                  [](Context& c, Arguments a) {
                    return Switch(c, 10, a[0] != 0,
                                  [](const DeviceState& s) -> std::uint16_t { return s.switches.monitorMode; });
                  }},
    FramedCommand{0x010B, "EnableControlMode", 1,
                  [](Context& c, Arguments a) {
                    return Switch(c, 11, a[0] != 0,
                                  [](const DeviceState& s) -> std::uint16_t { return s.switches.controlMode ? 2 : 0; });
                  }},
    FramedCommand{0x010C, "GetNetworkID", 0, NetworkIdentity},
    FramedCommand{0x010E, "SetFactoryTestMode", 1,
                  [](Context& c, Arguments a) {
                    return Switch(c, 14, a[0], [](const DeviceState& s) { return s.switches.factoryTestMode; });
                  }},
    FramedCommand{0x010F, "GetTerminalBusState", 0, [](Context& c, Arguments) { return Results(Legacy(c, 1, 15)); }},
    FramedCommand{0x0111, "GetInternalVariables", 0, InternalVariablesText},
    FramedCommand{0x0113, "GetTableInfo", 0, TableInfo},
    FramedCommand{0x0115, "EnableTerminalBusExtension", 1,
                  [](Context& c, Arguments a) {
                    return Switch(c, 21, a[0] != 0,
                                  [](const DeviceState& s) -> std::uint16_t { return s.switches.busExtension; });
                  }},
    FramedCommand{0x0116, "GetRealTimeClock", 0, [](Context& c, Arguments) { return Results(Legacy(c, 1, 22)); }},
    FramedCommand{0x0117, "SetRealTimeClock", 3,
                  [](Context& c, Arguments a) { return Results(Legacy(c, 1, 23, {a[0], a[1], a[2]})); }},
    FramedCommand{0x0120, "ControlParamSequence", 3,
                  [](Context& c, Arguments a) { return Results(Legacy(c, 1, 32, {a[0], a[1], a[2]})); }},
    FramedCommand{0x0201, "RestartTerminalBus", 0, [](Context& c, Arguments) { return NoWait(Legacy(c, 2, 1)); }},
    FramedCommand{0x0221, "GetCommandState", 1,
                  [](Context& c, Arguments a) {
                    return After(Legacy(c, 2, 33, {a[0]}), [](const Words& w) { return Data({w.at(0), w.at(1)}); });
                  }},
    FramedCommand{0x0225, "GetTerminalBusMonitorSize", 0,
                  [](Context& c, Arguments) { return Results(Legacy(c, 2, 32, {3})); }},
    FramedCommand{0x0226, "SetTerminalBusMonitorFirst", 0,
                  [](Context& c, Arguments) { return NoWait(Legacy(c, 2, 32, {1})); }},
    FramedCommand{0x0227, "GetTerminalBusMonitorEntry", 0,
                  [](Context& c, Arguments) { return Results(Legacy(c, 2, 32, {2})); }},
    FramedCommand{0x0228, "ClearTerminalBusMonitor", 0,
                  [](Context& c, Arguments) { return NoWait(Legacy(c, 2, 32, {0})); }},
    FramedCommand{0x0301, "ExtractFiles", 1, [](Context& c, Arguments a) { return FileJob(c, 1, a[0]); }},
    FramedCommand{0x0302, "FormatFileSystem", 1, [](Context& c, Arguments a) { return FileJob(c, 2, a[0]); }},
    FramedCommand{0x0304, "GetExtractFilesState", 0,
                  [](Context& c, Arguments) {
                    return After(Legacy(c, 2, 33, {kExtractService}), [](const Words& w) {
                      return Data({w.at(1), w.at(2)});
                    });
                  }},
    // The update API. Its file-system and flash commands are acknowledged with result 0.
    FramedCommand{0x0001, "IdentifyDevice (update)", 0, Identify},
    FramedCommand{0x0002, "ShutdownPrograms", 0, [](Context&, Arguments) { return Data({0}); }},
    FramedCommand{0x0003, "RestartMinimalSystem", 0, [](Context&, Arguments) { return Data({0}); }},
    FramedCommand{0x0006, "SaveDataToFlash", 0,
                  [](Context& c, Arguments) {
                    c.update.saveStartedAt = c.now.steady;
                    c.update.saveDoneAt = c.now.steady + c.model.StateToChange(c.now).timings.saveBusy;
                    return Reply{};
                  }},
    FramedCommand{0x0007, "GetSaveDataToFlashState", 0,
                  [](Context& c, Arguments) {
                    return Data({FlashSaveState(c.update, c.now), FlashSavePercent(c.update, c.now)});
                  }},
    FramedCommand{0x0008, "RestartSystem (update)", 0, Restart},
    FramedCommand{0x0009, "FormatFileSystem (update)", 0, [](Context&, Arguments) { return Data({0}); }},
    FramedCommand{0x000A, "ExtractFiles (update)", 0, [](Context&, Arguments) { return Data({0}); }},
    FramedCommand{0x000B, "GetExtractFilesState (update)", 0, [](Context&, Arguments) { return Data({0, 0}); }},
    FramedCommand{0x000C, "RefreshFilesystem (update)", 0, [](Context&, Arguments) { return Data({0}); }},
    FramedCommand{0x001F, "EraseFlash", 0,
                  [](Context& c, Arguments) {
                    c.update.lastUpload.clear();
                    return Data({0});
                  }},
    FramedCommand{0x0666, "GetCommandState (update)", 1,
                  [](Context& c, Arguments a) {
                    return Data({a[0], a[0] == kFlashSaveCommand ? FlashSaveState(c.update, c.now) : std::uint16_t{0}});
                  }},
};

std::vector<std::uint8_t> ResponseBlock(std::uint16_t code, const Reply& reply) {
  std::vector<std::uint8_t> block = WordBytes({code, reply.status});
  block.insert(block.end(), reply.data.begin(), reply.data.end());
  return block;
}

// The echo of the 10-byte request, the status, then the words read. The framed road takes at
// most 255 registers at once: no table of the simulated devices is longer.
CommandOutcome Registers(Context& c, std::span<const std::uint8_t> block, bool write) {
  std::vector<std::uint8_t> response(
      block.begin(), block.begin() + static_cast<std::ptrdiff_t>(std::min(block.size(), kRegisterRequest)));
  response.resize(kRegisterRequest, 0);
  const auto finish = [&](std::uint16_t status, const Words& words, std::string note) {
    AppendU16(response, status);
    const std::vector<std::uint8_t> data = WordBytes(words);
    response.insert(response.end(), data.begin(), data.end());
    return CommandOutcome{response, std::move(note)};
  };
  if (block.size() < kRegisterRequest) return finish(status::kInvalidArgumentCount, {}, "register command too short");
  const std::uint16_t device = U16At(block, 2);
  const std::uint16_t table = U16At(block, 4);
  const std::uint16_t first = U16At(block, 6);
  const std::uint16_t count = U16At(block, 8);
  if (write && block.size() != kRegisterRequest + 2u * count)
    return finish(status::kInvalidArgumentCount, {}, "register write of another length than its count");
  if (device > 0xFF) return finish(status::kNoModuleRegisters, {}, "no such module");
  if (table > 0xFF) return finish(status::kInvalidTable, {}, "no such table");
  if (first > 0xFF || count > 0xFF) return finish(status::kAddressRange, {}, "registers out of range");
  if (count == 0) return finish(status::kInvalidRegisterCount, {}, "no registers");
  RegisterRequest request;
  request.count = static_cast<std::uint8_t>(count);
  request.device = static_cast<std::uint8_t>(device);
  request.table = static_cast<std::uint8_t>(table);
  request.firstRegister = static_cast<std::uint8_t>(first);
  request.write = write;
  if (write) request.words = BytesToWords(block.subspan(kRegisterRequest));
  DeviceModel::RegisterAccess access = c.model.AccessRegisters(request, c.now);
  return finish(access.status, access.words, std::move(access.note));
}

}  // namespace

std::string IdentificationPairs(const DeviceState& state) {
  const Profile& profile = state.profile;
  const Identity& identity = profile.identity;
  std::uint64_t baud = profile.baudMantissa;
  for (unsigned i = 0; i < std::min<unsigned>(profile.baudExponent, kMaxBaudExponent); ++i) baud *= 10;
  std::vector<std::pair<const char*, std::string>> pairs{
      {"ORDER", identity.orderNumber}, {"DESCR", identity.description}, {"HW-VER", identity.hardwareVersion},
      {"SW-VER", identity.softwareVersion}, {"SN", identity.serialNumber}, {"BAUD", std::to_string(baud)}};
  if (profile.Offers(MakeServiceId(1, 18))) pairs.emplace_back("FWL-VER", identity.firmwareLoaderVersion);
  if (profile.Offers(MakeServiceId(1, 16))) pairs.emplace_back("QS-STRING", identity.qsMarking);
  if (profile.Offers(MakeServiceId(1, 20))) {
    pairs.emplace_back("FW-BURN-DATE", identity.burnDate);
    pairs.emplace_back("PSN", identity.psn);
  }
  std::string text;
  for (const auto& [name, value] : pairs)
    if (!value.empty()) text += (text.empty() ? "" : ";") + std::string(name) + "=" + value;
  return text;
}

CommandOutcome RunFramedCommand(DeviceModel& model, UpdateMemory& update, std::span<const std::uint8_t> block,
                                const Moment& now) {
  Context context{model, update, now};
  if (block.size() < 2) return {ResponseBlock(0, {status::kInvalidArgumentCount, {}}), "command without its code"};
  const std::uint16_t code = U16At(block, 0);
  if (code == kReadRegisters || code == kWriteRegisters) return Registers(context, block, code == kWriteRegisters);
  if (code == 0x0005) {
    update.lastUpload.assign(block.begin() + 2, block.end());
    ++update.uploads;
    update.uploadedBytes += update.lastUpload.size();
    return {ResponseBlock(code, {}), "upload of " + std::to_string(update.lastUpload.size()) + " bytes"};
  }
  const auto command =
      std::find_if(kCommands.begin(), kCommands.end(), [&](const FramedCommand& c) { return c.code == code; });
  if (command == kCommands.end())
    return {ResponseBlock(code, {status::kUnknownService, {}}), "unknown command 0x" + Hex4(code)};
  const std::vector<std::uint16_t> arguments = BytesToWords(block.subspan(2));
  if (arguments.size() < command->arguments)
    return {ResponseBlock(code, {status::kInvalidArgumentCount, {}}),
            std::string(command->name) + ": arguments missing"};
  const Reply reply = command->run(context, arguments);
  return {ResponseBlock(code, reply), std::string(command->name) + ": status 0x" + Hex4(reply.status)};
}

}  // namespace fennec::sim
