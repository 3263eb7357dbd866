#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Profile.h"
#include "app/DialogData.h"
#include "base/IniFile.h"
#include "pages/SettingsPages.h"

// The pages as a front end holds them after a read of a simulated device: its identification and
// factory tables from a simulator profile, judged by the INI file given.
struct SimulatedPages {
  SimulatedPages(const lanterna::CIniFile& ini, const fennec::sim::Profile& profile);

  // Loads the pages from the images again, as after a read.
  void Reload();

  lanterna::CDialogData data;
  lanterna::CSettingsPages pages;
  bool admitted = false;
  std::vector<std::string> messages;
};

// Every parameter's key and text, page by page.
using ParameterTexts = std::vector<std::pair<std::string, std::string>>;
ParameterTexts TextsOf(const lanterna::CSettingsPages& pages);

// What the pages showed and the images held just before a commit.
struct BeforeCommit {
  ParameterTexts texts;
  std::vector<std::uint16_t> table0;
  std::vector<std::uint16_t> table100;
};
BeforeCommit Snapshot(SimulatedPages& simulated);

// After a commit that passed, as a write and the read after it would see it: no bit changed
// that no field owns, and read back from the images every field shows what it showed before
// the commit. Fails the run otherwise.
void CheckCommitted(SimulatedPages& simulated, const BeforeCommit& before);
