#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Identification.h"
#include "pages/CouplerSettingsPageModel.h"

namespace lanterna {

// The first page: the identification of the connected device as labelled rows and as export
// text, and the state line of a running device action. It owns no register.
class CCommonPageModel : public CCouplerSettingsPageModel {
 public:
  struct Row {
    std::string label;  // padded with blanks to 14 characters
    std::string value;
    bool error = false;  // the item failed to be read; its "ERR: " is removed from the value
    bool operator==(const Row&) const = default;
  };

  enum StateKind { kStateFailed = 0, kStateInProgress = 1, kStateDone = 2 };
  struct StateLine {
    int image = 0;  // 1 in progress, 3 failed, 0 none
    std::string text;
    bool red = false;
  };

  CCommonPageModel();

  // The eight items the rows show; they take effect with the next read.
  void SetIdentificationTexts(const tIdentification& identification);

  const std::vector<Row>& Rows() const { return m_rows; }
  // Every row as "label= value\r\n", for the clipboard and the saved file.
  const std::string& ExportText() const { return m_strExport; }
  // The context menu (copy, save) exists only once there is something to export.
  bool OffersContextMenu() const { return !m_strExport.empty(); }

  // A state line replaces the rows until an action is done; done brings the rows back.
  void ShowState(int state, std::string_view text);
  const std::optional<StateLine>& State() const { return m_state; }

 protected:
  void ReadSettings() override;

 private:
  std::vector<std::string> m_items;
  std::vector<Row> m_rows;
  std::string m_strExport;
  std::optional<StateLine> m_state;
};

}  // namespace lanterna
