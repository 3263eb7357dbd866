#pragma once

namespace lanterna::gui {

// What a page asks of the main dialog: synchronous calls on the user-interface thread, with the
// answers of the dialog's four page messages.
class IPageHost {
 public:
  virtual ~IPageHost() = default;
  // The settings were edited (the dialog marks them modified).
  virtual void SettingsChanged(int flag) = 0;
  // Non-zero while edited settings are not written.
  virtual int IsModified() = 0;
  // Start a write or a read as the buttons do; they return at once.
  virtual void RequestWrite() = 0;
  virtual void RequestRead() = 0;
};

}  // namespace lanterna::gui
