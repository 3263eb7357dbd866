#include "cli/StoreNotice.h"

#include <algorithm>
#include <iostream>

#include "Common/RegistyEx.h"
#include "Platform/TextCase.h"
#include "app/Configuration.h"

namespace lanterna::cli {

namespace {

std::string LostValues(const fennec::DamagedStore& store, const std::string& programKey) {
  const std::string portKey = programKey + "\\RS232";
  const auto port = std::find_if(store.readable.begin(), store.readable.end(), [&](const fennec::StoredValue& value) {
    return fennec::EqualNoCase(value.key, portKey) && fennec::EqualNoCase(value.name, "device");
  });
  if (port == store.readable.end()) return "its stored values (the stored port among them, if one was stored)";
  return "its stored values (the stored port " + port->data + " among them)";
}

}  // namespace

std::string DamagedStoreText(const fennec::DamagedStore& store, const std::string& programKey) {
  const std::string head = "lanterna-cli: the settings store " + store.file + " was damaged and ";
  if (store.movedTo.empty())
    return head + "could not be moved aside; " + LostValues(store, programKey) + " are not used";
  return head + "moved to " + store.movedTo + "; " + LostValues(store, programKey) + " are lost";
}

CDamagedStoreNotice::~CDamagedStoreNotice() {
  if (const std::optional<fennec::DamagedStore> damaged = fennec::TakeDamagedStore())
    std::cerr << DamagedStoreText(*damaged, cutils::CRegistryEx(kProgramRegistryKey).GetSubKeyPath()) << "\n";
}

}  // namespace lanterna::cli
