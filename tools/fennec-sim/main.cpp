#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Platform/Time.h"

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void RequestStop(int) { g_stopRequested = 1; }

// One write per line, so that lines of the device thread and of main never interleave.
void PrintError(std::string_view line) {
  const std::string text = "fennec-sim: " + std::string(line) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// A link that already exists is replaced only when it is a link: never a file of the user's.
bool MakeLink(const std::filesystem::path& link, const std::string& target) {
  std::error_code error;
  if (std::filesystem::is_symlink(link, error)) std::filesystem::remove(link, error);
  std::filesystem::create_symlink(target, link, error);
  if (error) PrintError("cannot create the link " + link.string() + ": " + error.message());
  return !error;
}

// After a hang-up the link follows the new terminal. It is made beside the old one and renamed
// over it, so that a client reopening by the link never finds the name missing.
void MoveLink(const std::filesystem::path& link, const std::string& target) {
  const std::filesystem::path fresh = link.string() + ".next";
  std::error_code error;
  if (std::filesystem::is_symlink(fresh, error)) std::filesystem::remove(fresh, error);
  std::filesystem::create_symlink(target, fresh, error);
  if (!error) std::filesystem::rename(fresh, link, error);
  if (error) PrintError("cannot move the link " + link.string() + " to " + target + ": " + error.message());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace fennec::sim;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (!parsed.options) {
    PrintError(parsed.error);
    PrintError("try 'fennec-sim --help'");
    return 2;
  }
  ProgramOptions& options = *parsed.options;
  if (options.help) {
    std::cout << HelpText();
    return 0;
  }
  if (options.verbose) options.simulator.log = PrintError;
  if (!options.link.empty())
    options.simulator.lineReplaced = [link = options.link](const std::string& path) { MoveLink(link, path); };

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);

  const std::string profileLine =
      "profile " + options.simulator.profile.name + ": " + options.simulator.profile.summary;
  SimulatedDevice device(std::move(options.simulator));
  const bool started = device.Start();
  if (!device.StartReport().empty()) PrintError(device.StartReport());
  if (!started) return 1;
  if (!options.link.empty() && !MakeLink(options.link, device.SlavePath())) return 1;
  if (options.tcpPort) {
    if (const int error = device.StartTcp(*options.tcpPort)) {
      PrintError("cannot serve TCP on 127.0.0.1:" + std::to_string(*options.tcpPort) + ": " + std::strerror(error));
      return 1;
    }
  }
  if (options.verbose) PrintError(profileLine + ", serving " + device.SlavePath());
  std::cout << device.SlavePath() << std::endl;
  if (options.tcpPort) std::cout << "127.0.0.1:" << device.TcpPort() << std::endl;

  while (g_stopRequested == 0 && !device.LineCut()) fennec::platform::Sleep(std::chrono::milliseconds(20));

  device.Stop();
  if (!options.link.empty()) {
    std::error_code ignored;
    std::filesystem::remove(options.link, ignored);
  }
  return 0;
}
