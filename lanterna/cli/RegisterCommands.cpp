// regs: raw register access through the session's service, or over the extended protocol.
#include <array>
#include <cstdio>
#include <iostream>
#include <memory>

#include "ExtProtLogFile.h"
#include "ExtProtokoll.h"
#include "ExtRegComm.h"
#include "ProtDetection.h"
#include "SIORegComm.h"
#include "Platform/LastError.h"
#include "SIOService.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/FailureReport.h"
#include "cli/JsonOutput.h"

namespace lanterna::cli {

namespace {

constexpr const char* kUsage = "regs read TABLE FIRST COUNT | regs write TABLE FIRST WORD...";

// What one request can address: a telegram's 8-bit numbers, or the extended message's 16-bit
// ones with as many registers as its length field can carry.
struct RegisterLimits {
  std::uint32_t lastTable;
  std::uint32_t registers;  // a run ends before this register
  std::uint32_t maxCount;
};
constexpr RegisterLimits kTelegramLimits{CSIORegComm::MAXCOUNT_TABLES - 1, CSIORegComm::MAXCOUNT_REGISTER,
                                         CSIORegComm::MAXCOUNT_REGISTER};
constexpr RegisterLimits kExtendedLimits{0xFFFF, 0x10000, 32761};

enum class RegisterProtocol { Legacy, Extended, Auto };

RegisterProtocol ProtocolOf(const CliOptions& options) {
  if (!options.protocol || *options.protocol == "legacy") return RegisterProtocol::Legacy;
  if (*options.protocol == "ext") return RegisterProtocol::Extended;
  if (*options.protocol == "auto") return RegisterProtocol::Auto;
  throw CBadInput("--protocol takes legacy, ext or auto, not '" + *options.protocol + "'");
}

// The run of registers a command names, checked against what one request can address.
struct RegisterRun {
  unsigned table = 0;
  unsigned first = 0;
  std::vector<std::uint16_t> words;
};

RegisterRun ParseRun(const CliOptions& options, const RegisterLimits& limits) {
  const auto& operands = options.operands;
  if (operands.size() < 4 || (operands[0] != "read" && operands[0] != "write") ||
      (operands[0] == "read" && operands.size() != 4))
    throw CBadInput(std::string("usage: lanterna-cli ") + kUsage);
  if (operands[0] == "read" && options.enable) throw CBadInput("only regs write takes --enable");
  RegisterRun run;
  run.table = ParseNumberOperand(operands[1], limits.lastTable, "the table");
  run.first = ParseNumberOperand(operands[2], limits.registers - 1, "the first register");
  const std::uint32_t room = std::min(limits.registers - run.first, limits.maxCount);
  if (operands[0] == "read") {
    const std::uint32_t count = ParseNumberOperand(operands[3], room, "the count");
    if (count == 0) throw CBadInput("the count is at least 1");
    run.words.resize(count);
    return run;
  }
  if (operands.size() - 3 > room)
    throw CBadInput("register " + std::to_string(run.first) + " has room for " + std::to_string(room) + " words");
  for (std::size_t i = 3; i < operands.size(); ++i)
    run.words.push_back(static_cast<std::uint16_t>(ParseNumberOperand(operands[i], 0xFFFF, "the word")));
  return run;
}

void PrintWords(const RegisterRun& run, bool json) {
  if (json) {
    PrintJsonSuccess({{"table", run.table}, {"first", run.first}, {"words", run.words}});
    return;
  }
  for (std::size_t i = 0; i < run.words.size(); ++i) {
    char line[48];
    std::snprintf(line, sizeof line, "%u:%-4zu 0x%04X %5u\n", run.table, run.first + i, run.words[i], run.words[i]);
    std::cout << line;
  }
}

unsigned TraceMode(const CliOptions& options) {
  if (!options.trace) return 0;
  const std::uint32_t mode = ParseNumberOperand(*options.trace, 15, "--trace");
  if (mode == 0) throw CBadInput("--trace takes the mode bits 1 (hexadecimal), 2 (decimal), 4 (characters), 8 (fields)");
  return mode;
}

// The extended protocol over the session's connection: the detection reads table 124 through
// the telegrams, the engine and the register access use what it found.
class CExtendedRoad {
 public:
  CExtendedRoad(ORLA::CConnectionBase& connection, unsigned traceMode)
      : m_legacy(&connection),
        m_log(traceMode != 0 ? std::make_unique<CExtProtLogFile>(traceMode) : nullptr),
        m_detection(&m_legacy, m_log.get()),
        m_protocol(&connection, &m_detection, m_log.get()),
        m_registers(&m_protocol) {}

  std::uint32_t Detect() { return m_detection.DetectProtokollType(); }
  bool Supported() const { return m_detection.IsExtProtSupported(); }
  CExtRegComm& Registers() { return m_registers; }
  const CProtDetection& Detection() const { return m_detection; }
  const CExtProtLogFile* Log() const { return m_log.get(); }

