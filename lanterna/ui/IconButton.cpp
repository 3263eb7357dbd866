#include "ui/IconButton.h"

#include "ui/Icons.h"
#include "ui/Markup.h"

namespace lanterna::ui {

CIconButton::CIconButton(const QString& caption, int iconId, const QString& tipTitle, const QString& tipBody,
                         QWidget* parent)
    : QPushButton(caption, parent) {
  if (iconId != 0) {
    setIcon(ResourceIcon(iconId));
    setIconSize(QSize(22, 22));
  }
  if (!tipTitle.isEmpty() || !tipBody.isEmpty()) setToolTip(ToolTipText(tipTitle, tipBody));
  setAutoDefault(false);
}

}  // namespace lanterna::ui
