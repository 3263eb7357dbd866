#pragma once

#include "gui/PageBase.h"
#include "pages/CommonPageModel.h"

class QLabel;
class QMenu;

namespace lanterna::ui {
class CGridControl;
}

namespace lanterna::gui {

// The identification of the connected device in a two-column grid, or the state line of a
// running action; a context menu copies, saves or reads again.
class CCommonPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CCommonPage(CCommonPageModel& model, IPageHost& host, QWidget* parent = nullptr);

  void ShowState(int state, const QString& text) override;
  // The identification rows from the model, or nothing before the first identification.
  void ShowRows();

  // The menu the grid offers at a right click; nullptr while there is nothing to export.
  QMenu* MakeContextMenu();
  void CopyToClipboard();
  void Save();

 protected:
  bool SettingsToControls() override;

 private:
  void ShowGrid();

  CCommonPageModel& m_common;
  ui::CGridControl* m_grid;
  QLabel* m_picture;
};

}  // namespace lanterna::gui