 private:
  CSIOService m_legacy;
  std::unique_ptr<CExtProtLogFile> m_log;
  CProtDetection m_detection;
  CExtProtokoll m_protocol;
  CExtRegComm m_registers;
};

// Table 124's words by their names.
constexpr std::array<const char*, CProtDetection::TABLE_WORDS> kTable124Words = {
    "TableByteSize", "TableSum", "ProtocolID", "TargetBufSize", "FragmentEnable", "FragmentSize",
    "FragmentTimeout", "RegAccTimeout", "version", "Reserve2", "Reserve3"};

}  // namespace

int RunProto(const CliOptions& options) {
  RequireOperands(options, 0, 0, "proto");
  const unsigned traceMode = TraceMode(options);
  CDeviceSession session(options);
  CProgramSession& program = session.Program();
  if (!program.OpenPort()) return DirectFailed(session, options, "Opening the port failed!");
  std::vector<std::uint16_t> table(CProtDetection::TABLE_WORDS);
  const bool hasTable = program.ReadRegisters(CProtDetection::TABLE_NO, 0, table);
  const std::uint32_t readFailure = hasTable ? 0 : fennec::platform::GetThreadLastError();
  CExtendedRoad road(program.Connection(), traceMode);
  const std::uint32_t detected = road.Detect();
  const CProtDetection& detection = road.Detection();
  std::uint16_t sum = 0;
  for (const std::uint16_t word : table) sum = static_cast<std::uint16_t>(sum + word);
  const char* checksum = !hasTable ? "not read" : sum == 0 ? "correct" : "wrong";

  if (options.json) {
    Json words = Json::object();
    for (std::size_t i = 0; i < table.size(); ++i) words[kTable124Words[i]] = hasTable ? Json(table[i]) : Json();
    PrintJsonSuccess({{"table124", words},
                      {"checksum", checksum},
                      {"supported", detection.IsExtProtSupported()},
                      {"fragment_size", detection.GetFragmentSize()},
                      {"target_buf_size", detection.GetTargetBufSize()},
                      {"fragment_enable", detection.GetFragmentEnable()}});
  } else {
    if (hasTable) {
      std::cout << "Table 124\n";
      for (std::size_t i = 0; i < table.size(); ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "  %-16s 0x%04X %5u\n", kTable124Words[i], table[i], table[i]);
        std::cout << line;
      }
    } else {
      std::cout << "The device has no table 124 (" << HexCode(readFailure) << ").\n";
    }
    std::cout << "Checksum         " << checksum << "\n"
              << "Extended protocol " << (detection.IsExtProtSupported() ? "supported" : "not supported")
              << " (detection " << HexCode(detected) << ")\n"
              << "FragmentSize     " << detection.GetFragmentSize() << "\n"
              << "TargetBufSize    " << detection.GetTargetBufSize() << "\n"
              << "FragmentEnable   " << (detection.GetFragmentEnable() ? 1 : 0) << "\n";
  }
  if (road.Log()) std::cerr << "The protocol trace is in " << road.Log()->GetFileName() << ".\n";
  return kExitSuccess;
}

int RunRegs(const CliOptions& options) {
  const RegisterProtocol protocol = ProtocolOf(options);
  if (options.trace && protocol == RegisterProtocol::Legacy)
    throw CBadInput("--trace traces the extended protocol: give --protocol ext or auto");
  const unsigned traceMode = TraceMode(options);
  RegisterRun run = ParseRun(options, protocol == RegisterProtocol::Legacy ? kTelegramLimits : kExtendedLimits);
  const bool reading = options.operands[0] == "read";
  CDeviceSession session(options);
  CProgramSession& program = session.Program();
  if (!program.OpenPort()) return DirectFailed(session, options, "Opening the port failed!");
  if (!reading && options.enable && !program.Service().EnableParamWriting(true))
    return DirectFailed(session, options, "Enabling the parameter writing failed!", {"", 0, 0, "EnableParamWriting"});

  std::unique_ptr<CExtendedRoad> extended;
  if (protocol != RegisterProtocol::Legacy) {
    extended = std::make_unique<CExtendedRoad>(program.Connection(), traceMode);
    const std::uint32_t detected = extended->Detect();
    if (!extended->Supported()) {
      if (protocol == RegisterProtocol::Extended) {
        CliFailure failure = session.DirectFailure("The device does not announce the extended protocol in its table 124.");
        failure.code = detected;
        return Failed(options, failure);
      }
      std::cerr << "The device does not announce the extended protocol: the registers go by telegram.\n";
      extended.reset();
      run = ParseRun(options, kTelegramLimits);
    }
  }

  const auto count = static_cast<unsigned>(run.words.size());
  CRegCommBase* road = extended ? static_cast<CRegCommBase*>(&extended->Registers()) : nullptr;
  const bool done = road ? (reading ? road->ReadRegister(0, run.table, run.first, count, run.words.data())
                                    : road->WriteRegister(0, run.table, run.first, count, run.words.data()))
                         : (reading ? program.ReadRegisters(run.table, run.first, run.words)
                                    : program.WriteRegisters(run.table, run.first, run.words));
  if (extended && extended->Log()) std::cerr << "The protocol trace is in " << extended->Log()->GetFileName() << ".\n";
  if (!done)
    return DirectFailed(session, options, reading ? "Reading the registers failed!" : "Writing the registers failed!",
                        {"", static_cast<std::int32_t>(run.table), static_cast<std::int32_t>(run.first), ""});
  if (reading || options.json) PrintWords(run, options.json);
  if (!reading)
    std::cerr << "Wrote " << count << " register" << (count == 1 ? "" : "s") << " of table " << run.table
              << " from register " << run.first << ".\n";
  return kExitSuccess;
}

}  // namespace lanterna::cli
