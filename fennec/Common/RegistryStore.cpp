#include "Common/RegistryStore.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sstream>
#include <vector>

#include "Common/DamagedStore.h"
#include "Platform/DebugOutput.h"
#include "Platform/StoreFile.h"
#include "Platform/TextCase.h"

namespace fennec {

namespace {

namespace fs = std::filesystem;

// No whitespace conversion: stored texts come back exactly as they were written.
constexpr unsigned kParseOptions = pugi::parse_escapes;
constexpr const char* kRoot = "registry";

const char* TypeName(RegistryValue::Type type) {
  return type == RegistryValue::Type::DWord ? "REG_DWORD" : "REG_SZ";
}

void ReportDamagedStore(const fs::path& file, const std::optional<fs::path>& aside) {
  platform::DebugOutput({"\n*************************** ERROR ***************************\n",
                         "  Class:\t\tCRegistryEx\n", "  Function:\tsettings store\n",
                         "  Error:\tDamaged store file '", file.string(), "' ",
                         aside ? "moved aside to '" + aside->string() + "'" : std::string("could not be moved aside"),
                         "\n", "*************************************************************\n\n"});
}

// An empty file (a store touched by hand) is an empty store, not a damaged one.
bool Parse(const std::string& text, pugi::xml_document& document) {
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
    document.append_child(kRoot);
    return true;
  }
  return document.load_buffer(text.data(), text.size(), kParseOptions) && document.child(kRoot);
}

pugi::xml_node FindChild(pugi::xml_node parent, const char* element, const char* attribute,
                         std::string_view wanted, std::string_view hive = {}) {
  for (pugi::xml_node node : parent.children(element)) {
    if (!EqualNoCase(node.attribute(attribute).value(), wanted)) continue;
    if (!hive.empty() && !EqualNoCase(node.attribute("hive").value(), hive)) continue;
    return node;
  }
  return {};
}

std::optional<RegistryValue> Decode(pugi::xml_node value) {
  const std::string_view type = value.attribute("type").value();
  const std::string_view data = value.attribute("data").value();
  if (type == "REG_SZ") return RegistryValue::FromString(std::string(data));
  if (type == "REG_DWORD") {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(data.data(), data.data() + data.size(), number);
    if (error == std::errc() && end == data.data() + data.size()) return RegistryValue::FromDWord(number);
  }
  return std::nullopt;
}

// The values a damaged file still shows: the parser keeps what it read before the damage.
std::vector<StoredValue> ReadableValues(const std::string& text) {
  pugi::xml_document partial;
  (void)partial.load_buffer(text.data(), text.size(), kParseOptions);
  std::vector<StoredValue> values;
  for (pugi::xml_node key : partial.child(kRoot).children("key")) {
    for (pugi::xml_node value : key.children("value")) {
      const std::optional<RegistryValue> decoded = Decode(value);
      if (!decoded) continue;
      values.push_back({key.attribute("hive").value(), key.attribute("path").value(), value.attribute("name").value(),
                        decoded->type == RegistryValue::Type::DWord ? std::to_string(decoded->number) : decoded->text});
    }
  }
  return values;
}

// Loads the store; a damaged file is moved aside (the caller holds the lock) and read as empty.
void LoadLocked(const fs::path& file, pugi::xml_document& document) {
  const std::optional<std::string> text = platform::ReadWholeFile(file);
  if (text && Parse(*text, document)) return;
  if (text) {
    const std::optional<fs::path> aside = platform::MoveAside(file);
    ReportDamagedStore(file, aside);
    NoteDamagedStore({file.string(), aside ? aside->string() : std::string(), ReadableValues(*text)});
  }
  document.reset();
  document.append_child(kRoot);
}

std::optional<RegistryValue> Lookup(const pugi::xml_document& document, std::string_view hive,
                                    std::string_view key, std::string_view name) {
  const pugi::xml_node keyNode = FindChild(document.child(kRoot), "key", "path", key, hive);
  const pugi::xml_node valueNode = FindChild(keyNode, "value", "name", name);
  if (!valueNode) return std::nullopt;
  return Decode(valueNode);
}

// A locked read-modify-write of the whole store.
template <class Change>
bool ChangeStore(Change change) {
  const fs::path file = platform::SettingsStorePath();
  const platform::StoreLock lock(file);
  if (!lock.Held()) return false;
  // Writers killed while they saved leave their temporary copies; only a lock holder can tell.
  platform::RemoveAbandonedTemporaries(file);

  pugi::xml_document document;
  LoadLocked(file, document);
  change(document.child(kRoot));
  std::ostringstream out;
  document.save(out, "  ");
  return platform::ReplaceFileAtomically(file, out.str());
}

}  // namespace

std::optional<RegistryValue> ReadRegistryValue(std::string_view hive, std::string_view key,
                                               std::string_view name) {
  const fs::path file = platform::SettingsStorePath();
  pugi::xml_document document;
  // Writers replace the file atomically, so an unlocked read sees a whole version.
  if (const std::optional<std::string> text = platform::ReadWholeFile(file); !text || Parse(*text, document))
    return text ? Lookup(document, hive, key, name) : std::nullopt;

  const platform::StoreLock lock(file);
  LoadLocked(file, document);
  return Lookup(document, hive, key, name);
}

bool WriteRegistryValue(std::string_view hive, std::string_view key, std::string_view name,
                        const RegistryValue& value) {
  return ChangeStore([&](pugi::xml_node root) {
    pugi::xml_node keyNode = FindChild(root, "key", "path", key, hive);
    if (!keyNode) {
      keyNode = root.append_child("key");
      keyNode.append_attribute("hive") = std::string(hive).c_str();
      keyNode.append_attribute("path") = std::string(key).c_str();
    }
    pugi::xml_node valueNode = FindChild(keyNode, "value", "name", name);
    if (!valueNode) {
      valueNode = keyNode.append_child("value");
      valueNode.append_attribute("name") = std::string(name).c_str();
      valueNode.append_attribute("type");
      valueNode.append_attribute("data");
    }
    valueNode.attribute("type") = TypeName(value.type);
    valueNode.attribute("data") =
        value.type == RegistryValue::Type::DWord ? std::to_string(value.number).c_str() : value.text.c_str();
  });
}

bool DeleteRegistryKey(std::string_view hive, std::string_view key) {
  return ChangeStore([&](pugi::xml_node root) {
    if (pugi::xml_node keyNode = FindChild(root, "key", "path", key, hive)) root.remove_child(keyNode);
  });
}

}  // namespace fennec
