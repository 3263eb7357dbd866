// lanterna-cli as a separate process, against the simulator it starts itself and on
// pseudo-terminals: exit statuses, its output and what reaches the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "Platform/ChildProcess.h"
#include "Platform/PseudoTerminal.h"
#include "Platform/SerialPortList.h"
#include "Platform/StoreFile.h"
#include "SimulatedDevice.h"
#include "TempFolder.h"

using fennec::platform::ChildProcess;
using Json = nlohmann::json;
using namespace std::chrono_literals;

namespace {

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;

  bool Says(const std::string& text) const { return err.find(text) != std::string::npos; }
};

std::vector<std::string> Keys(const Json& object) {
  std::vector<std::string> keys;
  for (const auto& [key, value] : object.items()) keys.push_back(key);
  return keys;
}

class CliProgram : public ::testing::Test {
 protected:
  // Each test has its own simulated devices and registry.
  void SetUp() override {
    setenv("FENNEC_SIM_STATE", (m_folder.Path() / "state").c_str(), 1);
    setenv("FENNEC_REGISTRY", (m_folder.Path() / "registry.xml").c_str(), 1);
    setenv("LC_ALL", "C", 1);
  }

  Result Run(const std::vector<std::string>& arguments) {
    const auto errors = m_folder.Path() / "stderr.txt";
    auto process = ChildProcess::Start(LANTERNA_CLI, arguments, errors);
    Result result;
    if (!process) return result;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (auto line = process->ReadLine(deadline)) result.out += *line + "\n";
    result.exitCode = process->Wait(deadline).value_or(-1);
    result.err = fennec::platform::ReadWholeFile(errors).value_or("");
    return result;
  }

  Json ReadJson(const std::string& connection = "SIM") {
    const Result read = Run({"--connection", connection, "--json", "read"});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    return Json::parse(read.out);
  }

  std::filesystem::path WriteFile(const std::string& name, const std::string& text) {
    const auto file = m_folder.Path() / name;
    std::ofstream(file) << text;
    return file;
  }

  std::filesystem::path StateFile(const std::string& profile) {
    return m_folder.Path() / "state" / ("simulator-" + profile + ".state");
  }

  TempFolder m_folder;
};

// Registers of table 100 whose words differ, with both words.
std::vector<std::tuple<std::size_t, unsigned, unsigned>> Changes(const Json& before, const Json& after) {
  std::vector<std::tuple<std::size_t, unsigned, unsigned>> changes;
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
    if (before[i] != after[i]) changes.emplace_back(i, before[i].get<unsigned>(), after[i].get<unsigned>());
  return changes;
}

}  // namespace

TEST_F(CliProgram, ReadAsJsonHasTheKeysTheLogAndTheParametersOfTheDevice) {
  const Json result = ReadJson();
  EXPECT_EQ(Keys(result), (std::vector<std::string>{"admissible", "identification", "is32", "is_pfc", "log", "ok",
                                                    "pages", "parameters", "tables"}));
  const Json& identification = result["identification"];
  EXPECT_EQ(Keys(identification),
            (std::vector<std::string>{"clock", "description", "fwl_version", "gateway", "hardware_version",
                                      "ip_address", "network_id", "network_id_kind", "order_number",
                                      "serial_number", "software_version", "subnet_mask"}));
  EXPECT_EQ(identification["order_number"], "716-341");
  EXPECT_EQ(identification["ip_address"], "192.168.1.17");
  EXPECT_EQ(identification["network_id_kind"], "MAC-ID");
  EXPECT_EQ(identification["clock"], "DONE");
  EXPECT_EQ(result["admissible"], true);
  EXPECT_EQ(result["is32"], true);
  EXPECT_EQ(result["is_pfc"], false);
  EXPECT_EQ(result["pages"], Json({"COMMON", "TCPIP", "NETWORK", "CLOCK", "MODBUS", "PROTOCOL", "TRAFFIC", "SNTP",
                                   "ETHERNETIP"}));
  ASSERT_EQ(result["tables"]["0"].size(), 32u);
  ASSERT_EQ(result["tables"]["100"].size(), 80u);
  EXPECT_EQ(result["tables"]["100"][9], 0xA8C0);  // 192.168 in one register
  EXPECT_EQ(result["tables"]["100"][10], 0x1101);

  const Json& parameters = result["parameters"];
  EXPECT_EQ(parameters["TCPIP.IPAddress"], "192.168.1.17");
  EXPECT_EQ(parameters["PROTOCOL.HttpPort"], 80);
  EXPECT_EQ(parameters["NETWORK.HostName"], "");
  EXPECT_EQ(parameters["PROTOCOL.FTP"], true);
  EXPECT_EQ(parameters["PROTOCOL.SNMP"], false);
  EXPECT_EQ(parameters["TCPIP.Server"], "BootP-Server");
  EXPECT_EQ(parameters["MODBUS.TriggerMask1"], 0xFFFF);
  EXPECT_FALSE(parameters.contains("TCPIP.BootP"));  // the older generation's switch
  EXPECT_FALSE(parameters.contains("PFC.ResetOutputs"));

  EXPECT_EQ(result["log"], Json({"Identifying connected device is in progress...",
                                 "    Connecting with the device is in progress...",
                                 "    Connecting with the device successfully done",
                                 "    Check article number '716-341' ...", "    Article number '716-341' is admissible",
                                 "    Check firmware version '01.07.12(09)' ...",
                                 "    Firmware version '01.07.12(09)' is admissible",
                                 "Connected device successfully identified."}));
}

