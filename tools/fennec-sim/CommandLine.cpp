#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "NumberText.h"
#include "ProtocolTable.h"
#include "TableNumbers.h"

namespace fennec::sim {

namespace {

using Problem = std::optional<std::string>;
using Setter = Problem (*)(ProgramOptions& options, std::string_view value);

struct OptionDefinition {
  std::string_view name;       // "--baud"
  std::string_view shortName;  // "-v", or empty
  std::string_view valueName;  // empty for a switch
  std::string_view help;
  Setter set;
};

constexpr std::uint64_t kMaxMilliseconds = 3'600'000;
constexpr std::uint64_t kMaxBaud = 4'000'000;
constexpr std::uint64_t kMaxCount = 1'000'000;

template <typename Target>
Problem SetNumber(Target& target, std::string_view value, std::uint64_t max, std::string_view what) {
  const auto number = ParseNumber(value, max);
  if (!number) return std::string(what) + " must be a number from 0 to " + std::to_string(max) + ", not '" + std::string(value) + "'";
  target = static_cast<Target>(*number);
  return std::nullopt;
}

Problem SetMilliseconds(std::chrono::milliseconds& target, std::string_view value) {
  std::uint64_t count = 0;
  if (auto problem = SetNumber(count, value, kMaxMilliseconds, "a time in milliseconds")) return problem;
  target = std::chrono::milliseconds(count);
  return std::nullopt;
}

// A count of exchanges after which something happens: at least one.
Problem SetExchanges(std::optional<unsigned>& target, std::string_view value, std::string_view option) {
  unsigned exchanges = 0;
  if (auto problem = SetNumber(exchanges, value, kMaxCount, option)) return problem;
  if (exchanges == 0) return std::string(option) + " needs at least 1 exchange";
  target = exchanges;
  return std::nullopt;
}

Problem SetStatus(std::uint16_t& target, std::string_view value) {
  if (auto problem = SetNumber(target, value, 0xFFFF, "a status")) return problem;
  if (target == 0) return std::string("a rejection needs a status other than 0");
  return std::nullopt;
}

// "NAME=STATUS": the part before and after the last '='.
std::optional<std::pair<std::string_view, std::string_view>> SplitRule(std::string_view value) {
  const std::size_t equals = value.rfind('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return std::pair{value.substr(0, equals), value.substr(equals + 1)};
}

// FRAGMENT:PACKET
Problem SetRepeat(ProgramOptions& options, std::string_view value) {
  const std::size_t colon = value.find(':');
  if (colon == std::string_view::npos) return "--net-repeat takes FRAGMENT:PACKET, not '" + std::string(value) + "'";
  NetworkFaults::Repeat repeat;
  if (auto problem = SetNumber(repeat.fragment, value.substr(0, colon), 0xFFFF, "a fragment number")) return problem;
  if (auto problem = SetNumber(repeat.packet, value.substr(colon + 1), 0xFFFF, "a packet number")) return problem;
  if (repeat.fragment == 0) return std::string("--net-repeat needs a fragment number from 1");
  options.simulator.networkFaults.repeat = repeat;
  return std::nullopt;
}

// GROUP/NUMBER=STATUS
Problem AddServiceRejection(ProgramOptions& options, std::string_view value) {
  const auto rule = SplitRule(value);
  const std::size_t slash = rule ? rule->first.find('/') : std::string_view::npos;
  if (slash == std::string_view::npos) return "--reject-service takes GROUP/NUMBER=STATUS, not '" + std::string(value) + "'";
  ServiceRejection rejection;
  if (auto problem = SetNumber(rejection.group, rule->first.substr(0, slash), 0xFF, "a service group")) return problem;
  if (auto problem = SetNumber(rejection.number, rule->first.substr(slash + 1), 0xFF, "a service number")) return problem;
  if (auto problem = SetStatus(rejection.status, rule->second)) return problem;
  options.simulator.rejections.services.push_back(rejection);
  return std::nullopt;
}

// TABLE:FIRST[-LAST]=STATUS
Problem AddRangeRejection(ProgramOptions& options, std::string_view value) {
  const auto rule = SplitRule(value);
  const std::size_t colon = rule ? rule->first.find(':') : std::string_view::npos;
  if (colon == std::string_view::npos)
    return "--reject-registers takes TABLE:FIRST[-LAST]=STATUS, not '" + std::string(value) + "'";
  const std::string_view range = rule->first.substr(colon + 1);
  const std::size_t dash = range.find('-');
  RangeRejection rejection;
  if (auto problem = SetNumber(rejection.table, rule->first.substr(0, colon), 127, "a table")) return problem;
  if (auto problem = SetNumber(rejection.first, range.substr(0, dash), 255, "a register")) return problem;
  rejection.last = rejection.first;
  if (dash != std::string_view::npos)
    if (auto problem = SetNumber(rejection.last, range.substr(dash + 1), 255, "a register")) return problem;
  if (rejection.last < rejection.first) return "the register range '" + std::string(range) + "' ends before it starts";
  if (auto problem = SetStatus(rejection.status, rule->second)) return problem;
  options.simulator.rejections.ranges.push_back(rejection);
  return std::nullopt;
}

// NAME=VALUE[,NAME=VALUE...] over the profile's table 124.
Problem RewriteTable124(ProgramOptions& options, std::string_view value) {
  Profile& profile = options.simulator.profile;
  const auto table = profile.deviceTables.find(kProtocolTable);
  if (table == profile.deviceTables.end()) return "the profile " + profile.name + " has no table 124";
  if (auto problem = RewriteProtocolWords(table->second, value)) return "--table124: " + *problem;
  return std::nullopt;
}

struct ExtFaultKind {
  std::string_view name;
  unsigned ExtFaults::*count;
};

constexpr std::array kExtFaultKinds{
    ExtFaultKind{"seqnr", &ExtFaults::wrongSeqNr},          ExtFaultKind{"cmd", &ExtFaults::wrongCmd},
    ExtFaultKind{"protid", &ExtFaults::wrongProtId},        ExtFaultKind{"repeat", &ExtFaults::repeatedFragment},
    ExtFaultKind{"order", &ExtFaults::outOfOrder},          ExtFaultKind{"counter0", &ExtFaults::counterZero},
    ExtFaultKind{"nodata", &ExtFaults::withoutData},        ExtFaultKind{"checksum", &ExtFaults::badChecksum},
    ExtFaultKind{"header", &ExtFaults::badHeader},          ExtFaultKind{"oversize", &ExtFaults::oversizeLen},
    ExtFaultKind{"confirm", &ExtFaults::confirmationInstead},
};
constexpr std::string_view kSilentAfter = "silent-after";

// KIND=N
Problem AddExtFault(ProgramOptions& options, std::string_view value) {
  const auto rule = SplitRule(value);
  if (!rule) return "--ext-fault takes KIND=N, not '" + std::string(value) + "'";
  ExtFaults& faults = options.simulator.extFaults;
  if (rule->first == kSilentAfter) {
    unsigned fragments = 0;
    if (auto problem = SetNumber(fragments, rule->second, kMaxCount, "--ext-fault silent-after")) return problem;
    faults.silentAfter = fragments;
    return std::nullopt;
  }
  for (const ExtFaultKind& kind : kExtFaultKinds)
    if (kind.name == rule->first) return SetNumber(faults.*kind.count, rule->second, kMaxCount, "--ext-fault");
  return "there is no extended-protocol fault '" + std::string(rule->first) + "' (see --help)";
}

Problem SetProfile(ProgramOptions& options, std::string_view value) {
  const Profile* profile = FindProfile(value);
  if (profile == nullptr) return "there is no profile '" + std::string(value) + "' (see --help)";
  options.simulator.profile = *profile;
  return std::nullopt;
}

Problem SetText(std::string& target, std::string_view value) {
  target = value;
  return std::nullopt;
}

const std::array kOptions{
    OptionDefinition{"--profile", "", "NAME", "the device to be (default fbc32; the profiles are listed below)", SetProfile},
    OptionDefinition{"--link", "", "PATH", "also make PATH a symbolic link to the pseudo-terminal (removed at exit)",
               [](ProgramOptions& o, std::string_view v) { o.link = v; return Problem(); }},
    OptionDefinition{"--state", "", "FILE", "keep the non-volatile memory in FILE (written atomically on every save);\n"
               "without it the memory lives as long as the process",
               [](ProgramOptions& o, std::string_view v) { o.simulator.stateFile = v; return Problem(); }},
    OptionDefinition{"--tcp", "", "PORT", "also serve the framed protocol on 127.0.0.1:PORT (0 picks a free port);\n"
               "the second output line is 127.0.0.1:PORT",
               [](ProgramOptions& o, std::string_view v) {
                 std::uint16_t port = 0;
                 if (auto problem = SetNumber(port, v, 0xFFFF, "--tcp")) return problem;
                 o.tcpPort = port;
                 return Problem();
               }},
    OptionDefinition{"--baud", "", "N", "send answers no faster than a serial line of N baud at 8E1 would\n"
               "(11 bit times per byte; 0, the default, sends at once)",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.baud, v, kMaxBaud, "--baud"); }},
    OptionDefinition{"--restart-silence", "", "MS", "after RestartSystem the device answers nothing for MS milliseconds\n"
               "(default 2000), then comes back with its saved parameters",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.timings.restartSilence, v); }},
    OptionDefinition{"--save-time", "", "MS", "SaveParameter keeps register 1 of table 127 at 1 (busy) for MS\n"
               "milliseconds (default 300), then at 2 (done)",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.timings.saveBusy, v); }},
    OptionDefinition{"--file-job-time", "", "MS", "ExtractFiles and FormatFlashDisk work for MS milliseconds (default\n"
               "4000), answering 0x821D meanwhile",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.timings.fileJob, v); }},
    OptionDefinition{"--order-number", "", "TEXT", "the order number reported instead of the profile's (the texts\n"
               "of one service answer must fit its 82 bytes together)",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.orderNumber, v); }},
    OptionDefinition{"--description", "", "TEXT", "the description reported instead of the profile's",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.description, v); }},
    OptionDefinition{"--hw-version", "", "TEXT", "the hardware version reported instead of the profile's",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.hardwareVersion, v); }},
    OptionDefinition{"--sw-version", "", "TEXT", "the software version, e.g. 01.07.12(09)",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.softwareVersion, v); }},
    OptionDefinition{"--fwl-version", "", "TEXT", "the firmware-loader version",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.firmwareLoaderVersion, v); }},
    OptionDefinition{"--serial-number", "", "TEXT", "the serial number",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.serialNumber, v); }},
    OptionDefinition{"--network-kind", "", "TEXT", "the kind of network identity (\"MAC-ID\" for most profiles)",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.networkKind, v); }},
    OptionDefinition{"--mac", "", "TEXT", "the network identity's value, the MAC address for a MAC-ID",
               [](ProgramOptions& o, std::string_view v) { return SetText(o.simulator.profile.identity.networkValue, v); }},
    OptionDefinition{"--drop", "", "N", "lose the next N requests on the line: the device neither sees nor answers them",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.lineFaults.dropNext, v, kMaxCount, "--drop"); }},
    OptionDefinition{"--corrupt-checksum", "", "N", "send the next N answers with a wrong checksum",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.lineFaults.corruptNext, v, kMaxCount, "--corrupt-checksum"); }},
    OptionDefinition{"--wrong-start", "", "N", "send the next N answers with the start identifier AA 55",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.lineFaults.wrongStartNext, v, kMaxCount, "--wrong-start"); }},
    OptionDefinition{"--echo", "", "N", "send the next N requests back instead of answering them",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.lineFaults.echoNext, v, kMaxCount, "--echo"); }},
    OptionDefinition{"--delay", "", "MS", "hold every answer back by MS milliseconds",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.lineFaults.delay, v); }},
    OptionDefinition{"--cut-after", "", "N", "close the line after N exchanges, as if the cable were pulled; the\n"
               "program then ends",
               [](ProgramOptions& o, std::string_view v) { return SetExchanges(o.simulator.lineFaults.cutAfter, v, "--cut-after"); }},
    OptionDefinition{"--reset-after", "", "N", "the power fails after N exchanges: the device restarts from its non-volatile\n"
               "memory (silent for --restart-silence) and forgets what it had not saved",
               [](ProgramOptions& o, std::string_view v) { return SetExchanges(o.simulator.lineFaults.resetAfter, v, "--reset-after"); }},
    OptionDefinition{"--fault-rate", "", "P", "strike each exchange with probability P (0.05 or 5%) by one fault picked at\n"
               "random: request lost, wrong checksum, wrong start, echo, late answer, split\n"
               "answer, garbage ahead of the answer, hang-up (the line goes down and comes back\n"
               "on a new terminal; --link follows it); -v names the fault of each exchange",
               [](ProgramOptions& o, std::string_view v) {
                 const auto rate = ParseRate(v);
                 if (!rate) return Problem("--fault-rate must be a fraction from 0 to 1 or a percentage, not '" + std::string(v) + "'");
                 o.simulator.randomFaults.rate = *rate;
                 return Problem();
               }},
    OptionDefinition{"--fault-kinds", "", "LIST", "pick the random faults only from these kinds, e.g. drop,late: drop, checksum,\n"
               "start, echo, late, split, garbage, hangup (default all)",
               [](ProgramOptions& o, std::string_view v) {
                 auto kinds = ParseFaultKinds(v);
                 if (!kinds) return Problem("--fault-kinds takes names from drop, checksum, start, echo, late, split, garbage, hangup, not '" + std::string(v) + "'");
                 o.simulator.randomFaults.kinds = std::move(*kinds);
                 return Problem();
               }},
    OptionDefinition{"--seed", "", "S", "the seed of the random faults (default 1): the same seed strikes the same faults",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.randomFaults.seed, v, 0xFFFFFFFF, "--seed"); }},
    OptionDefinition{"--fault-late", "", "MS", "a late answer comes MS to 2 x MS milliseconds late (default 6000: beyond\n"
               "the library's default time-out of 5000)",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.randomFaults.late, v); }},
    OptionDefinition{"--fault-gap", "", "MS", "a split answer pauses MS milliseconds between its parts (default 1000)",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.randomFaults.gap, v); }},
    OptionDefinition{"--net-repeat", "", "FRAGMENT:PACKET", "on TCP, the acknowledgement of request fragment FRAGMENT\n"
               "asks for packet PACKET again (once)", SetRepeat},
    OptionDefinition{"--net-error-abort", "", "N", "on TCP, the next N answers give their request up (error abort)",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.networkFaults.errorAbortNext, v, kMaxCount, "--net-error-abort"); }},
    OptionDefinition{"--net-wrong-id", "", "N", "on TCP, the next N answers carry the other protocol identifier",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.networkFaults.wrongIdentifierNext, v, kMaxCount, "--net-wrong-id"); }},
    OptionDefinition{"--net-wrong-request", "", "N", "on TCP, the next N answers carry another request number",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.networkFaults.wrongRequestNumberNext, v, kMaxCount, "--net-wrong-request"); }},
    OptionDefinition{"--net-long-length", "", "N", "on TCP, the next N answers announce 100 more data bytes than they send",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.networkFaults.overstateLengthNext, v, kMaxCount, "--net-long-length"); }},
    OptionDefinition{"--net-close", "", "N", "on TCP, close the connection when each of the next N frames arrives",
               [](ProgramOptions& o, std::string_view v) { return SetNumber(o.simulator.networkFaults.closeInsideRequestNext, v, kMaxCount, "--net-close"); }},
    OptionDefinition{"--net-delay", "", "MS", "on TCP, hold every answer back by MS milliseconds",
               [](ProgramOptions& o, std::string_view v) { return SetMilliseconds(o.simulator.networkFaults.delay, v); }},
    OptionDefinition{"--reject-service", "", "G/N=STATUS", "answer service G/N with STATUS instead of running it, e.g.\n"
               "1/5=0x8212 (repeatable)", AddServiceRejection},
    OptionDefinition{"--reject-registers", "", "T:FIRST[-LAST]=STATUS", "reject every register telegram that touches those\n"
               "registers of table T with STATUS, e.g. 100:0-79=0x8201 (repeatable)", AddRangeRejection},
    OptionDefinition{"--table124", "", "NAME=VALUE[,...]", "rewrite words of table 124 (TableByteSize, TableSum, ProtocolID,\n"
               "TargetBufSize, FragmentEnable, FragmentSize, FragmentTimeout, RegAccTimeout,\n"
               "version, Reserve2, Reserve3); TableSum is worked out again unless named, e.g.\n"
               "FragmentSize=100 or TableSum=0 (repeatable)", RewriteTable124},
    OptionDefinition{"--old-restart-answer", "", "", "answer the restart service of the extended protocol with the\n"
               "old 14-byte register telegram, as a coupler that goes down at once",
               [](ProgramOptions& o, std::string_view) { o.simulator.profile.oldFormatRestartAnswer = true; return Problem(); }},
    OptionDefinition{"--ext-fault", "", "KIND=N", "damage the next N answer fragments of the extended protocol:\n"
               "seqnr, cmd, protid (a wrong SeqNr, Cmd or ProtID), repeat (the fragment\n"
               "before again), order (the next fragment's counter), counter0, nodata,\n"
               "checksum, header (AA 55), oversize (Len beyond FragmentSize + 12), confirm\n"
               "(an acknowledgement where the answer is due); silent-after=K: K more\n"
               "answer fragments, then none for the rest of that message (repeatable)", AddExtFault},
    OptionDefinition{"--verbose", "-v", "", "log every exchange to standard error",
               [](ProgramOptions& o, std::string_view) { o.verbose = true; return Problem(); }},
    OptionDefinition{"--help", "-h", "", "show this text",
               [](ProgramOptions& o, std::string_view) { o.help = true; return Problem(); }},
};

