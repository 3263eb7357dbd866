#pragma once

#include "gui/PageBase.h"
#include "pages/PFCPageModel.h"

namespace lanterna::gui {

// Two switches of a programmable controller; the alternative Target-ID only on its one model.
class CPFCPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CPFCPage(CPFCPageModel& model, IPageHost& host, QWidget* parent = nullptr);

 protected:
  void ShowControls(int nCmdShow) override;

 private:
  CPFCPageModel& m_pfc;
};

}  // namespace lanterna::gui
