// libFuzzer target for the settings store file as a program finds it at its start: the input is
// the file; the store reads it, then writes one value into it.
//
// Checked beside the sanitizers:
// - a file the store cannot take is moved aside byte for byte and reported, and the store is
//   then empty;
// - a write loses nothing: every value the file named reads the same after the write as before;
// - what is written reads back as it was: a text of every byte value but 0, and a number.
// The store lives in a scratch folder.
#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Common/DamagedStore.h"
#include "Common/RegistryStore.h"
#include "FuzzCheck.h"
#include "ScratchFolder.h"
#include "Platform/StoreFile.h"
#include "Platform/TextCase.h"

namespace {

namespace fs = std::filesystem;
using fennec::RegistryValue;

constexpr std::string_view kHive = "HKEY_CURRENT_USER";
constexpr std::string_view kProbeKey = "Software\\ORLA Software\\Fuzzing";
constexpr std::string_view kTextName = "Text";
constexpr std::string_view kNumberName = "Number";
constexpr std::size_t kMaxNamed = 16;

struct Name {
  std::string hive;
  std::string key;
  std::string value;

  // The store matches names without regard to case.
  bool IsProbe(std::string_view probe) const {
    return fennec::EqualNoCase(hive, kHive) && fennec::EqualNoCase(key, kProbeKey) && fennec::EqualNoCase(value, probe);
  }
};

// The values the file names, as far as the parser gets: what a write must leave as it was.
std::vector<Name> NamedValues(std::string_view content) {
  pugi::xml_document document;
  (void)document.load_buffer(content.data(), content.size(), pugi::parse_escapes);
  std::vector<Name> names;
  for (const pugi::xml_node key : document.child("registry").children("key"))
    for (const pugi::xml_node value : key.children("value"))
      if (names.size() < kMaxNamed)
        names.push_back({key.attribute("hive").value(), key.attribute("path").value(), value.attribute("name").value()});
  return names;
}

bool Same(const std::optional<RegistryValue>& a, const std::optional<RegistryValue>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->type == b->type && a->text == b->text && a->number == b->number);
}

std::string EveryByteButZero() {
  std::string text;
  for (int c = 1; c < 256; ++c) text += static_cast<char>(c);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFolder folder("fuzz_registry_store");
  static const fs::path file = [] {
    setenv("FENNEC_REGISTRY", (folder.Path() / "registry.xml").c_str(), 1);
    return folder.Path() / "registry.xml";
  }();
  static const std::string kText = EveryByteButZero();
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  folder.WriteOnly(file, content);
  (void)fennec::TakeDamagedStore();

  const std::vector<Name> names = NamedValues(content);
  std::vector<std::optional<RegistryValue>> before;
  for (const Name& name : names) before.push_back(fennec::ReadRegistryValue(name.hive, name.key, name.value));
  // A read of a name the file does not have still loads the file.
  (void)fennec::ReadRegistryValue(kHive, kProbeKey, kTextName);

  if (const std::optional<fennec::DamagedStore> damaged = fennec::TakeDamagedStore()) {
    FuzzCheck(damaged->file == file.string(), "the damaged store reported under another name");
    FuzzCheck(!damaged->movedTo.empty(), "a damaged store was not moved aside");
    FuzzCheck(fennec::platform::ReadWholeFile(damaged->movedTo) == std::string(content),
              "the damaged store was not kept as it was");
    for (const std::optional<RegistryValue>& value : before)
      FuzzCheck(!value, "a value read from a store that was moved aside");
  }

  FuzzCheck(fennec::WriteRegistryValue(kHive, kProbeKey, kTextName, RegistryValue::FromString(kText)),
            "a text could not be written");
  FuzzCheck(fennec::WriteRegistryValue(kHive, kProbeKey, kNumberName, RegistryValue::FromDWord(0xFFFFFFFF)),
            "a number could not be written");
  FuzzCheck(!fennec::TakeDamagedStore(), "the store was found damaged after it had been read");

  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].IsProbe(kTextName) || names[i].IsProbe(kNumberName)) continue;
    if (!Same(before[i], fennec::ReadRegistryValue(names[i].hive, names[i].key, names[i].value)))
      FuzzFail("the value " + names[i].value + " of " + names[i].key + " changed when another was written");
  }
  FuzzCheck(Same(fennec::ReadRegistryValue(kHive, kProbeKey, kTextName), RegistryValue::FromString(kText)),
            "a text did not read back as it was written");
  FuzzCheck(Same(fennec::ReadRegistryValue(kHive, kProbeKey, kNumberName), RegistryValue::FromDWord(0xFFFFFFFF)),
            "a number did not read back as it was written");
  return 0;
}
