#include "Common/DamagedStore.h"

#include <mutex>
#include <utility>

namespace fennec {

namespace {

// Any thread may load the store; the program asks once, from its own.
std::mutex g_mutex;
std::optional<DamagedStore> g_lastDamaged;

}  // namespace

std::optional<DamagedStore> TakeDamagedStore() {
  std::lock_guard lock(g_mutex);
  return std::exchange(g_lastDamaged, std::nullopt);
}

void NoteDamagedStore(DamagedStore store) {
  std::lock_guard lock(g_mutex);
  g_lastDamaged = std::move(store);
}

}  // namespace fennec
