// libFuzzer target for the simulator: whatever arrives on its serial line or its network road,
// the device answers without crashing, and a register table changes only where a write the
// device accepted asked for it.
//
// Input:
//   byte 0     bits 0-6: the device profile (index into AllProfiles, modulo its size);
//              bit 7: responses on the network road come in parts of 64 bytes instead of 1400
//   then chunks: a control byte, a length byte, then that many bytes.
//     control bits 0-1: 0: the bytes go on the serial line as they are;
//                       1: they become a register telegram: start, length, multipoint address 0,
//                          'R' and checksum made right; identifier, count, module, table and
//                          first register, then the data, from the bytes;
//                       2: they become an extended frame: start, Len, '$' and checksum made
//                          right; Cmd, FragCnt, SeqNr and Err, then the data, from the bytes;
//                       3: they become a frame on the network road: its 18-byte header from the
//                          bytes (the data length made right), the rest its data;
//     control bits 2-4: the time that passes before the chunk (kPauses);
//     control bit 5:    the serial line falls quiet first: the receiver drops a torn request.
//
// After every request the device handles, the tables as they were just before and just after
// it may differ only in the registers of a write its answer accepts (holding the words the
// request carried, where one frame carried them all), in the service table when a write to its
// register 0 ran a service, and in a parameter table set back to its factory words by the
// factory-defaults service. The save state in table 127 is the device's own report and follows
// its work. Any other difference is a table changed that nobody asked to change.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Common/ByteOrder.h"
#include "DeviceModel.h"
#include "FramedEndpoint.h"
#include "FuzzCheck.h"
#include "ORLAHelpFunktions.h"
#include "RequestAssembler.h"
#include "TableNumbers.h"

namespace {

using namespace fennec::sim;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Words = std::vector<std::uint16_t>;

constexpr std::uint8_t kSmallParts = 0x80;
constexpr std::size_t kSmallPartSize = 64;
constexpr std::uint8_t kRoadMask = 0x03;
constexpr std::uint8_t kRawLine = 0;
constexpr std::uint8_t kTelegram = 1;
constexpr std::uint8_t kExtended = 2;
constexpr unsigned kPauseShift = 2;
constexpr std::uint8_t kQuietLine = 0x20;
constexpr std::array<std::chrono::milliseconds, 8> kPauses{0ms, 5ms, 50ms, 400ms, 2500ms, 5s, 30s, 10min};

// The factory-defaults service: in a request block group 1 in the low byte, number 4 in the
// high byte; on the network road the device API's command 0x0104.
constexpr std::uint16_t kFactoryDefaultsRequest = 0x0401;
constexpr std::uint16_t kResetParameterCommand = 0x0104;
constexpr std::uint16_t kWriteRegistersCommand = 0x0402;
constexpr std::size_t kTelegramHeader = 10;
constexpr std::size_t kExtendedHeader = 10;
constexpr std::size_t kMessageHeader = 12;
constexpr std::size_t kRegisterCommandHeader = 10;
constexpr std::uint8_t kWriteFlag = 0x80;
constexpr std::uint8_t kExtendedWriteAnswer = 0x82;
constexpr std::uint8_t kExtendedServiceAnswer = 0x83;
constexpr std::uint16_t kCounterMask = 0x7FFF;  // FragCnt without its more-follow bit
constexpr std::uint16_t kAnswerNotInFrame = frame_status::kErrorAbort | frame_status::kRepeat | frame_status::kFetch;

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return fennec::LoadU16LE(bytes.subspan(offset).first<2>());
}

Words WordsOf(std::span<const std::uint8_t> bytes) {
  Words words;
  for (std::size_t at = 0; at + 2 <= bytes.size(); at += 2) words.push_back(U16(bytes, at));
  return words;
}

void AppendChecksum(Bytes& bytes) {
  fennec::AppendU16LE(bytes, CORLAHelpFunktions::CalculateChecksum(bytes.data(), bytes.size()));
}