const OptionDefinition* FindOption(std::string_view name) {
  for (const OptionDefinition& option : kOptions)
    if (option.name == name || (!option.shortName.empty() && option.shortName == name)) return &option;
  return nullptr;
}

struct GivenOption {
  const OptionDefinition* definition;
  std::string value;
};

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string> arguments) {
  std::vector<GivenOption> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    std::optional<std::string> inlineValue;
    if (const std::size_t equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
      inlineValue = std::string(argument.substr(equals + 1));
      argument = argument.substr(0, equals);
    }
    const OptionDefinition* definition = FindOption(argument);
    if (definition == nullptr) return {std::nullopt, "unknown option '" + std::string(arguments[i]) + "'"};
    if (definition->valueName.empty()) {
      if (inlineValue) return {std::nullopt, std::string(definition->name) + " takes no value"};
      given.push_back({definition, {}});
    } else if (inlineValue) {
      given.push_back({definition, *inlineValue});
    } else if (i + 1 < arguments.size()) {
      given.push_back({definition, arguments[++i]});
    } else {
      return {std::nullopt, std::string(definition->name) + " needs " + std::string(definition->valueName)};
    }
  }

  ProgramOptions options;
  options.simulator.profile = *FindProfile("fbc32");
  // The profile first, so that identity texts given before it still override it.
  std::stable_partition(given.begin(), given.end(), [](const GivenOption& option) { return option.definition->set == SetProfile; });
  for (const GivenOption& option : given)
    if (auto problem = option.definition->set(options, option.value)) return {std::nullopt, *problem};
  if (auto problem = IdentityProblem(options.simulator.profile.identity)) return {std::nullopt, *problem};
  return {std::move(options), {}};
}

