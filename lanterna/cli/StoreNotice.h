#pragma once

#include <optional>
#include <string>

#include "Common/DamagedStore.h"

namespace lanterna::cli {

// The line for a damaged settings store: the file, where it went and what was lost; the stored
// port by name when it could still be read. programKey: the key the program's values live
// below ("Software\ORLA Software\ORLA Lanterna").
std::string DamagedStoreText(const fennec::DamagedStore& store, const std::string& programKey);

// Tells standard error, when the command ends, about a settings store the library found
// damaged while the command ran: the store then started empty, and the stored port with it.
class CDamagedStoreNotice {
 public:
  CDamagedStoreNotice() = default;
  ~CDamagedStoreNotice();
  CDamagedStoreNotice(const CDamagedStoreNotice&) = delete;
  CDamagedStoreNotice& operator=(const CDamagedStoreNotice&) = delete;
};

}  // namespace lanterna::cli