TEST_F(CliProgram, EveryProfileIsJudgedByTheShippedConfiguration) {
  const Json pfc = ReadJson("SIM:pfc32");
  EXPECT_EQ(pfc["is_pfc"], true);
  EXPECT_EQ(pfc["parameters"]["PFC.ResetOutputs"], false);
  EXPECT_EQ(pfc["parameters"]["ETHERNETIP.BkFbInpPlcOnlyVarCnt"], 0);

  const Json older = ReadJson("SIM:fbc16");
  EXPECT_EQ(older["is32"], false);
  EXPECT_EQ(older["identification"]["clock"], "ERROR: Service not supported!");
  EXPECT_EQ(older["identification"]["ip_address"], "192.168.1.18");  // from its internal variables
  EXPECT_EQ(older["parameters"]["PROTOCOL.HttpPort"], 80);
  EXPECT_EQ(older["parameters"]["TCPIP.BootP"], true);
  EXPECT_FALSE(older["parameters"].contains("NETWORK.HostName"));

  // No section: a device that reports no MAC-ID is not admitted.
  const Result node = Run({"--connection", "SIM:fbcnode", "--json", "read"});
  EXPECT_EQ(node.exitCode, 1);
  EXPECT_TRUE(node.Says("lanterna-cli: Inadmissible FBC!")) << node.err;
  EXPECT_EQ(Json::parse(node.out)["admissible"], false);

  // Its addresses come from the identification and cannot be written back: commented out.
  const Result old = Run({"--connection", "SIM:fbcold", "read"});
  EXPECT_EQ(old.exitCode, 0) << old.err;
  EXPECT_NE(old.out.find("\n#   FWL Version    ERROR: Service not supported!\n"), std::string::npos) << old.out;
  EXPECT_NE(old.out.find("\n# Parameters\nTCPIP.BootP=1\n# TCPIP.IPAddress=10.0.0.21   (read only)\n"),
            std::string::npos)
      << old.out;
}

TEST_F(CliProgram, WriteChangesExactlyTheNamedRegistersAndTheDeviceKeepsThemOverARestart) {
  const Json before = ReadJson();
  const Result write =
      Run({"--connection", "SIM", "write", "TCPIP.IPAddress=10.1.2.3", "PROTOCOL.HttpPort=8080", "NETWORK.HostName=plant-7"});
  ASSERT_EQ(write.exitCode, 0) << write.err;
  EXPECT_TRUE(write.Says("    Software-Reset successfully done"));
  EXPECT_TRUE(write.Says("Writing settings to the connected device successfully done"));
  EXPECT_NE(write.out.find("\nTCPIP.IPAddress=10.1.2.3\n"), std::string::npos) << write.out;

  // A new process powers the simulated device up from its memory.
  const Json after = ReadJson();
  EXPECT_EQ(after["identification"]["ip_address"], "10.1.2.3");
  EXPECT_EQ(after["parameters"]["NETWORK.HostName"], "plant-7");
  using Change = std::tuple<std::size_t, unsigned, unsigned>;
  EXPECT_EQ(Changes(before["tables"]["100"], after["tables"]["100"]),
            (std::vector<Change>{{9, 0xA8C0, 0x010A},
                                 {10, 0x1101, 0x0302},
                                 {25, 0, 0x6C70},  // "pl"
                                 {26, 0, 0x6E61},  // "an"
                                 {27, 0, 0x2D74},  // "t-"
                                 {28, 0, 0x0037},  // "7" and the terminating zero
                                 {59, 80, 8080}}));
  EXPECT_EQ(before["tables"]["0"], after["tables"]["0"]);
}

TEST_F(CliProgram, OverTcpTheSameDeviceReadsAlikeAndKeepsWhatAWriteOverTcpSaved) {
  const Result serial = Run({"--connection", "SIM", "read"});
  const Result network = Run({"--connection", "SIMTCP", "read"});
  ASSERT_EQ(network.exitCode, 0) << network.err;
  EXPECT_EQ(network.out, serial.out);

  const Json before = ReadJson();
  const Result write = Run({"--connection", "SIMTCP", "write", "TCPIP.IPAddress=10.1.2.3"});
  ASSERT_EQ(write.exitCode, 0) << write.err;
  EXPECT_TRUE(write.Says("    Software-Reset successfully done"));
  const Json after = ReadJson();
  EXPECT_EQ(after["identification"]["ip_address"], "10.1.2.3");
  using Change = std::tuple<std::size_t, unsigned, unsigned>;
  EXPECT_EQ(Changes(before["tables"]["100"], after["tables"]["100"]),
            (std::vector<Change>{{9, 0xA8C0, 0x010A}, {10, 0x1101, 0x0302}}));
}

TEST_F(CliProgram, UploadChecksTheFileAndTheRoadFirstAndShowsItsProgressOnAPipe) {
  const auto firmware = WriteFile("firmware.bin", std::string(5000, '\x5A'));
  const Result upload = Run({"--connection", "SIMTCP", "--json", "upload", firmware.string(), "--yes"});
  ASSERT_EQ(upload.exitCode, 0) << upload.err;
  const Json result = Json::parse(upload.out);
  EXPECT_EQ(Keys(result), (std::vector<std::string>{"bytes", "identification", "ok", "save_state"}));
  EXPECT_EQ(result["bytes"], 5000);
  EXPECT_EQ(result["save_state"], 2);
  // 5002 bytes go in four fragments.
  EXPECT_TRUE(upload.Says("\nupload 25%\nupload 50%\nupload 75%\nupload 100%\n")) << upload.err;

  const auto empty = WriteFile("empty.bin", "");
  EXPECT_EQ(Run({"--connection", "SIMTCP", "upload", empty.string(), "--yes"}).exitCode, 2);
  const Result serial = Run({"--connection", "SIM", "upload", firmware.string(), "--yes"});
  EXPECT_EQ(serial.exitCode, 2);
  EXPECT_TRUE(serial.Says("over the network only")) << serial.err;
  const Result unasked = Run({"--connection", "SIMTCP", "upload", firmware.string()});
  EXPECT_EQ(unasked.exitCode, 2);
  EXPECT_TRUE(unasked.Says("give --yes")) << unasked.err;

  // One fragment more than a request can have: refused by its size, never read.
  const auto huge = m_folder.Path() / "huge.bin";
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, 65535ull * 1400 - 1);
  const Result tooLarge = Run({"--connection", "SIMTCP", "upload", huge.string(), "--yes"});
  EXPECT_EQ(tooLarge.exitCode, 2);
  EXPECT_TRUE(tooLarge.Says("is too large for one upload")) << tooLarge.err;
}