// The fields of a telegram from the bytes, the framing made right.
Bytes TelegramFrom(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, 5> fields{};  // identifier, count, module, table, first register
  std::copy_n(bytes.begin(), std::min(bytes.size(), fields.size()), fields.begin());
  const auto data = bytes.subspan(std::min(bytes.size(), fields.size()));
  const auto cut = data.first(std::min<std::size_t>(data.size(), 100 - 12));
  Bytes telegram{0xFD, 0x02, static_cast<std::uint8_t>(12 + cut.size()), fields[0], 0, fields[1], 'R',
                 fields[2], fields[3], fields[4]};
  telegram.insert(telegram.end(), cut.begin(), cut.end());
  AppendChecksum(telegram);
  return telegram;
}

Bytes ExtendedFrom(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, 5> fields{};  // Cmd, FragCnt (two bytes), SeqNr, Err
  std::copy_n(bytes.begin(), std::min(bytes.size(), fields.size()), fields.begin());
  const auto data = bytes.subspan(std::min(bytes.size(), fields.size()));
  Bytes frame{0xFD, 0x02};
  fennec::AppendU16LE(frame, static_cast<std::uint16_t>(12 + data.size()));
  frame.insert(frame.end(), {'$', fields[0], fields[1], fields[2], fields[3], fields[4]});
  frame.insert(frame.end(), data.begin(), data.end());
  AppendChecksum(frame);
  return frame;
}

Frame FramedFrom(std::span<const std::uint8_t> bytes) {
  std::array<std::uint8_t, kFrameHeader> header{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), header.size()), header.begin());
  return ParseFrame(header, bytes.subspan(std::min(bytes.size(), header.size())));
}

// What one request may change.
struct Run {
  unsigned table = 0;
  unsigned first = 0;
  unsigned count = 0;
  std::optional<Words> words;  // what the write carried, when the fuzzer can tell
};

struct Allowance {
  std::vector<Run> runs;
  bool serviceTable = false;
  bool factoryValues = false;

  void Write(unsigned table, unsigned first, unsigned count, std::optional<Words> words) {
    if (table == kServiceTable && first == 0) {
      serviceTable = true;
      factoryValues = factoryValues || !words || (!words->empty() && words->front() == kFactoryDefaultsRequest);
    }
    runs.push_back({table, first, count, std::move(words)});
  }

  bool Covers(unsigned table, unsigned reg) const {
    if (table == kServiceTable && serviceTable) return true;
    if (table == kStateTable && reg == kSaveStateRegister) return true;
    return std::any_of(runs.begin(), runs.end(), [&](const Run& run) {
      return run.table == table && reg >= run.first && reg - run.first < run.count;
    });
  }
};

// A register telegram's answer: only an accepted write may change anything.
Allowance FromTelegram(std::span<const std::uint8_t> request, const std::optional<Bytes>& answer) {
  Allowance allowed;
  if (!answer || answer->size() < 12 || request.size() < 12) return allowed;
  const Bytes& a = *answer;
  if (a[0] != 0x02 || a[1] != 0xFD || a[6] != 'r' || (a[8] & kWriteFlag) != 0 || (request[8] & kWriteFlag) == 0)
    return allowed;
  FuzzCheck(a[3] == request[3] && a[5] == request[5] && a[7] == request[7] &&
                a[8] == (request[8] & ~kWriteFlag) && a[9] == request[9],
            "a write answer that repeats another request's header");
  const unsigned count = request[5];
  FuzzCheck(request.size() == 12 + 2 * count, "a write accepted whose length does not match its count");
  allowed.Write(request[8] & ~kWriteFlag, request[9], count, WordsOf(request.subspan(kTelegramHeader, 2 * count)));
  return allowed;
}