std::string HelpText() {
  std::string text =
      "Usage: fennec-sim [OPTION]...\n"
      "Plays a fieldbus coupler or controller on a pseudo-terminal. The first line of standard\n"
      "output is the terminal a client opens as its serial port; with --tcp the same device also\n"
      "answers the framed protocol on 127.0.0.1. The program runs until it is interrupted (SIGINT,\n"
      "SIGTERM) or the line is cut.\n\n"
      "Options (a value may also follow the option after '='; numbers may be hexadecimal with 0x):\n";
  for (const OptionDefinition& option : kOptions) {
    std::string head = "  ";
    if (!option.shortName.empty()) head += std::string(option.shortName) + ", ";
    head += option.name;
    if (!option.valueName.empty()) head += " " + std::string(option.valueName);
    text += head + "\n";
    std::string_view help = option.help;
    while (!help.empty()) {
      const std::size_t end = std::min(help.find('\n'), help.size());
      text += "        " + std::string(help.substr(0, end)) + "\n";
      help.remove_prefix(std::min(end + 1, help.size()));
    }
  }
  text += "\nProfiles:\n";
  for (const Profile& profile : AllProfiles()) {
    text += "  " + profile.name + std::string(10 - std::min<std::size_t>(profile.name.size(), 9), ' ') + profile.summary +
            "\n            order number " + profile.identity.orderNumber + ", network identity " +
            profile.identity.networkKind + " " + profile.identity.networkValue + "\n";
  }
  text +=
      "\nThe device serves register tables 0, 99, 100, 124 (32-bit generation), 127 and the services of\n"
      "table 99. Tables 0 and 100 accept writes only after EnableParamWriting(true); SaveParameter\n"
      "stores them in the non-volatile memory and SetFactoryDefaults restores the profile's values.\n"
      "A device whose table 124 has a version other than 0 (fbcext) also speaks the extended protocol\n"
      "on the same line, with register numbers beyond 255 (table 110 of fbcext: 320 registers that a\n"
      "client writes without enabling and a restart resets).\n"
      "On TCP it answers the device API (identifier 0x1288 or 0x1279) from the same tables and services,\n"
      "and the update API: uploads are kept in memory, a save to flash is busy for --save-time.\n";
  return text;
}

}  // namespace fennec::sim