TEST_F(CliProgram, WriteFromTheLinesOfAReadCopiesTheSettingsBack) {
  const Result read = Run({"--connection", "SIM", "read"});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  std::string lines = read.out;
  const auto port = lines.find("PROTOCOL.HttpPort=80\n");
  ASSERT_NE(port, std::string::npos) << lines;
  lines.replace(port, std::string("PROTOCOL.HttpPort=80").size(), "PROTOCOL.HttpPort=8081");
  const Json before = ReadJson();

  const Result write = Run({"--connection", "SIM", "write", "--from", WriteFile("device.txt", lines).string()});
  ASSERT_EQ(write.exitCode, 0) << write.err;

  const Json after = ReadJson();
  using Change = std::tuple<std::size_t, unsigned, unsigned>;
  EXPECT_EQ(Changes(before["tables"]["100"], after["tables"]["100"]), (std::vector<Change>{{59, 80, 8081}}));
}

TEST_F(CliProgram, RefusedValuesEndWithStatus2AndNothingIsWritten) {
  const Result range = Run({"--connection", "SIM", "write", "PROTOCOL.HttpPort=70000"});
  EXPECT_EQ(range.exitCode, 2);
  EXPECT_TRUE(range.Says("PROTOCOL.HttpPort=70000 refused (HTTP-Port): Please enter a value between 0 and 65535."))
      << range.err;
  EXPECT_FALSE(range.Says("Writing settings"));

  const Result address = Run({"--connection", "SIM", "write", "TCPIP.IPAddress=10.1.2"});
  EXPECT_EQ(address.exitCode, 2);
  EXPECT_TRUE(address.Says("TCPIP.IPAddress=10.1.2 refused")) << address.err;

  // Unknown keys are refused before the device is even read.
  const Result unknown = Run({"--connection", "SIM", "write", "TCPIP.Address=10.1.2.3"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(unknown.Says("there is no parameter TCPIP.Address")) << unknown.err;
  EXPECT_FALSE(unknown.Says("Identifying"));

  const Result noPage = Run({"--connection", "SIM:fbc16", "write", "NETWORK.HostName=plant-7"});
  EXPECT_EQ(noPage.exitCode, 2);
  EXPECT_TRUE(noPage.Says("The connected device does not get the page of this parameter.")) << noPage.err;

  // The devices were only read: nothing was saved.
  EXPECT_FALSE(std::filesystem::exists(StateFile("fbc32")));
  EXPECT_FALSE(std::filesystem::exists(StateFile("fbc16")));
}

TEST_F(CliProgram, NumbersThatAreNotWholeNumbersOfTheFieldsBaseAreRefusedBeforeTheDeviceIsRead) {
  for (const std::string setting : {"MODBUS.WatchdogTimeout=0x10", "MODBUS.WatchdogTimeout=1e3",
                                    "MODBUS.WatchdogTimeout=12abc", "MODBUS.WatchdogTimeout=7.5",
                                    "MODBUS.WatchdogTimeout=", "PROTOCOL.HttpPort=8080abc",
                                    "MODBUS.TriggerMask1=0x12zz", "MODBUS.TriggerMask1="}) {
    SCOPED_TRACE(setting);
    const Result write = Run({"--connection", "SIM", "write", setting});
    EXPECT_EQ(write.exitCode, 2);
    EXPECT_TRUE(write.Says("argument: " + setting + " refused: '" + setting.substr(setting.find('=') + 1) +
                           "' is not a "))
        << write.err;
    EXPECT_TRUE(write.Says(setting.starts_with("MODBUS.TriggerMask") ? "hexadecimal number" : "decimal number"));
    EXPECT_FALSE(write.Says("Identifying"));
  }
  const auto file = WriteFile("settings.txt", "# from a read\nPROTOCOL.HttpPort=80\nMODBUS.WatchdogTimeout=0x10\n");
  const Result fromFile = Run({"--connection", "SIM", "write", "--from", file.string()});
  EXPECT_EQ(fromFile.exitCode, 2);
  EXPECT_TRUE(fromFile.Says(file.string() + ":3: MODBUS.WatchdogTimeout=0x10 refused")) << fromFile.err;
  EXPECT_FALSE(std::filesystem::exists(StateFile("fbc32")));

  // Whole numbers of the field's base go through.
  const Result written = Run({"--connection", "SIM", "write", "MODBUS.WatchdogTimeout=+150", "MODBUS.TriggerMask1=0x12AB"});
  ASSERT_EQ(written.exitCode, 0) << written.err;
  EXPECT_NE(written.out.find("\nMODBUS.WatchdogTimeout=150\n"), std::string::npos) << written.out;
  EXPECT_NE(written.out.find("\nMODBUS.TriggerMask1=0x12AB\n"), std::string::npos) << written.out;
}

TEST_F(CliProgram, ParamsShowTheRangesOfTheIniFileInUse) {
  const auto ini = WriteFile("LANTERNA.INI",
                             "[0716-0341]\nFBC=32\nPFC=0\nPAGE00=ALL\n[PROTOCOL]\nHttpPortMin=1000\nHttpPortMax=2000\n");
  const Result params = Run({"--connection", "SIM", "--ini", ini.string(), "--json", "params"});
  ASSERT_EQ(params.exitCode, 0) << params.err;
  const Json list = Json::parse(params.out)["parameters"];
  auto entry = [&](const std::string& key) {
    for (const Json& item : list)
      if (item["key"] == key) return item;
    return Json();
  };
  EXPECT_EQ(entry("PROTOCOL.HttpPort"), (Json{{"key", "PROTOCOL.HttpPort"}, {"page", "PROTOCOL"},
                                             {"title", "HTTP-Port"}, {"type", "number"}, {"range", "1000..2000"},
                                             {"default", "80"}, {"registers", "100:59"}, {"device_has_it", true}}));
  EXPECT_EQ(entry("TCPIP.BootP")["device_has_it"], false);
  EXPECT_EQ(entry("MODBUS.TriggerMask2")["range"], "0x0000..0xFFFF");
  EXPECT_EQ(entry("PFC.ResetOutputs")["device_has_it"], false);  // a coupler does not get the PFC page
}

TEST_F(CliProgram, ASilentDeviceEndsWithStatus1AndTheCataloguesText) {
  fennec::sim::SimulatorOptions options;
  options.profile = *fennec::sim::FindProfile("fbc32");
  fennec::sim::SimulatedDevice device(std::move(options));
  ASSERT_TRUE(device.Start());
  device.DropNext(1000);
  const Result read = Run({"--connection", "RS232:" + device.SlavePath(), "read"});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_TRUE(read.Says("    ERROR: Connecting with the device failed!\nIdentification of connected device failed!\n"))
      << read.err;
  EXPECT_TRUE(read.Says("lanterna-cli: Connecting device failed!\n")) << read.err;
  EXPECT_TRUE(read.Says("Timeout while connecting to fieldbus coupler !")) << read.err;
  EXPECT_EQ(read.out, "");
}

TEST_F(CliProgram, AMissingSerialDeviceEndsWithStatus1AndAdvice) {
  const Result read = Run({"--connection", "RS232:/dev/lanterna-no-such-port", "--json", "read"});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_TRUE(read.Says("lanterna-cli: Connecting device failed!\n  Communication Port Error (0x20020002): COM-Port not found !"))
      << read.err;
  EXPECT_TRUE(read.Says("/dev/lanterna-no-such-port")) << read.err;
  EXPECT_EQ(Json::parse(read.out)["admissible"], false);
}

TEST_F(CliProgram, ClockZoneIsKeptByTheDeviceUntilSimResetReturnsTheFactoryState) {
  const Result zone = Run({"--connection", "SIM", "--json", "clock", "zone", "-5"});
  ASSERT_EQ(zone.exitCode, 0) << zone.err;
  EXPECT_EQ(Json::parse(zone.out)["device"]["time_zone"], -5);

  const Result set = Run({"--connection", "SIM", "--json", "clock", "set", "2030-01-02", "03:04:05"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  const Json clock = Json::parse(set.out)["device"];
  EXPECT_EQ(clock["time_zone"], -5);  // the UTC write keeps the zone
  EXPECT_EQ(clock["utc"].get<std::string>().substr(0, 16), "2030-01-02T03:04");
  EXPECT_EQ(clock["date"], "2030-01-01");  // local time: five hours behind

  const Result reset = Run({"sim-reset"});
  EXPECT_EQ(reset.exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(StateFile("fbc32")));
  const Result factory = Run({"--connection", "SIM", "--json", "clock"});
  ASSERT_EQ(factory.exitCode, 0) << factory.err;
  EXPECT_EQ(Json::parse(factory.out)["device"]["time_zone"], 0);

  const Result noClock = Run({"--connection", "SIM:fbc16", "clock"});
  EXPECT_EQ(noClock.exitCode, 2);
  EXPECT_TRUE(noClock.Says("has no Clock page")) << noClock.err;
  EXPECT_EQ(Run({"--connection", "SIM", "clock", "zone", "13"}).exitCode, 2);
}

TEST_F(CliProgram, RegistersAreReadAndWrittenRawWithTheirLimitsCheckedFirst) {
  const Result read = Run({"--connection", "SIM", "regs", "read", "100", "9", "2"});
  ASSERT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(read.out, "100:9    0xA8C0 43200\n100:10   0x1101  4353\n");

  // Raw means without enabling the parameter writing first: the device refuses.
  const Result write = Run({"--connection", "SIM", "regs", "write", "100", "59", "0x1F90"});
  EXPECT_EQ(write.exitCode, 1);
  EXPECT_TRUE(write.Says("lanterna-cli: Writing the registers failed!\n  Fieldbus Coupler Error (0x20088202)")) << write.err;

  EXPECT_EQ(Run({"--connection", "SIM", "regs", "read", "128", "0", "1"}).exitCode, 2);
  const Result tooLong = Run({"--connection", "SIM", "regs", "read", "100", "250", "7"});
  EXPECT_EQ(tooLong.exitCode, 2);
  EXPECT_TRUE(tooLong.Says("the count '7' is not a number from 0 to 6")) << tooLong.err;
  EXPECT_EQ(Run({"--connection", "SIM", "regs", "write", "100", "0", "0x10000"}).exitCode, 2);
}

TEST_F(CliProgram, RegistersWrittenWithEnableReachTheDevice) {
  const Result write = Run({"--connection", "SIM", "regs", "write", "--enable", "100", "59", "8080"});
  ASSERT_EQ(write.exitCode, 0) << write.err;
  EXPECT_TRUE(write.Says("Wrote 1 register of table 100 from register 59.")) << write.err;
  EXPECT_EQ(Run({"--connection", "SIM", "regs", "read", "--enable", "100", "59", "1"}).exitCode, 2);
  EXPECT_EQ(Run({"--connection", "SIM", "--enable", "read"}).exitCode, 2);
}

TEST_F(CliProgram, CommandsWithoutADeviceAnswerAtOnce) {
  const Result params = Run({"params"});
  ASSERT_EQ(params.exitCode, 0) << params.err;
  EXPECT_NE(params.out.find("\nMODBUS.WatchdogTimeout          MODBUS     number     -       100:3"), std::string::npos)
      << params.out;
  const Json list = Json::parse(Run({"--json", "params"}).out)["parameters"];
  ASSERT_FALSE(list.empty());
  EXPECT_TRUE(list[0]["device_has_it"].is_null());

  const Result version = Run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.substr(0, 19), "lanterna-cli 4.5.0 ");
  EXPECT_NE(version.out.find("\nlibfennec 4.5.0 "), std::string::npos) << version.out;

  const Result noError = Run({"error", "0"});
  EXPECT_EQ(noError.exitCode, 0);
  EXPECT_EQ(noError.out, "0x00000000  The code 0 is no error: the library reports it when nothing failed.\n");

  const Result foreign = Run({"--connection", "FOO", "read"});
  EXPECT_EQ(foreign.exitCode, 2);
  EXPECT_TRUE(foreign.Says("--connection takes RS232:<device> (RS232:ttyUSB0, RS232:/dev/ttyS0), TCPIP:<host>[:<port>]"))
      << foreign.err;

  const Result binary = Run({"--connection", "SIM", "write", "--from", WriteFile("image.bin", std::string("A\0B\x1b[2J=\x01", 8)).string()});
  EXPECT_EQ(binary.exitCode, 2);
  EXPECT_TRUE(binary.Says("image.bin is not a text file of KEY=VALUE lines")) << binary.err;
  EXPECT_EQ(binary.err.find('\x1b'), std::string::npos);
}

TEST_F(CliProgram, WithJsonEveryCommandPrintsOneObjectOnSuccessAndOnFailure) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
  };
  const Case cases[] = {
      {{"--connection", "SIM", "read"}, 0},
      {{"params"}, 0},
      {{"ports"}, 0},
      {{"error", "0x20010200"}, 0},
      {{"--connection", "SIM", "regs", "read", "100", "9", "2"}, 0},
      {{"--connection", "SIM", "clock"}, 0},
      {{"sim-reset"}, 0},
      {{"--connection", "SIM", "regs", "write", "100", "59", "8080"}, 1},
      {{"--connection", "RS232:/dev/ttyUSB7", "read"}, 1},
      {{"--connection", "SIM", "write", "MODBUS.WatchdogTimeout=0x10"}, 2},
      {{"read", "--jsno"}, 2},
      {{"frobnicate"}, 2},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), "--json");
    SCOPED_TRACE(::testing::PrintToString(arguments));
    const Result result = Run(arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    Json object;
    ASSERT_NO_THROW(object = Json::parse(result.out)) << result.out;
    ASSERT_TRUE(object.is_object());
    EXPECT_EQ(object["ok"], c.exitCode == 0);
    if (c.exitCode == 0) continue;
    EXPECT_EQ(object["exit"], c.exitCode);
    EXPECT_EQ(Keys(object["error"]), (std::vector<std::string>{"advice", "code", "text", "title"}));
  }

  const Json missing = Json::parse(Run({"--json", "--connection", "RS232:/dev/ttyUSB7", "read"}).out);
  EXPECT_EQ(missing["error"]["code"], "0x20020002");
  EXPECT_EQ(missing["error"]["title"], "Connecting device failed!");
  EXPECT_FALSE(missing["error"]["advice"].get<std::string>().empty());
  EXPECT_EQ(missing["log"].back(), "Identification of connected device failed!");  // what was read before
  const Json refused = Json::parse(Run({"--json", "--connection", "SIM", "regs", "write", "100", "59", "8080"}).out);
  EXPECT_EQ(refused["error"]["code"], "0x20088202");
  EXPECT_EQ(refused["error"]["title"], "Writing the registers failed!");
}