// The first answer fragment of a message carries the message's header: that fragment alone
// follows the execution of a message.
Allowance FromExtended(std::span<const std::uint8_t> request, const std::optional<Bytes>& answer) {
  Allowance allowed;
  if (!answer || answer->size() < kExtendedHeader + kMessageHeader + 2) return allowed;
  const std::span<const std::uint8_t> a(*answer);
  if (a[4] != '$' || (U16(a, 6) & kCounterMask) != 1) return allowed;
  const Words header = WordsOf(a.subspan(kExtendedHeader, kMessageHeader));
  const std::uint16_t status = header[5];
  if (status != 0) return allowed;
  if (a[5] == kExtendedServiceAnswer) {
    allowed.factoryValues = (header[1] | (header[2] << 8)) == kFactoryDefaultsRequest;
    return allowed;
  }
  if (a[5] != kExtendedWriteAnswer) return allowed;
  const unsigned table = header[2];
  const unsigned first = header[3];
  const unsigned count = header[4];
  // A message in one fragment: its words are known.
  std::optional<Words> words;
  if (request.size() >= kExtendedHeader + 2 && request[5] == 2 && U16(request, 6) == 1) {
    const auto message = request.subspan(kExtendedHeader, request.size() - kExtendedHeader - 2);
    if (message.size() == kMessageHeader + 2 * count) words = WordsOf(message.subspan(kMessageHeader));
  }
  allowed.Write(table, first, count, std::move(words));
  return allowed;
}

Allowance FromFramed(const Frame& request, const std::optional<Bytes>& reply) {
  Allowance allowed;
  if (!reply || reply->size() < kFrameHeader + 4) return allowed;
  const std::span<const std::uint8_t> r(*reply);
  if ((U16(r, kStatusAt) & kAnswerNotInFrame) != 0) return allowed;
  const auto data = r.subspan(kFrameHeader);
  const std::uint16_t code = U16(data, 0);
  if (code == kResetParameterCommand) {
    allowed.factoryValues = U16(data, 2) == 0;
    return allowed;
  }
  if (code != kWriteRegistersCommand || data.size() < kRegisterCommandHeader + 2 ||
      U16(data, kRegisterCommandHeader) != 0)
    return allowed;
  const unsigned count = U16(data, 8);
  std::optional<Words> words;
  if (request.fragment == 1 && request.total == 1 && request.data.size() == kRegisterCommandHeader + 2 * count)
    words = WordsOf(std::span(request.data).subspan(kRegisterCommandHeader));
  allowed.Write(U16(data, 4), U16(data, 6), count, std::move(words));
  return allowed;
}

void CheckChanges(const TableSet& before, const TableSet& after, const Allowance& allowed, const Profile& profile) {
  FuzzCheck(before.size() == after.size(), "a table appeared or went away");
  for (const auto& [table, image] : after) {
    const auto old = before.find(table);
    if (old == before.end()) FuzzFail("table " + std::to_string(table) + " appeared");
    const auto factory = profile.parameterTables.find(table);
    if (allowed.factoryValues && factory != profile.parameterTables.end() && image == factory->second) continue;
    if (image.size() != old->second.size()) FuzzFail("table " + std::to_string(table) + " changed its size");
    for (std::size_t reg = 0; reg < image.size(); ++reg)
      if (image[reg] != old->second[reg] && !allowed.Covers(table, static_cast<unsigned>(reg)))
        FuzzFail("register " + std::to_string(reg) + " of table " + std::to_string(table) +
                 " changed, and no accepted write asked for it");
  }
  for (const Run& run : allowed.runs) {
    if (!run.words || (run.table == kServiceTable && run.first == 0)) continue;
    const auto table = after.find(static_cast<std::uint8_t>(run.table));
    FuzzCheck(run.table <= 0xFF && table != after.end() && run.first + run.count <= table->second.size(),
              "a write accepted outside every table");
    if (!std::equal(run.words->begin(), run.words->end(), table->second.begin() + run.first))
      FuzzFail("an accepted write left other words than it carried in table " + std::to_string(run.table));
  }
}

