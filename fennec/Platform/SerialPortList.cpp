#include "Platform/SerialPortList.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <tuple>

#include "Platform/StoreFile.h"

namespace fennec::platform {

namespace fs = std::filesystem;

namespace {

// The product of a USB device sits a few levels above its tty's device.
constexpr int kLevelsToSearch = 4;
// The serial core's own layers between a UART and its tty sit on this bus; their drivers
// ("port", "ctrl") say nothing about the hardware.
constexpr const char* kSerialCoreBus = "serial-base";

std::string FirstLine(const fs::path& file) {
  std::string text = ReadWholeFile(file).value_or("");
  text = text.substr(0, text.find('\n'));
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  return text;
}

bool HasNoUart(const fs::path& entry) {
  std::error_code error;
  return fs::exists(entry / "type", error) && FirstLine(entry / "type") == "0";
}

std::string LinkName(const fs::path& link) {
  std::error_code error;
  const fs::path target = fs::read_symlink(link, error);
  return error ? std::string() : target.filename().string();
}

std::string DescribeDevice(const fs::path& device) {
  std::string driver;
  fs::path level = device;
  for (int i = 0; i < kLevelsToSearch && level.has_relative_path(); ++i, level = level.parent_path()) {
    if (const std::string product = FirstLine(level / "product"); !product.empty()) return product;
    if (driver.empty() && LinkName(level / "subsystem") != kSerialCoreBus) driver = LinkName(level / "driver");
  }
  return driver;
}

// "ttyS10" sorts as ("ttyS", 10), so ports come in the order people count them.
std::tuple<std::string, unsigned long, std::string> NaturalKey(const std::string& name) {
  const auto digits = std::find_if(name.rbegin(), name.rend(), [](unsigned char c) { return !std::isdigit(c); }).base();
  const std::string stem(name.begin(), digits);
  const std::string number(digits, name.end());
  // At most 9 digits, so the number always fits.
  if (number.empty() || number.size() > 9) return {name, 0, name};
  return {stem, std::stoul(number), name};
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts(const fs::path& ttyClass) {
  std::vector<SerialPortInfo> ports;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(ttyClass, error)) {
    std::error_code noDevice;
    const fs::path device = fs::canonical(entry.path() / "device", noDevice);
    if (noDevice || HasNoUart(entry.path())) continue;  // virtual consoles, ptmx, absent UARTs

    const std::string name = entry.path().filename().string();
    const std::string description = DescribeDevice(device);
    ports.push_back({name, description.empty() ? name : description + " (" + name + ")"});
  }
  std::sort(ports.begin(), ports.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return NaturalKey(a.name) < NaturalKey(b.name); });
  return ports;
}

}  // namespace fennec::platform