TEST_F(CliProgram, ThePortIsStoredAsTheDialogStoresItAndEveryFailureNamesIt) {
  const Result fresh = Run({"--json", "port"});
  ASSERT_EQ(fresh.exitCode, 0) << fresh.err;
  EXPECT_EQ(Json::parse(fresh.out)["stored"], false);
  const Result unset = Run({"--connection", "RS232:/dev/lanterna-none", "read"});
  EXPECT_TRUE(unset.Says("The port: /dev/lanterna-none, from --connection")) << unset.err;

  const Result set = Run({"port", "set", "RS232:/dev/lanterna-none", "--timeout", "700", "--parity", "odd"});
  ASSERT_EQ(set.exitCode, 0) << set.err;
  const Json stored = Json::parse(Run({"--json", "port"}).out);
  EXPECT_EQ(stored["stored"], true);
  EXPECT_EQ(stored["device"], "/dev/lanterna-none");
  EXPECT_EQ(stored["parity"], "Odd");
  EXPECT_EQ(stored["timeout"], "700");
  EXPECT_EQ(stored["baudrate"], "19200");  // what was not given keeps its value

  const Result read = Run({"--json", "read"});
  EXPECT_EQ(read.exitCode, 1);
  EXPECT_EQ(Json::parse(read.out)["port"],
            "/dev/lanterna-none, the stored port; choose another with --connection or store one with 'port set'");
  EXPECT_TRUE(read.Says("There is no port /dev/lanterna-none")) << read.err;

  EXPECT_EQ(Run({"port", "set", "RS232:ttyUSB0", "--baud", "4800"}).exitCode, 2);
  EXPECT_EQ(Run({"port", "set", "SIM"}).exitCode, 2);
  EXPECT_EQ(Run({"port", "--timeout", "5"}).exitCode, 2);
  EXPECT_EQ(Run({"read", "--baud", "9600"}).exitCode, 2);
  EXPECT_EQ(Json::parse(Run({"--json", "port"}).out)["timeout"], "700");  // refused settings changed nothing

  ASSERT_EQ(Run({"port", "reset"}).exitCode, 0);
  EXPECT_EQ(Json::parse(Run({"--json", "port"}).out)["stored"], false);
  EXPECT_TRUE(Run({"read"}).Says(", the default; choose one with --connection or store one with 'port set'"));
}

