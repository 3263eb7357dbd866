#include "gui/Browser.h"

#include <QDesktopServices>
#include <QUrl>
#include <optional>

namespace lanterna::gui {

namespace {
std::optional<QString>& Kept() {
  static std::optional<QString> kept;
  return kept;
}
}  // namespace

void OpenInBrowser(const QString& url) {
  if (Kept()) {
    Kept() = url;
    return;
  }
  QDesktopServices::openUrl(QUrl(url));
}

namespace browser_seam {
void Intercept() { Kept() = QString(); }
QString LastUrl() { return Kept().value_or(QString()); }
}  // namespace browser_seam

}  // namespace lanterna::gui
