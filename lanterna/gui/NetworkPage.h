#pragma once

#include "gui/PageBase.h"
#include "pages/NetworkPageModel.h"

namespace lanterna::gui {

// The device's host name and domain.
class CNetworkPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CNetworkPage(CNetworkPageModel& model, IPageHost& host, QWidget* parent = nullptr);
};

}  // namespace lanterna::gui