// The telegrams and frames the receiver cuts from the line: each starts with the request's
// start bytes and is as long as its own length field says.
void CheckAssembled(const Bytes& request, std::optional<std::size_t> extendedData) {
  FuzzCheck(request.size() >= 12 && request[0] == 0xFD && request[1] == 0x02, "a request cut at the wrong place");
  const bool extended = extendedData && request[4] == '$';
  const std::size_t length = extended ? U16(request, 2) : request[2];
  FuzzCheck(length == request.size(), "a request cut to another length than its own");
  FuzzCheck(length <= (extended ? *extendedData + 12 : 100), "a request longer than the receiver takes");
}

class Device {
 public:
  Device(const Profile& profile, std::size_t partSize)
      : m_profile(profile),
        m_model(profile, DeviceTimings{}, NonVolatileMemory(profile), m_now),
        m_framed(m_model, partSize),
        m_assembler(ExtendedData(profile)) {}

  void Pause(std::chrono::milliseconds time) { m_now = m_now + time; }
  void QuietLine() { (void)m_assembler.DiscardPartial(); }

  void OnLine(std::span<const std::uint8_t> bytes) {
    m_assembler.Feed(bytes);
    while (const auto request = m_assembler.Next()) {
      CheckAssembled(*request, ExtendedData(m_profile));
      Serve(*request);
    }
  }

  void Serve(std::span<const std::uint8_t> request) {
    const TableSet before = Tables();
    const DeviceModel::Exchange exchange = m_model.Handle(request, m_now);
    const bool extended = request.size() > 4 && request[4] == '$';
    const Allowance allowed = extended ? FromExtended(request, exchange.answer) : FromTelegram(request, exchange.answer);
    CheckChanges(before, Tables(), allowed, m_profile);
  }

  void OnNetwork(Frame frame) {
    const TableSet before = Tables();
    const Frame request = frame;
    const FramedEndpoint::Reply reply = m_framed.Handle(m_session, std::move(frame), m_faults, m_now);
    CheckChanges(before, Tables(), FromFramed(request, reply.frame), m_profile);
  }

 private:
  static std::optional<std::size_t> ExtendedData(const Profile& profile) {
    const auto table = profile.deviceTables.find(kProtocolTable);
    if (table == profile.deviceTables.end()) return std::nullopt;
    return LimitsOf(table->second).fragmentSize;
  }

  // As they are now, work that ended by now (a restart, a save) done first.
  TableSet Tables() { return m_model.StateAt(m_now).tables.All(); }

  const Profile& m_profile;
  Moment m_now{std::chrono::steady_clock::time_point(std::chrono::hours(1)), 1'700'000'000};
  DeviceModel m_model;
  FramedEndpoint m_framed;
  FramedSession m_session;
  NetworkFaults m_faults;
  RequestAssembler m_assembler;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const Profile> profiles = AllProfiles();
  Device device(profiles[(data[0] & 0x7F) % profiles.size()], (data[0] & kSmallParts) != 0 ? kSmallPartSize : kFragmentSize);
  std::span<const std::uint8_t> input(data + 1, size - 1);
  while (input.size() >= 2) {
    const std::uint8_t control = input[0];
    const auto bytes = input.subspan(2, std::min<std::size_t>(input[1], input.size() - 2));
    input = input.subspan(2 + bytes.size());
    device.Pause(kPauses[(control >> kPauseShift) % kPauses.size()]);
    if ((control & kQuietLine) != 0) device.QuietLine();
    switch (control & kRoadMask) {
      case kRawLine:
        device.OnLine(bytes);
        break;
      case kTelegram:
        device.OnLine(TelegramFrom(bytes));
        break;
      case kExtended:
        device.OnLine(ExtendedFrom(bytes));
        break;
      default:
        device.OnNetwork(FramedFrom(bytes));
        break;
    }
  }
  return 0;
}
