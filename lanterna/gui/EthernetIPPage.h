#pragma once

#include "gui/PageBase.h"
#include "pages/EthernetIPPageModel.h"

namespace lanterna::gui {

// The EtherNet/IP assembly sizes of a controller and the RUN/IDLE headers; each tooltip names
// its object attribute.
class CEthernetIPPage : public CCouplerSettingsPageBase {
  Q_OBJECT

 public:
  CEthernetIPPage(CEthernetIPPageModel& model, IPageHost& host, QWidget* parent = nullptr);

  // The attribute tooltip's markup (string 499) for one parameter.
  static QString AttributeToolTip(const QString& title, int attributeId, const QString& name,
                                  const QString& description);
};

}  // namespace lanterna::gui