TEST_F(CliProgram, TheCataloguesDetailNamesTheRequestsTableRegisterAndService) {
  struct Case {
    std::vector<std::string> arguments;
    const char* detail;
  };
  const Case cases[] = {
      {{"--connection", "SIM", "regs", "read", "100", "80", "1"}, "Table 100 does not contains register 80."},
      {{"--connection", "SIM", "regs", "read", "5", "0", "1"}, "Table 5 is not used by the fieldbus coupler."},
      {{"--connection", "SIM", "regs", "write", "100", "59", "8080"},
       "Write protection must be cleared before changing register 59."},
      {{"--connection", "SIM:fbc16", "extract", "--yes"},
       "Function 'ExtractFiles' is not supported by the connetcted fieldbus coupler."},
  };
  for (const Case& c : cases) {
    const Result result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.Says(c.detail)) << result.err;
  }
}

TEST_F(CliProgram, TheExtendedProtocolReachesPastTheTelegramsAndReadsWhatTheyRead) {
  const Json proto = Json::parse(Run({"--json", "--connection", "SIM:fbcext", "proto"}).out);
  EXPECT_EQ(proto["supported"], true);
  EXPECT_EQ(proto["fragment_size"], 64);
  EXPECT_EQ(proto["target_buf_size"], 1024);
  EXPECT_EQ(proto["checksum"], "correct");
  EXPECT_EQ(proto["table124"]["version"], 1);
  EXPECT_EQ(Json::parse(Run({"--json", "--connection", "SIM:fbc16", "proto"}).out)["supported"], false);

  const Result legacy = Run({"--connection", "SIM:fbcext", "regs", "read", "--protocol", "legacy", "110", "0", "256"});
  const Result ext = Run({"--connection", "SIM:fbcext", "regs", "read", "--protocol", "ext", "110", "0", "256"});
  ASSERT_EQ(ext.exitCode, 0) << ext.err;
  EXPECT_EQ(ext.out, legacy.out);
  EXPECT_EQ(ext.out.substr(0, ext.out.find('\n')), "110:0    0x5A00 23040");

  const auto traces = m_folder.Path() / "traces";
  std::filesystem::create_directories(traces);
  setenv("FENNEC_TRACE_DIR", traces.c_str(), 1);
  const Result beyond = Run({"--connection", "SIM:fbcext", "regs", "read", "--protocol", "ext", "--trace", "1", "110", "0", "300"});
  unsetenv("FENNEC_TRACE_DIR");
  ASSERT_EQ(beyond.exitCode, 0) << beyond.err;
  EXPECT_EQ(std::count(beyond.out.begin(), beyond.out.end(), '\n'), 300);
  EXPECT_NE(beyond.out.find("\n110:299  0x5B2B 23339\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::is_empty(traces));

  // Without the extended protocol the telegrams' limits hold.
  const Result fallback = Run({"--connection", "SIM:fbc16", "regs", "read", "--protocol", "auto", "0", "0", "300"});
  EXPECT_EQ(fallback.exitCode, 2);
  EXPECT_TRUE(fallback.Says("registers go by telegram")) << fallback.err;
  EXPECT_EQ(Run({"--connection", "SIM:fbc16", "regs", "read", "--protocol", "ext", "0", "0", "1"}).exitCode, 1);
  EXPECT_EQ(Run({"--connection", "SIM", "regs", "read", "--protocol", "fast", "0", "0", "1"}).exitCode, 2);
  EXPECT_EQ(Run({"--connection", "SIM", "read", "--protocol", "ext"}).exitCode, 2);
  EXPECT_EQ(Run({"--connection", "SIM", "regs", "read", "--trace", "1", "0", "0", "1"}).exitCode, 2);
}

// Waits until the condition holds, for at most ten seconds.
template <class Condition>
bool Eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

TEST_F(CliProgram, AnInterruptedRunLeavesThePortFreeForTheNextProgram) {
  fennec::platform::PseudoTerminal line(fennec::platform::PseudoTerminal::Start::Raw,
                                        fennec::platform::PseudoTerminal::Slave::Held);
  auto process = ChildProcess::Start(LANTERNA_CLI, {"--connection", "RS232:" + line.SlavePath(), "read"},
                                     m_folder.Path() / "stderr.txt");
  ASSERT_TRUE(process);
  ASSERT_TRUE(Eventually([&] { return line.SlaveIsExclusive(); }));  // the program holds the port
  EXPECT_EQ(process->Terminate(std::chrono::steady_clock::now() + 30s), 128 + 15);
  EXPECT_FALSE(line.SlaveIsExclusive());
  EXPECT_NE(fennec::platform::ReadWholeFile(m_folder.Path() / "stderr.txt").value_or("").find("interrupted; the port is released"),
            std::string::npos);
}

TEST_F(CliProgram, AnInterruptDuringAWriteWaitsUntilTheWriteIsSaved) {
  const auto errors = m_folder.Path() / "stderr.txt";
  auto process = ChildProcess::Start(LANTERNA_CLI, {"--connection", "SIM", "write", "PROTOCOL.HttpPort=8088"}, errors);
  ASSERT_TRUE(process);
  ASSERT_TRUE(Eventually([&] {
    return fennec::platform::ReadWholeFile(errors).value_or("").find("Writing settings is in progress") != std::string::npos;
  }));
  EXPECT_EQ(process->Terminate(std::chrono::steady_clock::now() + 60s), 128 + 15);
  const std::string err = fennec::platform::ReadWholeFile(errors).value_or("");
  EXPECT_NE(err.find("finishing the write; Ctrl-C again to abort"), std::string::npos) << err;
  EXPECT_NE(err.find("Writing settings to the connected device successfully done"), std::string::npos) << err;
  EXPECT_EQ(ReadJson()["parameters"]["PROTOCOL.HttpPort"], 8088);
}

TEST_F(CliProgram, AnIniFileThatCannotServeSaysWhatIsMissing) {
  const auto garbage = WriteFile("garbage.ini", "not an ini file\n");
  const Result read = Run({"--connection", "SIM", "--ini", garbage.string(), "read"});
  EXPECT_TRUE(read.Says("the INI file " + garbage.string() + " holds no sections")) << read.err;
  EXPECT_TRUE(read.Says("the INI file " + garbage.string() + " has no section [0716-0341] for the connected device"));

  const auto devicesOnly = WriteFile("devices.ini", "[0716-0341]\nFBC=32\nPFC=0\nPAGE00=ALL\n");
  EXPECT_TRUE(Run({"--ini", devicesOnly.string(), "params"}).Says("has no page ranges"));

  const auto big = WriteFile("big.ini", std::string(1024 * 1024 + 1, ';'));
  const Result tooBig = Run({"--ini", big.string(), "params"});
  EXPECT_EQ(tooBig.exitCode, 2);
  EXPECT_TRUE(tooBig.Says("is larger than the limit of 1024 KiB")) << tooBig.err;

  const Result folder = Run({"--ini", m_folder.Path().string(), "params"});
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_TRUE(folder.Says("cannot be read: Is a directory")) << folder.err;
}

// A store the library had to move aside starts empty: the user is told where it went and what
// was lost, once.
TEST_F(CliProgram, ADamagedSettingsStoreIsNamedWithWhereItWentAndWhatWasLost) {
  const std::filesystem::path store = m_folder.Path() / "registry.xml";
  ASSERT_EQ(Run({"port", "set", "RS232:/dev/lanterna-stored"}).exitCode, 0);
  const std::string sound = fennec::platform::ReadWholeFile(store).value_or("");
  const std::size_t afterDevice = sound.find("/>", sound.find("/dev/lanterna-stored"));
  ASSERT_NE(afterDevice, std::string::npos) << sound;
  const std::string head = "lanterna-cli: the settings store " + store.string() + " was damaged and moved to ";
  const struct {
    const char* name;
    std::string damage;
    std::vector<std::string> arguments;
    std::string lost;
  } cases[] = {
      {"cut off behind the port", sound.substr(0, afterDevice + 2) + "<value name='par", {"--json", "port"},
       "; its stored values (the stored port /dev/lanterna-stored among them) are lost\n"},
      {"garbage", "\x7f\x45\x4c\x46 garbage", {"--connection", "SIM", "read"},
       "; its stored values (the stored port among them, if one was stored) are lost\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile("registry.xml", c.damage);
    const Result result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::size_t at = result.err.find(head);
    ASSERT_NE(at, std::string::npos) << result.err;
    const std::size_t end = result.err.find(';', at);
    const std::string aside = result.err.substr(at + head.size(), end - at - head.size());
    EXPECT_TRUE(aside.starts_with(store.string() + ".damaged-")) << aside;
    EXPECT_EQ(fennec::platform::ReadWholeFile(aside), c.damage);
    EXPECT_EQ(result.err.substr(end), c.lost);
    EXPECT_FALSE(Run(c.arguments).Says("settings store")) << "told once; the new store is sound";
  }
  const Json port = Json::parse(Run({"--json", "port"}).out);
  EXPECT_EQ(port["stored"], false);
}

TEST_F(CliProgram, APortThatIsNoSerialPortIsNamedForWhatItIsBesideTheCataloguesText) {
  const std::filesystem::path file = WriteFile("port.txt", "text");
  const struct {
    std::string path;
    std::string kind;
  } cases[] = {{file.string(), "a regular file"}, {m_folder.Path().string(), "a folder"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const Result read = Run({"--connection", "RS232:" + c.path, "read"});
    EXPECT_EQ(read.exitCode, 1);
    EXPECT_TRUE(read.Says("lanterna-cli: Connecting device failed!\n  Communication Port Error (0x2002001F): "))
        << read.err;
    EXPECT_TRUE(read.Says("\n  " + c.path + " is not a serial port: it is " + c.kind + ".")) << read.err;
  }
}

// The script as bash runs it: the line typed so far, and what bash would offer.
TEST_F(CliProgram, TheBashCompletionOffersCommandsOptionsKeysProfilesAndPorts) {
  const Result script = Run({"completion", "bash"});
  ASSERT_EQ(script.exitCode, 0) << script.err;
  const std::filesystem::path file = WriteFile("lanterna-cli.bash", script.out);
  auto offered = [&](const std::string& typed) {
    const std::string driver =
        "source \"$1\"; COMP_LINE=$2; COMP_POINT=${#COMP_LINE}; _lanterna_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
    auto bash = ChildProcess::Start("/bin/bash", {"-c", driver, "bash", file.string(), std::string(LANTERNA_CLI) + typed});
    std::vector<std::string> words;
    if (!bash) return words;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (auto line = bash->ReadLine(deadline))
      if (!line->empty()) words.push_back(*line);
    EXPECT_EQ(bash->Wait(deadline), 0) << typed;
    return words;
  };
  using Words = std::vector<std::string>;
  Words ports;
  for (const auto& port : fennec::platform::ListSerialPorts()) ports.push_back(port.name);
  const struct {
    std::string typed;
    Words words;
  } cases[] = {
      {" re", {"read", "restart", "regs"}},
      {" h", {"help"}},
      {" help com", {"completion"}},
      {" --json --connection SIM:pf", {"pfc32"}},
      {" --connection SIM read --j", {"--json"}},
      {" --connection RS232:", ports},
      {" port set RS232:", ports},
      {" write TCPIP.IPAdd", {"TCPIP.IPAddress="}},
      {" --connection SIM write MODBUS.WatchdogT", {"MODBUS.WatchdogTimeout="}},
      {" write TCPIP.IPAddress=10", {}},
      {" --ini /nonexistent/LANTERNA.INI write TCPIP.IPAdd", {}},
      {" port set RS232:ttyS0 --p", {"--parity"}},
      {" port set RS232:ttyS0 --parity ", {"None", "Odd", "Even", "Mark", "Space"}},
      {" port set RS232:ttyS0 --baud 9", {"9600"}},
      {" regs write --e", {"--enable"}},
      {" regs read --e", {}},
      {" restart --y", {"--yes"}},
      {" clock ", {"sync", "set", "zone"}},
      {" clock set ", {}},
      {" sim-reset fbc", {"fbc32", "fbcnode", "fbc16", "fbcold", "fbcext"}},
      {" completion ", {"bash"}},
  };
  for (const auto& c : cases) EXPECT_EQ(offered(c.typed), c.words) << c.typed;

  const Words commands = offered(" ");
  for (const char* command : {"help", "read", "write", "params", "port", "ports", "sim-reset", "completion"})
    EXPECT_NE(std::find(commands.begin(), commands.end(), command), commands.end()) << command;
  EXPECT_EQ(Run({"completion", "zsh"}).exitCode, 2);
  EXPECT_EQ(Json::parse(Run({"--json", "completion", "bash"}).out)["script"], script.out);
}

TEST_F(CliProgram, AProbeShowsPerPortTheAnsweringDeviceOrWhyNone) {
  fennec::sim::SimulatorOptions options;
  options.profile = *fennec::sim::FindProfile("fbc32");
  fennec::sim::SimulatedDevice device(std::move(options));
  ASSERT_TRUE(device.Start()) << device.StartReport();
  const unsigned exchanges = device.Exchanges();
  const Result probe = Run({"--json", "ports", "--probe", device.SlavePath(), "/dev/lanterna-none", m_folder.Path().string()});
  ASSERT_EQ(probe.exitCode, 0) << probe.err;
  const Json ports = Json::parse(probe.out)["ports"];
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0]["outcome"], "device");
  EXPECT_EQ(ports[0]["order_number"], "716-341");
  EXPECT_EQ(ports[1]["outcome"], "refused");
  EXPECT_EQ(ports[1]["code"], "0x20020002");
  EXPECT_EQ(ports[2]["outcome"], "refused");
  EXPECT_NE(ports[2]["advice"].get<std::string>().find("is not a serial port"), std::string::npos);
  // One register read and the identification: no register was written.
  EXPECT_GT(device.Exchanges(), exchanges);
  EXPECT_FALSE(device.InspectState([](const auto& state) { return state.writeEnabled; }));
  EXPECT_EQ(Run({"read", "--probe"}).exitCode, 2);
}

TEST_F(CliProgram, ErrorCodesAreExplainedByTheCatalogue) {
  const Result text = Run({"error", "0x20010200"});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "0x20010200  Communication Port Error");
  const Result json = Run({"--json", "error", "536936960"});
  ASSERT_EQ(json.exitCode, 0);
  EXPECT_EQ(Json::parse(json.out),
            (Json{{"ok", true}, {"code", "0x20010200"}, {"title", "Communication Port Error"},
                  {"text", "Timeout while connecting to fieldbus coupler !"},
                  {"detail", "The fieldbus coupler (FBC) did not reply within a given time.\n\nPossible Reasons:\n"
                             "- The Fieldbus couplers power supply was interrupted.\n"
                             "- The connection between your PC and the FBC was interrupted.\n"
                             "- Different communication settings for your PC and the FBC."}}));
  EXPECT_EQ(Run({"error", "timeout"}).exitCode, 2);
}

TEST_F(CliProgram, ActionsThatAskRefuseWithoutATerminalAndRunWithYes) {
  const Result asked = Run({"--connection", "SIM", "restart"});
  EXPECT_EQ(asked.exitCode, 2);
  EXPECT_TRUE(asked.Says("give --yes")) << asked.err;
  EXPECT_FALSE(asked.Says("Identifying"));

  const Result restart = Run({"--connection", "SIM", "restart", "--yes"});
  ASSERT_EQ(restart.exitCode, 0) << restart.err;
  EXPECT_TRUE(restart.Says("Please wait, connected device will be restarted ...\nSoftware-Reset is in progress...\n"))
      << restart.err;
  EXPECT_TRUE(restart.Says("Software reset of the connected device successfully done")) << restart.err;
  EXPECT_EQ(restart.out.substr(0, restart.out.find('\n')), "# 716-341, ETHERNET FBC 100MBIT");

  // A device without a file system refuses the service.
  const Result extract = Run({"--connection", "SIM:fbc16", "extract", "--yes"});
  EXPECT_EQ(extract.exitCode, 1);
  EXPECT_TRUE(extract.Says("    ERROR: Extracting file system failed!")) << extract.err;
  EXPECT_TRUE(extract.Says("Invalid service request !")) << extract.err;
}

TEST_F(CliProgram, BadUsageEndsWithStatus2AndHelpIsThere) {
  EXPECT_EQ(Run({}).exitCode, 2);
  EXPECT_EQ(Run({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(Run({"read", "--jsno"}).exitCode, 2);
  EXPECT_EQ(Run({"--connection", "SIM", "read", "--yes"}).exitCode, 2);
  const Result port = Run({"--connection", "TCPIP:10.0.0.1:65536", "read"});
  EXPECT_EQ(port.exitCode, 2);
  EXPECT_TRUE(port.Says("must be a number from 1 to 65535, not '65536'")) << port.err;
  const Result profile = Run({"--connection", "SIM:fbc64", "read"});
  EXPECT_EQ(profile.exitCode, 2);
  EXPECT_TRUE(profile.Says("the profiles are fbc32, pfc32, fbcnode, fbc16, fbcold")) << profile.err;

  const Result help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* command : {"read", "write", "params", "restart", "default", "extract", "format", "clock", "regs",
                              "upload", "ports", "error", "sim-reset"})
    EXPECT_NE(help.out.find("\n  " + std::string(command) + " "), std::string::npos) << command;
  const Result readHelp = Run({"read", "--help"});
  EXPECT_EQ(readHelp.exitCode, 0);
  EXPECT_EQ(readHelp.out.substr(0, readHelp.out.find('\n')), "Usage: lanterna-cli [OPTIONS] read");
}
