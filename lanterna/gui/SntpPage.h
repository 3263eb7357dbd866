#pragma once

#include "gui/PageBase.h"
#include "pages/SntpPageModel.h"

namespace lanterna::gui {

// The SNTP client: on or off, time server, update interval and time-out.
class CSntpPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CSntpPage(CSntpPageModel& model, IPageHost& host, QWidget* parent = nullptr);
};

}  // namespace lanterna::gui
