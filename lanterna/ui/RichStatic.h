#pragma once

#include <QLabel>

#include "ui/Markup.h"

namespace lanterna::ui {

// A static that shows the string table's markup.
class CRichStatic : public QLabel {
  Q_OBJECT

 public:
  explicit CRichStatic(const QString& markup = {}, QWidget* parent = nullptr) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    SetMarkup(markup);
  }
  void SetMarkup(const QString& markup) { setText(TranslateMarkup(markup)); }
};

}  // namespace lanterna::ui
