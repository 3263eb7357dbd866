#include "gui/VersionText.h"

namespace lanterna::gui {

QString VersionLine(const QString& productVersion) {
  const QString upper = productVersion.toUpper();
  if (upper.contains("RELEASE CANDIDATE") || upper.contains("BETA") || upper.contains("VERSION")) return productVersion;
  return "Version " + productVersion;
}

}  // namespace lanterna::gui
