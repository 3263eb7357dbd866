#pragma once

#include <QPushButton>

namespace lanterna::ui {

// A push button with an icon and a tooltip of a title over a marked-up text.
class CIconButton : public QPushButton {
  Q_OBJECT

 public:
  CIconButton(const QString& caption, int iconId, const QString& tipTitle, const QString& tipBody,
               QWidget* parent = nullptr);
};

}  // namespace lanterna::ui
